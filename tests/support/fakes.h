#pragma once
// Scripted and recording stand-ins for the seams.

#include <atomic>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/shell.h"

namespace vesk::test {

// A clock that stands still until moved; optionally moves by `step` on every reading. Safe to
// read from the run's worker threads.
class FakeClock final : public Clock {
public:
    explicit FakeClock(DateValue start = 46000.5) : now_(start) {}
    DateValue now() const override { return now_.fetch_add(step.load()); }
    void set(DateValue t) { now_ = t; }
    void advanceSeconds(double s) { now_.fetch_add(s * kOneSecond); }
    std::atomic<double> step{0}; // days added after each reading
private:
    mutable std::atomic<DateValue> now_;
};

// Records every message and answers questions from scripted queues (default: No / Cancel).
class ScriptedDialogs final : public Dialogs {
public:
    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    bool askYesNo(std::string_view caption, std::string_view text) override;
    Answer confirmLine(std::string_view caption, std::string_view text) override;
    std::optional<std::string> promptText(std::string_view caption, std::string_view prompt,
                                          std::string_view proposed) override;
    std::optional<std::string> pickFolder(std::string_view caption,
                                          std::string_view start) override;
    std::optional<std::string> pickFile(std::string_view caption, std::string_view start,
                                        std::string_view filter) override;

    std::vector<std::string> messages;
    std::vector<std::string> questions; // caption + "|" + text of every question asked
    std::deque<bool> yesNo;
    std::deque<Answer> lineAnswers;
    std::deque<std::optional<std::string>> prompts;
    std::deque<std::optional<std::string>> folders;
    std::deque<std::optional<std::string>> files;
};

// Records every call; answers success unless `failWith` is set.
class RecordingShell final : public Shell {
public:
    struct Call {
        std::string program, parameters, workFolder;
    };
    ShellResult start(std::string_view program, std::string_view parameters,
                      std::string_view workFolder) override;
    ShellResult openDocument(std::string_view document) override;
    void setClipboardText(std::string_view text) override { clipboard = std::string(text); }

    std::vector<Call> calls;
    std::vector<std::string> documents;
    std::string clipboard;
    std::optional<std::string> failWith;
};

} // namespace vesk::test
