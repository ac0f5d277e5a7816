#pragma once
// vesk-cli's command line.

#include <string>
#include <vector>

#include "search/search_options.h"

namespace vesk::cli {

enum class Format { Grep, Rows, Listing, Tsv, Csv };

struct CliOptions {
    bool help = false;
    std::vector<std::string> strings;
    std::vector<std::string> replacements; // one per --string when given; see --replace
    std::vector<bool> hasReplacement;
    std::vector<std::string> masks;
    std::vector<std::string> folders;
    std::string from, to;
    bool yes = false;
    Format format = Format::Grep;
    SearchOptions search;
};

// Parses the arguments; false with a message for a bad one.
bool parseArguments(const std::vector<std::string>& args, CliOptions& out, std::string& error);
const char* usageText();

} // namespace vesk::cli
