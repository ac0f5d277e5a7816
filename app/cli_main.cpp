// vesk-cli: the search run without windows, for scripts, tests and benchmarks.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/cli_host.h"
#include "app/cli_options.h"
#include "search/read_ahead.h"
#include "search/search_run.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    vesk::cli::CliOptions opts;
    std::string error;
    if (!vesk::cli::parseArguments(args, opts, error)) {
        std::fprintf(stderr, "vesk-cli: %s\n", error.c_str());
        std::fprintf(stderr, "Try 'vesk-cli --help'.\n");
        return 2;
    }
    opts.search.Workers = vesk::workerCount(std::getenv("VESK_WORKERS")); // unset: one per core
    if (opts.help || opts.version) {
        std::fputs(opts.help ? vesk::cli::usageText() : vesk::cli::versionText().c_str(), stdout);
        if (std::fflush(stdout) != 0) {
            std::fprintf(stderr, "vesk-cli: write error: %s\n", std::strerror(errno));
            return 2;
        }
        return 0;
    }
    return vesk::cli::runSearch(opts, std::cout, std::cerr, isatty(STDOUT_FILENO) == 1);
}
