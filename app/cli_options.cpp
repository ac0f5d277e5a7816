#include "app/cli_options.h"

#include <functional>
#include <map>

namespace vesk::cli {

const char* usageText() {
    return R"(Usage: vesk-cli [options] [FOLDER...]
Searches the text files of the folders for the strings and prints every matching line.

  -s, --string TEXT     string to find; given twice or more: a multiple-strings search (required)
  -m, --mask MASK       file mask; given twice or more: an advanced mask list (default *.*)
  -r, --subfolders      search subfolders
  -w, --whole-words     whole words only
  -c, --case-sensitive  match case (the window's default is case-insensitive)
  -a, --all-words       all words of the string, in any order
  -E, --regex           the strings are regular expressions (PCRE2, bytes, a match never spans
                        a line break); with -R the replacement may use $0..$9 and $$
      --search-filename     test the file's full name for the string too
      --list-all-filenames  a heading row for every file searched
      --lines-with-no-match list the lines that do not match instead
      --files-with-no-match list the files without hits at the end
      --keep-binary         do not omit binary files, hidden folders and backups
      --keep-replace-files  do not omit the program's own search/replace files
      --simple-scan         do not always use the advanced folder scan
      --from "DATE TIME" --to "DATE TIME"   select files by modification time
  -f, --format grep|rows|listing|tsv|csv
                            grep: FILE:LINE:POS:TEXT for each match; rows: every row the run
                            writes as its cells 0, 2, 3 and 1 separated by TAB; listing, tsv,
                            csv: the window's text listing, tab-delimited and CSV exports
  -R, --replace TEXT    replacement for the --string before it (every --string then needs one;
                        -R '' removes the text); without --yes a dry run prints each line that
                        would change, before (-) and after (+), and writes nothing
      --yes             accept every replacement and save each file with an archive entry, a
                        backup and a change log; the backup names are printed
  -h, --help            this text

FOLDER: one is a simple folder; several are an advanced folder list; none is the current folder.
Exit status: 0 when a line matched, 1 when none did, 2 on an error.
)";
}

bool parseArguments(const std::vector<std::string>& args, CliOptions& out, std::string& error) {
    SearchOptions& s = out.search;
    const std::map<std::string, std::function<void()>> flags = {
        {"-r", [&] { s.SubFolders = true; }},
        {"--subfolders", [&] { s.SubFolders = true; }},
        {"-w", [&] { s.WholeWordsOnly = true; }},
        {"--whole-words", [&] { s.WholeWordsOnly = true; }},
        {"-c", [&] { s.CaseInsensitive = false; }},
        {"--case-sensitive", [&] { s.CaseInsensitive = false; }},
        {"-a", [&] { s.GoogleFind = true; }},
        {"--all-words", [&] { s.GoogleFind = true; }},
        {"-E", [&] { s.RegularExpressions = true; }},
        {"--regex", [&] { s.RegularExpressions = true; }},
        {"--search-filename", [&] { s.SearchFilename = true; }},
        {"--list-all-filenames", [&] { s.ListAllFilenames = true; }},
        {"--lines-with-no-match", [&] { s.LinesWithNoMatchesOnly = true; }},
        {"--files-with-no-match", [&] { s.FilesWithNoMatch = true; }},
        {"--keep-binary", [&] { s.OmitBinBak = false; }},
        {"--keep-replace-files", [&] { s.OmitVeskSR = false; }},
        {"--simple-scan", [&] { s.AlwaysAdvancedScan = false; }},
        {"--yes", [&] { out.yes = true; }},
        {"-h", [&] { out.help = true; }},
        {"--help", [&] { out.help = true; }},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (auto f = flags.find(a); f != flags.end()) {
            f->second();
            continue;
        }
        // Options that take a value, as "--opt VALUE" or "--opt=VALUE".
        std::string name = a, value;
        bool inlineValue = false;
        if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
            name = a.substr(0, a.find('='));
            value = a.substr(a.find('=') + 1);
            inlineValue = true;
        }
        const bool takesValue = name == "-s" || name == "--string" || name == "-m" || name == "--mask" ||
                                name == "-f" || name == "--format" || name == "--from" || name == "--to" ||
                                name == "-R" || name == "--replace";
        if (takesValue) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    error = "option " + a + " needs a value";
                    return false;
                }
                value = args[++i];
            }
            if (name == "-s" || name == "--string") {
                out.strings.push_back(value);
                out.replacements.emplace_back();
                out.hasReplacement.push_back(false);
            } else if (name == "-m" || name == "--mask") {
                out.masks.push_back(value);
            } else if (name == "--from") {
                out.from = value;
            } else if (name == "--to") {
                out.to = value;
            } else if (name == "-R" || name == "--replace") {
                if (out.strings.empty() || out.hasReplacement.back()) {
                    error = "--replace must follow the --string it replaces";
                    return false;
                }
                out.replacements.back() = value;
                out.hasReplacement.back() = true;
            } else if (value == "grep") {
                out.format = Format::Grep;
            } else if (value == "rows") {
                out.format = Format::Rows;
            } else if (value == "listing") {
                out.format = Format::Listing;
            } else if (value == "tsv") {
                out.format = Format::Tsv;
            } else if (value == "csv") {
                out.format = Format::Csv;
            } else {
                error = "unknown format '" + value + "' (grep, rows, listing, tsv or csv)";
                return false;
            }
            continue;
        }
        if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        }
        out.folders.push_back(a);
    }
    if (out.help) return true;
    if (out.strings.empty()) {
        error = "no string to find (use -s TEXT)";
        return false;
    }
    return true;
}

} // namespace vesk::cli
