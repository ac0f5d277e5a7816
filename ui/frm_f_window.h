#pragma once
// "Window around found line" (TfrmFWindow): the found line with five lines before and after it,
// in a small tool window beside the results. Modeless; created once at start-up and kept until
// the program ends. The lines shown belong to the caller, who holds them while the row's file
// stays the same.

#include <QDialog>

#include "lib/string_grid.h"
#include "results/file_lines.h"
#include "results/results_grid.h"

namespace vesk {

class LineGridView;

class TfrmFWindow : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFWindow(QWidget* parent = nullptr);
    ~TfrmFWindow() override;

    // The lines and the found line the next activation shows; `lines` must outlive the showing.
    // found: the result row's line and marks, drawn on the found line while it is unchanged.
    void setFoundLine(const FileLines* lines, int foundLine, FoundLineMarks found = {});

    // FormActivate: fills the eleven rows and selects the found one.
    void FormActivate();

    LineGridView* grdWindow = nullptr;

signals:
    // Hidden by any means (HideFoundWindow, closing it, Ctrl+W or Esc inside): the main window
    // marks it not shown.
    void hidden();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void centreOnOwner();

    StringGrid grid_{2, 11};
    const FileLines* lines_ = nullptr;
    int foundLine_ = 0;
    FoundLineMarks found_;
    bool placed_ = false;
};

} // namespace vesk
