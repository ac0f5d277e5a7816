#include "ui/frm_f_window.h"

#include <QHideEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "results/found_window.h"
#include "ui/grid_model.h"
#include "ui/line_grid_view.h"

namespace vesk {

namespace {
const QColor kFoundWindowText(128, 0, 128);
constexpr int kFitMargin = 30; // borders and the scroll bar beside the two columns
} // namespace

TfrmFWindow::TfrmFWindow(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("TfrmFWindow"));
    setWindowTitle(QStringLiteral("Window around found line"));
    setModal(false);
    setUpFoundWindowGrid(grid_);

    grdWindow = new LineGridView(grid_, this);
    grdWindow->setObjectName(QStringLiteral("grdWindow"));
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    font.setBold(true);
    grdWindow->setFont(font);
    QPalette palette = grdWindow->palette();
    palette.setColor(QPalette::Text, kFoundWindowText);
    grdWindow->setPalette(palette);
    grdWindow->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grdWindow);
    resize(kFoundNumberWidth + kFoundTextWidth + kFitMargin,
           foundWindowClientHeight(grid_.defaultRowHeight()));
}

TfrmFWindow::~TfrmFWindow() = default;

void TfrmFWindow::setFoundLine(const FileLines* lines, int foundLine, FoundLineMarks found) {
    lines_ = lines;
    foundLine_ = foundLine;
    found_ = std::move(found);
}

void TfrmFWindow::FormActivate() {
    static const FileLines kNoLines;
    const int row = fillFoundWindow(grid_, lines_ ? *lines_ : kNoLines, foundLine_, found_);
    resize(width(), foundWindowClientHeight(grid_.defaultRowHeight()));
    grdWindow->sync();
    if (row < 0) grdWindow->clearSelection();
    grdWindow->scrollToTop();
    grdWindow->setFocus();
}

void TfrmFWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    if (!placed_) centreOnOwner();
    FormActivate();
}

void TfrmFWindow::centreOnOwner() {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner) return;
    placed_ = true;
    const QRect o = owner->frameGeometry();
    move(o.center().x() - frameGeometry().width() / 2,
         o.center().y() - frameGeometry().height() / 2);
}

void TfrmFWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmFWindow::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) emit hidden();
}

bool TfrmFWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdWindow && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_W && (key->modifiers() & Qt::ControlModifier) &&
            !key->isAutoRepeat()) {
            hide();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vesk
