#pragma once

#include "store/Workbook.h"

#include <array>
#include <memory>

namespace vandorix {

// The workbooks that the program expects to find but never creates itself: the account
// workbook, the product list and the three templates from which product workbooks and the
// deleted-row logs are copied. Each comes in its stored state: title and heading rows, the
// data rows' formats prepared on row 5 and below, every sheet protected with the sheet
// password, the structure with the workbook password, and the right sheets hidden.
namespace install {

inline constexpr const char *kWorkbookPassword = "Hx4m27Qb";
inline constexpr const char *kSheetPassword = "r5Lw93Ze";

inline constexpr const char *kMasterDataFolder = "Torzs";
inline constexpr const char *kProductsFolder = "Termekek";
inline constexpr const char *kAuxiliaryFolder = "Seged";
inline constexpr const char *kArchiveFolder = "Arhiv";
inline constexpr const char *kProgramFolder = "Program";

inline constexpr const char *kAccountWorkbookFile = "Befszla.xls";
inline constexpr const char *kProductListFile = "ISIN01.xls";
inline constexpr const char *kProductTemplateFile = "Termékminta.xls";
inline constexpr const char *kAccountLogTemplateFile = "Befszlatöröltsorokminta.xls";
inline constexpr const char *kProductLogTemplateFile = "Terméktöröltsorokminta.xls";

// The name the product template goes by: its two daily sheets are "Termékminta01" and
// "Termékminta02" until registration renames them after the product.
inline constexpr const char *kTemplateProductName = "Termékminta";
// The product-list entry that stands for a share not yet listed.
inline constexpr const char *kOtherShareEntry = "Más részvény";

} // namespace install

// "Befszla.xls": "Befszla01", "Befszla02", "Ertek01", "Eredmeny01", "ARHIV01", all visible.
// The ledger is empty: row 5 is empty, the totals of no rows stand in row 7 and V2 points at
// them, as a recomputation of an empty ledger by the general rule would leave them.
std::unique_ptr<Workbook> makeAccountWorkbook();

// "ISIN01.xls": sheet "BET01" listing "Más részvény" in column 2 of row 5.
std::unique_ptr<Workbook> makeProductList();

// "Termékminta.xls": "Termékminta01", "Termékminta02" visible; "Szla", "Szla02", "Segéd01"
// hidden. "Szla" holds the state of a trade sheet without trades (S2 = 7, totals in row 7).
std::unique_ptr<Workbook> makeProductTemplate();

// "Befszlatöröltsorokminta.xls": "Befszlatörsor01" with the ledger's columns, and "Segéd01".
std::unique_ptr<Workbook> makeAccountDeletionLogTemplate();

// "Terméktöröltsorokminta.xls": "Szla" with the trade sheet's columns, and "Segéd01".
std::unique_ptr<Workbook> makeProductDeletionLogTemplate();

// One workbook of a new installation: its data folder, file name and builder.
struct InstallationWorkbook {
    const char *folder;
    const char *fileName;
    std::unique_ptr<Workbook> (*make)();
};

inline constexpr std::array<InstallationWorkbook, 5> kInstallationWorkbooks{{
    {install::kMasterDataFolder, install::kAccountWorkbookFile, &makeAccountWorkbook},
    {install::kAuxiliaryFolder, install::kProductListFile, &makeProductList},
    {install::kAuxiliaryFolder, install::kProductTemplateFile, &makeProductTemplate},
    {install::kAuxiliaryFolder, install::kAccountLogTemplateFile, &makeAccountDeletionLogTemplate},
    {install::kAuxiliaryFolder, install::kProductLogTemplateFile, &makeProductDeletionLogTemplate},
}};

} // namespace vandorix
