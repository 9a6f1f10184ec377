// SPDX-License-Identifier: MIT
// The user-interface layer: list semantics, integer fields, message boxes, the wait cursor,
// the file filter, dialog units and the string table's formatting.
#include <optional>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "scripted_modal_services.h"
#include "ui/combo_box.h"
#include "ui/data_exchange.h"
#include "ui/dialog_integer.h"
#include "ui/dialog_units.h"
#include "ui/file_filter.h"
#include "ui/list_box.h"
#include "ui/message_box.h"
#include "ui/qt_modal_services.h"
#include "ui/template_dialog.h"
#include "ui/wait_cursor.h"

namespace karvel::test {
namespace {

QStringList rowsOf(const ui::ListBox& box) {
    QStringList rows;
    for (int i = 0; i < box.getCount(); ++i)
        rows << box.getText(i);
    return rows;
}

TEST(ListBox, InsertDeleteAndSelectKeepTheDescribedSemantics) {
    enum class Op { insert, remove, select };
    struct Case {
        int initialRows;
        int initialSelection;
        Op op;
        int k;
        int expectedResult;
        QStringList expectedRows;
        int expectedSelection;
    };
    const QStringList abc = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    const std::vector<Case> cases = {
        {3, -1, Op::insert, 0, 0, {QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, -1},
        {3, -1, Op::insert, 3, 3, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("x")}, -1},
        {3, -1, Op::insert, 4, -1, abc, -1},
        {3, -1, Op::insert, -1, -1, abc, -1},
        {0, -1, Op::insert, 0, 0, {QStringLiteral("x")}, -1},
        {3, -1, Op::remove, 1, 2, {QStringLiteral("a"), QStringLiteral("c")}, -1},
        {3, -1, Op::remove, 3, -1, abc, -1},
        {3, -1, Op::remove, -1, -1, abc, -1},
        {3, -1, Op::select, 2, 2, abc, 2},
        {3, -1, Op::select, 3, -1, abc, -1},
        {3, -1, Op::select, -1, -1, abc, -1},
        {0, -1, Op::select, 0, -1, {}, -1},
        // Deleting the selected row takes the selection with it; a list box does not move it to
        // a neighbour. Any other selection follows its row.
        {3, 1, Op::remove, 1, 2, {QStringLiteral("a"), QStringLiteral("c")}, -1},
        {3, 2, Op::remove, 2, 2, {QStringLiteral("a"), QStringLiteral("b")}, -1},
        {1, 0, Op::remove, 0, 0, {}, -1},
        {3, 2, Op::remove, 0, 2, {QStringLiteral("b"), QStringLiteral("c")}, 1},
        {3, 0, Op::remove, 2, 2, {QStringLiteral("a"), QStringLiteral("b")}, 0},
        {3, 1, Op::insert, 1, 1, {QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("b"), QStringLiteral("c")}, 2},
        {3, 1, Op::insert, 2, 2, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("c")}, 1},
    };
    for (const Case& c : cases) {
        QListWidget widget;
        ui::ListBox box;
        box.attach(&widget);
        for (int i = 0; i < c.initialRows; ++i)
            box.addString(abc[i]);
        box.setCurSel(c.initialSelection);
        int result = 0;
        switch (c.op) {
        case Op::insert: result = box.insertString(c.k, QStringLiteral("x")); break;
        case Op::remove: result = box.deleteString(c.k); break;
        case Op::select: result = box.setCurSel(c.k); break;
        }
        EXPECT_EQ(result, c.expectedResult) << int(c.op) << " " << c.k << " selected " << c.initialSelection;
        EXPECT_EQ(rowsOf(box), c.expectedRows) << int(c.op) << " " << c.k << " selected " << c.initialSelection;
        EXPECT_EQ(box.getCurSel(), c.expectedSelection) << int(c.op) << " " << c.k << " selected " << c.initialSelection;
    }
}

TEST(ListBox, SelectionMovesOffAnInvalidIndexToNothing) {
    QListWidget widget;
    ui::ListBox box;
    box.attach(&widget);
    box.addString(QStringLiteral("a"));
    box.addString(QStringLiteral("b"));
    box.setCurSel(1);
    EXPECT_EQ(box.getCurSel(), 1);
    box.setCurSel(5);
    EXPECT_EQ(box.getCurSel(), -1);
}

TEST(ComboBox, AppendingSelectsNothingUntilAskedAndDisableSticks) {
    QComboBox widget;
    ui::ComboBox box;
    box.attach(&widget);
    EXPECT_EQ(box.setCurSel(0), -1);
    box.addString(QStringLiteral("Drive 1"));
    box.addString(QStringLiteral("Drive 2"));
    EXPECT_EQ(box.getCurSel(), -1);
    EXPECT_EQ(box.setCurSel(1), 1);
    EXPECT_EQ(box.getCurSel(), 1);
    box.addString(QStringLiteral("Drive 3"));
    EXPECT_EQ(box.getCurSel(), 1);
    box.resetContent();
    EXPECT_EQ(box.getCurSel(), -1);
    box.enableWindow(false);
    EXPECT_FALSE(widget.isEnabled());
    EXPECT_FALSE(widget.isEditable());
}

TEST(DialogInteger, ReadsASignedDecimalWithBlanksOrTabsAround) {
    const std::vector<std::pair<QString, std::optional<int32_t>>> cases = {
        {QStringLiteral("12"), 12},
        {QStringLiteral("  \t-7 \t"), -7},
        {QStringLiteral("+300"), 300},
        {QStringLiteral("-2147483648"), INT32_MIN},
        {QStringLiteral("2147483647"), INT32_MAX},
        {QStringLiteral("2147483648"), std::nullopt},
        {QStringLiteral(""), std::nullopt},
        {QStringLiteral("   "), std::nullopt},
        {QStringLiteral("-"), std::nullopt},
        {QStringLiteral("1 2"), std::nullopt},
        {QStringLiteral("12a"), std::nullopt},
        {QStringLiteral("0x10"), std::nullopt},
        {QStringLiteral("a"), std::nullopt},
        {QStringLiteral("\n5"), std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ui::parseDialogInteger(text), expected) << text.toStdString();
}

// A two-field dialog over the address range template: the first field ranges 0 to 15.
class TwoFieldDialog : public ui::TemplateDialog {
public:
    TwoFieldDialog() : TemplateDialog(res::kAddressRangeDialog) {}
    int32_t first = 1;
    int32_t second = 2;

protected:
    void DoDataExchange(ui::DataExchange& dx) override {
        dx.integer(res::kIdFirstValue, first);
        dx.integerRange(res::kIdFirstValue, first, 0, 15);
        dx.integer(res::kIdSecondValue, second);
    }
};

TEST(DataExchange, OkReadsFieldsInOrderAndTheFirstFailureKeepsTheDialogOpen) {
    struct Case {
        QString first, second;
        std::vector<QString> expectedMessages;
        int selectedField;  // 0 when the dialog closed
        int32_t expectedFirst, expectedSecond;
    };
    const QString notInteger = QStringLiteral("Please enter an integer.");
    const std::vector<Case> cases = {
        {QStringLiteral(" 7 "), QStringLiteral("-40"), {}, 0, 7, -40},
        {QStringLiteral("x"), QStringLiteral("y"), {notInteger}, res::kIdFirstValue, 1, 2},
        {QStringLiteral("16"), QStringLiteral("y"), {QStringLiteral("Please enter an integer between 0 and 15.")},
         res::kIdFirstValue, 16, 2},
        {QStringLiteral("3"), QStringLiteral("4.5"), {notInteger}, res::kIdSecondValue, 3, 2},
    };
    for (const Case& c : cases) {
        ScriptedModalServices modal;
        TwoFieldDialog dialog;
        bool stayedOpen = false;
        bool selected = false;
        modal.operateDialog([&](ui::TemplateDialog& d) {
            EXPECT_EQ(d.itemText(res::kIdFirstValue), QStringLiteral("1"));  // members shown at start
            d.setItemText(res::kIdFirstValue, c.first);
            d.setItemText(res::kIdSecondValue, c.second);
            d.OnOK();
            stayedOpen = d.isVisible();
            if (c.selectedField) {
                auto* edit = d.itemAs<QLineEdit>(c.selectedField);
                selected = edit && edit->selectedText() == edit->text() && !edit->text().isEmpty();
                d.OnCancel();
            }
        });
        const int result = dialog.DoModal();
        std::vector<QString> texts;
        for (const ShownMessage& m : modal.messages()) {
            texts.push_back(m.text);
            EXPECT_EQ(m.caption, QStringLiteral("karvel"));
            EXPECT_EQ(m.icon, ui::MessageIcon::exclamation);
        }
        EXPECT_EQ(texts, c.expectedMessages) << c.first.toStdString();
        EXPECT_EQ(stayedOpen, c.selectedField != 0);
        EXPECT_EQ(selected, c.selectedField != 0);
        EXPECT_EQ(result, c.selectedField ? ui::kIdCancel : ui::kIdOk);
        EXPECT_EQ(std::make_pair(dialog.first, dialog.second), std::make_pair(c.expectedFirst, c.expectedSecond));
    }
}

TEST(DataExchange, TheRealDialogValidatesWhenTheOperatorPressesOk) {
    TwoFieldDialog dialog;
    dialog.createWindow();
    QTimer::singleShot(0, [&] {
        dialog.setItemText(res::kIdFirstValue, QStringLiteral("9"));
        dialog.setItemText(res::kIdSecondValue, QStringLiteral("100000"));
        QTest::mouseClick(dialog.itemAs<QPushButton>(ui::kIdOk), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.exec(), ui::kIdOk);
    EXPECT_EQ(std::make_pair(dialog.first, dialog.second), std::make_pair(9, 100000));
}

TEST(MessageBoxes, AreCaptionedWithTheApplicationNameAndAnswerAsProgrammed) {
    ScriptedModalServices modal;
    ui::showMessage(QStringLiteral("stop"), ui::MessageIcon::stop);
    ui::showMessage(QStringLiteral("warn"), ui::MessageIcon::exclamation);
    ui::showMessage(QStringLiteral("plain"));
    modal.answerYesNo(true);
    EXPECT_TRUE(ui::askYesNo(QStringLiteral("sure?")));
    EXPECT_FALSE(ui::askYesNo(QStringLiteral("unanswered is No")));
    using T = std::tuple<QString, QString, ui::MessageIcon, ui::MessageButtons>;
    std::vector<T> shown;
    for (const ShownMessage& m : modal.messages())
        shown.emplace_back(m.text, m.caption, m.icon, m.buttons);
    const QString k = QStringLiteral("karvel");
    EXPECT_EQ(shown, (std::vector<T>{
                         {QStringLiteral("stop"), k, ui::MessageIcon::stop, ui::MessageButtons::ok},
                         {QStringLiteral("warn"), k, ui::MessageIcon::exclamation, ui::MessageButtons::ok},
                         {QStringLiteral("plain"), k, ui::MessageIcon::none, ui::MessageButtons::ok},
                         {QStringLiteral("sure?"), k, ui::MessageIcon::question, ui::MessageButtons::yesNo},
                         {QStringLiteral("unanswered is No"), k, ui::MessageIcon::question, ui::MessageButtons::yesNo},
                     }));
}

TEST(MessageBoxes, TheRealYesNoBoxHasNoAsItsDefault) {
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        icon = box->icon();
        QTest::keyClick(box, Qt::Key_Return);  // the default button
    });
    ui::QtModalServices real;
    EXPECT_EQ(real.messageBox(nullptr, QStringLiteral("Continue?"), QStringLiteral("karvel"),
                              ui::MessageIcon::question, ui::MessageButtons::yesNo, QString()),
              ui::MessageAnswer::no);
    EXPECT_EQ(caption, QStringLiteral("karvel"));
    EXPECT_EQ(icon, QMessageBox::Question);
}

// The detail sits behind "Show Details..."; a box without one offers no such button.
TEST(MessageBoxes, TheRealBoxOffersItsDetailUnderShowDetails) {
    for (const QString& detail : {QStringLiteral("wnaspi32: a.conf:1: unknown transport 'bogus'"), QString()}) {
        QString detailed = QStringLiteral("unread");
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            detailed = box->detailedText();
            QTest::keyClick(box, Qt::Key_Return);
        });
        ui::QtModalServices real;
        EXPECT_EQ(real.messageBox(nullptr, QStringLiteral("ASPI unable to initialize! No ASPI service!"),
                                  QStringLiteral("Nevsel"), ui::MessageIcon::stop, ui::MessageButtons::ok, detail),
                  ui::MessageAnswer::ok);
        EXPECT_EQ(detailed, detail);
    }
}

TEST(WaitCursor, NestedBeginsRestoreTheCursorOnlyAtTheLastEnd) {
    ASSERT_EQ(ui::waitCursorDepth(), 0);
    ui::beginWaitCursor();
    ui::beginWaitCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui::endWaitCursor();
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    ui::endWaitCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ui::endWaitCursor();  // one end too many changes nothing
    EXPECT_EQ(ui::waitCursorDepth(), 0);
}

TEST(FileFilter, StringTableFilterBecomesQtNameFilters) {
    const std::vector<std::pair<QString, QStringList>> cases = {
        {res::loadString(res::kStrFirmwareFilter),
         {QStringLiteral("Motorola Files (*.mot)"), QStringLiteral("Binary Files (*.bin)"),
          QStringLiteral("HexFiles (*.hex)"), QStringLiteral("All Files (*)")}},
        {QStringLiteral("Images|*.bmp;*.png||"), {QStringLiteral("Images (*.bmp *.png)")}},
        {QString(), {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(ui::qtNameFilters(filter), expected) << filter.toStdString();
}

TEST(DialogUnits, ScaleWithTheFontsAverageWidthAndHeight) {
    struct Case {
        QRect du;
        ui::DialogBaseUnits units;
        QRect expected;
    };
    const std::vector<Case> cases = {
        {{4, 106, 50, 14}, {6, 13}, {6, 172, 75, 23}},
        {{3, 21, 59, 80}, {7, 16}, {5, 42, 103, 160}},
        {{1, 1, 1, 1}, {6, 12}, {2, 2, 2, 2}},  // halves round up, as MulDiv does
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::dialogUnitsToPixels(c.du, c.units), c.expected);
}

TEST(StringTable, FormatsTheProgramsTemplates) {
    const std::vector<std::tuple<QString, std::vector<long long>, QString>> cases = {
        {res::loadString(res::kStrSlotEmpty), {12}, QStringLiteral("12")},
        {res::loadString(res::kStrSlotFull), {5}, QStringLiteral("5 - Full")},
        {res::loadString(res::kStrSlotInDrive), {7, 1}, QStringLiteral("7 in Drive 1")},
        {res::loadString(res::kStrReadingMotorola), {3}, QStringLiteral("Reading Motorola format line 3 ")},
        {QStringLiteral("100%% %u"), {4}, QStringLiteral("100% 4")},
    };
    for (const auto& [format, numbers, expected] : cases) {
        QString got;
        switch (numbers.size()) {
        case 1: got = res::formatString(format, {numbers[0]}); break;
        case 2: got = res::formatString(format, {numbers[0], numbers[1]}); break;
        }
        EXPECT_EQ(got, expected);
    }
    EXPECT_TRUE(res::loadString(3).isEmpty());
}

}  // namespace
}  // namespace karvel::test
