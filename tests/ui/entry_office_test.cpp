// Question entry through the real screen, offscreen, with the real office
// writing the documents.

#include "questions/questionrecord.h"
#include "store/paths.h"
#include "support/samplebank.h"
#include "support/testsupport.h"
#include "ui/catalogue/Form_cshtmbh.h"
#include "ui/common/documentview.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"
#include "ui/questions/Form_stlr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace zs;

namespace {

const QString kChapter = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章 有理数";
const QString kSection1 = kChapter + "\\1-1.1 正数和负数";
const QString kSection2 = kChapter + "\\2-1.2 有理数";

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bank bank(app.bankPath());
        test::addSectionPoints(bank, kSection1, {"1-A", "2-B", "3-C"});
        test::addSectionPoints(bank, kSection2, {"1-D", "2-E"});
        bank.addRow("试题来源", {{"试题来源", "1-期中考试"}});
        app.state().CurrentUserName = "张三";
        app.state().modalHook = [this](QObject* screen) {
            opened << screen->objectName();
            if (auto* numbers = qobject_cast<Form_cshtmbh*>(screen))
                numbers->Form_Activate();
        };
        form = std::make_unique<Form_stlr>(app.state());
        form->show();
        form->Form_Activate();
    }
    void TearDown() override {
        app.prompts.answer(Answer::Ok);
        form->close();
    }

    ScopeTreeWidget* tree() { return test::child<ScopeTreeWidget>(form.get(), "TreeView1"); }
    QListWidget* list(const char* name) { return test::child<QListWidget>(form.get(), name); }
    void tick(const QString& path, bool on = true) {
        test::tick(tree(), path, on);
        form->TreeView1_Click();
        form->Timer1_Timer();
    }
    void pick(const QString& point) {
        const auto items = list("List_dxzsd")->findItems(point, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << point.toStdString();
        form->List_dxzsd_Click(items.first());
        form->Timer1_Timer();
    }
    void choose(const char* combo, const QString& text) { test::FormDriver(form.get()).choose(combo, text); }
    // The settings of the question, and its text in the question document.
    void chooseSettings() {
        choose("Combo_tx", "单选题");
        choose("Combo_nd", "0.5");
        choose("Combo_stly", "1-期中考试");
        writeQuestion();
    }
    void writeQuestion(const QString& text = "下列各数中，最小的数是（  ）") {
        const QString path = questionDocumentPath(app.bankPath(), form->currentNumber());
        if (!QFileInfo::exists(path))
            return;
        const auto word = test::office().startWord();
        const auto doc = word->open(path);
        doc->append(text);
        doc->save();
        doc->close();
    }
    RowSet rows() { return Bank(app.bankPath()).query("select * from 试题库"); }

    test::TestApp app;
    std::unique_ptr<Form_stlr> form;
    QStringList opened;
};

}  // namespace

TEST_F(EntryTest, TheFirstQuestionGetsAFreshNumberAndTwoRealDocuments) {
    EXPECT_EQ(opened, QStringList({"Form_cshtmbh"}));
    EXPECT_EQ(form->currentNumber(), "00001");
    EXPECT_EQ(app.state().FreeNumberPool.slot(1), "");
    EXPECT_EQ(app.state().FreeNumberPool.slot(2), "00002");
    for (const QString& path :
         {questionDocumentPath(app.bankPath(), "00001"), answerDocumentPath(app.bankPath(), "00001")}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_TRUE(f.read(8).startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
    }
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_zzlrstbh")->text(), "00001");
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_stkzts")->text(), "0");
}

TEST_F(EntryTest, TickingAChapterIsUndone) {
    tick(kChapter);
    EXPECT_EQ(app.prompts.lastMessage(), "请勾选更详细的考查范围！");
    EXPECT_FALSE(tree()->model().isChecked(tree()->model().findByPath(kChapter)));
    tick(kSection1);
    EXPECT_TRUE(tree()->model().isChecked(tree()->model().findByPath(kSection1)));
    EXPECT_EQ(list("List_dxzsd")->count(), 3);
}

TEST_F(EntryTest, TwoSectionsGiveTwoRowsWithOneNumberAndCodeAndPointsInCandidateOrder) {
    tick(kSection1);
    pick("3-C");
    pick("1-A");
    EXPECT_EQ(list("List_yxzsd")->item(0)->text(), "1-A");
    tick(kSection2);
    pick("2-E");
    chooseSettings();
    test::child<QPushButton>(form.get(), "Command_qdlr")->click();

    const RowSet r = rows();
    ASSERT_EQ(r.count(), 2);
    EXPECT_EQ(r.text(0, "题目编号"), "00001");
    EXPECT_EQ(r.text(1, "题目编号"), "00001");
    EXPECT_EQ(r.text(0, "试题识别码"), "张三-00001");
    EXPECT_EQ(r.text(0, "考查范围"), kSection1);
    EXPECT_EQ(r.text(0, "知识点"), "1-A|3-C");
    EXPECT_EQ(r.text(1, "考查范围"), kSection2);
    EXPECT_EQ(r.text(1, "知识点"), "2-E");
    EXPECT_EQ(r.text(0, "试题来源"), "1-期中考试");
    EXPECT_EQ(r.text(0, "入库教师"), "张三");
    EXPECT_EQ(r.date(0, "入库日期"), app.clock.today());
    const QStringList messages = app.prompts.messages();
    ASSERT_GE(messages.size(), 2);
    EXPECT_EQ(messages[messages.size() - 2], "已成功录入题目！\r\r题目编号为：00001");
    EXPECT_EQ(messages.last(), "已经为下一题的录入做好准备！\r\r题目编号为：00002");
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_stkzts")->text(), "1");
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_jrlrzts")->text(), "1");
    // Settings and ticks are cleared for the next question.
    EXPECT_FALSE(tree()->model().anyChecked());
    EXPECT_EQ(comboText(test::child<QComboBox>(form.get(), "Combo_tx")), "题型");
}

TEST_F(EntryTest, TheDayCountedIsTheDayOfTheRunsClock) {
    auto enter = [&] {
        tick(kSection1);
        pick("1-A");
        chooseSettings();
        test::child<QPushButton>(form.get(), "Command_qdlr")->click();
    };
    enter();
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_jrlrzts")->text(), "1");
    // Past midnight the next question is entered on the new day.
    app.clock.set(QDateTime(app.clock.today(), QTime(23, 59, 59)));
    app.clock.advanceSeconds(2);
    enter();
    const RowSet r = rows();
    ASSERT_EQ(r.count(), 2);
    EXPECT_EQ(r.date(1, "入库日期"), r.date(0, "入库日期").addDays(1));
    EXPECT_EQ(r.date(1, "入库日期"), app.clock.today());
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_stkzts")->text(), "2");
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label_jrlrzts")->text(), "1");
}

TEST_F(EntryTest, EveryComplaintInItsOrder) {
    tick(kSection1);
    test::child<DocumentView>(form.get(), "OLE_tm")->clear();
    test::child<DocumentView>(form.get(), "OLE_da")->clear();
    form->Command_qdlr_Click();
    const QStringList messages = app.prompts.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], "在勾选的“" + kSection1 + "”下，没有添加知识点，请先添加！");
    EXPECT_EQ(messages[1], "未能成功录入试题，原因如下：\r\r*试题题型未选择！\r*试题难度未选择！\r*试题来源未选择！\r"
                           "*试题题目未输入！\r*试题答案未输入！\r*试题知识点未添加完善！\r");
    EXPECT_EQ(rows().count(), 0);

    app.prompts.clear();
    tick(kSection1, false);
    form->Command_qdlr_Click();
    EXPECT_TRUE(
        app.prompts.lastMessage().startsWith("未能成功录入试题，原因如下：\r\r*未选择考查范围！\r*试题题型未选择！"));
}

TEST_F(EntryTest, KeptParametersNeedFreshKnowledgePoints) {
    test::child<QCheckBox>(form.get(), "Check_gudingcanshu")->setChecked(true);
    tick(kSection1);
    pick("2-B");
    chooseSettings();
    form->Command_qdlr_Click();
    ASSERT_EQ(rows().count(), 1);
    EXPECT_TRUE(tree()->model().isChecked(tree()->model().findByPath(kSection1)));
    EXPECT_EQ(comboText(test::child<QComboBox>(form.get(), "Combo_tx")), "单选题");
    app.prompts.clear();
    form->Command_qdlr_Click();
    EXPECT_EQ(app.prompts.lastMessage(), "未能成功录入试题，原因如下：\r\r*试题知识点未添加完善！\r");
    EXPECT_EQ(rows().count(), 1);
}

TEST_F(EntryTest, LeavingWithOkRemovesTheDocumentsAndCancelStays) {
    const QString question = questionDocumentPath(app.bankPath(), "00001");
    const QString answer = answerDocumentPath(app.bankPath(), "00001");
    app.prompts.answer(Answer::Cancel);
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(app.prompts.lastMessage(), "正在编辑的文档  <00001>  还没录入完毕！\r是否放弃录入并且《返回主界面》？");
    EXPECT_TRUE(QFile::exists(question));
    app.prompts.answer(Answer::Ok);
    test::child<QPushButton>(form.get(), "Command_fhzjm")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(QFile::exists(question));
    EXPECT_FALSE(QFile::exists(answer));
    EXPECT_EQ(app.state().SharedWordInstance, nullptr);
}

TEST_F(EntryTest, AfterTheFiftiethNumberTheNumberScreenComesFirst) {
    // Use up the batch: slots 2..50 are taken by earlier entries.
    for (int i = 2; i <= 50; ++i)
        app.state().FreeNumberPool.setSlot(i, QString());
    opened.clear();
    tick(kSection1);
    pick("1-A");
    chooseSettings();
    form->Command_qdlr_Click();
    EXPECT_EQ(opened, QStringList({"Form_cshtmbh"}));
    EXPECT_EQ(form->currentNumber(), "00002");
}

TEST_F(EntryTest, ANumberUsedSinceThePoolWasFilledIsPassedOverAndItsDocumentsKept) {
    // After the pool was filled, an import gave 00002 and 00003 to questions of
    // another bank, and 00004 has a stray question document of unknown origin.
    for (const QString& n : {QString("00002"), QString("00003")}) {
        for (const QString& path : {questionDocumentPath(app.bankPath(), n), answerDocumentPath(app.bankPath(), n)}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("导入的试题 " + n.toUtf8());
        }
        Bank(app.bankPath()).addRow("试题库", {{"题目编号", n}, {"考查范围", kSection1}, {"试题识别码", "王五-" + n}});
    }
    {
        QFile f(questionDocumentPath(app.bankPath(), "00004"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("别的文档");
    }
    tick(kSection1);
    pick("1-A");
    chooseSettings();
    form->Command_qdlr_Click();
    EXPECT_EQ(form->currentNumber(), "00005");
    EXPECT_EQ(app.prompts.lastMessage(), "已经为下一题的录入做好准备！\r\r题目编号为：00005");
    for (const QString& n : {QString("00002"), QString("00003")}) {
        QFile f(answerDocumentPath(app.bankPath(), n));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "导入的试题 " + n.toUtf8());
    }
    QFile stray(questionDocumentPath(app.bankPath(), "00004"));
    ASSERT_TRUE(stray.open(QIODevice::ReadOnly));
    EXPECT_EQ(stray.readAll(), "别的文档");
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 试题库 where 题目编号='00002'").count(), 1);

    // When no number of the pool is left, the pool is filled once more.
    for (int i = 1; i <= 50; ++i)
        app.state().FreeNumberPool.setSlot(i, i == 50 ? QString("00006") : QString());
    test::TestApp::touch(questionDocumentPath(app.bankPath(), "00006"));
    opened.clear();
    tick(kSection1);
    pick("2-B");
    chooseSettings();
    form->Command_qdlr_Click();
    EXPECT_EQ(opened, QStringList({"Form_cshtmbh"}));
    // The refill took back the abandoned numbers 00004 and 00006 (documents
    // without rows) and hands out the lowest free number.
    EXPECT_EQ(form->currentNumber(), "00004");
}

TEST_F(EntryTest, NoNumberIsHandedOutWhileTheDocumentsOfTheBankAreLost) {
    // The bank holds a question; its documents folder is gone.
    Bank(app.bankPath())
        .addRow("试题库", {{"题目编号", "00007"}, {"考查范围", kSection1}, {"试题识别码", "张三-00007"}});
    ASSERT_TRUE(QDir(app.documents()).removeRecursively());
    for (int i = 1; i <= 50; ++i)
        app.state().FreeNumberPool.setSlot(i, QString());
    opened.clear();
    app.prompts.clear();
    Form_stlr second(app.state());
    second.show();
    second.Form_Activate();
    EXPECT_TRUE(opened.isEmpty());                // not even the numbers' screen
    ASSERT_EQ(app.prompts.messages().size(), 1);  // the reason, once
    EXPECT_TRUE(app.prompts.lastMessage().startsWith("试题源文件夹不见了！"))
        << app.prompts.lastMessage().toStdString();
    EXPECT_EQ(second.currentNumber(), "");
    EXPECT_FALSE(test::child<QPushButton>(&second, "Command_qdlr")->isEnabled());
    EXPECT_FALSE(second.isVisible());  // the refusal ends the screen
    EXPECT_FALSE(QFileInfo::exists(app.documents()));
    EXPECT_EQ(rows().count(), 1);
    second.close();

    // The pool still holds numbers from an earlier opening: none is handed out
    // either, and nothing makes the folder again.
    for (int i = 1; i <= 50; ++i)
        app.state().FreeNumberPool.setSlot(i, QString("%1").arg(i + 10, 5, 10, QChar('0')));
    app.prompts.clear();
    Form_stlr third(app.state());
    third.show();
    third.Form_Activate();
    EXPECT_EQ(app.prompts.messages().size(), 1);
    EXPECT_EQ(third.currentNumber(), "");
    EXPECT_FALSE(third.isVisible());
    EXPECT_FALSE(QFileInfo::exists(app.documents()));
    EXPECT_EQ(app.state().FreeNumberPool.slot(1), "00011");  // kept for when the folder is back
    third.close();

    // Leaving a screen that holds no question (no number was given out) asks
    // nothing about a document "<>".
    app.prompts.clear();
    Form_stlr idle(app.state());
    idle.show();
    idle.close();
    EXPECT_TRUE(app.prompts.messages().isEmpty()) << app.prompts.lastMessage().toStdString();
    EXPECT_FALSE(idle.isVisible());
}

TEST_F(EntryTest, AnEmptyQuestionDocumentIsRefused) {
    tick(kSection1);
    pick("1-A");
    choose("Combo_tx", "单选题");
    choose("Combo_nd", "0.5");
    choose("Combo_stly", "1-期中考试");
    const QString refusal = "题目文档是空的，不能录入！\r\r请先在题目文档中输入这道试题并保存，然后再点<确定录入>。";
    app.prompts.clear();
    form->Command_qdlr_Click();
    EXPECT_EQ(app.prompts.messages(), QStringList({refusal}));
    EXPECT_EQ(rows().count(), 0);
    EXPECT_EQ(form->currentNumber(), "00001");
    EXPECT_TRUE(test::child<QPushButton>(form.get(), "Command_qdlr")->isEnabled());

    // Blanks alone are no question either.
    writeQuestion("   \t ");
    app.prompts.clear();
    form->Command_qdlr_Click();
    EXPECT_EQ(app.prompts.messages(), QStringList({refusal}));
    EXPECT_EQ(rows().count(), 0);

    writeQuestion();
    app.prompts.clear();
    form->Command_qdlr_Click();
    EXPECT_EQ(app.prompts.messages().first(), "已成功录入题目！\r\r题目编号为：00001");
    EXPECT_EQ(rows().count(), 1);
}
