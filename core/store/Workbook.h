#pragma once

#include "store/Sheet.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vandorix {

class SpreadsheetHost;
// What the file reader kept of the file a workbook was read from, so that a save copies the
// parts of sheets nothing changed as they are. Only the codec knows what is inside.
struct StoredWorkbookParts;

// An open workbook: an ordered list of sheets with an active one, and structure protection.
class Workbook {
public:
    explicit Workbook(std::string path = {});
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    const std::string &path() const { return path_; }
    void setPath(std::string path) { path_ = std::move(path); }
    // The file name without folder, as messages name it.
    std::string fileName() const;

    int sheetCount() const { return static_cast<int>(sheets_.size()); }
    Sheet &sheetAt(int index); // from 1
    const Sheet &sheetAt(int index) const;
    // Throws `SheetMissingError`.
    Sheet &sheet(const std::string &name);
    const Sheet &sheet(const std::string &name) const;
    Sheet *findSheet(const std::string &name);
    const Sheet *findSheet(const std::string &name) const;
    int indexOf(const Sheet &sheet) const; // from 1

    // Adds a sheet before `before` (or at the end). Refused while the structure is protected.
    Sheet &addSheet(const std::string &name, const Sheet *before = nullptr,
                    SheetKind kind = SheetKind::Worksheet);
    void deleteSheet(const std::string &name);
    void moveSheet(const std::string &name, const std::string &before);
    void renameSheet(const std::string &from, const std::string &to);

    Sheet &activeSheet();
    void activate(Sheet &sheet);

    bool structureProtected() const { return structureProtected_; }
    std::uint16_t structureHash() const { return structureHash_; }
    void protect(const std::string &password);
    void unprotect(const std::string &password);
    void setStoredProtection(bool isProtected, std::uint16_t hash);

    // True when nothing changed since the last open, save or mark-as-saved.
    bool saved() const { return saved_; }
    void markSaved() { saved_ = true; }
    void markChanged() { saved_ = false; }

    bool sameContent(const Workbook &other) const;

    // For the file codec.
    const std::shared_ptr<const StoredWorkbookParts> &storedParts() const { return storedParts_; }
    void setStoredParts(std::shared_ptr<const StoredWorkbookParts> parts) { storedParts_ = std::move(parts); }

private:
    void checkStructureWritable() const;
    void checkNameFree(const std::string &name) const;

    std::string path_;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    int active_ = 0;
    bool structureProtected_ = false;
    std::uint16_t structureHash_ = 0;
    bool saved_ = true;
    std::shared_ptr<const StoredWorkbookParts> storedParts_;
};

} // namespace vandorix
