#pragma once
// TfrmVeskTips "Vesk Tips": the help pages, shown modally on the page a button asks for.

#include <QDialog>

class QTabWidget;

namespace vesk {

class TfrmVeskTips : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVeskTips(QWidget* parent = nullptr);

    // Brings page `page` (see help_pages.h) to the front.
    void setPage(int page);
    int page() const;
    // Shows the window modally on `page`.
    void showPage(int page);

private:
    QTabWidget* pages_ = nullptr;
};

} // namespace vesk
