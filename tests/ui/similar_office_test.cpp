// Similar questions in the screens, with question documents written and read
// through the real office: the browse screen's list of similar pairs, the
// check at entry and the check at bank import.

#include "questions/similarity.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/catalogue/Form_cshtmbh.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"
#include "ui/questions/Form_stckxg.h"
#include "ui/questions/Form_stlr.h"
#include "ui/questions/Form_xsst.h"
#include "ui/sharing/Form_tkfx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace zs;

namespace {

const QString kSection = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章 有理数\\1-1.1 正数和负数";
const QString kIncome = "如果收入50元记作+50元，那么支出30元记作（　　）\rA．+30元　B．−30元　C．+80元　D．−80元";
const QString kIncomeRetyped = "如果收入50元记作+50元,那么支出30元记作(  )\rA.+30元 B.−30元 C.+80元 D.−80元";
const QString kOpposite = "−2024的相反数是（　　）\rA．2024　B．−2024　C．1/2024　D．−1/2024";
const QString kCold = "某地早晨气温是−3℃，中午比早晨升高了8℃，中午的气温是多少？";

// A bank with the catalogue section and questions whose documents hold the texts.
void fillBank(test::TestApp& app, const QString& teacher, const QStringList& texts) {
    Bank bank(app.bankPath());
    for (const char* point : {"1-正数", "2-负数"})
        bank.addRow("教材设置", {{"科目", "1-数学"},
                                 {"教材版本", "1-人教版"},
                                 {"年级", "7-七年级"},
                                 {"上下册", "1-上册"},
                                 {"章", "1-第一章 有理数"},
                                 {"节", "1-1.1 正数和负数"},
                                 {"知识点", point}});
    bank.addRow("试题来源", {{"试题来源", "1-期中考试"}});
    const auto word = test::office().startWord();
    for (int i = 0; i < texts.size(); ++i) {
        const QString number = QString::number(i + 1).rightJustified(5, u'0');
        for (const auto& [path, text] : {qMakePair(questionDocumentPath(app.bankPath(), number), texts[i]),
                                         qMakePair(answerDocumentPath(app.bankPath(), number), QString("答案"))}) {
            const auto doc = word->newDocument();
            doc->append(text);
            doc->saveAs(path);
        }
        bank.addRow("试题库", {{"题目编号", number},
                               {"考查范围", kSection},
                               {"题型", "单选题"},
                               {"难度", "0.3"},
                               {"知识点", "2-负数"},
                               {"试题识别码", teacher + "-" + number},
                               {"入库教师", teacher}});
    }
}

template <typename T> T* child(QWidget* screen, const char* name) {
    T* found = screen->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

}  // namespace

TEST(SimilarQuestions, TheBrowseScreenListsSimilarPairsAndShowsThePairChosen) {
    test::TestApp app;
    fillBank(app, "张三", {kIncome, kOpposite, kIncomeRetyped, kCold});
    QStringList listed;
    app.state().modalHook = [&](QObject* screen) {
        auto* pairs = qobject_cast<Form_xsst*>(screen);
        ASSERT_NE(pairs, nullptr);
        EXPECT_EQ(pairs->windowTitle(), "相似试题-琢石试题库");
        EXPECT_EQ(child<QLabel>(pairs, "Label1")->text(), "试题库中相似度不低于 90% 的试题共 1 对：");
        auto* list = child<QTreeWidget>(pairs, "List_xsst");
        ASSERT_EQ(list->topLevelItemCount(), 1);
        for (int c = 0; c < 4; ++c)
            listed << list->topLevelItem(0)->text(c);
        pairs->Command_ck_Click();
    };
    Form_stckxg browse(app.state());
    browse.show();
    browse.Form_Activate();
    EXPECT_EQ(child<QLabel>(&browse, "Label_ssdts")->text(), "4");
    child<QPushButton>(&browse, "Command_xsst")->click();
    EXPECT_EQ(listed,
              QStringList({"00001", "00003", "100%",
                           "如果收入50元记作+50元，那么支出30元记作（ ） A．+30元 B．−30元 C．+80元 D．−80元"}));
    // The pair is the result set now.
    EXPECT_EQ(child<QLabel>(&browse, "Label_ssdts")->text(), "2");
    EXPECT_EQ(child<QLabel>(&browse, "Label_dqtmbh")->text(), "00001");
    browse.Command_xyt_Click();
    EXPECT_EQ(child<QLabel>(&browse, "Label_dqtmbh")->text(), "00003");

    // Texts are cached: a changed document is read again, and the pair is gone.
    {
        const auto word = test::office().startWord();
        const auto doc = word->newDocument();
        doc->append(kCold + "请写出计算过程。");
        doc->saveAs(questionDocumentPath(app.bankPath(), "00003"));
    }
    app.prompts.clear();
    listed.clear();
    child<QPushButton>(&browse, "Command_xsst")->click();
    EXPECT_TRUE(listed.isEmpty());
    EXPECT_EQ(app.prompts.lastMessage(), "试题库中没有相似度达到 90% 的试题。");
    app.state().modalHook = nullptr;
}

TEST(SimilarQuestions, EntryAsksBeforeStoringAQuestionLikeOneOfTheBank) {
    test::TestApp app;
    fillBank(app, "张三", {kIncome, kOpposite});
    app.state().CurrentUserName = "张三";
    app.state().modalHook = [](QObject* screen) {
        if (auto* numbers = qobject_cast<Form_cshtmbh*>(screen))
            numbers->Form_Activate();
    };
    Form_stlr entry(app.state());
    entry.show();
    entry.Form_Activate();
    ASSERT_EQ(entry.currentNumber(), "00003");
    auto* check = child<QCheckBox>(&entry, "Check_lrsjcxsst");
    EXPECT_EQ(check->text(), "录入时检查相似试题");
    EXPECT_FALSE(check->isChecked());
    {
        const auto word = test::office().startWord();
        const auto doc = word->open(questionDocumentPath(app.bankPath(), "00003"));
        doc->append(kIncomeRetyped);
        doc->save();
    }
    auto fill = [&] {
        auto* tree = child<ScopeTreeWidget>(&entry, "TreeView1");
        const int node = tree->model().findByPath(kSection);
        tree->selectNode(node);
        tree->itemOf(node)->setCheckState(0, Qt::Checked);
        entry.TreeView1_Click();
        entry.Timer1_Timer();
        entry.List_dxzsd_Click(child<QListWidget>(&entry, "List_dxzsd")->item(0));
        entry.Timer1_Timer();
        setComboText(child<QComboBox>(&entry, "Combo_tx"), "单选题");
        setComboText(child<QComboBox>(&entry, "Combo_nd"), "0.3");
        setComboText(child<QComboBox>(&entry, "Combo_stly"), "1-期中考试");
    };
    auto stored = [&] { return Bank(app.bankPath()).query("select distinct 题目编号 from 试题库").count(); };
    fill();
    check->setChecked(true);

    app.prompts.answer(Answer::No);
    entry.Command_qdlr_Click();
    ASSERT_FALSE(app.prompts.records().isEmpty());
    const PromptRecord& asked = app.prompts.records().last();
    EXPECT_EQ(asked.text, "这道试题与 00001 相似度 100%。\r\r是否仍然录入这道试题？");
    EXPECT_EQ(asked.buttons, Buttons::YesNo);
    EXPECT_EQ(asked.defaultButton, 1);
    EXPECT_EQ(stored(), 2);
    EXPECT_EQ(entry.currentNumber(), "00003");

    app.prompts.answer(Answer::Yes);
    entry.Command_qdlr_Click();
    EXPECT_EQ(stored(), 3);
    EXPECT_EQ(entry.currentNumber(), "00004");

    // The question just entered counts for the next check.
    {
        const auto word = test::office().startWord();
        const auto doc = word->open(questionDocumentPath(app.bankPath(), "00004"));
        doc->append(kIncome);
        doc->save();
    }
    fill();
    app.prompts.clear();
    app.prompts.answer(Answer::No);
    entry.Command_qdlr_Click();
    EXPECT_TRUE(app.prompts.messages().first().startsWith("这道试题与 00001 相似度 100%"));
    EXPECT_EQ(stored(), 3);

    // Unticked, nothing is asked (as the screen always did).
    check->setChecked(false);
    app.prompts.clear();
    entry.Command_qdlr_Click();
    EXPECT_EQ(app.prompts.messages().first(), "已成功录入题目！\r\r题目编号为：00004");
    EXPECT_EQ(stored(), 4);
    app.prompts.answer(Answer::Ok);
    entry.close();
}

TEST(SimilarQuestions, BankImportAsksAboutEachQuestionLikeOneOfTheBank) {
    test::TestApp mine;
    fillBank(mine, "张三", {kIncome, kOpposite});
    test::TestApp theirs;
    fillBank(theirs, "李四", {kIncomeRetyped, kCold});

    Form_tkfx sharing(mine.state());
    mine.prompts.type(theirs.bankPath());
    sharing.Command_dkwbtk_Click();
    auto* tree = child<ScopeTreeWidget>(&sharing, "TreeView_tkdr");
    const int node = tree->model().findByPath(kSection);
    ASSERT_GE(node, 0);
    tree->itemOf(node)->setCheckState(0, Qt::Checked);
    child<QRadioButton>(&sharing, "Option_jstk_tkdr")->setChecked(true);
    auto* check = child<QCheckBox>(&sharing, "Check_drsjcxsst");
    EXPECT_EQ(check->text(), "导入时检查相似试题");
    check->setChecked(true);

    mine.prompts.clear();
    mine.prompts.answer(Answer::No);
    mine.prompts.type("李四的题库");  // the source of questions that carry none
    child<QPushButton>(&sharing, "Command_dr")->click();
    const QStringList messages = mine.prompts.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], "要导入的试题“李四-00001”与 00001 相似度 100%。\r\r是否仍然导入这道试题？");
    EXPECT_EQ(messages[1], "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 1\r\r"
                           "因与已有试题相似、没有导入的<试题>记录数量为： 1");
    const RowSet rows = Bank(mine.bankPath()).query("select * from 试题库 where 入库教师='李四'");
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.text(0, "试题识别码"), "李四-00002");
    EXPECT_EQ(rows.text(0, "题目编号"), "00003");
    EXPECT_EQ(rows.text(0, "试题来源"), "李四的题库");
}
