// SPDX-License-Identifier: MIT
// Without a ready ASPI layer the program ends after the library's message box and the main
// dialog is never created. (Its own executable: the library queries the layer once.)
#include <gtest/gtest.h>

#include "changer_app.h"
#include "scripted_aspi.h"
#include "scripted_modal_services.h"

namespace karvel::test {
namespace {

TEST(StartupNotReady, EndsAfterTheLibrarysStopBoxWithoutADialog) {
    ScriptedAspi aspi;
    aspi.setSupportValue(0xE400);
    const char* const reason = "wnaspi32: /home/op/.config/wnaspi32.conf:1: unknown transport 'bogus'";
    aspi.setLayerFault(reason);
    ScriptedModalServices modal;
    CChangerApp app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(modal.dialogsRun().empty());
    EXPECT_TRUE(aspi.probes().empty());
    ASSERT_EQ(modal.messages().size(), 1u);
    EXPECT_EQ(modal.messages()[0].text, QStringLiteral("ASPI unable to initialize! No ASPI service!"));
    EXPECT_EQ(modal.messages()[0].icon, ui::MessageIcon::stop);
    EXPECT_EQ(modal.messages()[0].buttons, ui::MessageButtons::ok);
    EXPECT_EQ(modal.messages()[0].detail, QString::fromUtf8(reason));  // under "Show Details..."
}

}  // namespace
}  // namespace karvel::test
