#pragma once

#include <functional>
#include <string>

namespace vandorix {

class Dialogs;

// How the entry of a cash or trade window is recorded: as a new movement, or as the deletion
// or the modification of the movement that already carries its settlement code. The numbers
// are the values the command state has always held.
enum class EntryMode { New = 0, Delete = 1, Modify = 2 };

// What the settlement code decided; the window enables its buttons accordingly.
enum class EntryDecision {
    New,          // "Rögzítés" records a new movement
    Modify,       // the fields are entered again, "Rögzítés" rewrites the movement
    Delete,       // "Törlés" deletes the movement
    Mismatch,     // the code belongs to another kind of movement or to other data; the
                  // mismatch notice was shown and the window returns to the main window
    LeaveProgram, // the user declined both modifying and deleting: the program ends
};

// Where a window keeps its entry mode, the movement's ledger row (0 when none is known) and
// what the user asked for.
struct EntryModeFields {
    EntryMode &mode;
    int &row;
    bool &modifyRequested;
    bool &deleteRequested;
};

// The questions and checks of one window.
struct EntryModeRules {
    std::string deleteQuestion;                   // asked once modifying was declined
    std::function<int()> findCodeRow;             // the ledger row holding the code, 0: none
    std::function<bool(int row)> belongsToWindow; // the row is a movement of this window's data
};

// The entry-mode decision of the cash and trade windows, run when the settlement code is
// entered. While the entry is new, a code already in the ledger asks whether to modify that
// movement and else whether to delete it; declining both leaves the program. A known row that
// does not belong to the window gets the mismatch notice.
EntryDecision DecideEntryMode(Dialogs &dialogs, const EntryModeFields &fields,
                              const EntryModeRules &rules);

} // namespace vandorix
