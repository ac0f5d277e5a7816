#include "replace/find_set.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "lib/save_io.h"
#include "lib/text.h"
#include "replace/file_snapshot.h"

namespace vesk {

namespace {

bool readWhole(const std::string& fileName, std::string& out, std::string& error) {
    const int e = readRegularFile(fileName, out);
    if (e == 0) return true;
    error = e == EINVAL ? "not a regular file" : std::strerror(e);
    return false;
}

} // namespace

std::vector<FindPair> parseFindSet(std::string_view text) {
    std::vector<FindPair> pairs;
    for (const std::string& line : splitLines(text)) {
        if (trimView(line).empty()) continue;
        const std::size_t tab1 = line.find('\t');
        FindPair pair;
        pair.find = line.substr(0, tab1);
        if (trimView(pair.find).empty()) continue;
        if (tab1 != std::string::npos) {
            const std::size_t tab2 = line.find('\t', tab1 + 1);
            pair.replacement = line.substr(tab1 + 1, tab2 == std::string::npos ? std::string::npos
                                                                               : tab2 - tab1 - 1);
        }
        pairs.push_back(std::move(pair));
    }
    return pairs;
}

std::string tooManyPairsText(std::string_view what, std::size_t count) {
    return std::string(what) + " holds " + std::to_string(count) + " strings; at most " +
           std::to_string(kMaxStrings) + " can be used. Nothing was loaded - please split it.";
}

bool ImportFindSet(int columns, const std::string& fileName, StringSlots& table, Dialogs& dialogs) {
    struct stat st {};
    if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0) return false;
    std::string text, error;
    if (!readWhole(fileName, text, error)) {
        dialogs.showMessage("Unable to read the set file " + fileName + ": " + error);
        return false;
    }
    const std::vector<FindPair> pairs = parseFindSet(text);
    if (pairs.size() > static_cast<std::size_t>(kMaxStrings)) {
        dialogs.showMessage(tooManyPairsText("The set file " + fileName, pairs.size()));
        return false;
    }
    for (std::string& s : table.FindStrings)
        s.clear();
    if (columns == 2)
        for (std::string& s : table.ReplaceStrings)
            s.clear();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        table.FindStrings[i] = pairs[i].find;
        if (columns == 2) table.ReplaceStrings[i] = pairs[i].replacement;
    }
    table.FindCount = static_cast<int>(pairs.size());
    return true;
}

void FindSetToGrid(int columns, const StringSlots& table, StringGrid* grid) {
    if (!grid) return;
    const int count = std::clamp(table.FindCount, 0, kMaxStrings);
    grid->setRowCount(std::max(count, 1));
    grid->blankRow(0);
    for (int i = 0; i < count; ++i) {
        grid->setCell(0, i, table.FindStrings[i]);
        if (columns == 2 && grid->colCount() > 1) grid->setCell(1, i, table.ReplaceStrings[i]);
    }
}

std::optional<std::string> GridToFindSet(int columns, const StringGrid& grid, StringSlots& table,
                                         Dialogs& dialogs) {
    std::vector<FindPair> pairs;
    for (int r = 0; r < grid.rowCount(); ++r) {
        const std::string_view find = grid.cell(0, r);
        if (trimView(find).empty()) continue;
        FindPair p{std::string(find), {}};
        if (columns == 2 && grid.colCount() > 1) p.replacement = std::string(grid.cell(1, r));
        pairs.push_back(std::move(p));
    }
    if (pairs.size() > static_cast<std::size_t>(kMaxStrings)) {
        dialogs.showMessage(tooManyPairsText("The list", pairs.size()));
        return std::nullopt;
    }
    table.FindCount = 0;
    for (std::string& s : table.FindStrings)
        s.clear();
    for (const FindPair& p : pairs) {
        table.FindStrings[table.FindCount] = p.find;
        if (columns == 2) table.ReplaceStrings[table.FindCount] = p.replacement;
        ++table.FindCount;
    }
    if (table.FindCount <= 1) return table.FindStrings[0];
    std::string text;
    for (int i = 0; i < table.FindCount; ++i)
        text += "<" + table.FindStrings[i] + ">";
    return text;
}

} // namespace vesk
