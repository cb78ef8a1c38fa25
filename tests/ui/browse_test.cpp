// The question browse screen driven through its controls on real banks:
// showing, paging, go-to, changing, deleting and opening another bank.

#include "questions/rowcheck.h"
#include "questions/scopeknowledge.h"
#include "store/paths.h"
#include "support/samplebank.h"
#include "support/testsupport.h"
#include "ui/common/documentview.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"
#include "ui/questions/Form_stckxg.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

class BrowseTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bank bank(app.bankPath());
        addSampleCatalogue(bank);
        bank.addRow("试题来源", {{"试题来源", "1-期中考试"}});
        addSampleQuestion(bank, {"00001", "张三-00001", "单选题", "0.5", "1-期中考试", {{kSection11, "1-A|3-C"}}});
        addSampleQuestion(
            bank,
            {"00002", "李四-00002", "填空题", "0.3", "1-期中考试", {{kSection11, "2-B"}, {kSection12, "1-D"}}, "李四"});
        addSampleQuestion(bank, {"00003", "张三-00003", "单选题", "0.7", std::nullopt, {{kSection21, "1-F"}}});
        addSampleQuestion(bank, {"00012", "王五-00012", "解答题", "0.5", "1-期中考试", {{kSection12, "2-E"}}, "王五"});
        app.state().CurrentUserName = "赵六";
        form = std::make_unique<Form_stckxg>(app.state(), &menu);
    }
    void open() {
        form->show();
        form->Form_Activate();
        form->Timer1_Timer();
    }

    QString label(const char* name) { return child<QLabel>(form.get(), name)->text(); }
    QPushButton* button(const char* name) { return child<QPushButton>(form.get(), name); }
    QComboBox* combo(const char* name) { return child<QComboBox>(form.get(), name); }
    QListWidget* list(const char* name) { return child<QListWidget>(form.get(), name); }
    ScopeTreeWidget* tree(const char* name) { return child<ScopeTreeWidget>(form.get(), name); }
    QStringList items(const char* name) {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i)
            out << list(name)->item(i)->text();
        return out;
    }
    void tick(const char* treeName, const QString& path, bool on = true) {
        test::tick(tree(treeName), path, on);
        if (QString(treeName) == "TreeView2")
            form->TreeView2_Click();
        form->Timer1_Timer();
    }
    void goTo(const QString& answer) {
        app.prompts.type(answer);
        button("Command_dwdthsbm")->click();
        form->Timer1_Timer();
    }
    RowSet rowsOf(const QString& number, const QString& bankPath = {}) {
        return Bank(bankPath.isEmpty() ? app.bankPath() : bankPath)
            .query("select * from 试题库 where 题目编号='" + number + "'");
    }
    // The position, number and code labels.
    QString shown() { return label("Label_dqtmsdjt") + " " + label("Label_dqtmbh") + " " + label("Label_dqtmsbm"); }

    TestApp app;
    QWidget menu;
    std::unique_ptr<Form_stckxg> form;
};

}  // namespace

TEST_F(BrowseTest, OpensOnTheFirstQuestionOfTheWholeBankWithItsScopesAndPoints) {
    EXPECT_EQ(form->windowTitle(), "试题查看修改-琢石试题库");
    EXPECT_EQ(label("Label6"), "当前<试题库>路径为：" + QDir::toNativeSeparators(app.bankPath()));
    EXPECT_EQ(comboText(combo("Combo_zz_ss")), "作者");
    EXPECT_EQ(combo("Combo_zz_ss")->count(), 4);  // 作者, 张三, 李四, 王五
    EXPECT_EQ(comboText(combo("Combo_tx_sz")), "选择题型");
    open();
    EXPECT_EQ(label("Label_ssdts"), "5");
    EXPECT_EQ(shown(), "1 00001 张三-00001");
    EXPECT_EQ(test::child<DocumentView>(form.get(), "OLE_tm")->boundPath(),
              questionDocumentPath(app.bankPath(), "00001"));
    EXPECT_EQ(test::child<DocumentView>(form.get(), "OLE_da")->boundPath(),
              answerDocumentPath(app.bankPath(), "00001"));

    ScopeTreeWidget* t = tree("TreeView2");
    const int node = t->model().findByPath(kSection11);
    EXPECT_EQ(t->model().checkedPaths(), QStringList({kSection11}));
    EXPECT_EQ(t->itemOf(node)->foreground(0).color(), QColor(255, 0, 0));
    EXPECT_TRUE(t->itemOf(node)->font(0).bold());
    EXPECT_TRUE(t->itemOf(0)->isExpanded());
    EXPECT_EQ(comboText(combo("Combo_tx_sz")), "单选题");
    EXPECT_EQ(comboText(combo("Combo_nd_sz")), "0.5");
    EXPECT_EQ(comboText(combo("Combo_stly_sz")), "1-期中考试");
    EXPECT_EQ(items("List_dxzsd"), QStringList({"2-B"}));
    EXPECT_EQ(items("List_yxzsd"), QStringList({"1-A", "3-C"}));
    EXPECT_TRUE(app.prompts.messages().isEmpty());
}

TEST_F(BrowseTest, SearchTreeCombosAndKnowledgeText) {
    open();
    // Two ticked scopes: only the later one in tree order is searched.
    tick("TreeView1", kSection21);
    tick("TreeView1", kSection11);
    button("Command_ss")->click();
    EXPECT_EQ(label("Label_ssdts"), "1");
    EXPECT_EQ(label("Label_dqtmbh"), "00003");
    // A chapter is allowed in the search tree and finds every row below it.
    form->Command_qksstj_Click();
    tick("TreeView1", kChapter1);
    EXPECT_TRUE(tree("TreeView1")->model().isChecked(tree("TreeView1")->model().findByPath(kChapter1)));
    button("Command_ss")->click();
    EXPECT_EQ(label("Label_ssdts"), "4");
    // Trimmed knowledge text, written back; a quote in it does no harm.
    auto* text = test::child<QLineEdit>(form.get(), "Text_zsd");
    text->setText("  1-A||3-C ");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(text->text(), "1-A||3-C");
    EXPECT_EQ(label("Label_ssdts"), "1");
    setComboText(combo("Combo_zz_ss"), "李四");
    text->setText("O'Neil");
    form->Command_qksstj_Click();
    EXPECT_EQ(comboText(combo("Combo_zz_ss")), "作者");
    EXPECT_EQ(text->text(), "");
    EXPECT_FALSE(tree("TreeView1")->model().anyChecked());
    EXPECT_EQ(label("Label_ssdts"), "1");  // the found rows stay
    EXPECT_TRUE(app.prompts.messages().isEmpty());
}

TEST_F(BrowseTest, NothingFoundShowsTheEmptyState) {
    open();
    setComboText(combo("Combo_tx_ss"), "作图题");
    button("Command_ss")->click();
    EXPECT_EQ(label("Label_ssdts"), "0");
    EXPECT_EQ(shown(), "0 00000 AAAAAAAA");
    EXPECT_EQ(app.prompts.lastMessage(), "未搜索到满足要求的题目！\r建议适当放宽搜索条件再重新搜索~~");
    EXPECT_TRUE(test::child<DocumentView>(form.get(), "OLE_tm")->boundPath().isEmpty());
    EXPECT_TRUE(test::child<DocumentView>(form.get(), "OLE_da")->boundPath().isEmpty());
    EXPECT_EQ(list("List_dxzsd")->count() + list("List_yxzsd")->count(), 0);
    // Nothing on display: change and deletion are refused.
    app.prompts.clear();
    button("Command_qdxg")->click();
    button("Command_scct")->click();
    test::child<QLineEdit>(form.get(), "Text_tzd")->setText("1");
    button("Command_tz")->click();
    EXPECT_EQ(app.prompts.messages(),
              QStringList({"没有搜索到任何试题，暂不能执行此操作~~", "没有搜索到任何试题，暂不能执行此操作~~",
                           "没有搜索到任何题目，所以，一切的跳转都是没有意义的！"}));
}

TEST_F(BrowseTest, PagingMeetsATwoScopeQuestionTwiceAndJumpsWithEnter) {
    button("Command_xyt")->click();
    button("Command_tz")->click();
    EXPECT_EQ(app.prompts.messages(),
              QStringList({"没有搜索到任何题目，不能跳转到<下一题>！",
                           "请先执行搜索，等搜索到了好多道题以后，你才有必要跳转到某道题上去啊。你说是不？"}));
    open();
    app.prompts.clear();
    button("Command_syt")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已经是第一题了！");
    button("Command_xyt")->click();
    EXPECT_EQ(shown(), "2 00002 李四-00002");
    EXPECT_EQ(tree("TreeView2")->model().checkedPaths(), QStringList({kSection11, kSection12}));
    button("Command_xyt")->click();
    EXPECT_EQ(shown(), "3 00002 李四-00002");

    auto* jump = test::child<QLineEdit>(form.get(), "Text_tzd");
    jump->setText("0");
    QTest::keyClick(jump, Qt::Key_Return);
    EXPECT_EQ(app.prompts.lastMessage(), "请输入一个介于 [0-5] 的整数！");
    EXPECT_EQ(jump->text(), "");
    jump->setText("5");
    QTest::keyClick(jump, Qt::Key_Return);
    EXPECT_EQ(shown(), "5 00012 王五-00012");
    button("Command_xyt")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已经是最后一题了！");
    jump->setText("abc");
    button("Command_tz")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "请输入一个整数！");
    EXPECT_EQ(jump->text(), "");
    jump->setText("2.7");
    button("Command_tz")->click();
    EXPECT_EQ(shown(), "2 00002 李四-00002");
    button("Command_syt")->click();
    EXPECT_EQ(shown(), "1 00001 张三-00001");
}

TEST_F(BrowseTest, GoToByNumberOrCodeThenPagesOverTheWholeBank) {
    open();
    tick("TreeView1", kSection21);
    button("Command_ss")->click();
    goTo("12");
    EXPECT_EQ(app.prompts.records().last().title, "精确查找");
    EXPECT_EQ(app.prompts.records().last().text, "请输入[题目编号]或[试题识别码]：");
    EXPECT_EQ(label("Label_ssdts"), "5");
    EXPECT_EQ(shown(), "5 00012 王五-00012");
    goTo("李四");
    EXPECT_EQ(shown(), "2 00002 李四-00002");
    goTo("");
    EXPECT_EQ(app.prompts.lastMessage(), "输入内容为空！");
    goTo("abc");
    EXPECT_EQ(app.prompts.lastMessage(), "对不起，没有搜索到[题目编号]或[试题识别码]为：abc的题目！");
    EXPECT_EQ(shown(), "2 00002 李四-00002");  // a miss keeps what is on display
    button("Command_xyt")->click();
    EXPECT_EQ(shown(), "3 00002 李四-00002");
    goTo("2.7");  // a number is rounded and zero-padded
    EXPECT_EQ(shown(), "4 00003 张三-00003");
}

TEST_F(BrowseTest, AChangeRewritesEveryRowOfTheQuestionFromTheScreen) {
    open();
    button("Command_xyt")->click();  // 00002 with two scopes
    tick("TreeView2", kSection12, false);
    form->Timer1_Timer();
    ScopeTreeWidget* t = tree("TreeView2");
    EXPECT_FALSE(t->itemOf(t->model().findByPath(kSection12))->font(0).bold());
    setComboText(combo("Combo_nd_sz"), "0.9");
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已成功修改试题！\r\r题目编号为：00002");
    RowSet rows = rowsOf("00002");
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.text(0, "考查范围"), kSection11);
    EXPECT_EQ(rows.text(0, "知识点"), "2-B");
    EXPECT_EQ(rows.text(0, "难度"), "0.9");
    EXPECT_EQ(rows.text(0, "试题识别码"), "李四-00002");
    EXPECT_EQ(rows.text(0, "试题来源"), "1-期中考试");
    // The question keeps who entered it and when.
    EXPECT_EQ(rows.text(0, "入库教师"), "李四");
    EXPECT_EQ(rows.date(0, "入库日期"), QDate(2024, 3, 7));
    EXPECT_EQ(label("Label_ssdts"), "5");  // the found rows are not read again

    // Adding a scope: its points must be chosen first.
    button("Command_syt")->click();  // 00001
    tick("TreeView2", kSection21);
    EXPECT_EQ(items("List_dxzsd"), QStringList({"1-F", "2-G'H"}));
    app.prompts.clear();
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.messages(), QStringList({"在勾选的“" + kSection21 + "”下，没有添加知识点，请先添加！",
                                                   "未能成功录入试题，原因如下：\r\r*试题知识点未添加完善！\r"}));
    form->List_dxzsd_Click(list("List_dxzsd")->item(1));
    form->Timer1_Timer();
    EXPECT_EQ(items("List_yxzsd"), QStringList({"2-G'H"}));
    button("Command_qdxg")->click();
    rows = rowsOf("00001");
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.text(0, "知识点"), "1-A|3-C");
    EXPECT_EQ(rows.text(1, "考查范围"), kSection21);
    EXPECT_EQ(rows.text(1, "知识点"), "2-G'H");
}

TEST_F(BrowseTest, AChangeThatCannotBeWrittenLosesNothing) {
    open();
    button("Command_xyt")->click();  // 00002 with two scopes
    Bank(app.bankPath())
        .executeBound("CREATE TRIGGER refuse BEFORE INSERT ON \"试题库\" BEGIN SELECT RAISE(ABORT, '磁盘已满'); END",
                      {});
    tick("TreeView2", kSection12, false);
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.records().last().icon, Icon::Critical);
    // The teacher reads what failed and where; the database's own words are in
    // the details.
    EXPECT_TRUE(app.prompts.lastMessage().startsWith("试题库操作失败：\r" + QDir::toNativeSeparators(app.bankPath())))
        << app.prompts.lastMessage().toStdString();
    EXPECT_FALSE(app.prompts.lastMessage().contains("INSERT"));
    EXPECT_TRUE(app.prompts.records().last().details.contains("磁盘已满"));
    EXPECT_TRUE(app.prompts.records().last().details.contains("INSERT INTO"));
    EXPECT_EQ(rowsOf("00002").count(), 2);
}

TEST_F(BrowseTest, AChangeKeepsTheUseRecordEntryDateAndTeacher) {
    Bank(app.bankPath()).execute("update 试题库 set 使用次数 = 4, 最后使用日期 = #2025-11-3# where 题目编号 = '00002'");
    open();
    button("Command_xyt")->click();  // 00002 with two scopes, entered by 李四
    tick("TreeView2", kSection21);
    form->List_dxzsd_Click(list("List_dxzsd")->item(0));
    form->Timer1_Timer();
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已成功修改试题！\r\r题目编号为：00002");
    const RowSet rows = rowsOf("00002");
    ASSERT_EQ(rows.count(), 3);
    for (int r = 0; r < rows.count(); ++r) {
        EXPECT_EQ(rows.value(r, "使用次数").toInt(), 4);
        EXPECT_EQ(rows.date(r, "最后使用日期"), QDate(2025, 11, 3));
        EXPECT_EQ(rows.date(r, "入库日期"), QDate(2024, 3, 7));
        EXPECT_EQ(rows.text(r, "入库教师"), "李四");
    }
    // A question never used stays unused.
    button("Command_syt")->click();  // 00001
    setComboText(combo("Combo_nd_sz"), "0.9");
    button("Command_qdxg")->click();
    EXPECT_TRUE(rowsOf("00001").isNull(0, "使用次数"));
    EXPECT_TRUE(rowsOf("00001").isNull(0, "最后使用日期"));
    EXPECT_EQ(rowsOf("00001").text(0, "难度"), "0.9");
}

TEST_F(BrowseTest, ARowWithoutANumberIsNeitherChangedNorDeleted) {
    {
        Bank bank(app.bankPath());
        bank.addRow("试题库", {{"考查范围", kSection11},
                               {"题型", "单选题"},
                               {"难度", "0.5"},
                               {"知识点", "1-A"},
                               {"试题识别码", "周九-00020"}});
        bank.addRow("试题库", {{"题目编号", ""},
                               {"考查范围", kSection12},
                               {"题型", "单选题"},
                               {"难度", "0.5"},
                               {"知识点", "1-D"},
                               {"试题识别码", "周九-00021"}});
    }
    open();
    goTo("周九-00021");
    ASSERT_EQ(label("Label_dqtmsbm"), "周九-00021");
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "这条试题记录没有题目编号，不能修改！\r\r试题库中的这条记录不完整，"
                                         "它的题目和答案文档也无从查找。请人修复试题库中的题目编号。");
    app.prompts.answer(Answer::Yes);
    button("Command_scct")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "这条试题记录没有题目编号，不能删除！\r\r试题库中的这条记录不完整，"
                                         "它的题目和答案文档也无从查找。请人修复试题库中的题目编号。");
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 试题库").count(), 7);
}

TEST_F(BrowseTest, AChangeNeedsASearchASourceAndLeafScopes) {
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.lastMessage(),
              "目前还没有题目被你修改啊，你怎么确定修改？\r\r你可以先搜索出题目，把它显示在界面上，然后再修改它~~");
    open();
    goTo("3");  // no source
    EXPECT_EQ(comboText(combo("Combo_stly_sz")), "选择试题来源");
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "未能成功录入试题，原因如下：\r\r*试题来源未选择！\r");
    // A chapter cannot stay ticked in the question's tree.
    tick("TreeView2", kChapter2);
    EXPECT_EQ(app.prompts.lastMessage(), "请勾选更详细的考查范围！");
    EXPECT_EQ(tree("TreeView2")->model().checkedPaths(), QStringList({kSection21}));
    EXPECT_EQ(rowsOf("00003").text(0, "入库教师"), "张三");
}

TEST_F(BrowseTest, DeletingATwoScopeQuestionRemovesItsRowsAndDocuments) {
    open();
    button("Command_xyt")->click();
    app.prompts.answer(Answer::No);
    button("Command_scct")->click();
    app.prompts.answer(Answer::Cancel);
    button("Command_scct")->click();
    EXPECT_EQ(rowsOf("00002").count(), 2);
    const PromptRecord question = app.prompts.records().last();
    EXPECT_EQ(question.text, "删除试题后，该试题将无法恢复，真的要删除吗？");
    EXPECT_EQ(question.title, "删除试题[00002]");
    EXPECT_EQ(question.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(question.defaultButton, 1);

    app.prompts.answer(Answer::Yes);
    button("Command_scct")->click();
    EXPECT_EQ(app.prompts.messages().last(), "您已成功删除编号为  <00002>  的试题！");
    EXPECT_EQ(rowsOf("00002").count(), 0);
    EXPECT_FALSE(QFile::exists(questionDocumentPath(app.bankPath(), "00002")));
    EXPECT_FALSE(QFile::exists(answerDocumentPath(app.bankPath(), "00002")));
    EXPECT_EQ(label("Label_ssdts"), "3");
    EXPECT_EQ(shown(), "2 00003 张三-00003");  // 2 is less than the new count 3
}

TEST_F(BrowseTest, AfterADeletionThePositionStaysOnlyWhenLessThanTheNewCount) {
    {
        Bank bank(app.bankPath());
        bank.execute("delete from 试题库 where 题目编号='00002'");
        addSampleQuestion(bank, {"00020", "张三-00020", "单选题", "0.1", "1-期中考试", {{kSection11, "2-B"}}});
    }
    open();  // 00001, 00003, 00012, 00020: four questions
    ASSERT_EQ(label("Label_ssdts"), "4");
    auto removeAt = [&](const QString& position) {
        test::child<QLineEdit>(form.get(), "Text_tzd")->setText(position);
        form->Command_tz_Click();
        app.prompts.answer(Answer::Yes);
        form->Command_scct_Click();
    };
    removeAt("2");  // 2 < 3: the row that followed
    EXPECT_EQ(shown(), "2 00012 王五-00012");
    removeAt("3");  // the last row: the first one
    EXPECT_EQ(shown(), "1 00001 张三-00001");
    removeAt("2");  // 2 is not less than 1
    EXPECT_EQ(shown(), "1 00001 张三-00001");
    app.prompts.clear();
    removeAt("1");  // nothing left
    EXPECT_EQ(shown(), "0 00000 AAAAAAAA");
    EXPECT_EQ(app.prompts.messages().last(), "未搜索到满足要求的题目！\r建议适当放宽搜索条件再重新搜索~~");
}

TEST_F(BrowseTest, AnotherBankIsSearchedChangedAndDeletedInPlace) {
    TempFolder other;
    QDir(other.path()).mkdir(kDocumentsFolderName);
    const QString otherBank = other.file(kBankFileName);
    Bank::create(otherBank);
    {
        Bank bank(otherBank);
        addSampleCatalogue(bank);
        addSampleQuestion(
            bank,
            {"00001", "钱七-00001", "判断题", "0.2", std::nullopt, {{kSection11, "2-B"}, {kSection21, "1-F"}}, "钱七"});
    }
    open();
    app.prompts.cancel();
    button("Command_dkwbstk")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "对不起！你没有选择任何文件！");
    EXPECT_EQ(app.prompts.records().first().filter, "Access文件|*.mdb;*.mdb");
    const QString notABank = other.file("假的.mdb");
    QFile f(notABank);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a bank at all");
    f.close();
    app.prompts.type(notABank);
    button("Command_dkwbstk")->click();
    EXPECT_EQ(app.prompts.lastMessage(), Bank::problemWith(notABank));
    EXPECT_EQ(app.state().BankPath, app.bankPath());

    app.prompts.type(otherBank);
    button("Command_dkwbstk")->click();
    form->Timer1_Timer();
    EXPECT_EQ(app.state().BankPath, otherBank);
    EXPECT_EQ(label("Label6"), "当前<试题库>路径为：" + QDir::toNativeSeparators(otherBank));
    EXPECT_EQ(label("Label_ssdts"), "2");
    EXPECT_EQ(shown(), "1 00001 钱七-00001");
    EXPECT_EQ(test::child<DocumentView>(form.get(), "OLE_tm")->boundPath(), questionDocumentPath(otherBank, "00001"));

    tick("TreeView2", kSection21, false);
    setComboText(combo("Combo_stly_sz"), "1-期中考试");
    button("Command_qdxg")->click();
    EXPECT_EQ(rowsOf("00001", otherBank).count(), 1);
    EXPECT_EQ(rowsOf("00001", otherBank).text(0, "试题来源"), "1-期中考试");
    EXPECT_EQ(rowsOf("00001").text(0, "试题识别码"), "张三-00001");  // the application's bank is untouched

    app.prompts.answer(Answer::Yes);
    button("Command_scct")->click();
    EXPECT_EQ(rowsOf("00001", otherBank).count(), 0);
    EXPECT_FALSE(QFile::exists(questionDocumentPath(otherBank, "00001")));
    EXPECT_EQ(rowsOf("00001").count(), 1);
    EXPECT_TRUE(QFile::exists(questionDocumentPath(app.bankPath(), "00001")));
}

TEST_F(BrowseTest, AQuestionFiledUnderAScopeTheTreeLacksIsNotChanged) {
    const QString foreign = "1-数学\\1-人教版\\7-七年级\\2-下册\\5-第五章 相交线\\1-5.1 相交线";
    Bank bank(app.bankPath());
    addSampleQuestion(
        bank, {"00040", "孙八-00040", "单选题", "0.5", "1-期中考试", {{kSection11, "1-A"}, {foreign, "1-对顶角"}}});
    open();
    goTo("40");
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "这道题的考查范围“" + foreign + "”不在本程序的<教材设置>中，不能修改这道题！");
    EXPECT_EQ(rowsOf("00040").count(), 2);
}

TEST_F(BrowseTest, AScopeAboveSectionLevelEndsTheProgram) {
    bool ended = false;
    app.state().endHook = [&] { ended = true; };
    {
        Bank bank(app.bankPath());
        bank.addRow("教材设置", {{"科目", "1-数学"},
                                 {"教材版本", "1-人教版"},
                                 {"年级", "7-七年级"},
                                 {"上下册", "1-上册"},
                                 {"章", "3-第三章"}});
        addSampleQuestion(bank, {"00030",
                                 "张三-00030",
                                 "单选题",
                                 "0.5",
                                 "1-期中考试",
                                 {{"1-数学\\1-人教版\\7-七年级\\1-上册\\3-第三章", "1-A"}}});
    }
    form = std::make_unique<Form_stckxg>(app.state(), &menu);
    open();
    goTo("30");
    EXPECT_TRUE(ended);
    EXPECT_EQ(app.prompts.lastMessage(), incompleteCatalogueMessage(true));
}

TEST_F(BrowseTest, LeavingShowsTheMainMenu) {
    open();
    menu.hide();
    button("Command_fhzjm")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(app.state().SharedWordInstance, nullptr);
}

TEST_F(BrowseTest, ABadDifficultyIsChosenAgainAndCorrected) {
    Bank(app.bankPath()).execute("update 试题库 set 难度 = 'abc' where 题目编号 = '00003'");
    open();
    app.prompts.type("00003");
    button("Command_dwdthsbm")->click();
    ASSERT_EQ(label("Label_dqtmbh"), "00003");
    // Not offered as a level: the teacher has to choose one.
    EXPECT_EQ(combo("Combo_nd_sz")->currentIndex(), -1);
    EXPECT_EQ(combo("Combo_nd_sz")->findText("abc"), -1);
    setComboText(combo("Combo_stly_sz"), "1-期中考试");
    app.prompts.clear();
    button("Command_qdxg")->click();
    EXPECT_TRUE(app.prompts.lastMessage().contains("*试题难度未选择！")) << app.prompts.lastMessage().toStdString();
    EXPECT_EQ(rowsOf("00003").text(0, "难度"), "abc");
    setComboText(combo("Combo_nd_sz"), "0.7");
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已成功修改试题！\r\r题目编号为：00003");
    EXPECT_EQ(rowsOf("00003").text(0, "难度"), "0.7");
    Bank bank(app.bankPath());
    EXPECT_TRUE(unusableQuestions(bank).isEmpty());
}

TEST_F(BrowseTest, TwoQuestionsSharingANumberAreParted) {
    {
        Bank bank(app.bankPath());
        // A question of another teacher stored under 00012 by mistake.
        bank.addRow("试题库", {{"题目编号", "00012"},
                               {"考查范围", kSection21},
                               {"题型", "填空题"},
                               {"难度", "0.3"},
                               {"知识点", "1-F"},
                               {"试题识别码", "李四-00030"},
                               {"入库教师", "李四"}});
    }
    open();
    app.prompts.type("李四-00030");
    button("Command_dwdthsbm")->click();
    ASSERT_EQ(label("Label_dqtmsbm"), "李四-00030");
    // Deleting the number would take the other question with it.
    app.prompts.clear();
    button("Command_scct")->click();
    EXPECT_EQ(
        app.prompts.messages(),
        QStringList({"题目编号 00012 被 2 道不同的试题共用，删除会把它们都删掉。\r请先点<确定修改>给这道题换一个新的题"
                     "目编号，再删除。"}));
    EXPECT_EQ(rowsOf("00012").count(), 2);

    // A change would mix them up: declined, nothing changes.
    app.prompts.clear();
    app.prompts.answer(Answer::No);
    button("Command_qdxg")->click();
    ASSERT_EQ(app.prompts.messages().size(), 1);
    EXPECT_EQ(
        app.prompts.lastMessage(),
        "题目编号 00012 被 2 道不同的试题共用（试题识别码：李四-00030、王五-00012），这样修改会把它们混在一起。\r\r"
        "是否给这道题（试题识别码：李四-00030）换一个新的题目编号？它的题目和答案文档先复制一份，请换号后核对。");
    EXPECT_EQ(rowsOf("00012").count(), 2);

    // Accepted: the question gets the next number no row or document carries.
    QFile::copy(questionDocumentPath(app.bankPath(), "00012"), questionDocumentPath(app.bankPath(), "00020"));
    app.prompts.clear();
    app.prompts.answer(Answer::Yes);
    button("Command_qdxg")->click();
    EXPECT_EQ(app.prompts.lastMessage(),
              "已给这道题（试题识别码：李四-"
              "00030）换了新的题目编号：00021。\r\r请核对两道题的题目和答案文档，有误的请改正。");
    EXPECT_EQ(rowsOf("00012").count(), 1);
    EXPECT_EQ(rowsOf("00012").text(0, "试题识别码"), "王五-00012");
    const RowSet moved = rowsOf("00021");
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.text(0, "试题识别码"), "李四-00030");
    EXPECT_EQ(moved.text(0, "考查范围"), kSection21);
    for (const char* number : {"00012", "00021"}) {
        EXPECT_TRUE(QFileInfo::exists(questionDocumentPath(app.bankPath(), number)));
        EXPECT_TRUE(QFileInfo::exists(answerDocumentPath(app.bankPath(), number)));
    }
    // The screen shows the two questions now apart.
    EXPECT_EQ(label("Label_ssdts"), "2");
    Bank bank(app.bankPath());
    EXPECT_TRUE(unusableQuestions(bank).isEmpty());
}

TEST_F(BrowseTest, ABankThatCannotBeReachedIsSaidAndNotShownAsEmpty) {
    // A school bank whose server does not answer.
    app.state().SchoolBank = "postgresql://teacher@127.0.0.1:9/学校题库";
    app.state().resetBankPath();
    app.prompts.clear();
    Form_stckxg screen(app.state(), &menu);
    screen.show();
    screen.Form_Activate();
    // Said once, with what the empty screen means.
    ASSERT_EQ(app.prompts.messages().size(), 1);
    EXPECT_TRUE(app.prompts.lastMessage().startsWith("无法连接学校题库")) << app.prompts.lastMessage().toStdString();
    EXPECT_TRUE(app.prompts.lastMessage().endsWith(
        "\r\r没有读到题库，所以这里显示不了任何试题（并不是题库中没有试题）。请在连接恢复后重新打开这个窗口。"));
    EXPECT_EQ(child<QLabel>(&screen, "Label_dqtmsbm")->text(), "没有读到题库");
    EXPECT_EQ(child<QLabel>(&screen, "Label_ssdts")->text(), "—");
}
