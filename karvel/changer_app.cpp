// SPDX-License-Identifier: MIT
#include "changer_app.h"

#include <string>

#include "changer_dlg.h"
#include "changer_model/ini_profile.h"
#include "changer_model/saved_target.h"
#include <karvel/nevsel.h>
#include "profile.h"
#include "ui/application_name.h"
#include "ui/message_box.h"
#include "ui/visual_style.h"

namespace {

// Nevsel's own message box (the ASPI layer not being ready), shown as the program's, with
// the layer's reason under "Show Details...": a desktop user never sees stderr.
void showLibraryMessage(const char* text, const char* caption, const char* detail) {
    karvel::ui::modalServices().messageBox(nullptr, QString::fromUtf8(text),
                                           QString::fromUtf8(caption),
                                           karvel::ui::MessageIcon::stop,
                                           karvel::ui::MessageButtons::ok,
                                           QString::fromUtf8(detail ? detail : ""));
}

}  // namespace

TargetAddress readSavedTarget() {
    std::string error;
    const TargetAddress target = karvel::model::readSavedTarget(profilePath().toStdString(), error);
    if (!error.empty())  // a missing profile is no error; one that cannot be read is said
        karvel::model::reportProfileError(karvel::ui::applicationName().toStdString(), error);
    return target;
}

bool CChangerApp::InitInstance() {
    NevselSetMessageBoxHook(&showLibraryMessage);
    const uint32_t support = GetAspi32Info();
    if (((support >> 8) & 0xFF) != SS_COMP)
        return false;
    m_adapterCount = static_cast<uint8_t>(support & 0xFF);
    karvel::ui::enable3dControls();
    m_defaultTarget = readSavedTarget();

    CChangerDlg dlg(*this);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
