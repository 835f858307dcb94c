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
//  - data rows from row 5 without gaps (no dated row below the first empty column A), dates
//    ascending, each row a settlement code, no code twice;
//  - T the running sum of S;
//  - the totals row three rows below the last data row: "Összesen" in B, the sums of E, F, G,
//    L to R, T equal to the last row's T; rows L+1, L+2 and L+4 empty; no other totals row;
//  - V2 the totals row's number, A2 "<first date> -től      <last date> -ig.";
//  - an empty ledger: zero totals in row 7, V2 = 7, A2 empty.
// Returns one line per violation; empty when the ledger is sound.
// A movement modified to another date keeps its row, so after such a change the dates need
// not ascend: `DateOrder::NotChecked` leaves that one rule out.
enum class DateOrder { Checked, NotChecked };
std::vector<std::string> LedgerViolations(const Sheet &ledger, DateOrder order = DateOrder::Checked);

::testing::AssertionResult LedgerIsSound(const Sheet &ledger, DateOrder order = DateOrder::Checked);
// Reads "Befszla01" from the account workbook file as stored.
::testing::AssertionResult StoredLedgerIsSound(const std::filesystem::path &accountWorkbook,
                                               DateOrder order = DateOrder::Checked);

} // namespace vandorix::testing
