#pragma once

#include <functional>

namespace vandorix {

struct AppState;
class Dialogs;

// Shows the ledger sheet "Befszla01" alone and protected in the host's maximised window until
// the user presses OK, then stores the account workbook with every sheet visible again.
void ViewAccountWorkbook(AppState &app, Dialogs &dialogs, const std::function<void()> &hideMainWindow);

} // namespace vandorix
