#pragma once
// The Dialogs seam with Qt's modal boxes, owned by the main window; tests inject a scripted one.

#include <QPointer>
#include <QWidget>

#include "lib/dialogs.h"

namespace vesk {

class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void showMessage(std::string_view text) override;
    bool askYesNo(std::string_view caption, std::string_view text) override;
    Answer confirmLine(std::string_view caption, std::string_view text) override;
    std::optional<std::string> promptText(std::string_view caption, std::string_view prompt,
                                          std::string_view proposed) override;
    std::optional<std::string> pickFolder(std::string_view caption,
                                          std::string_view startFolder) override;
    std::optional<std::string> pickFile(std::string_view caption, std::string_view startFolder,
                                        std::string_view filter) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace vesk
