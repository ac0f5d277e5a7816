#include "ui/text_print.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/desktop_commands.h"
#include "ui/frm_text.h"
#include "ui/frm_vesk1.h"
#include "ui/qt_text.h"

namespace vesk {

namespace {

// The controls are the window's own; they are reached by the names they carry so that this
// feature needs nothing more of the window than its public operations.
template <class Control> std::string textOf(TfrmVesk1& window, const char* name) {
    const Control* control = window.findChild<Control*>(QString::fromLatin1(name));
    return control ? fromQt(control->text()) : std::string();
}

} // namespace

ReportSource reportSourceOf(TfrmVesk1& window) {
    const SearchState& state = window.searchRun().state();
    ReportSource s;
    s.SearchStringsText = state.SearchStringsText;
    s.FoldersSearchedText = state.FoldersSearchedText;
    s.folderCountText = textOf<QLabel>(window, "lblFolderCount");
    s.fileSpecText = textOf<QLineEdit>(window, "edtFileSpec");
    s.statusText = textOf<QLabel>(window, "lblFile");
    s.stringsText = textOf<QLineEdit>(window, "edtString");
    return s;
}

void btnPrintClick(TfrmVesk1& window) {
    if (TfrmText* text = window.frmText())
        text->btnPrintClick(window.grid(), window.commands().context(), reportSourceOf(window));
}

} // namespace vesk
