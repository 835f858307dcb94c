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

private:
    std::string path_;
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
