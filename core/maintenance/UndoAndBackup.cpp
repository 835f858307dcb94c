#include "maintenance/UndoAndBackup.h"

#include "app/AppState.h"
#include "app/Dialogs.h"
#include "store/BackupArchive.h"
#include "store/HostError.h"

#include <chrono>
#include <ctime>

namespace vandorix {
namespace fs = std::filesystem;

namespace {

constexpr const char *kUndoTitle = "Kérdés";
constexpr const char *kBackupTitle = "Biztonsági mentés";

std::string commandWords(const UndoStore::Entry &e) {
    return e.what.empty() ? e.window : e.what;
}

bool isInside(const fs::path &path, const fs::path &folder) {
    const fs::path rel = path.lexically_normal().lexically_relative(folder.lexically_normal());
    return !rel.empty() && *rel.begin() != "..";
}

} // namespace

void UndoLastCommand(AppState &s, Dialogs &dialogs) {
    if (!s.Undo) {
        ShowNotice(dialogs, "Nincs visszavonható művelet.");
        return;
    }
    std::optional<UndoStore::Entry> entry;
    try {
        entry = s.Undo->newest();
    } catch (const HostError &e) {
        ShowNotice(dialogs, std::string("Az utolsó művelet mentése nem olvasható:") + kCrLf +
                                e.what() + kCrLf + "Semmi sem változott.");
        return;
    }
    if (!entry) {
        ShowNotice(dialogs, "Nincs visszavonható művelet.");
        return;
    }
    if (auto changed = s.Undo->changedFile(*entry)) {
        ShowNotice(dialogs, "Az utolsó művelet nem vonható vissza:" + std::string(kCrLf) +
                                commandWords(*entry) + kCrLf + "A(z) " + *changed +
                                " fájl azóta megváltozott." + kCrLf + "Semmi sem változott.");
        return;
    }
    const std::string question = "Az utolsó művelet:" + std::string(kCrLf) + commandWords(*entry) +
                                 kCrLf + "(" + entry->window + ", " + entry->when + ")" + kCrLf +
                                 "Visszavonja?";
    if (!AskYesNo(dialogs, question, kUndoTitle)) return;
    try {
        s.Undo->undo(*entry);
    } catch (const HostError &e) {
        ShowNotice(dialogs, std::string("A visszavonás nem sikerült:") + kCrLf + e.what() + kCrLf +
                                "Semmi sem változott.");
        return;
    }
    ShowNotice(dialogs, "Visszavonva:" + std::string(kCrLf) + commandWords(*entry));
}

fs::path DefaultBackupPath(const AppState &s) {
    std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &tm);
    const fs::path root = fs::path(s.RootFolderPath);
    return fs::path(s.RootParentPath) /
           fs::path(root.filename().string() + " mentés " + stamp + ".zip");
}

void MakeBackup(AppState &s, Dialogs &dialogs) {
    const fs::path offered = DefaultBackupPath(s);
    auto answer = dialogs.showInput({"A biztonsági mentés fájlja:", kBackupTitle,
                                     offered.string()});
    if (!answer) return;
    if (answer->empty()) {
        ShowNotice(dialogs, "Nincs megadva a mentés fájlja. Mentés nem készült.");
        return;
    }
    fs::path target = fs::path(*answer);
    if (target.is_relative()) target = fs::path(s.RootParentPath) / target;
    target = target.lexically_normal();
    const fs::path root = fs::path(s.RootFolderPath);
    std::error_code ec;
    if (isInside(target, root)) {
        ShowNotice(dialogs, "A mentés nem kerülhet a telepítés mappájába:" + std::string(kCrLf) +
                                target.string() + kCrLf + "Mentés nem készült.");
        return;
    }
    if (fs::exists(fs::symlink_status(target, ec))) {
        ShowNotice(dialogs, "Ezen a néven már van fájl:" + std::string(kCrLf) + target.string() +
                                kCrLf + "Mentés nem készült.");
        return;
    }
    if (!fs::is_directory(target.parent_path(), ec)) {
        ShowNotice(dialogs, "A mappa nem létezik:" + std::string(kCrLf) +
                                target.parent_path().string() + kCrLf + "Mentés nem készült.");
        return;
    }
    std::size_t files = 0;
    try {
        files = WriteBackupArchive(root, target);
    } catch (const HostError &e) {
        ShowNotice(dialogs, std::string("A biztonsági mentés nem sikerült:") + kCrLf + e.what() +
                                kCrLf + "Mentés nem készült.");
        return;
    }
    ShowNotice(dialogs, "A biztonsági mentés elkészült (" + std::to_string(files) + " fájl):" +
                            kCrLf + target.string() + kCrLf +
                            "Visszaállítás: a fájlt egy Vandorix telepítés mappájába kell "
                            "kibontani;" + kCrLf +
                            "a Torzs, Termekek, Seged és Arhiv mappák fájljai felülíródnak.",
                kBackupTitle);
}

} // namespace vandorix
