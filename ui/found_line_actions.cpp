#include "ui/found_line_actions.h"

#include <utility>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "lib/text.h"
#include "ui/frm_f_window.h"
#include "ui/frm_vesk_edit_options.h"
#include "ui/frm_view2.h"
#include "ui/qt_text.h"
#include "ui/results_view.h"

namespace vesk {

namespace {
bool checked(const QCheckBox* box) {
    return box && box->isChecked();
}
} // namespace

FoundLineActions::FoundLineActions(const FoundLineParts& parts, Shell& shell, Dialogs& dialogs,
                                   std::string settingsPath, QObject* parent)
    : QObject(parent), parts_(parts), shell_(shell), dialogs_(dialogs),
      opener_(shell, dialogs, *this, std::move(settingsPath)) {
    ResultsView* grid = parts_.grdFound;
    parts_.frmView2->shareFind(grid->findState(), dialogs_);
    connect(grid, &ResultsView::openFileRequested, this, &FoundLineActions::grdFoundDblClick);
    connect(grid, &ResultsView::viewFileRequested, this, &FoundLineActions::ViewCurrentFile);
    connect(grid, &ResultsView::toggleFoundWindowRequested, this,
            &FoundLineActions::ToggleFoundWindow);
    connect(grid, &ResultsView::gridClicked, this, [this] {
        if (foundWindowShown_) HideFoundWindow();
    });
    if (parts_.btnView)
        connect(parts_.btnView, &QPushButton::clicked, this, &FoundLineActions::ViewCurrentFile);
    connect(parts_.frmFWindow, &TfrmFWindow::hidden, this, [this] { foundWindowShown_ = false; });
}

FoundLineActions::~FoundLineActions() = default;

bool FoundLineActions::diagnostics() const {
    return parts_.verbose || checked(parts_.cbxTestInfo);
}

void FoundLineActions::copySearchString() {
    if (checked(parts_.cbxCopyToCB) && parts_.edtString)
        shell_.setClipboardText(trim(fromQt(parts_.edtString->text())));
}

void FoundLineActions::grdFoundDblClick() {
    const StringGrid& grid = parts_.grdFound->grid();
    DoubleClickInput input;
    input.row = foundRowOf(grid, grid.row());
    input.copyToClipboard = checked(parts_.cbxCopyToCB);
    if (parts_.edtString) input.searchString = fromQt(parts_.edtString->text());
    input.diagnostics = diagnostics();
    opener_.open(input);
}

std::optional<std::string> FoundLineActions::askHowToOpen(std::string_view file,
                                                          std::string_view extension) {
    return parts_.frmVeskEditOptions->ask(std::string(file), std::string(extension));
}

void FoundLineActions::ViewCurrentFile() {
    parts_.frmView2->setTarget(viewTargetOf(parts_.grdFound->grid()),
                               checked(parts_.cbxViewWindowCourier));
    copySearchString();
    parts_.frmView2->showModal();
}

void FoundLineActions::ToggleFoundWindow() {
    if (foundWindowShown_)
        HideFoundWindow();
    else
        ShowFoundWindow();
}

void FoundLineActions::ShowFoundWindow() {
    const StringGrid& grid = parts_.grdFound->grid();
    const FoundRow row = foundRowOf(grid, grid.row());
    std::string message;
    if (!foundLines_.hold(row.file, message)) {
        dialogs_.showMessage(message);
        return;
    }
    TfrmFWindow* window = parts_.frmFWindow;
    window->setFoundLine(&foundLines_.lines(), foundLineOf(row.line),
                         foundLineMarksOf(grid, grid.row()));
    if (window->isVisible())
        window->FormActivate();
    else
        window->show();
    window->raise();
    window->activateWindow();
    foundWindowShown_ = true;
}

void FoundLineActions::HideFoundWindow() {
    parts_.frmFWindow->hide();
    foundWindowShown_ = false;
}

} // namespace vesk
