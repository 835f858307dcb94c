// Reads an OOXML spreadsheet package into the workbook model. Anything that does not parse,
// or refers to a part that is missing, makes the whole file unreadable: a workbook is never
// half-loaded.
#include "store/OoxmlCodec.h"

#include "store/HostError.h"
#include "store/OoxmlReadSupport.h"

#include <cstdlib>

namespace vandorix {
namespace {

using namespace ooxml_reader;

// The workbook part the package's own relationships name, or the usual one.
std::string workbookPartOf(const ZipReader &zip) {
    std::string workbookPart = "xl/workbook.xml";
    for (auto &[id, rel] : readRels(zip, "")) {
        if (endsWith(rel.first, "/officeDocument")) workbookPart = rel.second;
    }
    return workbookPart;
}

// The style and shared-string tables the workbook's relationships point to.
void readSharedTables(StoredWorkbookParts &stored, const Relationships &rels) {
    const ZipReader &zip = stored.zip;
    std::string stylesPart, stringsPart;
    for (auto &[id, rel] : rels) {
        if (endsWith(rel.first, "/styles")) stylesPart = rel.second;
        if (endsWith(rel.first, "/sharedStrings")) stringsPart = rel.second;
    }
    if (!stylesPart.empty()) {
        stored.styles = zip.find(stylesPart);
        stored.xfs = readStyles(zip, stylesPart);
    }
    if (!stringsPart.empty()) {
        stored.sharedStrings = zip.find(stringsPart);
        if (stored.sharedStrings) stored.strings = readSharedStrings(*stored.sharedStrings, stringsPart);
    }
    // Index 0 is the default format, whatever the file says of it: cells without a style
    // read as General.
    if (stored.xfs.empty()) stored.xfs.push_back(nullptr);
    stored.xfs[0] = nullptr;
}

// Adds the sheet a <sheet> entry of the workbook part names; nullptr for dialog or macro
// sheets, which are not ours.
Sheet *readSheet(Workbook &wb, StoredWorkbookParts &stored, const Relationships &rels,
                 const pugi::xml_node &s, long long &cellBudget) {
    const ZipReader &zip = stored.zip;
    // Control characters in names are written as _xHHHH_ escapes.
    std::string name = unescape(s.attribute("name").value());
    auto rel = rels.find(attr(s, "id").value());
    if (rel == rels.end()) throw Unreadable("a(z) " + name + " munkalaphoz nem tartozik rész");
    bool isChart = endsWith(rel->second.first, "/chartsheet");
    if (!isChart && !endsWith(rel->second.first, "/worksheet")) return nullptr;
    if (name.empty()) throw Unreadable("névtelen munkalap");
    if (wb.findSheet(name)) throw Unreadable("kétszer szereplő munkalapnév: " + name);
    const std::string &partName = rel->second.second;
    const StoredZipEntry *entry = zip.find(partName);
    if (!entry) throw Unreadable("hiányzik a(z) " + name + " munkalap része (" + partName + ")");
    Sheet &sheet = wb.addSheet(name, nullptr, isChart ? SheetKind::Chart : SheetKind::Worksheet);
    if (!isChart) {
        WorksheetRead read = readWorksheet(*entry, partName, sheet, stored.xfs, stored.strings, cellBudget);
        // A part with relationships of its own (drawings, comments) is written anew, never
        // copied without them.
        if (!zip.find(relsPathOf(partName))) {
            sheet.setStoredPart(static_cast<int>(stored.sheets.size()), read.selected);
            stored.sheets.push_back({entry, read.stringUses});
        }
    }
    std::string state = s.attribute("state").value();
    sheet.setStoredVisibility(state == "hidden"       ? SheetVisibility::Hidden
                              : state == "veryHidden" ? SheetVisibility::VeryHidden
                                                      : SheetVisibility::Visible);
    return &sheet;
}

void readWorkbookProtection(Workbook &wb, const pugi::xml_node &root) {
    pugi::xml_node prot = child(root, "workbookProtection");
    if (prot && truthy(prot.attribute("lockStructure"))) {
        std::uint16_t hash = static_cast<std::uint16_t>(
            std::strtoul(prot.attribute("workbookPassword").value(), nullptr, 16));
        wb.setStoredProtection(true, hash);
    }
}

std::unique_ptr<Workbook> decode(std::shared_ptr<StoredWorkbookParts> stored, const std::string &path) {
    const ZipReader &zip = stored->zip;
    std::string workbookPart = workbookPartOf(zip);
    auto wbData = zip.read(workbookPart);
    if (!wbData) throw Unreadable("hiányzik a munkafüzet része (" + workbookPart + ")");
    auto wbDoc = parseXml(*wbData, workbookPart);
    pugi::xml_node root = wbDoc.document_element();
    if (!is(root, "workbook")) throw Unreadable("nem munkafüzet: " + workbookPart);
    auto rels = readRels(zip, workbookPart);
    readSharedTables(*stored, rels);

    auto wb = std::make_unique<Workbook>(path);
    int activeTab = child(child(root, "bookViews"), "workbookView").attribute("activeTab").as_int(0);
    int index = 0;
    long long cellBudget = kMaxCells;
    Sheet *active = nullptr;
    forEach(child(root, "sheets"), "sheet", [&](pugi::xml_node s) {
        Sheet *sheet = readSheet(*wb, *stored, rels, s, cellBudget);
        if (sheet && index == activeTab) active = sheet;
        ++index;
    });
    if (wb->sheetCount() == 0) throw Unreadable("nincs benne munkalap");
    if (active) wb->activate(*active);
    readWorkbookProtection(*wb, root);
    wb->setStoredParts(std::move(stored));
    wb->markSaved();
    return wb;
}

} // namespace

std::unique_ptr<Workbook> decodeWorkbook(std::string_view bytes, const std::string &path) {
    try {
        return decode(std::make_shared<StoredWorkbookParts>(bytes), path);
    } catch (const ZipError &e) {
        if (e.oldFormat()) throw OldFormatFileError(path);
        throw DamagedFileError(path, e.what());
    } catch (const HostError &e) {
        throw DamagedFileError(path, e.what());
    } catch (const std::bad_alloc &) {
        throw DamagedFileError(path, "nincs elég memória a beolvasásához");
    } catch (const std::runtime_error &e) {
        // The reader's own reasons, in Hungarian.
        throw DamagedFileError(path, e.what());
    } catch (const std::exception &) {
        // The standard library's reasons are English: said in the user's language instead.
        throw DamagedFileError(path, "a fájl szerkezete hibás");
    }
}

} // namespace vandorix
