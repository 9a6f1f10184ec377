// SPDX-License-Identifier: MIT
// The start of the program: the application object with a ready ASPI layer runs the main
// dialog for the saved target of the profile.
#include <tuple>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "changer_app.h"
#include "changer_dlg.h"
#include "resources/resource_ids.h"
#include "scripted_aspi.h"
#include "scripted_changer.h"
#include "scripted_modal_services.h"

namespace karvel::test {
namespace {

TEST(Startup, RunsTheMainDialogForTheSavedTargetModulo256) {
    QTemporaryDir dir;
    {
        QFile file(dir.filePath(QStringLiteral("karvel.INI")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[JukeBox Default]\r\nHost=257\r\nScsiId=258\r\nLun=3\r\n");
    }
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());

    ScriptedAspi aspi;
    aspi.setSupportValue(0x0102);
    aspi.addDevice(1, 2, 3, 8);
    ScriptedChanger changer;
    changer.serve(aspi);
    ScriptedModalServices modal;
    std::tuple<int, int, int> target;
    QString identity;
    modal.operateDialog([&](ui::TemplateDialog& d) {
        auto& dlg = static_cast<CChangerDlg&>(d);
        target = {dlg.m_config.target.hostAdapter, dlg.m_config.target.targetId, dlg.m_config.target.lun};
        identity = dlg.itemText(res::kIdInquiryText);
        d.OnCancel();
    });
    CChangerApp app;
    EXPECT_FALSE(app.InitInstance());
    qputenv("XDG_CONFIG_HOME", oldConfig);

    EXPECT_EQ(modal.dialogsRun(), std::vector<int>{res::kChangerDialog});
    EXPECT_EQ(app.m_adapterCount, 2);
    EXPECT_EQ(target, std::make_tuple(1, 2, 3));
    ASSERT_EQ(aspi.probes().size(), 1u);  // the saved target answered as a changer
    EXPECT_EQ(identity, QStringLiteral("KARVEL  TEST JUKEBOX    "));
    EXPECT_TRUE(modal.messages().empty());
}

}  // namespace
}  // namespace karvel::test
