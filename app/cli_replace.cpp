#include "app/cli_replace.h"

#include <ostream>

#include "lib/channels.h"
#include "lib/clock.h"
#include "lib/commands.h"
#include "lib/posix_shell.h"
#include "lib/program_folder.h"
#include "replace/archive.h"
#include "replace/replace_review.h"
#include "settings/settings.h"

namespace vesk::cli {

bool isReplaceRun(const CliOptions& cli) {
    for (bool r : cli.hasReplacement)
        if (r) return true;
    return false;
}

std::string replaceArgumentsError(const CliOptions& cli) {
    if (!isReplaceRun(cli)) return {};
    for (std::size_t i = 0; i < cli.strings.size(); ++i)
        if (i >= cli.hasReplacement.size() || !cli.hasReplacement[i])
            return "--string '" + cli.strings[i] +
                   "' has no --replace (give -R '' to remove the text)";
    if (cli.strings.size() > static_cast<std::size_t>(kMaxStrings))
        return "at most " + std::to_string(kMaxStrings) + " find/replace pairs can be given";
    if (cli.search.GoogleFind) return "--all-words cannot be used with --replace";
    if (cli.search.LinesWithNoMatchesOnly)
        return "--lines-with-no-match cannot be used with --replace";
    return {};
}

namespace {

// Stands in for the review window: prints the accepted changes, then saves or drops them.
class PrintingWindow final : public ReviewWindow {
public:
    PrintingWindow(bool save, std::ostream& out) : save_(save), out_(out) {}

    void showReview(ReplaceReview& review) override {
        const auto& before = review.fileLines();
        for (const ChangedLine& c : review.changedLines()) {
            ++lines;
            const std::string where = review.fileName() + ":" + std::to_string(c.index + 1) + ":";
            out_ << where << "-" << before[c.index] << '\n' << where << "+" << c.after << '\n';
        }
        ++files;
        if (save_ && review.SaveFile())
            out_ << review.fileName() << ": Changes=" << review.changes()
                 << " Backup file=" << review.backupFileName() << '\n';
        // Nothing was written for the differences viewer, so there is no temp file to remove.
        if (review.windowOpen()) review.FormClose();
    }

    int lines = 0, files = 0;

private:
    bool save_;
    std::ostream& out_;
};

// Passes the review's messages on and counts them: a review that said something and saved nothing
// was refused (a file it will not rewrite, a save that failed).
class CountingDialogs final : public Dialogs {
public:
    explicit CountingDialogs(Dialogs& inner) : inner_(inner) {}
    void showMessage(std::string_view text) override {
        ++messages;
        inner_.showMessage(text);
    }
    bool askYesNo(std::string_view caption, std::string_view text) override {
        return inner_.askYesNo(caption, text);
    }
    Answer confirmLine(std::string_view caption, std::string_view text) override {
        return inner_.confirmLine(caption, text);
    }
    std::optional<std::string> promptText(std::string_view caption, std::string_view text,
                                          std::string_view initial) override {
        return inner_.promptText(caption, text, initial);
    }
    std::optional<std::string> pickFolder(std::string_view caption,
                                          std::string_view start) override {
        return inner_.pickFolder(caption, start);
    }
    std::optional<std::string> pickFile(std::string_view caption, std::string_view start,
                                        std::string_view filter) override {
        return inner_.pickFile(caption, start, filter);
    }

    int messages = 0;

private:
    Dialogs& inner_;
};

} // namespace

class CliReplace::Impl {
public:
    Impl(const StringSlots& table, bool saving, std::ostream& out, Dialogs& userDialogs)
        : slots(table), save(saving), dialogs(userDialogs), channels(dialogs),
          commands(shell, dialogs, channels, clock), window(saving, out),
          review(commands, window, reviewSetup()) {}

    static ReviewSetup reviewSetup() {
        ReviewSetup s;
        s.archivePath = archivePathIn(stateFolder());
        s.settingsPath = SettingsPath();
        return s;
    }

    const StringSlots& slots;
    bool save;
    CountingDialogs dialogs;
    int refused = 0;
    PosixShell shell;
    SystemClock clock;
    ChannelTable channels;
    CommandContext commands;
    PrintingWindow window;
    ReplaceReview review;
};

CliReplace::CliReplace(const StringSlots& slots, bool save, std::ostream& out, Dialogs& dialogs)
    : impl_(std::make_unique<Impl>(slots, save, out, dialogs)) {}

CliReplace::~CliReplace() = default;

ReviewOutcome CliReplace::review(const ReviewRequest& request) {
    ReviewRequest every = request;
    every.confirmEachLine = false;
    const int messagesBefore = impl_->dialogs.messages;
    const ReviewResult r = impl_->review.ReviewFile(every, impl_->slots, "");
    if (impl_->save && r.savedChanges == 0 && impl_->dialogs.messages > messagesBefore)
        ++impl_->refused;
    return {r.savedChanges, r.replaceOn};
}

int CliReplace::finish(std::int64_t matchedLines, std::ostream& err) const {
    if (!impl_->save)
        err << "Dry run: " << changedLines() << " line(s) in " << changedFiles()
            << " file(s) would change; nothing was written (add --yes to save)\n";
    if (failedSaves() > 0) return 2;
    return matchedLines > 0 ? 0 : 1;
}

int CliReplace::changedLines() const {
    return impl_->window.lines;
}
int CliReplace::changedFiles() const {
    return impl_->window.files;
}
int CliReplace::failedSaves() const {
    return impl_->refused;
}

} // namespace vesk::cli
