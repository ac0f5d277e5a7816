#pragma once
// "Choose how to open file": asked on a double click when the file's extension has no settings
// value (or "ASK"). Created once at start-up and kept until the program ends.

#include <optional>
#include <string>

#include <QDialog>

class QLabel;
class QPushButton;

namespace vesk {

class TfrmVeskEditOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVeskEditOptions(QWidget* parent = nullptr);

    // Shows the dialog modally for `file` and its extension key. The button pressed: "Windows",
    // "Notepad.exe" or "Viewer"; nullopt when the dialog was closed without one.
    std::optional<std::string> ask(const std::string& file, const std::string& extension);

    QLabel* lblExt = nullptr;
    QLabel* lblFilename = nullptr;
    QPushButton* btnWindows = nullptr;
    QPushButton* btnNotepad = nullptr;
    QPushButton* btnViewer = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void choose(const char* answer);

    std::string fileName_;
    std::string extension_;
    std::optional<std::string> pressed_;
};

} // namespace vesk
