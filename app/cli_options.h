#pragma once
// vesk-cli's command line, read with getopt_long: bundled short options, attached values, "--"
// ends the options, and every --replace belongs to the --string before it.

#include <string>
#include <vector>

#include "search/search_options.h"

namespace vesk::cli {

enum class Format { Grep, Rows, Listing, Tsv, Csv };
// --color: highlight the matched text; Auto only when standard output is a terminal.
enum class ColorMode { Auto, Always, Never };

struct CliOptions {
    bool help = false;
    bool version = false;
    std::vector<std::string> strings;
    std::vector<std::string> replacements; // one per --string when given; see --replace
    std::vector<bool> hasReplacement;
    std::vector<std::string> masks;
    std::vector<std::string> folders;
    std::string from, to;
    bool yes = false;
    Format format = Format::Grep;
    ColorMode color = ColorMode::Auto;
    SearchOptions search;
};

// Parses the arguments (without the program name); false with a message for a bad one.
bool parseArguments(const std::vector<std::string>& args, CliOptions& out, std::string& error);
const char* usageText();
// "vesk-cli VERSION" and its line.
std::string versionText();

} // namespace vesk::cli
