#pragma once

#include <QString>

namespace verz {

// The remembered pair row: application name, section "data", key "list",
// the row as decimal text, row 6 ("Français vers Anglais") when absent.
inline constexpr int kDefaultPairRow = 6;

// A stored text that is not a whole decimal number from 0 to 15 (empty, "abc",
// "5.5", "-1", "99", edited by hand) falls back to the default row.
int ParseStoredRow(const QString &stored);

int ReadStoredRow(const QString &appName);
void StoreRow(const QString &appName, int row);

}  // namespace verz
