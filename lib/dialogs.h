#pragma once
// Every question the program asks the user goes through Dialogs, so no core routine and no test
// ever blocks on a real modal box. ui/ implements it with Qt; tests script the answers.

#include <optional>
#include <string>
#include <string_view>

namespace vesk {

// Answers of the five-button line confirmation and of Yes/No questions.
enum class Answer { Yes, No, Cancel, NoToAll, YesToAll };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box with an OK button.
    virtual void showMessage(std::string_view text) = 0;
    // Yes/No question; true for Yes.
    virtual bool askYesNo(std::string_view caption, std::string_view text) = 0;
    // Yes, No, Cancel, No to All, Yes to All.
    virtual Answer confirmLine(std::string_view caption, std::string_view text) = 0;
    // Text prompt proposing `proposed`; an empty optional when cancelled.
    virtual std::optional<std::string> promptText(std::string_view caption, std::string_view prompt,
                                                  std::string_view proposed) = 0;
    // Folder and file pickers; an empty optional when cancelled.
    virtual std::optional<std::string> pickFolder(std::string_view caption,
                                                  std::string_view startFolder) = 0;
    virtual std::optional<std::string>
    pickFile(std::string_view caption, std::string_view startFolder, std::string_view filter) = 0;
};

} // namespace vesk
