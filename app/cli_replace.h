#pragma once
// Replace from vesk-cli: every line holding a find string is accepted. Without --yes nothing is
// written: each line that would change is printed before and after. With --yes each file is saved
// exactly as the review window's "Save this File" saves it (archive entry, backup, change log, the
// same safety rules) and its backup name is printed.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/cli_options.h"
#include "lib/dialogs.h"
#include "lib/string_slots.h"
#include "search/search_host.h"

namespace vesk::cli {

// True when a --replace was given.
bool isReplaceRun(const CliOptions& cli);
// Why a replace run cannot start (empty when it can): every --string needs its --replace, so
// that no text is removed by an oversight (-R '' removes on purpose).
std::string replaceArgumentsError(const CliOptions& cli);

class CliReplace {
public:
    // `slots` are the run's find/replace table; changes and backups are printed to `out`.
    CliReplace(const StringSlots& slots, bool save, std::ostream& out, Dialogs& dialogs);
    ~CliReplace();
    CliReplace(const CliReplace&) = delete;
    CliReplace& operator=(const CliReplace&) = delete;

    ReviewOutcome review(const ReviewRequest& request);
    // After the run: a dry run says what it left alone. The exit status: 2 when a save was
    // refused or failed, else 0 when a line matched, 1 when none did.
    int finish(std::int64_t matchedLines, std::ostream& err) const;

    int changedLines() const;
    int changedFiles() const;
    // Files --yes did not save although they had hits: refused (a file the review will not
    // rewrite) or failed; either way the review told why.
    int failedSaves() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vesk::cli
