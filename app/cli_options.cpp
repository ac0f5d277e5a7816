#include "app/cli_options.h"

#include <getopt.h>

namespace vesk::cli {

#ifndef VESK_VERSION
#define VESK_VERSION "unknown"
#endif

const char* usageText() {
    return R"(Usage: vesk-cli [options] [--] [FOLDER...]
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
      --from "DATE TIME" --to "DATE TIME"   select files by modification time; the time may be
                            left out ("07 DEC 26", "2026-12-07 09:30", "7/12/26 1:05pm")
  -f, --format grep|rows|listing|tsv|csv
                            grep: FILE:LINE:POS:TEXT for each match; rows: every row the run
                            writes as its cells 0, 2, 3 and 1 separated by TAB; listing, tsv,
                            csv: the window's text listing, tab-delimited and CSV exports
      --color[=auto|always|never]  highlight the matched text in the grep format (auto, the
                            default: when standard output is a terminal)
  -R, --replace TEXT    replacement for the --string before it (every --string then needs one;
                        -R '' removes the text); without --yes a dry run prints each line that
                        would change, before (-) and after (+), and writes nothing
      --yes             accept every replacement and save each file with an archive entry, a
                        backup and a change log; the backup names are printed
  -V, --version         the program's version
  -h, --help            this text

Rows are printed as the run finds them; the run's status line goes to standard error.
FOLDER: one is a simple folder; several are an advanced folder list; none is the current folder.
With --from or --to the folders are passed as an advanced list even when there is one.
Exit status: 0 when a line matched, 1 when none did, 2 on an error (a bad option, mask, date or
folder, an error row such as a file that could not be read, a save refused, output that could
not be written).
)";
}

std::string versionText() {
    return "vesk-cli " VESK_VERSION "\n";
}

namespace {

// Values of the long options that have no short form.
enum LongOnly : int {
    kSearchFilename = 256,
    kListAllFilenames,
    kLinesWithNoMatch,
    kFilesWithNoMatch,
    kKeepBinary,
    kKeepReplaceFiles,
    kSimpleScan,
    kFrom,
    kTo,
    kColor,
    kYes,
};

// A leading ":" makes getopt_long report a missing value apart from an unknown option.
constexpr char kShortOptions[] = ":s:m:rwcaEf:R:Vh";

// One row per option; -E/--regex and the rest of the search switches sit together.
constexpr option kLongOptions[] = {
    {"string", required_argument, nullptr, 's'},
    {"mask", required_argument, nullptr, 'm'},
    {"subfolders", no_argument, nullptr, 'r'},
    {"whole-words", no_argument, nullptr, 'w'},
    {"case-sensitive", no_argument, nullptr, 'c'},
    {"all-words", no_argument, nullptr, 'a'},
    {"regex", no_argument, nullptr, 'E'},
    {"search-filename", no_argument, nullptr, kSearchFilename},
    {"list-all-filenames", no_argument, nullptr, kListAllFilenames},
    {"lines-with-no-match", no_argument, nullptr, kLinesWithNoMatch},
    {"files-with-no-match", no_argument, nullptr, kFilesWithNoMatch},
    {"keep-binary", no_argument, nullptr, kKeepBinary},
    {"keep-replace-files", no_argument, nullptr, kKeepReplaceFiles},
    {"simple-scan", no_argument, nullptr, kSimpleScan},
    {"from", required_argument, nullptr, kFrom},
    {"to", required_argument, nullptr, kTo},
    {"format", required_argument, nullptr, 'f'},
    {"color", optional_argument, nullptr, kColor},
    {"colour", optional_argument, nullptr, kColor},
    {"replace", required_argument, nullptr, 'R'},
    {"yes", no_argument, nullptr, kYes},
    {"version", no_argument, nullptr, 'V'},
    {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
};

bool readFormat(const std::string& value, Format& format, std::string& error) {
    static const std::pair<const char*, Format> kNames[] = {{"grep", Format::Grep},
                                                            {"rows", Format::Rows},
                                                            {"listing", Format::Listing},
                                                            {"tsv", Format::Tsv},
                                                            {"csv", Format::Csv}};
    for (const auto& [name, f] : kNames)
        if (value == name) {
            format = f;
            return true;
        }
    error = "unknown format '" + value + "' (grep, rows, listing, tsv or csv)";
    return false;
}

bool readColor(const char* value, ColorMode& color, std::string& error) {
    const std::string v = value ? value : "auto";
    if (v == "auto")
        color = ColorMode::Auto;
    else if (v == "always")
        color = ColorMode::Always;
    else if (v == "never")
        color = ColorMode::Never;
    else {
        error = "unknown --color value '" + v + "' (auto, always or never)";
        return false;
    }
    return true;
}

// getopt_long's own messages are off: its report becomes ours.
std::string optionFault(int code, const char* arg) {
    const std::string text = arg ? arg : "";
    const bool shortOption = optopt > 0 && optopt < 256 && text.rfind("--", 0) != 0;
    const std::string name =
        shortOption ? std::string("-") + static_cast<char>(optopt) : text.substr(0, text.find('='));
    if (code == ':') return "option " + name + " needs a value";
    if (!shortOption && text.find('=') != std::string::npos)
        return "unknown option " + name + ", or it takes no value";
    return "unknown option " + name;
}

} // namespace

bool parseArguments(const std::vector<std::string>& args, CliOptions& out, std::string& error) {
    // getopt_long permutes the array it is given: it gets copies it may reorder.
    std::vector<std::string> storage;
    storage.reserve(args.size() + 1);
    storage.emplace_back("vesk-cli");
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(storage.size());

    SearchOptions& s = out.search;
    optind = 0; // restarts the scan (a previous call may have left it anywhere)
    opterr = 0;
    int code;
    while ((code = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr)) != -1) {
        switch (code) {
        case 's':
            out.strings.emplace_back(optarg);
            out.replacements.emplace_back();
            out.hasReplacement.push_back(false);
            break;
        case 'm':
            out.masks.emplace_back(optarg);
            break;
        case 'r':
            s.SubFolders = true;
            break;
        case 'w':
            s.WholeWordsOnly = true;
            break;
        case 'c':
            s.CaseInsensitive = false;
            break;
        case 'a':
            s.GoogleFind = true;
            break;
        case 'E':
            s.RegularExpressions = true;
            break;
        case kSearchFilename:
            s.SearchFilename = true;
            break;
        case kListAllFilenames:
            s.ListAllFilenames = true;
            break;
        case kLinesWithNoMatch:
            s.LinesWithNoMatchesOnly = true;
            break;
        case kFilesWithNoMatch:
            s.FilesWithNoMatch = true;
            break;
        case kKeepBinary:
            s.OmitBinBak = false;
            break;
        case kKeepReplaceFiles:
            s.OmitVeskSR = false;
            break;
        case kSimpleScan:
            s.AlwaysAdvancedScan = false;
            break;
        case kFrom:
            out.from = optarg;
            break;
        case kTo:
            out.to = optarg;
            break;
        case 'f':
            if (!readFormat(optarg, out.format, error)) return false;
            break;
        case kColor:
            if (!readColor(optarg, out.color, error)) return false;
            break;
        case 'R':
            if (out.strings.empty() || out.hasReplacement.back()) {
                error = "--replace must follow the --string it replaces";
                return false;
            }
            out.replacements.back() = optarg;
            out.hasReplacement.back() = true;
            break;
        case kYes:
            out.yes = true;
            break;
        case 'V':
            out.version = true;
            break;
        case 'h':
            out.help = true;
            break;
        default:
            error = optionFault(code, argv[static_cast<std::size_t>(optind) - 1]);
            return false;
        }
    }
    for (int i = optind; i < argc; ++i)
        out.folders.emplace_back(argv[static_cast<std::size_t>(i)]);
    if (out.help || out.version) return true;
    if (out.strings.empty()) {
        error = "no string to find (use -s TEXT)";
        return false;
    }
    return true;
}

} // namespace vesk::cli
