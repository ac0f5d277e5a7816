// The buttons of TfrmVesk1 that open help, the settings file and the feedback window.
#include <QPushButton>

#include "ui/frm_feedback.h"
#include "ui/frm_vesk1.h"
#include "ui/frm_vesk_tips.h"
#include "ui/help_pages.h"

namespace vesk {

void TfrmVesk1::btnSetupOptionsClick() {
    // The settings page first, so the user knows the keys before the file opens in the editor;
    // the file opens whether or not the user chose to save.
    frmVeskTips_->showPage(kHelpSettings);
    SaveSettings(settingsPath_, saved_, *dialogs_);
    commands_->editFile(settingsPath_);
}

void TfrmVesk1::btnTipsClick() {
    frmVeskTips_->showPage(kHelpViewingResults);
}

void TfrmVesk1::btnAdvancedInfoClick() {
    frmVeskTips_->showPage(kHelpAdvancedOptions);
}

void TfrmVesk1::btnContactOstrelClick() {
    frmFeedback_->exec();
}

bool TfrmVesk1::sendFeedback(const std::string& subject, const std::string& body) {
    return commands_->sendMail(subject, body);
}

} // namespace vesk
