#pragma once

#include <stdexcept>
#include <string>

namespace vandorix {

// Every failure of the spreadsheet host. The message names the file or sheet concerned and is
// Hungarian, so a command handler may show it as it is.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FileMissingError : public HostError {
public:
    explicit FileMissingError(const std::string &path)
        : HostError("A munkafüzet nem található: " + path), path_(path) {}
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

class DamagedFileError : public HostError {
public:
    DamagedFileError(const std::string &path, const std::string &detail)
        : HostError("A munkafüzet sérült, nem olvasható: " + path + " (" + detail + ")"),
          path_(path) {}
    const std::string &path() const { return path_; }

protected:
    struct Whole {};
    // `message` is the whole message.
    DamagedFileError(const std::string &path, const std::string &message, Whole)
        : HostError(message), path_(path) {}

private:
    std::string path_;
};

// A workbook in the binary format of the spreadsheet programs before 2007: it must be saved
// again as Office Open XML under the same name.
class OldFormatFileError : public DamagedFileError {
public:
    explicit OldFormatFileError(const std::string &path)
        : DamagedFileError(path, "A munkafüzet régi (Excel 97–2003) formátumban van, ezt a program nem "
                                 "tudja olvasni: " + path +
                                 "\r\nNyissa meg egy táblázatkezelővel, és mentse el ugyanezen a "
                                 "néven Office Open XML (.xlsx) formátumban.",
                           Whole{}) {}
};

class SheetMissingError : public HostError {
public:
    SheetMissingError(const std::string &workbook, const std::string &sheet)
        : HostError("A munkalap nem található: " + sheet + " (" + workbook + ")"), sheet_(sheet) {}
    const std::string &sheet() const { return sheet_; }

private:
    std::string sheet_;
};

class WrongPasswordError : public HostError {
public:
    explicit WrongPasswordError(const std::string &what)
        : HostError("Hibás jelszó: " + what) {}
};

class ProtectedError : public HostError {
public:
    explicit ProtectedError(const std::string &what)
        : HostError("A védett munkalap nem módosítható: " + what) {}
};

class SaveError : public HostError {
public:
    SaveError(const std::string &path, const std::string &detail)
        : HostError("A munkafüzet mentése nem sikerült: " + path + " (" + detail + ")") {}
};

// A workbook the user made read-only: the program does not replace it.
class ReadOnlyWorkbookError : public HostError {
public:
    explicit ReadOnlyWorkbookError(const std::string &path)
        : HostError("A munkafüzet írásvédett, ezért a program nem írhatja felül: " + path +
                    "\r\nSzüntesse meg a fájl írásvédettségét, és ismételje meg a műveletet.") {}
};

// A workbook a spreadsheet application has open (its lock file lies beside it): were the
// program to write it, the application would later save over the program's rows.
class WorkbookOpenElsewhereError : public HostError {
public:
    WorkbookOpenElsewhereError(const std::string &path, const std::string &lockFile)
        : HostError("A munkafüzet nyitva van egy táblázatkezelőben: " + path + " (zárolófájlja: " +
                    lockFile + ")\r\nZárja be ott a munkafüzetet, és ismételje meg a műveletet.") {}
};

// A commit interrupted earlier that start-up cannot finish; nothing of it has been changed.
class UnfinishedCommitError : public HostError {
public:
    UnfinishedCommitError(const std::string &journal, const std::string &detail)
        : HostError("a mentésnapló (" + journal + ") szerint " + detail +
                    ".\r\nA program semmit sem változtatott: a napló és az előkészített fájlok "
                    "megmaradtak. Ha a telepítés mappáját áthelyezte vagy átnevezte, állítsa "
                    "vissza az eredeti állapotot, és indítsa újra a programot.") {}
};

// A sum or product of amounts beyond what the 64-bit currency holds: the command that computed
// it ends before anything of it is written, never with a wrapped value.
class AmountOverflowError : public HostError {
public:
    AmountOverflowError()
        : HostError("Egy összeg (érték, egyenleg vagy összesítés) túl nagy lett, a program ekkora "
                    "összeggel nem tud számolni.") {}
};

class DataLockedError : public HostError {
public:
    explicit DataLockedError(const std::string &root)
        : HostError("Az adatokat a Vandorix egy másik példánya használja: " + root +
                    "\r\nZárja be a másik példányt, és indítsa újra a programot.") {}
};

} // namespace vandorix
