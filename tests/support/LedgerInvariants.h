#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vandorix {
class Sheet;
}

namespace vandorix::testing {

// Checks what every writer of the ledger "Befszla01" keeps, computing each figure on its own:
// data rows from row 5 without gaps, dates ascending, a settlement code on each row and none
// twice; T the running sum of S; the totals row (L) three rows below the last data row with
// "Összesen" in B, the sums of E, F, G, L to R, T, and rows L+1, L+2, L+4 empty; no other
// totals row; V2 its number, A2 "<first date> -től      <last date> -ig." (empty, with the
// totals in row 7, for an empty ledger). Returns one line per violation.
// A movement modified to another date keeps its row, so after such a change the dates need
// not ascend: `DateOrder::NotChecked` leaves that one rule out.
enum class DateOrder { Checked, NotChecked };
std::vector<std::string> LedgerViolations(const Sheet &ledger,
                                          DateOrder order = DateOrder::Checked);

::testing::AssertionResult LedgerIsSound(const Sheet &ledger, DateOrder order = DateOrder::Checked);
// Reads "Befszla01" from the account workbook file as stored.
::testing::AssertionResult StoredLedgerIsSound(const std::filesystem::path &accountWorkbook,
                                               DateOrder order = DateOrder::Checked);

} // namespace vandorix::testing
