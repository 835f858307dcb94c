#include "app/EntryMode.h"

#include "app/Dialogs.h"
#include "app/Validation.h"

namespace vandorix {

EntryDecision DecideEntryMode(Dialogs &dialogs, const EntryModeFields &fields,
                              const EntryModeRules &rules) {
    if (fields.mode == EntryMode::New) {
        if (int row = rules.findCodeRow()) {
            const std::string title = "Felhívás";
            if (AskYesNo(dialogs, std::string("Van már ilyen adat.") + kCrLf + "Módosítani szeretné ?",
                         title, MessageIcon::Exclamation)) {
                fields.modifyRequested = true;
                fields.row = row;
                fields.mode = EntryMode::Modify;
            } else {
                fields.modifyRequested = false;
                if (!AskYesNo(dialogs, rules.deleteQuestion, title, MessageIcon::Exclamation))
                    return EntryDecision::LeaveProgram;
                fields.deleteRequested = true;
                fields.row = row;
                fields.mode = EntryMode::Delete;
            }
        }
    }
    if (fields.row > 0 && !rules.belongsToWindow(fields.row)) {
        ShowSettlementCodeMismatch(dialogs);
        return EntryDecision::Mismatch;
    }
    switch (fields.mode) {
    case EntryMode::Modify: return EntryDecision::Modify;
    case EntryMode::Delete: return EntryDecision::Delete;
    default: return EntryDecision::New;
    }
}

} // namespace vandorix
