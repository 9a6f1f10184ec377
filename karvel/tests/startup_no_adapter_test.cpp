// SPDX-License-Identifier: MIT
// A ready layer that serves no host adapter: when the layer says why (no configuration file
// and no local SCSI host) the program shows the not-ready box with that reason under "Show
// Details..." and ends without a window; without a reason the dialog opens on the saved target.
// (Its own executable: the library queries the layer once, and here it is ready with none.)
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "changer_app.h"
#include "resources/resource_ids.h"
#include "scripted_aspi.h"
#include "scripted_modal_services.h"

namespace karvel::test {
namespace {

TEST(StartupNoAdapter, TheLayersReasonEndsTheProgramUnderTheNotReadyBox) {
    struct Case {
        std::string layerFault;
        std::optional<QString> detail;  // the box's details; none: no box
        std::vector<int> dialogsRun;
    };
    const std::string noHost = "wnaspi32: no configuration file /home/op/.config/wnaspi32.conf and no local SCSI host";
    const std::vector<Case> cases = {
        {noHost, QString::fromStdString(noHost), {}},
        {"", std::nullopt, {res::kChangerDialog}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layerFault);
        ScriptedAspi aspi;
        aspi.setSupportValue(0x0100);  // ready, no host adapter
        aspi.setLayerFault(c.layerFault);
        ScriptedModalServices modal;
        CChangerApp app;
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(modal.dialogsRun(), c.dialogsRun);
        if (!c.detail) {
            EXPECT_TRUE(modal.messages().empty());
            continue;
        }
        EXPECT_TRUE(aspi.probes().empty());
        EXPECT_TRUE(aspi.requests().empty());
        ASSERT_EQ(modal.messages().size(), 1u);
        const ShownMessage& box = modal.messages()[0];
        EXPECT_EQ(box.text, QStringLiteral("ASPI unable to initialize! No ASPI service!"));
        EXPECT_EQ(box.caption, QStringLiteral("Nevsel"));
        EXPECT_EQ(box.icon, ui::MessageIcon::stop);
        EXPECT_EQ(box.buttons, ui::MessageButtons::ok);
        EXPECT_EQ(box.detail, *c.detail);
    }
}

}  // namespace
}  // namespace karvel::test
