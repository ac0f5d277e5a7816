#include "results/text_report.h"

#include "lib/datetime.h"

namespace vesk {

std::string ReportTextFor(const ReportSource& s) {
    std::string text = "Vesk results for: " + s.SearchStringsText + "\r\n";
    text += "Folder: " + s.FoldersSearchedText + "\r\n";
    text += "Number Folders: " + s.folderCountText + "\r\n";
    text += "Filespec: " + s.fileSpecText + "\r\n\r\n";
    text += s.statusText + "\r\n";
    return text;
}

TextReport PrepareTextReport(const ReportSource& source, DateValue now, std::string_view folder) {
    TextReport r;
    // One reading of the clock, so the file name and the Date field agree to the second.
    r.ReportDateTime = formatDate(now, kFormatIsoDateTime);
    r.ReportFileName = std::string(folder) + "Vesk-" + formatDate(now, kFormatStamp) + ".txt";
    r.ReportText = ReportTextFor(source);
    r.StringsText = source.stringsText;
    return r;
}

} // namespace vesk
