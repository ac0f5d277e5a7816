#include "results/tab_export.h"

#include <algorithm>

#include "lib/datetime.h"
#include "lib/text.h"

namespace vesk {

namespace {

struct FileFacts {
    std::string name;
    std::string dateText;
    std::string sizeText;
    bool known = false;
};

// The Line field: TABs become blanks, as the plain form has always written it.
std::string lineField(std::string_view text) {
    std::string line(text);
    std::replace(line.begin(), line.end(), '\t', ' ');
    return line;
}

void appendRecord(const TabRecord& record, bool csv, std::string& out) {
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (i) out += '\t';
        out += csv ? csvField(record[i]) : tsvField(record[i]);
    }
    out += "\r\n";
}

} // namespace

bool isExportedRow(std::string_view column0) {
    const std::string_view c = trimView(column0);
    return !c.empty() && c != "0" && c != "-1";
}

std::string tabExportFileName(std::string_view reportFileName, bool csv) {
    if (!csv) {
        const std::size_t keep = reportFileName.size() > 4 ? reportFileName.size() - 4 : 0;
        return std::string(reportFileName.substr(0, keep)) + "-SS-Tab.txt";
    }
    const std::string_view ext = fileExtension(reportFileName);
    return std::string(reportFileName.substr(0, reportFileName.size() - ext.size())) + ".csv";
}

std::string csvField(std::string_view field) {
    if (field.find_first_of("\t,\"\r\n") == std::string_view::npos) return std::string(field);
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string tsvField(std::string_view field) {
    std::string plain(field);
    for (char& c : plain)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return plain;
}

std::string tabExportText(const StringGrid& grid, std::string_view date,
                          std::string_view stringsText, const TabExportOptions& options) {
    std::string out;
    if (options.WriteCSV) out.append(kTabSeparatorLine).append("\r\n");
    if (options.ColumnHeaders) out.append(kTabHeaderLine).append("\r\n");
    FileFacts facts;
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (!isExportedRow(grid.cell(0, r))) continue;
        const std::string_view file = grid.cell(2, r);
        if (!facts.known || facts.name != file) {
            facts.name = std::string(file);
            facts.dateText = xcFileDateText(facts.name);
            facts.sizeText = numberText(xcFileSize(facts.name));
            facts.known = true;
        }
        const TabRecord record{std::string(date),
                               std::string(stringsText),
                               facts.name,
                               facts.dateText,
                               facts.sizeText,
                               std::string(grid.cell(0, r)),
                               lineField(grid.cell(1, r))};
        appendRecord(record, options.WriteCSV, out);
    }
    return out;
}

} // namespace vesk
