#pragma once

#include "app/Form.h"

#include <string>
#include <string_view>
#include <vector>

namespace vandorix {

struct AppState;

// What a command did, in the user's words, for the list of commands that can be undone:
// "Vétel: Alfa, 100 db, 2026. 11. 03.". `entries` are the window's controls as they were when
// the user started the command; `action` is the control or menu item that started it.
std::string DescribeCommand(const Form &window, const std::vector<Control> &entries,
                            std::string_view action, const AppState &state);

} // namespace vandorix
