#pragma once
// grdFound, the results grid of the Matches page: shows the StringGrid the search run fills, keeps
// its current row and top row in step with the view both ways, and answers the grid's keys. Opening
// files is the main window's: it listens to the request signals.

#include <functional>
#include <string>

#include <QTableView>

#include "lib/dialogs.h"
#include "lib/grid_routines.h"
#include "lib/string_grid.h"
#include "results/results_grid.h"

namespace vesk {

class GridModel;

class ResultsView final : public QTableView {
    Q_OBJECT
public:
    // The grid must outlive the view; dialogs answers the Ctrl+F prompt.
    ResultsView(StringGrid& grid, Dialogs& dialogs, QWidget* parent = nullptr);
    ~ResultsView() override;

    StringGrid& grid() { return grid_; }
    GridModel& gridModel() { return *model_; }

    // The find text is shared with the view window's grid: both point at one state.
    GridFindState& findState() { return *find_; }
    void shareFindState(GridFindState& state) { find_ = &state; }

    // The file-information line of the click hint; xcFileInfoText unless replaced (tests).
    void setFileInfo(std::function<std::string(const std::string&)> fileInfo);

    // The font the cells are drawn in (lblFont shows it); "-" and "+" step it and return it.
    int gridFontSize() const { return fontSize_; }
    int changeGridFontSize(int step);

    // The width the grid has in its page, also while it or its page is hidden (a widget that was
    // never laid out only knows a default size); the view's own width unless set.
    void setLayoutWidth(std::function<int()> layoutWidth);

    // On window resize, first showing and each run.
    void fitResultColumns();
    // The design widths are taken at the first showing; each run then sizes column 1 from them.
    void captureDesignWidths();
    void setRunColumnWidth();
    // By the item of cmbSpeedDisplay: hides/shows or disables/enables the grid.
    void setGridDisplay(int speedDisplayItem, bool on);

    // Rows are chosen whole: moving to one scrolls up or down only, so the line numbers stay in
    // view.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    void openFileRequested();          // double click
    void viewFileRequested();          // Ctrl+V
    void toggleFoundWindowRequested(); // Ctrl+W
    void gridClicked();                // before the hint changes: hide the found-line window

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    int layoutWidth() const;
    bool runGridKey(const QKeyEvent& e);
    void applyDisplay();
    void applyCurrent(int row, int col);
    void onClicked();

    StringGrid& grid_;
    Dialogs& dialogs_;
    GridModel* model_;
    GridFindState ownFind_;
    GridFindState* find_ = &ownFind_;
    std::function<std::string(const std::string&)> fileInfo_;
    std::function<int()> layoutWidth_;
    DesignWidths design_;
    int fontSize_ = kStartGridFontSize;
    bool shownByGrid_ = true;
    bool enabledByGrid_ = true;
};

} // namespace vesk
