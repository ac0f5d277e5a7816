#include "replace/replace_pairs.h"

#include <algorithm>

#include "lib/datetime.h"
#include "lib/text.h"
#include "replace/find_set.h"

namespace vesk {

int PairsToGrid(StringSlots& table, StringGrid& grid, std::string_view currentSearch) {
    if (table.FindCount <= 0) {
        grid.setRowCount(1);
        grid.setCell(0, 0, currentSearch);
        grid.setCell(1, 0, currentSearch);
        table.FindStrings[0] = std::string(currentSearch);
        table.ReplaceStrings[0] = std::string(currentSearch);
        table.FindCount = 1;
        return 1;
    }
    const int count = std::min(table.FindCount, kMaxStrings);
    grid.setRowCount(count);
    for (int i = 0; i < count; ++i) {
        grid.setCell(0, i, table.FindStrings[i]);
        grid.setCell(1, i, table.ReplaceStrings[i]);
    }
    return count;
}

bool GridToPairs(const StringGrid& grid, StringSlots& table, Dialogs& dialogs) {
    const int rows = grid.rowCount();
    if (rows > kMaxStrings) {
        dialogs.showMessage(tooManyPairsText("The grid", static_cast<std::size_t>(rows)));
        return false;
    }
    for (int r = 0; r < rows; ++r) {
        const std::string_view find = grid.cell(0, r);
        table.FindStrings[r] = trimView(find).empty() ? std::string() : std::string(find);
        table.ReplaceStrings[r] = std::string(grid.cell(1, r));
    }
    table.FindCount = rows;
    return true;
}

PairsDisplay pairsDisplay(const StringSlots& table) {
    PairsDisplay d;
    d.searchText = "Replace - Strings to find:\r\n";
    const int count = std::clamp(table.FindCount, 0, kMaxStrings);
    for (int i = 0; i < count; ++i) {
        const std::string& s = table.FindStrings[i];
        if (trimView(s).empty()) continue;
        d.searchText += "," + s;
        if (!d.hint.empty()) d.hint += '\n';
        d.hint += s;
    }
    d.countLabel = numberText(count) + " String" + (count == 1 ? "" : "s");
    return d;
}

std::string findStringsCountText(int count) {
    return "Number strings to search for=" + numberText(count);
}

int gridRowsFromText(std::string_view text, Dialogs& dialogs) {
    int n = 0;
    if (!parsePlainInt(text, n) || n < 1) return 1;
    if (n > kMaxStrings) {
        dialogs.showMessage("At most " + numberText(kMaxStrings) +
                            " find/replace pairs can be used; the grid gets " +
                            numberText(kMaxStrings) + " rows.");
        return kMaxStrings;
    }
    return n;
}

} // namespace vesk
