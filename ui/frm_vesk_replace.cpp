#include "ui/frm_vesk_replace.h"

namespace vesk {

TfrmVeskReplace::TfrmVeskReplace(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmVeskReplace"));
    setWindowTitle(QStringLiteral("Vesk Search/Replace Options"));
}

} // namespace vesk
