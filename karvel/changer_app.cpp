// SPDX-License-Identifier: MIT
#include "changer_app.h"

#include <string>

#include "changer_dlg.h"
#include "changer_model/ini_profile.h"
#include "changer_model/saved_target.h"
#include <karvel/nevsel.h>
#include <karvel/wnaspi32.h>
#include "profile.h"
#include "ui/application_name.h"
#include "ui/message_box.h"
#include "ui/visual_style.h"

namespace {

// Nevsel's text for a layer that serves nothing, and its caption: the box below looks the same.
constexpr char kNoAspiServiceText[] = "ASPI unable to initialize! No ASPI service!";
constexpr char kLibraryCaption[] = "Nevsel";
constexpr uint32_t kLayerFaultSize = 1024;  // a configuration path and a reason fit

// Nevsel's own message box (the ASPI layer not being ready), shown as the program's, with
// the layer's reason under "Show Details...": a desktop user never sees stderr.
void showLibraryMessage(const char* text, const char* caption, const char* detail) {
    karvel::ui::modalServices().messageBox(nullptr, QString::fromUtf8(text),
                                           QString::fromUtf8(caption),
                                           karvel::ui::MessageIcon::stop,
                                           karvel::ui::MessageButtons::ok,
                                           QString::fromUtf8(detail ? detail : ""));
}

// Returns whether the layer, though ready, serves no host adapter and says why (no
// configuration file and no local SCSI host); the reason is then shown as the not-ready box,
// since a window on no host adapter could only report every request as failed.
bool layerServesNothing(uint8_t adapterCount) {
    if (adapterCount != 0)
        return false;
    char reason[kLayerFaultSize] = {};
    if (GetASPI32LayerFault(reason, sizeof reason) == 0)
        return false;
    showLibraryMessage(kNoAspiServiceText, kLibraryCaption, reason);
    return true;
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
    if (layerServesNothing(m_adapterCount))
        return false;
    karvel::ui::enable3dControls();
    m_defaultTarget = readSavedTarget();

    CChangerDlg dlg(*this);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
