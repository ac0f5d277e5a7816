#pragma once
// TfrmVeskReplaceResults "Vesk Replace Results": the review of one file's accepted changes, shown
// modally by the replace review (replace/replace_review.h) with its four buttons: "Show
// Differences", "Save this File", "Do not save this file" and "Abort Find/Replace". Created once
// at start-up; the review it drives lives as long as the window.

#include <QDialog>
#include <memory>

#include "replace/replace_review.h"
#include "search/search_host.h"
#include "ui/replace_links.h"

class QLabel;
class QPushButton;
class QTableView;

namespace vesk {

class GridModel;

class TfrmVeskReplaceResults : public QDialog, public ReviewWindow {
    Q_OBJECT
public:
    explicit TfrmVeskReplaceResults(QWidget* parent = nullptr);
    ~TfrmVeskReplaceResults() override;

    void setLinks(ReplaceLinks links);

    // The search run's hand-over: reviews the file with the table of pairs; "Abort Find/Replace"
    // stops the run through the links.
    ReviewOutcome ReviewFile(const ReviewRequest& request);

    // The review behind the window; null until the links are set.
    ReplaceReview* review() { return review_.get(); }

    void showReview(ReplaceReview& review) override;

public slots:
    void reject() override; // the title bar or Escape: the changes are dropped

public:
    QLabel* Label1 = nullptr;
    QLabel* lblFilename = nullptr;
    QTableView* grdReplaceLog = nullptr;
    QPushButton* btnShowDiff = nullptr;
    QPushButton* btnSaveFile = nullptr;
    QPushButton* btnDoNotSaveFile = nullptr;
    QPushButton* btnAbort = nullptr;

private:
    void buildControls();
    void afterButton();

    ReplaceLinks links_;
    std::unique_ptr<ReplaceReview> review_;
    GridModel* model_ = nullptr;
};

} // namespace vesk
