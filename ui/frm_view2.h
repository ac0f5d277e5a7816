#pragma once
// The built-in viewer TfrmView2: the whole file of a result row in grdView2, numbered under an
// empty header row, with the found line selected; its caption names the file. Shown modally by
// Ctrl+V, "View" and the open command "Viewer"; created once at start-up and kept until the
// program ends.

#include <memory>

#include <QDialog>

#include "lib/dialogs.h"
#include "lib/grid_routines.h"
#include "lib/string_grid.h"
#include "results/view_window.h"

namespace vesk {

class LineGridView;

class TfrmView2 : public QDialog {
    Q_OBJECT
public:
    explicit TfrmView2(QWidget* parent = nullptr);
    ~TfrmView2() override;

    // The results grid's find text (Ctrl+F, F3 and Shift+F3 search with it) and the prompt that
    // asks for it; without them the window keeps a find text of its own and asks with Qt.
    void shareFind(GridFindState& state, Dialogs& dialogs);

    // What the next showing shows: the view file and line, in Courier when `courierFont`.
    void setTarget(ViewTarget target, bool courierFont);

    // ViewCurrentFile: shows the window modally unless it is open already (the view-open mark).
    // False when it was open.
    bool showModal();
    bool viewOpen() const { return viewOpen_; }

    const ViewFill& lastFill() const { return fill_; }
    LineGridView* grdView2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormResize();
    void FormClose();
    void placeOnWorkArea();
    bool grdView2KeyDown(const QKeyEvent& e);
    bool grdView2KeyUp(const QKeyEvent& e);

    StringGrid grid_{2, 2};
    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs* dialogs_ = nullptr;
    GridFindState ownFind_;
    GridFindState* find_ = &ownFind_;
    ViewTarget target_;
    bool courier_ = false;
    bool viewOpen_ = false;
    ViewFill fill_;
};

} // namespace vesk
