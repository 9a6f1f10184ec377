// SPDX-License-Identifier: MIT
// Initialize and Clear NVRAM on a scripted changer: the prompt and what it shows, the mode
// page bytes, the remembered range, the progress box, the record groups written and the
// two confirmations.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "dialog_typing.h"
#include "changer_dialog_fixture.h"
#include "command_test_support.h"
#include "progress_dlg.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "scsi_codes.h"
#include "target_dlg.h"

namespace karvel::test {
namespace {

using namespace karvel::scsi;
using Bytes = std::vector<uint8_t>;
using Typed = std::optional<std::pair<QString, QString>>;  // start, stop; nothing: Cancel

// What the address range prompt showed when it opened.
struct Prompt {
    QString firstLabel, first, secondLabel, second;
    bool operator==(const Prompt&) const = default;
};

void PrintTo(const Prompt& p, std::ostream* out) {
    *out << p.firstLabel.toStdString() << '=' << p.first.toStdString() << ", " << p.secondLabel.toStdString()
         << '=' << p.second.toStdString();
}

class ElementStatusCommandsTest : public ChangerDialogTest {
protected:
    // Answers the next address range prompt: notes what it shows, then types and presses OK,
    // or presses Cancel.
    void answerPrompt(Typed typed) {
        m_modal.operateDialog([this, typed](ui::TemplateDialog& d) {
            m_prompts.push_back({d.itemText(res::kIdFirstLabel), d.itemText(res::kIdFirstValue),
                               d.itemText(res::kIdSecondLabel), d.itemText(res::kIdSecondValue)});
            if (!typed) {
                press(d, ui::kIdCancel);
                return;
            }
            typeInto(d, res::kIdFirstValue, typed->first);
            typeInto(d, res::kIdSecondValue, typed->second);
            press(d, ui::kIdOk);
        });
    }

    // Runs Initialize; prompted says whether the prompt is to be answered.
    std::vector<SeenRequest> initialize(Typed typed, bool prompted = true) {
        if (prompted)
            answerPrompt(std::move(typed));
        const size_t before = m_aspi.requests().size();
        m_dlg->OnInitialize();
        return requestsSince(m_aspi, before);
    }

    std::vector<Prompt> m_prompts;
};

Prompt shown(int start, int stop) {
    return {QStringLiteral("Start Address"), QString::number(start), QStringLiteral("Stop Address"),
            QString::number(stop)};
}

TEST_F(ElementStatusCommandsTest, InitializeAsksForARangeFrom19SlotsAndSendsItInPage20h) {
    struct Case {
        std::string name;
        uint16_t slotCount, firstStorage;
        Typed typed;
        std::vector<Prompt> prompts;
        std::vector<uint8_t> opcodes;
        Bytes page;  // the MODE SELECT data
    };
    const std::vector<uint8_t> shortPath = {TEST_UNIT_READY, TEST_UNIT_READY, INITIALIZE_ELEMENT_STATUS};
    const std::vector<uint8_t> longPath = {TEST_UNIT_READY,           TEST_UNIT_READY, MODE_SELECT_6,
                                           INITIALIZE_ELEMENT_STATUS, READ_BUFFER,     READ_ELEMENT_STATUS};
    const std::vector<Case> cases = {
        {"18 slots: no prompt", 18, 1, std::nullopt, {}, shortPath, {}},
        {"19 slots, cancelled", 19, 1, std::nullopt, {shown(1, 19)}, {TEST_UNIT_READY, TEST_UNIT_READY}, {}},
        {"10 to 20", 100, 1, std::pair{QStringLiteral("10"), QStringLiteral("20")}, {shown(1, 100)}, longPath,
         {0x00, 0x00, 0x00, 0x00, 0x20, 0x04, 0x00, 0x0A, 0x00, 0x14}},
        {"start above FFFFh: its low 16 bits", 100, 0x10, std::pair{QStringLiteral("70000"), QStringLiteral("5")},
         {shown(16, 115)}, longPath, {0x00, 0x00, 0x00, 0x00, 0x20, 0x04, 0x11, 0x70, 0x00, 0x05}},
        {"signs and blanks, stop below start", 100, 1, std::pair{QStringLiteral(" -1\t"), QStringLiteral("+7 ")},
         {shown(1, 100)}, longPath, {0x00, 0x00, 0x00, 0x00, 0x20, 0x04, 0xFF, 0xFF, 0x00, 0x07}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_changer.assignment.storageCount = c.slotCount;
        m_changer.assignment.firstStorage = c.firstStorage;
        open();
        m_prompts.clear();
        const std::vector<SeenRequest> sent = initialize(c.typed, !c.prompts.empty());
        EXPECT_EQ(m_prompts, c.prompts);
        EXPECT_EQ(m_modal.dialogsLeftOpen(), 0);
        EXPECT_EQ(opcodesOf(sent), c.opcodes);
        const std::vector<SeenRequest> selects = requestsWithOpcode(m_aspi, MODE_SELECT_6);
        if (c.page.empty())
            continue;
        ASSERT_FALSE(selects.empty());
        EXPECT_EQ(selects.back().cdb, (Bytes{0x15, 0x10, 0x00, 0x00, 0x0A, 0x00}));
        EXPECT_EQ(selects.back().dataOut, c.page);
        EXPECT_EQ(sent[3].cdb, (Bytes{0x07, 0, 0, 0, 0, 0}));
    }
}

TEST_F(ElementStatusCommandsTest, TheRangeIsFixedAtTheFirstInitializeAndKeptAcrossRefreshAndTargetChange) {
    m_changer.assignment.storageCount = 10;
    open();
    initialize(std::nullopt, false);  // the short path fixes the range too: 1 to 10
    EXPECT_TRUE(m_prompts.empty());

    m_changer.assignment.storageCount = 100;
    m_dlg->RefreshView(m_dlg->m_config);
    initialize(std::pair{QStringLiteral("10"), QStringLiteral("20")});
    initialize(std::nullopt);  // a cancel keeps it
    m_dlg->RefreshView(m_dlg->m_config);
    initialize(std::pair{QStringLiteral("70000"), QStringLiteral("20")});

    m_modal.operateDialog([](ui::TemplateDialog& d) {
        typeInto(d, res::kIdTargetScsiId, QStringLiteral("3"));
        press(d, ui::kIdOk);
    });
    const ScratchProfile profile;
    m_dlg->OnScsiTargets();
    ASSERT_EQ(m_dlg->m_config.target.targetId, 3);
    const std::vector<SeenRequest> sent = initialize(std::nullopt);

    EXPECT_EQ(m_prompts, (std::vector<Prompt>{shown(1, 10), shown(10, 20), shown(10, 20), shown(70000, 20)}));
    EXPECT_EQ(opcodesOf(sent), (std::vector<uint8_t>{TEST_UNIT_READY, TEST_UNIT_READY}));
    EXPECT_EQ(sent.back().target, 3);
}

TEST_F(ElementStatusCommandsTest, AFailureEndsInitializeButTheProgressBoxStillCloses) {
    struct Case {
        std::string name;
        uint16_t slotCount;
        uint8_t failing;
        std::vector<uint8_t> opcodes;
    };
    const std::vector<Case> cases = {
        {"mode select", 100, MODE_SELECT_6, {TEST_UNIT_READY, TEST_UNIT_READY, MODE_SELECT_6}},
        {"initialize", 100, INITIALIZE_ELEMENT_STATUS,
         {TEST_UNIT_READY, TEST_UNIT_READY, MODE_SELECT_6, INITIALIZE_ELEMENT_STATUS}},
        {"initialize, 18 slots", 18, INITIALIZE_ELEMENT_STATUS,
         {TEST_UNIT_READY, TEST_UNIT_READY, INITIALIZE_ELEMENT_STATUS}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_changer.failures.clear();
        m_changer.assignment.storageCount = c.slotCount;
        open();
        m_dlg->m_slotList.setCurSel(5);
        const QStringList rows = slotRows();
        m_changer.failures[c.failing] = Reply::checkCondition(HARDWARE_ERROR, 0x53, 0x00);
        EXPECT_EQ(opcodesOf(initialize(std::pair{QStringLiteral("1"), QStringLiteral("9")}, c.slotCount > 18)),
                  c.opcodes);
        EXPECT_EQ(slotRows(), rows);
        EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 5);
        for (const CProgressDlg* box : m_dlg->findChildren<CProgressDlg*>())
            EXPECT_FALSE(box->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(m_dlg->findChildren<CProgressDlg*>().empty());
        m_dlg->OnPaint();
        EXPECT_EQ(m_dlg->itemText(res::kIdAscAscq), ascText(0x53, 0x00));
    }
}

// Notes every paint of the progress box's text, in one log with the commands sent.
class PaintLog : public QObject {
public:
    explicit PaintLog(std::vector<QString>& log) : m_log(log) { qApp->installEventFilter(this); }
    ~PaintLog() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->objectName() == ui::controlObjectName(res::kIdProgressText))
            if (auto* label = qobject_cast<QLabel*>(watched); label && qobject_cast<CProgressDlg*>(label->parent()))
                m_log.push_back(QStringLiteral("painted ") + label->text());
        return false;
    }

private:
    std::vector<QString>& m_log;
};

TEST_F(ElementStatusCommandsTest, TheProgressBoxIsPaintedOverTheDialogWhileTheChangerWorks) {
    m_changer.assignment.storageCount = 100;
    open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    std::vector<QString> log;
    m_aspi.answerWith([&](const SeenRequest& r) {
        const QList<CProgressDlg*> boxes = m_dlg->findChildren<CProgressDlg*>();
        QString line = QStringLiteral("command %1").arg(int{r.cdb.at(0)}, 2, 16, QLatin1Char('0'));
        if (boxes.size() == 1 && boxes[0]->isVisible()) {
            CProgressDlg* box = boxes[0];
            const QPoint offset = box->frameGeometry().center() - m_dlg->frameGeometry().center();
            line += QStringLiteral(" over \"%1\"").arg(box->itemText(res::kIdProgressText));
            if (box->windowHandle() && box->windowHandle()->isExposed() && offset.manhattanLength() <= 2)
                line += QStringLiteral(", exposed and centred");
        }
        const QCursor* cursor = QApplication::overrideCursor();
        if (cursor && cursor->shape() == Qt::WaitCursor)
            line += QStringLiteral(", waiting");
        log.push_back(line);
        return m_changer.respond(r);
    });
    PaintLog paints(log);
    initialize(std::pair{QStringLiteral("1"), QStringLiteral("100")});
    const std::vector<QString> expected = {
        QStringLiteral("command 00"),
        QStringLiteral("command 00"),
        QStringLiteral("painted Static"),  // the template's text, the moment the box appears
        QStringLiteral("painted Initializing Changer"),
        QStringLiteral("command 15 over \"Initializing Changer\", exposed and centred"),
        QStringLiteral("command 07 over \"Initializing Changer\", exposed and centred, waiting"),
        QStringLiteral("command 3c over \"Initializing Changer\", exposed and centred, waiting"),
        QStringLiteral("command b8 over \"Initializing Changer\", exposed and centred, waiting"),
    };
    std::vector<QString> seen;
    for (const QString& line : log)  // the box may be painted more than once before the first command
        if (seen.empty() || line != seen.back() || !line.startsWith(QStringLiteral("painted")))
            seen.push_back(line);
    EXPECT_EQ(seen, expected) << QStringList(seen.begin(), seen.end()).join(QLatin1Char('\n')).toStdString();
}

TEST_F(ElementStatusCommandsTest, ClearNvramWritesOneZeroGroupPer100SlotsAfterTwoYes) {
    struct Case {
        std::string name;
        uint16_t slotCount;
        std::vector<bool> answers;
        int failingWrite;  // index of the write that fails, -1 for none
        std::vector<uint8_t> bufferIds;
        bool rebuilt;
    };
    const std::vector<Case> cases = {
        {"0 slots", 0, {true, true}, -1, {}, true},
        {"100 slots", 100, {true, true}, -1, {0}, true},
        {"101 slots", 101, {true, true}, -1, {0, 1}, true},
        {"250 slots", 250, {true, true}, -1, {0, 1, 2}, true},
        {"250 slots, buffer 1 fails", 250, {true, true}, 1, {0, 1}, true},
        {"18 slots: written all the same", 18, {true, true}, -1, {0}, true},
        {"No at the first question", 250, {false}, -1, {}, false},
        {"No at the second question", 250, {true, false}, -1, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_changer.assignment.storageCount = c.slotCount;
        m_changer.fullnessMaps[0] = {0xFF};
        open();
        m_dlg->m_slotList.setCurSel(4);
        m_changer.fullnessMaps.clear();
        int writes = 0;
        std::vector<bool> waiting;
        m_aspi.answerWith([&](const SeenRequest& r) {
            if (r.cdb.at(0) != WRITE_BUFFER)
                return m_changer.respond(r);
            waiting.push_back(QApplication::overrideCursor() != nullptr);
            return writes++ == c.failingWrite ? Reply::checkCondition(HARDWARE_ERROR, 0x44, 0x00) : Reply{};
        });
        for (bool yes : c.answers)
            m_modal.answerYesNo(yes);
        const size_t before = m_aspi.requests().size();
        const size_t messagesBefore = m_modal.messages().size();
        const QStringList rows = slotRows();

        m_dlg->OnClearNvram();
        const std::vector<SeenRequest> sent = requestsSince(m_aspi, before);
        std::vector<uint8_t> ids;
        for (const SeenRequest& r : sent)
            if (r.cdb.at(0) == WRITE_BUFFER) {
                ids.push_back(r.cdb.at(2));
                EXPECT_EQ(r.cdb, (Bytes{0x3B, 0x02, r.cdb.at(2), 0, 0, 0, 0, 0, 13, 0}));
                EXPECT_EQ(r.dataOut, Bytes(13, 0));
            }
        EXPECT_EQ(ids, c.bufferIds);
        EXPECT_EQ(waiting, std::vector<bool>(ids.size(), true));
        EXPECT_EQ(!sent.empty() && sent.back().cdb.at(0) == READ_ELEMENT_STATUS, c.rebuilt);
        if (!c.rebuilt) {
            EXPECT_TRUE(sent.empty());
            EXPECT_EQ(slotRows(), rows);
            EXPECT_EQ(m_dlg->m_slotList.getCurSel(), 4);
        }

        std::vector<QString> asked;
        for (size_t i = messagesBefore; i < m_modal.messages().size(); ++i) {
            asked.push_back(m_modal.messages()[i].text);
            EXPECT_EQ(m_modal.messages()[i].icon, ui::MessageIcon::question);
            EXPECT_EQ(m_modal.messages()[i].buttons, ui::MessageButtons::yesNo);
            EXPECT_EQ(m_modal.messages()[i].caption, QStringLiteral("karvel"));
        }
        const std::vector<QString> questions = {
            QStringLiteral("WARNING:  Clearing NVRAM.  Verify Changer is Empty\n Do you want to continue ?"),
            QStringLiteral("Are you ABSOLUTELY sure ?")};
        EXPECT_EQ(asked, std::vector<QString>(questions.begin(), questions.begin() + c.answers.size()));
    }
}

}  // namespace
}  // namespace karvel::test
