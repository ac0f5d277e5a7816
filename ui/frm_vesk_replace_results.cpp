#include "ui/frm_vesk_replace_results.h"

namespace vesk {

TfrmVeskReplaceResults::TfrmVeskReplaceResults(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskReplaceResults"));
    setWindowTitle(QStringLiteral("Vesk Replace Results"));
}

} // namespace vesk
