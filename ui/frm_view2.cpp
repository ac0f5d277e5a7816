#include "ui/frm_view2.h"

#include <algorithm>
#include <utility>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/grid_model.h"
#include "ui/line_grid_view.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_text.h"

namespace vesk {

namespace {

constexpr int kDesignRowHeight = 16;
constexpr int kNarrowNumberColumn = 30;
constexpr int kWidenedNumberColumn = 40;
constexpr int kFitMargin = 35; // what xcGridFit keeps for borders and the scroll bar

QFont fontFor(const ViewFont& f) {
    QFont font(QString::fromLatin1(f.family.data(), static_cast<int>(f.family.size())));
    font.setPointSize(f.pointSize);
    // Missing families fall back on the desktop's fixed-width or sans-serif font.
    font.setStyleHint(f.fixedPitch ? QFont::TypeWriter : QFont::SansSerif);
    font.setFixedPitch(f.fixedPitch);
    return font;
}

bool ctrlOnly(const QKeyEvent& e) {
    return (e.modifiers() & Qt::ControlModifier) && !(e.modifiers() & Qt::ShiftModifier);
}

} // namespace

TfrmView2::TfrmView2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmView2"));
    setModal(true);
    setUpViewGrid(grid_);
    ownDialogs_ = std::make_unique<QtDialogs>(this);
    dialogs_ = ownDialogs_.get();

    grdView2 = new LineGridView(grid_, this);
    grdView2->setObjectName(QStringLiteral("grdView2"));
    grdView2->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grdView2);
    resize(kViewLineNumberWidth + kViewTextWidth + kFitMargin, 600);
}

TfrmView2::~TfrmView2() = default;

void TfrmView2::shareFind(GridFindState& state, Dialogs& dialogs) {
    find_ = &state;
    dialogs_ = &dialogs;
}

void TfrmView2::setTarget(ViewTarget target, bool courierFont) {
    target_ = std::move(target);
    courier_ = courierFont;
}

bool TfrmView2::showModal() {
    if (viewOpen_) return false;
    viewOpen_ = true;
    exec();
    viewOpen_ = false;
    return true;
}

void TfrmView2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmView2::FormShow() {
    const QFont font = fontFor(viewWindowFont(courier_));
    grdView2->setFont(font);
    // Rows stay 16 pixels as designed unless the font needs more on this screen.
    grid_.setDefaultRowHeight(std::max(kDesignRowHeight, QFontMetrics(font).height() + 1));
    fill_ = fillViewGrid(grid_, target_);
    setWindowTitle(fileNameToQt(fill_.caption));
    placeOnWorkArea();
    FormResize();
    grdView2->sync();
    grdView2->setFocus();
}

void TfrmView2::placeOnWorkArea() {
    const QScreen* s = screen();
    if (!s) return;
    const QRect work = s->availableGeometry();
    const QRect frame = frameGeometry();
    const int frameExtraHeight = frame.height() - height();
    const int frameExtraWidth = frame.width() - width();
    const int w = std::min(width(), work.width() - frameExtraWidth);
    resize(w, work.height() - frameExtraHeight);
    move(work.left() + (work.width() - w - frameExtraWidth) / 2, work.top());
}

void TfrmView2::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TfrmView2::FormResize() {
    if (grid_.colWidth(0) < kNarrowNumberColumn) grid_.setColWidth(0, kWidenedNumberColumn);
    grid_.width = grdView2->width();
    xcGridFit(grid_, true);
    grdView2->sync();
}

void TfrmView2::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) FormClose();
}

void TfrmView2::FormClose() {
    releaseViewGrid(grid_);
    grdView2->sync();
}

bool TfrmView2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdView2 && event->type() == QEvent::KeyPress)
        return grdView2KeyDown(*static_cast<QKeyEvent*>(event));
    if (watched == grdView2 && event->type() == QEvent::KeyRelease)
        return grdView2KeyUp(*static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

bool TfrmView2::grdView2KeyDown(const QKeyEvent& e) {
    const bool shift = e.modifiers() & Qt::ShiftModifier;
    if (e.key() == Qt::Key_F && ctrlOnly(e)) {
        xcGridSearch(grid_, *find_, *dialogs_);
    } else if (e.key() == Qt::Key_F3) {
        if (shift)
            xcGridSearchPrev(grid_, *find_);
        else
            xcGridSearchNext(grid_, *find_);
    } else {
        // Esc and Ctrl+V act when released; the press must not close the dialog early.
        return e.key() == Qt::Key_Escape || (e.key() == Qt::Key_V && ctrlOnly(e));
    }
    grdView2->sync();
    return true;
}

bool TfrmView2::grdView2KeyUp(const QKeyEvent& e) {
    if (e.isAutoRepeat()) return false;
    if (e.key() == Qt::Key_Escape || (e.key() == Qt::Key_V && ctrlOnly(e) && viewOpen_)) {
        reject();
        return true;
    }
    return false;
}

} // namespace vesk
