// Writes a workbook as an OOXML spreadsheet package.
#include "store/OoxmlCodec.h"

#include "store/HostError.h"
#include "store/OoxmlWriteSupport.h"

namespace vandorix {
namespace {

using namespace ooxml_writer;

// The sheet a spreadsheet application opens the file on: the active one, or the first visible
// worksheet when the active one is hidden (an application would show a hidden sheet and save
// it back visible).
const Sheet *storedActiveSheet(const Workbook &wb) {
    const Sheet *active = wb.sheetCount() > 0 ? &const_cast<Workbook &>(wb).activeSheet() : nullptr;
    if (active && active->visible() && active->kind() == SheetKind::Worksheet) return active;
    for (int i = 1; i <= wb.sheetCount(); ++i) {
        const Sheet &s = wb.sheetAt(i);
        if (s.visible() && s.kind() == SheetKind::Worksheet) return &s;
    }
    return active;
}


// A sheet part is either copied as stored (compressed bytes and all) or encoded anew.
struct SheetPart {
    const Sheet *sheet;
    bool selected;
    const StoredZipEntry *stored;
};

// The worksheets to write, and the entries the workbook part, its relationships and the
// content types list for them.
struct PackagePlan {
    std::vector<SheetPart> sheetParts;
    std::string sheetsXml, relsXml, overrides;
    int activeIndex = 0;
};

const char *const kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

void addRelationship(std::string &relsXml, int id, const char *type, const std::string &target) {
    std::string n = std::to_string(id);
    relsXml += "<Relationship Id=\"rId" + n + "\" Type=\"" + std::string(kRelNs) + type + "\" Target=\"" +
               target + "\"/>";
}

PackagePlan planPackage(const Workbook &wb, const StoredWorkbookParts *stored, StringTable &strings) {
    PackagePlan plan;
    int written = 0;
    const Sheet *active = storedActiveSheet(wb);
    for (int i = 1; i <= wb.sheetCount(); ++i) {
        const Sheet &s = wb.sheetAt(i);
        // Chart sheets are views drawn from their source ranges; they are not stored.
        if (s.kind() == SheetKind::Chart) continue;
        ++written;
        const bool selected = &s == active;
        if (selected) plan.activeIndex = written - 1;
        int part = stored ? s.unchangedStoredPart() : -1;
        if (part >= 0 && part < static_cast<int>(stored->sheets.size()) && s.storedSelected() == selected) {
            plan.sheetParts.push_back({&s, selected, stored->sheets[part].entry});
            strings.countUses(stored->sheets[part].stringUses);
        } else {
            plan.sheetParts.push_back({&s, selected, nullptr});
        }
        std::string n = std::to_string(written);
        plan.sheetsXml += "<sheet name=\"" + escaped(s.name()) + "\" sheetId=\"" + n + "\"";
        if (s.visibility() == SheetVisibility::Hidden) plan.sheetsXml += " state=\"hidden\"";
        if (s.visibility() == SheetVisibility::VeryHidden) plan.sheetsXml += " state=\"veryHidden\"";
        plan.sheetsXml += " r:id=\"rId" + n + "\"/>";
        addRelationship(plan.relsXml, written, "/worksheet", "worksheets/sheet" + n + ".xml");
        plan.overrides += "<Override PartName=\"/xl/worksheets/sheet" + n +
                          ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
                          "spreadsheetml.worksheet+xml\"/>";
    }
    if (written == 0) throw HostError("Munkalap nélküli munkafüzet nem menthető: " + wb.fileName());
    addRelationship(plan.relsXml, written + 1, "/styles", "styles.xml");
    addRelationship(plan.relsXml, written + 2, "/sharedStrings", "sharedStrings.xml");
    return plan;
}

std::string workbookXml(const Workbook &wb, const PackagePlan &plan) {
    std::string x = std::string(kXmlDeclaration) + "<workbook xmlns=\"" + std::string(kMainNs) +
                    "\" xmlns:r=\"" + std::string(kRelNs) + "\"><workbookPr/>";
    if (wb.structureProtected()) {
        x += "<workbookProtection";
        if (wb.structureHash()) x += " workbookPassword=\"" + hashHex(wb.structureHash()) + "\"";
        x += " lockStructure=\"1\"/>";
    }
    x += "<bookViews><workbookView activeTab=\"" + std::to_string(plan.activeIndex) +
         "\"/></bookViews><sheets>" + plan.sheetsXml + "</sheets></workbook>";
    return x;
}

std::string contentTypesXml(const PackagePlan &plan) {
    return std::string(kXmlDeclaration) +
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-"
           "package.relationships+xml\"/><Default Extension=\"xml\" ContentType="
           "\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" ContentType="
           "\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
           "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd."
           "openxmlformats-officedocument.spreadsheetml.styles+xml\"/><Override "
           "PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd."
           "openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>" +
           plan.overrides + "</Types>";
}

std::string relationshipsXml(const std::string &relsXml) {
    return std::string(kXmlDeclaration) + "<Relationships xmlns=\"" + std::string(kPkgRelNs) + "\">" + relsXml +
           "</Relationships>";
}

// The worksheets, then the style and string tables they grew: a table is copied as stored
// when no sheet added to it.
void addSheetsAndTables(ZipWriter &zip, const PackagePlan &plan, const StoredWorkbookParts *stored,
                        StyleTable &styles, StringTable &strings) {
    for (std::size_t i = 0; i < plan.sheetParts.size(); ++i) {
        const SheetPart &part = plan.sheetParts[i];
        std::string name = "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml";
        if (part.stored) {
            zip.addStored(name, *part.stored);
        } else {
            zip.begin(name);
            writeSheetXml(zip, *part.sheet, part.selected, styles, strings);
            zip.end();
        }
    }
    if (stored && stored->styles && !styles.grown()) zip.addStored("xl/styles.xml", *stored->styles);
    else zip.add("xl/styles.xml", styles.xml());
    if (stored && stored->sharedStrings && !strings.grown())
        zip.addStored("xl/sharedStrings.xml", *stored->sharedStrings);
    else zip.add("xl/sharedStrings.xml", strings.xml());
}

} // namespace

std::string encodeWorkbook(const Workbook &wb) {
    static const std::vector<FormatRef> noStyles;
    static const std::vector<SharedText> noStrings;
    const StoredWorkbookParts *stored = wb.storedParts().get();
    StyleTable styles(stored ? stored->xfs : noStyles);
    StringTable strings(stored ? stored->strings : noStrings);
    PackagePlan plan = planPackage(wb, stored, strings);

    ZipWriter zip;
    std::size_t copied = 0;
    for (const SheetPart &p : plan.sheetParts)
        if (p.stored) copied += p.stored->compressed.size();
    zip.reserve(copied + (64 << 10));
    try {
        zip.add("[Content_Types].xml", contentTypesXml(plan));
        std::string packageRels;
        addRelationship(packageRels, 1, "/officeDocument", "xl/workbook.xml");
        zip.add("_rels/.rels", relationshipsXml(packageRels));
        zip.add("xl/workbook.xml", workbookXml(wb, plan));
        zip.add("xl/_rels/workbook.xml.rels", relationshipsXml(plan.relsXml));
        addSheetsAndTables(zip, plan, stored, styles, strings);
    } catch (const ZipError &e) {
        throw HostError(std::string("A munkafüzet nem menthető: ") + wb.fileName() + " (" + e.what() + ")");
    }
    return zip.finish();
}

} // namespace vandorix
