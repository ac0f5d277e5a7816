#pragma once
// Opening the file behind the current row of grdFound: the double click (by the extension's
// settings value), Ctrl+V and "View" (the built-in viewer), Ctrl+W (the window around the found
// line) and the click that hides that window. The main window installs it once; it lives as the
// window's child.

#include <optional>
#include <string>
#include <string_view>

#include <QObject>

#include "lib/dialogs.h"
#include "lib/shell.h"
#include "results/found_window.h"
#include "results/open_line.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vesk {

class ResultsView;
class TfrmFWindow;
class TfrmVeskEditOptions;
class TfrmView2;

// The main window's controls that opening reads, and the windows it shows.
struct FoundLineParts {
    ResultsView* grdFound = nullptr;
    QPushButton* btnView = nullptr;
    QCheckBox* cbxCopyToCB = nullptr;
    QLineEdit* edtString = nullptr;
    QCheckBox* cbxTestInfo = nullptr;
    QCheckBox* cbxViewWindowCourier = nullptr;
    bool verbose = false; // the "-v" parameter
    TfrmView2* frmView2 = nullptr;
    TfrmVeskEditOptions* frmVeskEditOptions = nullptr;
    TfrmFWindow* frmFWindow = nullptr;
};

class FoundLineActions final : public QObject, private OpenLineWindows {
    Q_OBJECT
public:
    // Connects grdFound's double click, Ctrl+V, Ctrl+W and click, and the "View" button.
    FoundLineActions(const FoundLineParts& parts, Shell& shell, Dialogs& dialogs,
                     std::string settingsPath, QObject* parent);
    ~FoundLineActions() override;

    void grdFoundDblClick();
    void ViewCurrentFile();
    void ToggleFoundWindow();
    void ShowFoundWindow();
    void HideFoundWindow();
    bool foundWindowShown() const { return foundWindowShown_; }
    const LineOpener& opener() const { return opener_; }

private:
    std::optional<std::string> askHowToOpen(std::string_view file,
                                            std::string_view extension) override;
    void viewCurrentFile() override { ViewCurrentFile(); }
    void copySearchString();
    bool diagnostics() const;

    FoundLineParts parts_;
    Shell& shell_;
    Dialogs& dialogs_;
    LineOpener opener_;
    FoundWindowSource foundLines_;
    bool foundWindowShown_ = false;
};

} // namespace vesk
