#include "ui/frm_vesk_replace_results.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "ui/grid_model.h"
#include "ui/list_window_parts.h"
#include "ui/qt_text.h"

namespace vesk {

namespace {
constexpr int kIndexColumnWidth = 64;
constexpr int kLineColumnWidth = 987;
constexpr int kRowHeight = 16;
} // namespace

TfrmVeskReplaceResults::TfrmVeskReplaceResults(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskReplaceResults"));
    setWindowTitle(QStringLiteral("Vesk Replace Results"));
    buildControls();
}

TfrmVeskReplaceResults::~TfrmVeskReplaceResults() = default;

void TfrmVeskReplaceResults::buildControls() {
    Label1 = makeLabel("Changes for file", this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblFilename = makeLabel("", this);
    lblFilename->setObjectName(QStringLiteral("lblFilename"));
    grdReplaceLog = new QTableView(this);
    grdReplaceLog->setObjectName(QStringLiteral("grdReplaceLog"));
    grdReplaceLog->horizontalHeader()->hide();
    grdReplaceLog->verticalHeader()->hide();
    grdReplaceLog->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grdReplaceLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    btnShowDiff = makeButton("btnShowDiff", "Show Differences", this);
    btnSaveFile = makeButton("btnSaveFile", "Save this File", this);
    btnDoNotSaveFile = makeButton("btnDoNotSaveFile", "Do not save this file", this);
    btnAbort = makeButton("btnAbort", "Abort Find/Replace", this);

    auto* g = new QGridLayout(this);
    g->addWidget(Label1, 0, 0);
    g->addWidget(lblFilename, 0, 1, 1, 3);
    g->addWidget(grdReplaceLog, 1, 0, 1, 4); // follows the window on all four sides
    g->addWidget(btnShowDiff, 2, 0);
    g->addWidget(btnSaveFile, 2, 1);
    g->addWidget(btnDoNotSaveFile, 2, 2);
    g->addWidget(btnAbort, 2, 3);
    g->setRowStretch(1, 1);
    resize(kIndexColumnWidth + kLineColumnWidth + 40, 520);

    connect(btnShowDiff, &QPushButton::clicked, this, [this] {
        if (review_) review_->btnShowDiffClick();
        afterButton();
    });
    connect(btnSaveFile, &QPushButton::clicked, this, [this] {
        if (review_) review_->btnSaveFileClick();
        afterButton();
    });
    connect(btnDoNotSaveFile, &QPushButton::clicked, this, [this] {
        if (review_) review_->btnDoNotSaveFileClick();
        afterButton();
    });
    connect(btnAbort, &QPushButton::clicked, this, [this] {
        if (review_) review_->btnAbortClick();
        afterButton();
    });
}

void TfrmVeskReplaceResults::setLinks(ReplaceLinks links) {
    links_ = std::move(links);
    review_.reset();
    delete model_;
    model_ = nullptr;
    if (!links_.commands) return;
    ReviewSetup setup;
    setup.archivePath = links_.archivePath;
    setup.settingsPath = links_.settingsPath;
    setup.io = links_.io;
    review_ = std::make_unique<ReplaceReview>(*links_.commands, *this, std::move(setup));
    model_ = new GridModel(review_->grdReplaceLog(), this);
    grdReplaceLog->setModel(model_);
}

ReviewOutcome TfrmVeskReplaceResults::ReviewFile(const ReviewRequest& request) {
    if (!review_ || !links_.stringSlots) return {};
    const std::string setFile = links_.findSetFileName ? *links_.findSetFileName : std::string();
    const ReviewResult r = review_->ReviewFile(request, *links_.stringSlots, setFile);
    if (r.abortRun && links_.stopRun) links_.stopRun();
    return {r.savedChanges, r.replaceOn};
}

void TfrmVeskReplaceResults::showReview(ReplaceReview& review) {
    lblFilename->setText(fileNameToQt(review.fileName()));
    if (model_) model_->flush();
    grdReplaceLog->setColumnWidth(0, kIndexColumnWidth);
    grdReplaceLog->setColumnWidth(1, kLineColumnWidth);
    grdReplaceLog->scrollToTop();
    if (review.windowOpen()) exec();
}

void TfrmVeskReplaceResults::afterButton() {
    if (!review_ || !review_->windowOpen()) QDialog::accept();
}

void TfrmVeskReplaceResults::reject() {
    if (review_ && review_->windowOpen()) review_->FormClose();
    QDialog::reject();
}

} // namespace vesk
