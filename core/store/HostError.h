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

class DataLockedError : public HostError {
public:
    explicit DataLockedError(const std::string &root)
        : HostError("Az adatokat a Vandorix egy másik példánya használja: " + root +
                    "\r\nZárja be a másik példányt, és indítsa újra a programot.") {}
};

} // namespace vandorix
