#pragma once

#include <string>
#include <string_view>

namespace vandorix {

// The sheet names the program reads and writes, in one place.
namespace sheets {

// "Befszla.xls": the account workbook.
inline constexpr const char *kLedger = "Befszla01";
inline constexpr const char *kLedgerStatement = "Befszla02";
inline constexpr const char *kValues = "Ertek01";
inline constexpr const char *kResults = "Eredmeny01";
inline constexpr const char *kArchive = "ARHIV01";

// "ISIN01.xls": the product list.
inline constexpr const char *kProductList = "BET01";

// A product workbook: "<name>01" (daily prices) and "<name>02" (chart source) are named after
// the product; the other three are hidden.
inline constexpr const char *kPriceSuffix = "01";
inline constexpr const char *kChartSuffix = "02";
inline constexpr const char *kTrades = "Szla";
inline constexpr const char *kTradeStatement = "Szla02";
inline constexpr const char *kAuxiliary = "Segéd01";

// The deleted-row logs (the product log reuses "Szla").
inline constexpr const char *kAccountLog = "Befszlatörsor01";

} // namespace sheets

// "<product>01" and "<product>02" of a product workbook.
inline std::string PriceSheetName(std::string_view product) {
    return std::string(product) + sheets::kPriceSuffix;
}
inline std::string ChartSourceSheetName(std::string_view product) {
    return std::string(product) + sheets::kChartSuffix;
}

// The sheet names of the account workbook, in their fixed order.
inline constexpr const char *kAccountSheets[] = {sheets::kLedger, sheets::kLedgerStatement,
                                                 sheets::kValues, sheets::kResults,
                                                 sheets::kArchive};
inline constexpr const char *kProductHiddenSheets[] = {sheets::kTrades, sheets::kTradeStatement,
                                                       sheets::kAuxiliary};

} // namespace vandorix
