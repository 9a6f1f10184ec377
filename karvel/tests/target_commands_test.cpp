// SPDX-License-Identifier: MIT
// The system-menu commands on a scripted changer: the About box with the changer's INQUIRY,
// SCSI Targets with its validation and the profile it writes, and the command dispatch.
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialog_typing.h"
#include "changer_dialog_fixture.h"
#include "command_test_support.h"
#include "changer_model/ini_profile.h"
#include "profile.h"
#include "resources/resource_ids.h"
#include "scsi_codes.h"
#include "ui/system_menu.h"

namespace karvel::test {
namespace {

using namespace karvel::scsi;
using Bytes = std::vector<uint8_t>;
using Fields = std::tuple<QString, QString, QString, QString, QString, QString, QString>;

class TargetCommandsTest : public ChangerDialogTest {
protected:
    TargetCommandsTest() {
        m_app.m_defaultTarget = TargetAddress{0, 4, 0};
        m_aspi.addDevice(0, 4, 0, 8);
    }

    // Returns the profile's key, or nothing when it is not there.
    std::optional<QString> saved(const char* key) const {
        const std::optional<std::string> value =
            model::IniProfile(profilePath().toStdString()).getString("JukeBox Default", key);
        if (!value)
            return std::nullopt;
        return QString::fromStdString(*value);
    }

    ScratchProfile m_profile;
};

// 47 bytes of INQUIRY data with a date in bytes 36-46.
Bytes inquiryWithDate() {
    Bytes data = ScriptedChanger::standardInquiry("ACME    ", "DISC CHANGER 9  ");
    const char date[] = "12/10/26 A ";
    data.insert(data.end(), date, date + 11);
    data[4] = static_cast<uint8_t>(data.size() - 5);
    return data;
}

TEST_F(TargetCommandsTest, AboutShowsTheInquiryFieldsAndTheTarget) {
    struct Case {
        std::string name;
        Bytes inquiry;
        std::optional<Reply> failure;
        Fields fields;  // vendor, product, revision, date, host, SCSI id, LUN
    };
    Bytes zeroInProduct = inquiryWithDate();
    zeroInProduct[20] = 0;
    Reply failedWithData = Reply::checkCondition(NOT_READY, 0x04, 0x01);
    failedWithData.dataIn = inquiryWithDate();  // a changer may return data and still fail
    const QString none;
    const QString host = QStringLiteral("0"), id = QStringLiteral("4"), lun = QStringLiteral("0");
    const std::vector<Case> cases = {
        {"47 bytes", inquiryWithDate(), std::nullopt,
         {QStringLiteral("ACME    "), QStringLiteral("DISC CHANGER 9  "), QStringLiteral("1.00"),
          QStringLiteral("12/10/26 A "), host, id, lun}},
        {"a zero byte ends a field", zeroInProduct, std::nullopt,
         {QStringLiteral("ACME    "), QStringLiteral("DISC"), QStringLiteral("1.00"), QStringLiteral("12/10/26 A "),
          host, id, lun}},
        {"36 bytes: no date, nothing stale", ScriptedChanger::standardInquiry("ACME    ", "DISC CHANGER 9  "),
         std::nullopt,
         {QStringLiteral("ACME    "), QStringLiteral("DISC CHANGER 9  "), QStringLiteral("1.00"), none, host, id, lun}},
        {"8 bytes: no identity", Bytes(8, 0x20), std::nullopt, {none, none, none, none, host, id, lun}},
        {"INQUIRY fails", inquiryWithDate(), Reply::checkCondition(NOT_READY, 0x04, 0x01),
         {none, none, none, none, host, id, lun}},
        {"INQUIRY fails with its data: cut at byte 8", inquiryWithDate(), failedWithData,
         {none, none, none, none, host, id, lun}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_changer.inquiry = c.inquiry;
        m_changer.failures.clear();
        open();
        if (c.failure)
            m_changer.failures[INQUIRY] = *c.failure;
        std::optional<Fields> shown;
        QString title;
        bool version = false;
        bool icon = false;  // the program's icon 128, which the box's template names
        m_modal.operateDialog([&](ui::TemplateDialog& d) {
            shown = Fields{d.itemText(res::kIdVendor),   d.itemText(res::kIdProduct), d.itemText(res::kIdRevision),
                           d.itemText(res::kIdDate),     d.itemText(res::kIdHost),    d.itemText(res::kIdScsiId),
                           d.itemText(res::kIdLun)};
            title = d.windowTitle();
            for (const QLabel* label : d.findChildren<QLabel*>())
                version = version || label->text() == QStringLiteral("Karvel Application Version 1.0");
            for (const QLabel* label : d.findChildren<QLabel*>())
                icon = icon || !label->pixmap().isNull();
            press(d, ui::kIdOk);
        });
        const size_t before = m_aspi.requests().size();
        m_dlg->OnAbout();
        const std::vector<SeenRequest> sent = requestsSince(m_aspi, before);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].cdb, (Bytes{0x12, 0x00, 0x00, 0x00, 47, 0x00}));
        EXPECT_EQ(m_modal.dialogsRun().back(), res::kAboutDialog);
        EXPECT_EQ(m_modal.dialogsLeftOpen(), 0);
        ASSERT_TRUE(shown.has_value());
        EXPECT_EQ(*shown, c.fields);
        EXPECT_EQ(title, QStringLiteral("About Karvel"));
        EXPECT_TRUE(version);
        EXPECT_TRUE(icon);
        m_dlg->OnPaint();  // the panel shows how the INQUIRY ended
        EXPECT_EQ(m_dlg->itemText(res::kIdAspiStatus), aspiText(c.failure ? SS_ERR : SS_COMP));
    }
}

TEST_F(TargetCommandsTest, ScsiTargetsValidatesHostLunThenIdAndSavesWhatWasEntered) {
    struct Case {
        std::string name;
        QString host, lun, id;
        std::optional<std::pair<QString, int>> refused;  // message, the field left selected
        std::tuple<int, int, int> profile;                // Host, ScsiId, Lun when accepted
        std::tuple<int, int, int> target;                 // host adapter, target id, LUN
    };
    const QString range = QStringLiteral("Please enter an integer between 0 and 15.");
    const QString integer = QStringLiteral("Please enter an integer.");
    const std::vector<Case> cases = {
        {"LUN 16", QStringLiteral("0"), QStringLiteral("16"), QStringLiteral("4"),
         std::pair{range, res::kIdTargetLun}, {}, {}},
        {"LUN a letter", QStringLiteral("0"), QStringLiteral("x"), QStringLiteral("4"),
         std::pair{integer, res::kIdTargetLun}, {}, {}},
        {"LUN and id invalid: the LUN's message", QStringLiteral("0"), QStringLiteral("16"), QStringLiteral("x"),
         std::pair{range, res::kIdTargetLun}, {}, {}},
        {"id 16", QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("16"),
         std::pair{range, res::kIdTargetScsiId}, {}, {}},
        {"host a letter", QStringLiteral("h"), QStringLiteral("16"), QStringLiteral("16"),
         std::pair{integer, res::kIdTargetHost}, {}, {}},
        {"host 300", QStringLiteral("300"), QStringLiteral("0"), QStringLiteral("4"), std::nullopt, {300, 4, 0},
         {44, 4, 0}},
        {"host -1", QStringLiteral("-1"), QStringLiteral("2"), QStringLiteral("15"), std::nullopt, {-1, 15, 2},
         {255, 15, 2}},
        {"blanks and signs", QStringLiteral(" +1\t"), QStringLiteral(" 0"), QStringLiteral("3 "), std::nullopt,
         {1, 3, 0}, {1, 3, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(profilePath());
        open();
        std::vector<QString> opened;
        std::vector<QString> messages;
        QString selected;
        bool stayedOpen = false;
        m_modal.operateDialog([&](ui::TemplateDialog& d) {
            opened = {d.itemText(res::kIdTargetHost), d.itemText(res::kIdTargetScsiId), d.itemText(res::kIdTargetLun)};
            typeInto(d, res::kIdTargetHost, c.host);
            typeInto(d, res::kIdTargetLun, c.lun);
            typeInto(d, res::kIdTargetScsiId, c.id);
            const size_t before = m_modal.messages().size();
            press(d, ui::kIdOk);
            for (size_t i = before; i < m_modal.messages().size(); ++i)
                messages.push_back(m_modal.messages()[i].text);
            stayedOpen = d.isVisible();
            if (c.refused)
                selected = d.itemAs<QLineEdit>(c.refused->second)->selectedText();
            if (stayedOpen)
                press(d, ui::kIdCancel);
        });
        const size_t before = m_aspi.requests().size();
        m_dlg->OnScsiTargets();

        EXPECT_EQ(opened, (std::vector<QString>{QStringLiteral("0"), QStringLiteral("4"), QStringLiteral("0")}));
        EXPECT_EQ(m_modal.dialogsRun().back(), res::kTargetDialog);
        EXPECT_EQ(stayedOpen, c.refused.has_value());
        const TargetAddress now = m_dlg->m_config.target;
        if (c.refused) {
            EXPECT_EQ(messages, std::vector<QString>{c.refused->first});
            const QString typed[] = {c.host, c.lun, c.id};
            const int ids[] = {res::kIdTargetHost, res::kIdTargetLun, res::kIdTargetScsiId};
            for (int k = 0; k < 3; ++k) {
                if (ids[k] == c.refused->second) {
                    EXPECT_EQ(selected, typed[k]);
                }
            }
            EXPECT_FALSE(QFile::exists(profilePath()));
            EXPECT_TRUE(requestsSince(m_aspi, before).empty());
            EXPECT_EQ(std::make_tuple(now.hostAdapter, now.targetId, now.lun), std::make_tuple(0, 4, 0));
            continue;
        }
        EXPECT_TRUE(messages.empty());
        const auto [host, id, lun] = c.profile;
        EXPECT_EQ(saved("Host"), QString::number(host));
        EXPECT_EQ(saved("ScsiId"), QString::number(id));
        EXPECT_EQ(saved("Lun"), QString::number(lun));
        EXPECT_EQ(std::make_tuple(int{now.hostAdapter}, int{now.targetId}, int{now.lun}), c.target);
        // The view is rebuilt for the new target, starting with its INQUIRY.
        const std::vector<SeenRequest> sent = requestsSince(m_aspi, before);
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.front().cdb.at(0), INQUIRY);
        for (const SeenRequest& r : sent)
            EXPECT_EQ(std::make_tuple(int{r.haId}, int{r.target}, int{r.lun}), c.target);
    }
}

TEST_F(TargetCommandsTest, DefaultDoesNothingAndCancelWritesNothing) {
    open();
    const size_t before = m_aspi.requests().size();
    bool openAfterDefault = false;
    QString lunAfterDefault;
    m_modal.operateDialog([&](ui::TemplateDialog& d) {
        typeInto(d, res::kIdTargetLun, QStringLiteral("3"));
        press(d, res::kIdTargetDefault);
        openAfterDefault = d.isVisible();
        lunAfterDefault = d.itemText(res::kIdTargetLun);
        press(d, ui::kIdCancel);
    });
    m_dlg->OnScsiTargets();
    EXPECT_TRUE(openAfterDefault);
    EXPECT_EQ(lunAfterDefault, QStringLiteral("3"));
    EXPECT_TRUE(m_modal.messages().empty());
    EXPECT_FALSE(QFile::exists(profilePath()));
    EXPECT_TRUE(requestsSince(m_aspi, before).empty());
    EXPECT_EQ(m_dlg->m_config.target.lun, 0);
}

TEST_F(TargetCommandsTest, AProfileThatCannotBeWrittenIsReportedAndTheTargetStillChanges) {
    QFile blocker(m_profile.directory() + QStringLiteral("/not-a-directory"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", blocker.fileName().toLocal8Bit());
    open();
    m_modal.operateDialog([](ui::TemplateDialog& d) {
        typeInto(d, res::kIdTargetScsiId, QStringLiteral("6"));
        press(d, ui::kIdOk);
    });
    m_dlg->OnScsiTargets();
    ASSERT_EQ(m_modal.messages().size(), 1u);
    EXPECT_TRUE(m_modal.messages()[0].text.startsWith(QStringLiteral("Cannot save the target in ")));
    EXPECT_EQ(m_modal.messages()[0].icon, ui::MessageIcon::exclamation);
    EXPECT_EQ(m_dlg->m_config.target.targetId, 6);
}

TEST_F(TargetCommandsTest, SystemCommandsAreRecognisedByTheirWholeId) {
    struct Case {
        uint32_t id;
        std::vector<int> dialogs;
        bool refreshed, stillOpen;
    };
    const std::vector<Case> cases = {
        {res::kIdmAboutBox, {res::kAboutDialog}, false, true},
        {res::kIdmScsiTargets, {res::kTargetDialog}, false, true},
        {res::kIdmRefreshView, {}, true, true},
        {res::kIdmAboutBox + 0x10000, {}, false, true},
        {res::kIdmRefreshView | 0xF000, {}, false, true},
        {ui::kScClose, {}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        open();
        const size_t dialogsBefore = m_modal.dialogsRun().size();
        const size_t before = m_aspi.requests().size();
        m_dlg->OnSysCommand(c.id, 0);
        const std::vector<int> run(m_modal.dialogsRun().begin() + static_cast<long>(dialogsBefore),
                                   m_modal.dialogsRun().end());
        EXPECT_EQ(run, c.dialogs);
        const std::vector<SeenRequest> sent = requestsSince(m_aspi, before);
        EXPECT_EQ(sent.size() > 1, c.refreshed);  // a refresh sends its INQUIRY and more; About one
        EXPECT_EQ(m_dlg->isVisible(), c.stillOpen);
    }
}

}  // namespace
}  // namespace karvel::test
