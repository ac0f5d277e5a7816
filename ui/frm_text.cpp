#include "ui/frm_text.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace vesk {

namespace {

constexpr const char* kSSFilenameHint = "(actual filename will be .csv or SS-TAB.txt)";

QLabel* label(QWidget* parent, const char* name, const QString& text, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QPlainTextEdit* memo(QWidget* parent, const char* name, const QString& text) {
    auto* m = new QPlainTextEdit(text, parent);
    m->setObjectName(QString::fromLatin1(name));
    m->setReadOnly(true);
    m->setFixedHeight(m->fontMetrics().lineSpacing() * 2 + 12);
    return m;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(true);
    return c;
}

// The header holds CR LF line ends; a label shows them as plain line breaks.
QString headerToQt(const std::string& text) {
    QString shown = toQt(text);
    shown.remove(QLatin1Char('\r'));
    return shown;
}

} // namespace

TfrmText::TfrmText(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmText"));
    setWindowTitle(QStringLiteral("Text Output Options"));
    buildControls();
}

TfrmText::~TfrmText() = default;

void TfrmText::buildControls() {
    auto* layout = new QVBoxLayout(this);
    Label1 = label(this, "Label1",
                   QStringLiteral("You can output the text from the grid in different formats"));
    layout->addWidget(Label1);

    Label4 = label(this, "Label4", QStringLiteral("Text to Notepad"), true);
    Memo1 = memo(this, "Memo1",
                 QStringLiteral("Simplest is to output grid search results to a text file\n"
                                "suitable for printing using Notepad"));
    auto* textGrid = new QGridLayout;
    Label2 = label(this, "Label2", QStringLiteral("Filename"));
    edtTextFilename = new QLineEdit(this);
    edtTextFilename->setObjectName(QStringLiteral("edtTextFilename"));
    Label3 = label(this, "Label3", QStringLiteral("Header"));
    lblTextHeader = label(this, "lblTextHeader", QString());
    lblTextHeader->setWordWrap(true);
    textGrid->addWidget(Label2, 0, 0);
    textGrid->addWidget(edtTextFilename, 0, 1);
    textGrid->addWidget(Label3, 1, 0, Qt::AlignTop);
    textGrid->addWidget(lblTextHeader, 1, 1);
    btnExportText = button(this, "btnExportText", QStringLiteral("Write Text to Notepad"));
    layout->addWidget(Label4);
    layout->addWidget(Memo1);
    layout->addLayout(textGrid);
    layout->addWidget(btnExportText, 0, Qt::AlignLeft);
    layout->addSpacing(12);

    Label5 = label(this, "Label5", QStringLiteral("Tab delimited text to Spreadsheet"), true);
    Memo2 = memo(this, "Memo2",
                 QStringLiteral("Alternatively output to a tab delimited file\n"
                                "for reading into a spreadsheet"));
    lblSSFilename = label(this, "lblSSFilename", QString::fromLatin1(kSSFilenameHint));
    cbxWriteCSV =
        checkBox(this, "cbxWriteCSV", QStringLiteral("Write as CSV with tab delimited header"));
    cbxColumnHeaders = checkBox(this, "cbxColumnHeaders", QStringLiteral("Add Column Headers"));
    btnGridToTab = button(this, "btnGridToTab", QStringLiteral("Write Tab Delimited File"));
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, Memo2, lblSSFilename, cbxWriteCSV,
                                                      cbxColumnHeaders})
        layout->addWidget(w);
    layout->addWidget(btnGridToTab, 0, Qt::AlignLeft);
    layout->addStretch(1);

    btnDone = button(this, "btnDone", QStringLiteral("Done"));
    btnDone->setDefault(true);
    layout->addWidget(btnDone, 0, Qt::AlignRight);

    connect(btnExportText, &QPushButton::clicked, this, [this] { btnExportTextClick(); });
    connect(btnGridToTab, &QPushButton::clicked, this, [this] { btnGridToTabClick(); });
    connect(btnDone, &QPushButton::clicked, this, &QDialog::accept);
    resize(560, 520);
}

bool TfrmText::Prepare(const StringGrid& grid, const CommandContext& cx, const ReportSource& source,
                       TextOutputOptions options) {
    grid_ = &grid;
    output_ = std::make_unique<TextOutput>(cx, std::move(options));
    return output_->Prepare(source);
}

void TfrmText::btnPrintClick(const StringGrid& grid, const CommandContext& cx,
                             const ReportSource& source, TextOutputOptions options) {
    if (Prepare(grid, cx, source, std::move(options))) exec();
}

void TfrmText::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmText::FormShow() {
    if (!output_) return;
    edtTextFilename->setText(fileNameToQt(output_->report().ReportFileName));
    lblTextHeader->setText(headerToQt(output_->report().ReportText));
    lblSSFilename->setText(QString::fromLatin1(kSSFilenameHint));
    edtTextFilename->setFocus();
}

void TfrmText::btnExportTextClick() {
    // The name comes from the prepared values; what the user typed in the box is not used.
    if (output_ && grid_) output_->ExportText(*grid_);
}

void TfrmText::btnGridToTabClick() {
    if (!output_ || !grid_) return;
    const TabExportOptions choices{cbxWriteCSV->isChecked(), cbxColumnHeaders->isChecked()};
    lblSSFilename->setText(fileNameToQt(output_->TabFileName(choices)));
    output_->GridToTab(*grid_, choices);
}

} // namespace vesk
