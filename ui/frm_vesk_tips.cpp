#include "ui/frm_vesk_tips.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/help_pages.h"
#include "ui/qt_text.h"

namespace vesk {

TfrmVeskTips::TfrmVeskTips(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskTips"));
    setWindowTitle(QStringLiteral("Vesk Tips"));
    resize(720, 560);
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pgcTips"));
    for (const HelpPage& page : helpPages()) {
        auto* text = new QTextBrowser(pages_);
        text->setOpenExternalLinks(false);
        text->setHtml(toQt(page.html));
        pages_->addTab(text, toQt(page.title));
    }
    layout->addWidget(pages_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TfrmVeskTips::setPage(int page) {
    if (page >= 0 && page < pages_->count()) pages_->setCurrentIndex(page);
}

int TfrmVeskTips::page() const {
    return pages_->currentIndex();
}

void TfrmVeskTips::showPage(int page) {
    setPage(page);
    exec();
}

} // namespace vesk
