// SPDX-License-Identifier: MIT
// The commands' small dialogs on their own: the address range prompt's labels and
// validation, and the progress box's life on screen.
#include <optional>
#include <string>
#include <vector>

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "address_range_dlg.h"
#include "progress_dlg.h"
#include "resources/resource_ids.h"
#include "scripted_modal_services.h"
#include "ui/dialog_template.h"

namespace karvel::test {
namespace {

TEST(AddressRangeDlg, ShowsTheCallersLabelsAndValuesAndAcceptsOnlyIntegers) {
    struct Case {
        std::string name;
        QString first, second;
        int result;
        std::vector<QString> messages;
        int selectedField;  // the field left selected, 0 for none
        int32_t firstValue, secondValue;
    };
    const QString integer = QStringLiteral("Please enter an integer.");
    const std::vector<Case> cases = {
        {"two integers", QStringLiteral("-12"), QStringLiteral(" 99999 "), ui::kIdOk, {}, 0, -12, 99999},
        {"a letter in the top row", QStringLiteral("1a"), QStringLiteral("x"), ui::kIdCancel, {integer},
         res::kIdFirstValue, 5, 6},
        {"an empty bottom row", QStringLiteral("1"), QString(), ui::kIdCancel, {integer}, res::kIdSecondValue, 1, 6},
        {"too large for 32 bits", QStringLiteral("2147483648"), QStringLiteral("1"), ui::kIdCancel, {integer},
         res::kIdFirstValue, 5, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedModalServices modal;
        CAddressRangeDlg prompt;
        prompt.m_firstLabel = QStringLiteral("From");
        prompt.m_secondLabel = QStringLiteral("To");
        prompt.m_firstValue = 5;
        prompt.m_secondValue = 6;
        std::vector<QString> opened;
        QString selected;
        modal.operateDialog([&](ui::TemplateDialog& d) {
            opened = {d.itemText(res::kIdFirstLabel), d.itemText(res::kIdFirstValue), d.itemText(res::kIdSecondLabel),
                      d.itemText(res::kIdSecondValue), d.windowTitle()};
            d.itemAs<QLineEdit>(res::kIdFirstValue)->setText(c.first);
            d.itemAs<QLineEdit>(res::kIdSecondValue)->setText(c.second);
            QTest::mouseClick(d.itemAs<QPushButton>(ui::kIdOk), Qt::LeftButton);
            if (c.selectedField)
                selected = d.itemAs<QLineEdit>(c.selectedField)->selectedText();
        });
        EXPECT_EQ(prompt.DoModal(), c.result);
        EXPECT_EQ(opened, (std::vector<QString>{QStringLiteral("From"), QStringLiteral("5"), QStringLiteral("To"),
                                                QStringLiteral("6"), QString()}));
        std::vector<QString> shown;
        for (const ShownMessage& m : modal.messages())
            shown.push_back(m.text);
        EXPECT_EQ(shown, c.messages);
        if (c.selectedField) {
            EXPECT_EQ(selected, c.selectedField == res::kIdFirstValue ? c.first : c.second);
        }
        if (c.result == ui::kIdOk) {
            EXPECT_EQ(prompt.m_firstValue, c.firstValue);
            EXPECT_EQ(prompt.m_secondValue, c.secondValue);
        }
    }
}

TEST(ProgressDlg, IsOnScreenOverItsOwnerAtOnceShowsNewTextsAndDeletesItself) {
    ui::TemplateDialog owner(res::kChangerDialog);
    owner.createWindow();
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

    auto* const dialog = new CProgressDlg(&owner);
    QPointer<CProgressDlg> box = dialog;
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->itemText(res::kIdProgressText), QStringLiteral("Static"));
    EXPECT_TRUE(dialog->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_LE((dialog->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
    auto* text = dialog->itemAs<QLabel>(res::kIdProgressText);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->alignment() & Qt::AlignHCenter);

    dialog->SetText(QStringLiteral("Transfering Firmware to Changer"));
    EXPECT_EQ(text->text(), QStringLiteral("Transfering Firmware to Changer"));

    dialog->DestroyWindow();
    EXPECT_FALSE(dialog->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull());
}

}  // namespace
}  // namespace karvel::test
