#include "search/file_search.h"

#include "lib/program_folder.h"
#include "lib/text.h"
#include "search/regex_search.h"

namespace vesk {

namespace {

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

} // namespace

QuerySet::QuerySet(const LineQuery& base) {
    for (std::size_t i = 0; i < forms_.size(); ++i) {
        forms_[i] = base;
        forms_[i].invert = i >= 2;
        forms_[i].countPartialHits = i % 2 == 1;
    }
}

bool excludedByName(const std::string& path, const FileRules& rules, const NameRules& names) {
    if (rules.omitBinBak) {
        if (containsNoCase(path, ".bak")) return true;
        for (const char* part : {".~", ".dcu", ".exe", ".dll", ".jarc"})
            if (contains(path, part)) return true;
        if (!names.mapInMask && contains(path, ".map")) return true;
    }
    return rules.omitVeskSR && containsNoCase(path, "-VeskSearchReplace-");
}

bool wrongExtension(const std::string& path, const FileRules& rules, const NameRules& names) {
    return rules.filespecMode == 1 && names.exactExtension &&
           !equalsNoCase(trimView(fileExtension(path)), names.specExt);
}

FileCheck checkFile(const std::string& path, bool wrongExt, TextFileReader& reader,
                    const Clock& clock) {
    FileCheck check;
    // The budget covers everything done with the file, its first access included.
    check.deadline = clock.now() + 2 * kOneSecond;
    if (wrongExt) {
        check.exists = isExistingFile(path);
        check.wrongExtension = check.exists;
        return check;
    }
    // Opening answers "is it an existing file" without a second look-up of the path.
    std::string openError;
    if (!reader.open(path, openError)) {
        reader.close();
        check.exists = isExistingFile(path);
        check.text.error = openError;
        return check;
    }
    check.exists = true;
    const std::string_view head = reader.head();
    check.text = classifyTextBytes(head.data(), head.size());
    if (!check.text.isText) reader.close();
    return check;
}

namespace {

template <class Searcher>
FileTally searchSegments(TextFileReader& reader, Searcher& searcher, LineVisitor& visitor,
                         const std::function<bool()>& stopWhen) {
    FileTally tally;
    std::string_view segment;
    while (true) {
        if (stopWhen && stopWhen()) {
            tally.cancelled = true;
            break;
        }
        if (!reader.nextSegment(segment, tally.loadError)) {
            tally.loaded = false;
            break;
        }
        if (segment.empty() || !searcher.searchSegment(segment, visitor)) break;
    }
    reader.close();
    if (tally.loaded) searcher.finish();
    tally.timedOut = searcher.timedOut();
    tally.linesExamined = searcher.linesExamined();
    tally.hitLines = searcher.hitLines();
    return tally;
}

} // namespace

FileTally searchText(TextFileReader& reader, const LineQuery& query, const Clock& clock,
                     DateValue deadline, LineVisitor& visitor,
                     const std::function<bool()>& stopWhen, const ExpressionSearch& expressions) {
    if (expressions.expressions && expressions.matcher) {
        RegexLineSearcher searcher(query, *expressions.expressions, *expressions.matcher, clock,
                                   deadline);
        return searchSegments(reader, searcher, visitor, stopWhen);
    }
    LineSearcher searcher(query, clock, deadline);
    return searchSegments(reader, searcher, visitor, stopWhen);
}

} // namespace vesk
