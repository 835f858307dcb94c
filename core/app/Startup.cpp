#include "app/Startup.h"

#include "app/Application.h"
#include "store/CommitJournal.h"
#include "store/DataFolderLock.h"
#include "store/HostError.h"
#include "book/Templates.h"
#include "app/WorkbookProtocol.h"

#include <system_error>

namespace fs = std::filesystem;

namespace vandorix {

namespace {

const std::string kProductWord = "Vandorix";

void showStartupFailure(Application &app, const std::string &text) {
    app.dialogs().showMessage({text, "Felhívás", MessageIcon::Exclamation, MessageButtons::Ok,
                               MessageAnswer::Ok, false});
}

std::string incompatibleSystemText() {
    return std::string("Az Ön Oprációs rendszere nem kompatibilis a Vandorix alkalmazással.") +
           kCrLf + "Javasolom, hogy készítsen a számítógépére tartós és kompatibilis" + kCrLf +
           "virtuális gépet és erre telepítse a Vandorix alkalmazást. Kilépés.";
}

std::string incompatibleHostText() {
    return std::string("Az Ön Excel változata nem kompatibilis a Vandorix") + kCrLf +
           " alkalmazással. Javasolom, hogy készítsen a számítógépére" + kCrLf +
           " tartós és kompatibilis virtuális gépet és erre telepítse" +
           " a Vandorix alkalmazást. Kilépés.";
}

std::string wrongRootNameText() {
    return std::string("Telpítési hiba.Az alkalmazás neve csak Vandorix") + kCrLf +
           "és ha kell, utánna egyszámjegyű index lehet.";
}

// The program ends after a start-up failure; nothing has been written.
void endProgram(Application &app) {
    ExitProgram(app.state());
    app.closeAllWindows();
}

bool isFolder(const fs::path &p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

std::string withoutTrailingSeparator(fs::path p) {
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

} // namespace

bool IsValidInstallFolderName(const std::string &name) {
    if (name == kProductWord) return true;
    return name.size() == kProductWord.size() + 1 && name.starts_with(kProductWord) &&
           name.back() >= '1' && name.back() <= '9';
}

bool LocateDataFolders(Application &app) {
    AppState &s = app.state();
    const fs::path program = app.environment().programFolder;
    const fs::path root = fs::path(withoutTrailingSeparator(program)).parent_path();
    const fs::path rootParent = root.parent_path();
    const char *folders[] = {install::kMasterDataFolder, install::kProductsFolder,
                             install::kAuxiliaryFolder, install::kArchiveFolder};
    bool found = isFolder(program) && !root.empty() && root != program;
    for (const char *folder : folders) found = found && isFolder(root / folder);
    if (!found) {
        showStartupFailure(app, incompatibleSystemText());
        endProgram(app);
        return false;
    }
    s.ProgramFolderPath = withoutTrailingSeparator(program);
    s.RootFolderPath = withoutTrailingSeparator(root);
    s.RootParentPath = withoutTrailingSeparator(rootParent);
    s.MasterDataPath = s.RootFolderPath + "/" + install::kMasterDataFolder;
    s.ProductsPath = s.RootFolderPath + "/" + install::kProductsFolder;
    s.AuxiliaryPath = s.RootFolderPath + "/" + install::kAuxiliaryFolder;
    s.ArchivePath = s.RootFolderPath + "/" + install::kArchiveFolder;

    // Only one copy of the program may work on these folders. A re-run keeps its lock.
    if (!s.DataLock) {
        try {
            s.DataLock = std::make_unique<DataFolderLock>(s.RootFolderPath);
        } catch (const HostError &e) {
            showStartupFailure(app, e.what());
            endProgram(app);
            return false;
        }
        // A command that was interrupted while its files were being replaced is completed,
        // one that never reached its journal is dropped.
        try {
            CommitJournal::recover(s.RootFolderPath,
                                   {s.MasterDataPath, s.ProductsPath, s.AuxiliaryPath,
                                    s.ArchivePath});
        } catch (const std::exception &e) {
            showStartupFailure(app, std::string("Egy megszakadt mentés nem fejezhető be: ") +
                                        e.what());
            endProgram(app);
            return false;
        }
        // The backups of the last commands: one whose command was cut short is settled the
        // way the journal settled the command.
        s.Undo = std::make_unique<UndoStore>(s.RootFolderPath);
        s.Undo->recover();
    }
    return true;
}

bool StartSpreadsheetHost(Application &app) {
    AppState &s = app.state();
    try {
        // A re-run keeps the host object, so the saves of the command in progress stay in its
        // journal; the host starts afresh with no workbook open.
        if (!s.HostApp) {
            s.HostApp = std::make_unique<SpreadsheetHost>();
            s.HostApp->setJournalFolder(s.RootFolderPath);
            if (s.Undo) s.HostApp->setCommitObserver(s.Undo.get());
        }
        SpreadsheetHost &host = *s.HostApp;
        while (!host.workbooks().empty()) host.close(*host.workbooks().front());
        s.HostRunning = true;
        host.state().visible = false;
        host.state().windowState = HostWindowState::Minimized;
        host.state().visible = true;
    } catch (const std::exception &) {
        showStartupFailure(app, incompatibleHostText());
        endProgram(app);
        return false;
    }
    return true;
}

bool CheckInstallFolderName(Application &app) {
    AppState &s = app.state();
    const std::string rootName = fs::path(s.RootFolderPath).filename().string();
    if (IsValidInstallFolderName(rootName) &&
        s.RootFolderPath == s.RootParentPath + (s.RootParentPath == "/" ? "" : "/") + rootName)
        return true;
    showStartupFailure(app, wrongRootNameText());
    QuitSpreadsheetHost(s);
    endProgram(app);
    return false;
}

bool RunStartup(Application &app) {
    AppState &s = app.state();
    s.ProgramEnded = false;
    if (!LocateDataFolders(app)) return false;
    if (!StartSpreadsheetHost(app)) return false;
    if (!CheckInstallFolderName(app)) return false;
    // The host started afresh with no workbook open: every handle is let go.
    DiscardOpenWorkbooks(s);
    s.TradeDrivenPriceEntry = false;
    s.RsiPeriod = 14;
    s.Today = app.currentDate();
    s.WorkbookPassword = "Hx4m27Qb";
    s.SheetPassword = "r5Lw93Ze";
    s.StartOfYear = s.Today.startOfYear();
    return true;
}

} // namespace vandorix
