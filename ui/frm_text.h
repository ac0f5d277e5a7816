#pragma once
// "Text Output Options": writes the results grid as a text listing and opens its paged report in
// the viewer, or writes it as a tab-delimited or CSV file and opens that in the editor. Created
// once at start-up and kept until the program ends; the main window's "Text/Print" button opens
// it through btnPrintClick with new report values each time.

#include <QDialog>
#include <memory>

#include "lib/string_grid.h"
#include "results/text_output.h"
#include "results/text_report.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vesk {

class TfrmText : public QDialog {
    Q_OBJECT
public:
    explicit TfrmText(QWidget* parent = nullptr);
    ~TfrmText() override;

    // btnPrintClick of the main window: prepares the report values from `source` at the current
    // time, creates the output folder and shows this window modally over `grid`. Nothing is shown
    // when the folder cannot be created (the user was told through cx.dialogs).
    void btnPrintClick(const StringGrid& grid, const CommandContext& cx, const ReportSource& source,
                       TextOutputOptions options = {});
    // Everything btnPrintClick does before the modal loop; true when the window may be shown.
    bool Prepare(const StringGrid& grid, const CommandContext& cx, const ReportSource& source,
                 TextOutputOptions options = {});

    const TextReport* report() const { return output_ ? &output_->report() : nullptr; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void FormShow();
    void btnExportTextClick();
    void btnGridToTabClick();

    std::unique_ptr<TextOutput> output_;
    const StringGrid* grid_ = nullptr;

    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edtTextFilename = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblTextHeader = nullptr;
    QPushButton* btnExportText = nullptr;
    QLabel* Label5 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QLabel* lblSSFilename = nullptr;
    QCheckBox* cbxWriteCSV = nullptr;
    QCheckBox* cbxColumnHeaders = nullptr;
    QPushButton* btnGridToTab = nullptr;
    QPushButton* btnDone = nullptr;
};

} // namespace vesk
