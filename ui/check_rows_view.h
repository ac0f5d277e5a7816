#pragma once
// A QListWidget of check-marked rows showing `CheckRow`s. Each row keeps its exact bytes beside
// the text shown, so a name that is not valid UTF-8 comes back unchanged.

#include <QString>
#include <string_view>
#include <vector>

#include "settings/list_windows.h"

class QListWidget;

namespace vesk {

using RowDisplay = QString (*)(std::string_view);

// Replaces the list's rows; no itemChanged signal is sent while filling.
void showCheckRows(QListWidget* list, const std::vector<CheckRow>& rows, RowDisplay display);
std::vector<CheckRow> checkRowsOf(const QListWidget* list);
// The first selected row, or row 0 when none is selected (-1 for an empty list).
int selectedCheckRow(const QListWidget* list);

} // namespace vesk
