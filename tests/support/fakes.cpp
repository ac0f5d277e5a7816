#include "tests/support/fakes.h"

namespace vesk::test {

namespace {
template <typename T> T take(std::deque<T>& q, T fallback) {
    if (q.empty()) return fallback;
    T v = q.front();
    q.pop_front();
    return v;
}
} // namespace

bool ScriptedDialogs::askYesNo(std::string_view caption, std::string_view text) {
    questions.push_back(std::string(caption) + "|" + std::string(text));
    return take(yesNo, false);
}

Answer ScriptedDialogs::confirmLine(std::string_view caption, std::string_view text) {
    questions.push_back(std::string(caption) + "|" + std::string(text));
    return take(lineAnswers, Answer::Cancel);
}

std::optional<std::string> ScriptedDialogs::promptText(std::string_view caption,
                                                       std::string_view prompt, std::string_view) {
    questions.push_back(std::string(caption) + "|" + std::string(prompt));
    return take(prompts, std::optional<std::string>{});
}

std::optional<std::string> ScriptedDialogs::pickFolder(std::string_view caption, std::string_view) {
    questions.push_back(std::string(caption));
    return take(folders, std::optional<std::string>{});
}

std::optional<std::string> ScriptedDialogs::pickFile(std::string_view caption, std::string_view,
                                                     std::string_view) {
    questions.push_back(std::string(caption));
    return take(files, std::optional<std::string>{});
}

ShellResult RecordingShell::start(std::string_view program, std::string_view parameters,
                                  std::string_view workFolder) {
    calls.push_back({std::string(program), std::string(parameters), std::string(workFolder)});
    if (failWith) return {false, *failWith};
    return {true, {}};
}

ShellResult RecordingShell::openDocument(std::string_view document) {
    documents.emplace_back(document);
    if (failWith) return {false, *failWith};
    return {true, {}};
}

} // namespace vesk::test
