// The catalogue screen driven through its controls on real banks: the name
// check, adding, the refresh with its remembered positions, renaming,
// deleting and opening another bank file.

#include "catalogue/catalogue.h"
#include "store/bank.h"
#include "support/testsupport.h"
#include "ui/catalogue/Form_jcsz.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::TestApp;

namespace {

const char* const kListNames[] = {"List_km", "List_jcbb", "List_nj", "List_sxc", "List_z", "List_j", "List_zsd"};

void addCatalogueRow(const QString& bankPath, const QStringList& names) {
    Bank bank(bankPath);
    RowValues row;
    for (int i = 0; i < names.size(); ++i)
        row << qMakePair(catalogueColumns()[i], QVariant(names[i]));
    bank.addRow("教材设置", row);
}

int countRows(const QString& bankPath, const QString& statement) {
    return Bank(bankPath).query(statement).count();
}

// Two subjects; the first has two editions, each with a path down to
// knowledge points.
void fillCatalogue(const QString& bankPath) {
    const QStringList math = {"1-数学", "1-人教版", "7-七年级", "1-上册", "1-第一章 有理数", "1-1.1 正数和负数"};
    addCatalogueRow(bankPath, {"1-数学"});
    addCatalogueRow(bankPath, {"1-数学", "1-人教版"});
    addCatalogueRow(bankPath, math.mid(0, 3));
    addCatalogueRow(bankPath, math.mid(0, 4));
    addCatalogueRow(bankPath, math.mid(0, 5));
    addCatalogueRow(bankPath, math);
    addCatalogueRow(bankPath, math + QStringList{"1-正数"});
    addCatalogueRow(bankPath, math + QStringList{"2-负数"});
    addCatalogueRow(bankPath,
                    {"1-数学", "1-人教版", "7-七年级", "1-上册", "1-第一章 有理数", "2-1.2 有理数", "1-数轴"});
    addCatalogueRow(bankPath, {"1-数学", "2-北师大版", "8-八年级", "2-下册", "3-第三章", "1-3.1 节", "1-勾股"});
    addCatalogueRow(bankPath, {"2-物理", "1-人教版", "8-八年级"});
    addCatalogueRow(bankPath, {"2-物理", "2-沪科版", "9-九年级", "1-全一册", "1-第一章 声", "1-1.1 声音", "1-振动"});
    addCatalogueRow(bankPath, {"3-化学", "1-人教版"});
}

class JcszTest : public ::testing::Test {
protected:
    void SetUp() override { fillCatalogue(app.bankPath()); }

    std::unique_ptr<Form_jcsz> open() { return std::make_unique<Form_jcsz>(app.state()); }
    QListWidget* list(Form_jcsz& form, int level) { return test::child<QListWidget>(&form, kListNames[level]); }
    QStringList items(Form_jcsz& form, int level) {
        QStringList out;
        QListWidget* l = list(form, level);
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text();
        return out;
    }
    QString current(Form_jcsz& form, int level) {
        QListWidget* l = list(form, level);
        return l->currentRow() >= 0 && l->currentItem()->isSelected() ? l->currentItem()->text() : QString();
    }
    // The teacher selects an entry.
    void select(Form_jcsz& form, int level, const QString& text) {
        const QList<QListWidgetItem*> found = list(form, level)->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list(form, level)->setCurrentItem(found.first());
    }
    void click(Form_jcsz& form, const char* button) {
        QPushButton* b = form.findChild<QPushButton*>(button);
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QStringList inputPrompts() const {
        QStringList out;
        for (const PromptRecord& r : app.prompts.records())
            if (r.kind == PromptRecord::Kind::Input)
                out << r.text;
        return out;
    }

    TestApp app;
};

}  // namespace

TEST_F(JcszTest, OpensWithOnlyTheSubjectsListedAndNothingSelected) {
    app.state().BankPath = "elsewhere";
    auto form = open();
    EXPECT_EQ(form->windowTitle(), "教材设置-琢石试题库");
    EXPECT_EQ(app.state().BankPath, app.bankPath());
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label3")->text(),
              "当前<教材设置>路径为：" + QDir::toNativeSeparators(app.bankPath()));
    EXPECT_EQ(items(*form, 0), QStringList({"1-数学", "2-物理", "3-化学"}));
    EXPECT_EQ(current(*form, 0), QString());
    for (int level = 1; level < kCatalogueLevels; ++level)
        EXPECT_TRUE(items(*form, level).isEmpty()) << level;
    EXPECT_EQ(test::child<QPushButton>(form.get(), "Command_zjjcbb")->text(), "增加教材版本");
    EXPECT_EQ(test::child<QPushButton>(form.get(), "Command_sczsd")->text(), "删除知识点");
    EXPECT_EQ(test::child<QPushButton>(form.get(), "Command_dkwbjc")->text(), "打开外部教材");
    EXPECT_EQ(test::child<QPushButton>(form.get(), "Command_fhzjm")->text(), "返回主界面");
    EXPECT_TRUE(app.prompts.records().isEmpty());
}

TEST_F(JcszTest, FirstClickOnASubjectSelectsTheFirstEntryOfEveryLevelBelow) {
    auto form = open();
    select(*form, 0, "1-数学");
    const QStringList expected = {"1-数学",          "1-人教版",         "7-七年级", "1-上册",
                                  "1-第一章 有理数", "1-1.1 正数和负数", "1-正数"};
    for (int level = 0; level < kCatalogueLevels; ++level)
        EXPECT_EQ(current(*form, level), expected[level]) << level;
    EXPECT_EQ(items(*form, 1), QStringList({"1-人教版", "2-北师大版"}));
    EXPECT_EQ(items(*form, 5), QStringList({"1-1.1 正数和负数", "2-1.2 有理数"}));
    EXPECT_EQ(items(*form, 6), QStringList({"1-正数", "2-负数"}));

    // A subject whose catalogue stops early: the levels below stay empty.
    select(*form, 0, "3-化学");
    EXPECT_EQ(current(*form, 1), "1-人教版");
    for (int level = 2; level < kCatalogueLevels; ++level) {
        EXPECT_TRUE(items(*form, level).isEmpty()) << level;
        EXPECT_EQ(current(*form, level), QString()) << level;
    }
}

TEST_F(JcszTest, RememberedPositionsAreKeptAcrossAChangeOfSubject) {
    auto form = open();
    select(*form, 0, "1-数学");
    select(*form, 1, "2-北师大版");
    EXPECT_EQ(current(*form, 2), "8-八年级");
    EXPECT_EQ(current(*form, 6), "1-勾股");
    select(*form, 5, "1-3.1 节");  // unchanged position: nothing else moves
    EXPECT_EQ(current(*form, 6), "1-勾股");

    // 物理 has a second edition too: the second position stays selected.
    select(*form, 0, "2-物理");
    EXPECT_EQ(current(*form, 1), "2-沪科版");
    EXPECT_EQ(current(*form, 6), "1-振动");

    // 化学 has one edition only: no edition selected, nothing below.
    select(*form, 0, "3-化学");
    EXPECT_EQ(items(*form, 1), QStringList({"1-人教版"}));
    EXPECT_EQ(current(*form, 1), QString());
    EXPECT_TRUE(items(*form, 2).isEmpty());

    select(*form, 0, "1-数学");
    EXPECT_EQ(current(*form, 1), "2-北师大版");
    EXPECT_EQ(form->catalogue().rememberedPosition(1), 1);
}

TEST_F(JcszTest, NamesAreCheckedOnAdd) {
    auto form = open();
    const int before = countRows(app.bankPath(), "select * from 教材设置");
    const QString format = "输入的名称格式不正确！\r正确的格式应该为：#-********\r其中#代表数字，*代表文字";

    app.prompts.type("语文");
    click(*form, "Command_zjkm");
    EXPECT_EQ(app.prompts.lastMessage(), format);
    app.prompts.type("一-语文");
    click(*form, "Command_zjkm");
    EXPECT_EQ(app.prompts.lastMessage(), format);
    app.prompts.cancel();
    click(*form, "Command_zjkm");
    EXPECT_EQ(app.prompts.lastMessage(), "输入的内容不能为空！");
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置"), before);
    EXPECT_EQ(inputPrompts(), QStringList(3, "请输入要增加的<科目>的名称："));
    EXPECT_EQ(app.prompts.records().first().defaultText, QString());

    app.prompts.clear();
    app.prompts.type("4-语文");
    click(*form, "Command_zjkm");
    EXPECT_TRUE(app.prompts.messages().isEmpty());
    EXPECT_EQ(items(*form, 0), QStringList({"1-数学", "2-物理", "3-化学", "4-语文"}));
    const RowSet row = Bank(app.bankPath()).query("select * from 教材设置 where 科目='4-语文'");
    ASSERT_EQ(row.count(), 1);
    EXPECT_TRUE(row.isNull(0, "教材版本"));
    EXPECT_TRUE(row.isNull(0, "知识点"));

    app.prompts.type("4-语文");
    click(*form, "Command_zjkm");
    EXPECT_EQ(app.prompts.lastMessage(), "和原有项目重复！");
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 科目='4-语文'"), 1);
}

TEST_F(JcszTest, AddingBelowNeedsTheLeftSelectionAndKeepsTheSelectedEntry) {
    auto form = open();
    click(*form, "Command_zjjcbb");
    EXPECT_EQ(app.prompts.messages(), QStringList({"请先选择好左边的上一级项目！"}));
    EXPECT_TRUE(inputPrompts().isEmpty());

    select(*form, 0, "1-数学");
    select(*form, 1, "2-北师大版");
    app.prompts.clear();
    app.prompts.type("0-苏教版");  // comes first in the list
    click(*form, "Command_zjjcbb");
    EXPECT_EQ(inputPrompts(), QStringList({"请输入要增加<教材版本>的名称："}));
    EXPECT_EQ(items(*form, 1), QStringList({"0-苏教版", "1-人教版", "2-北师大版"}));
    EXPECT_EQ(current(*form, 1), "2-北师大版");
    EXPECT_EQ(current(*form, 2), "8-八年级");

    // A knowledge point at the bottom carries the whole path.
    app.prompts.type("2-直角三角形");
    click(*form, "Command_zjzsd");
    EXPECT_EQ(inputPrompts().last(), "请输入要增加的<知识点>的名称：");
    EXPECT_EQ(items(*form, 6), QStringList({"1-勾股", "2-直角三角形"}));
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 科目='1-数学' and 教材版本='2-北师大版' and "
                                        "年级='8-八年级' and 上下册='2-下册' and 章='3-第三章' and 节='1-3.1 节' and "
                                        "知识点='2-直角三角形'"),
              1);

    // Adding a knowledge point with no section selected.
    select(*form, 0, "3-化学");
    app.prompts.clear();
    click(*form, "Command_zjzsd");
    EXPECT_EQ(app.prompts.messages(), QStringList({"请先选择好左边的上一级项目！"}));
}

TEST_F(JcszTest, RenamingASectionChangesAllItsRowsButNoQuestion) {
    {
        Bank bank(app.bankPath());
        bank.addRow("试题库", {{"题目编号", "00001"},
                               {"考查范围", "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章 有理数\\1-1.1 正数和负数"},
                               {"知识点", "1-正数|2-负数"}});
    }
    auto form = open();
    click(*form, "Command_ggj");
    EXPECT_EQ(app.prompts.messages(), QStringList({"请先选中待更改项！"}));

    select(*form, 0, "1-数学");
    app.prompts.clear();
    app.prompts.answer(Answer::Ok);
    app.prompts.type("1-1.1 正数与负数");
    click(*form, "Command_ggj");
    ASSERT_EQ(app.prompts.records().size(), 3);
    EXPECT_EQ(app.prompts.records()[0].text, "更改1-1.1 正数和负数，会更改1-1.1 正数和负数下全部教材设置，请慎用！");
    EXPECT_EQ(app.prompts.records()[1].text, "确定要更改 “1-1.1 正数和负数” 及其下所有设置吗？");
    EXPECT_EQ(app.prompts.records()[1].buttons, Buttons::OkCancel);
    EXPECT_EQ(app.prompts.records()[2].text, "请输入更改后的<节>的名称：");
    EXPECT_EQ(app.prompts.records()[2].defaultText, "1-1.1 正数和负数");

    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 节='1-1.1 正数和负数'"), 0);
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 节='1-1.1 正数与负数'"), 3);
    EXPECT_EQ(items(*form, 5), QStringList({"1-1.1 正数与负数", "2-1.2 有理数"}));
    EXPECT_EQ(items(*form, 6), QStringList({"1-正数", "2-负数"}));
    const RowSet question = Bank(app.bankPath()).query("select 考查范围 from 试题库");
    EXPECT_EQ(question.text(0, 0), "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章 有理数\\1-1.1 正数和负数");

    // Cancelled confirmation, or a new name in the wrong form: nothing changes.
    app.prompts.clear();
    app.prompts.answer(Answer::Cancel);
    click(*form, "Command_ggj");
    EXPECT_TRUE(inputPrompts().isEmpty());
    app.prompts.answer(Answer::Ok);
    app.prompts.type("正数与负数");
    click(*form, "Command_ggj");
    EXPECT_EQ(app.prompts.lastMessage().left(11), "输入的名称格式不正确！");
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 节='1-1.1 正数与负数'"), 3);
}

TEST_F(JcszTest, DeletingAKnowledgePointDeletesOnlyItsRows) {
    addCatalogueRow(app.bankPath(), {"1-数学", "1-人教版", "7-七年级", "1-上册", "1-第一章 有理数", "2-1.2 有理数",
                                     "1-正数"});  // the same name in another section
    {
        Bank bank(app.bankPath());
        bank.addRow("试题库", {{"题目编号", "00001"}, {"知识点", "1-正数|2-负数"}});
    }
    auto form = open();
    select(*form, 0, "1-数学");
    ASSERT_EQ(current(*form, 6), "1-正数");
    app.prompts.answer(Answer::Ok);
    click(*form, "Command_sczsd");
    EXPECT_EQ(app.prompts.messages(),
              QStringList({"删除知识点，会删除该知识点下全部教材设置（但是不会删除试题），请慎用！",
                           "确定要删除 “1-正数” 及其下所有教材设置吗？"}));
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 知识点='1-正数'"), 1);
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 节='1-1.1 正数和负数'"), 2);
    EXPECT_EQ(items(*form, 6), QStringList({"2-负数"}));
    EXPECT_EQ(current(*form, 6), "2-负数");
    EXPECT_EQ(Bank(app.bankPath()).query("select 知识点 from 试题库").text(0, 0), "1-正数|2-负数");
}

TEST_F(JcszTest, DeleteAsksWithTheLevelsTextsAndOnlyOkProceeds) {
    auto form = open();
    click(*form, "Command_sckm");
    click(*form, "Command_scjcbb");
    EXPECT_EQ(app.prompts.messages(), QStringList({"请先选中待删除项！", "请先选择左边的项目是否正确的选择了！"}));

    select(*form, 0, "2-物理");
    app.prompts.clear();
    app.prompts.answer(Answer::Cancel);
    click(*form, "Command_sckm");
    app.prompts.answer(Answer::Cancel);
    click(*form, "Command_scjcbb");
    EXPECT_EQ(app.prompts.messages(),
              QStringList({"删除科目，会删除该科目下全部教材设置，请慎用！", "确定要删除 “2-物理” 及其下所有设置吗？",
                           "删除教材版本，会删除该教材版本下全部教材设置，请慎用！",
                           "确定要删除 “1-人教版” 及其下所有教材设置吗？"}));
    EXPECT_EQ(app.prompts.records()[1].buttons, Buttons::OkCancel);
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 科目='2-物理'"), 2);

    app.prompts.answer(Answer::Ok);
    click(*form, "Command_sckm");
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 科目='2-物理'"), 0);
    EXPECT_EQ(items(*form, 0), QStringList({"1-数学", "3-化学"}));
    EXPECT_EQ(current(*form, 0), "3-化学");  // the remembered position now holds the next subject
}

TEST_F(JcszTest, DeletingTheLastChildKeepsTheItemAbove) {
    // 物理 / 人教版 has no row of its own: its only row carries 8-八年级.
    auto form = open();
    select(*form, 0, "2-物理");
    select(*form, 1, "1-人教版");
    ASSERT_EQ(current(*form, 2), "8-八年级");
    app.prompts.answer(Answer::Ok);
    click(*form, "Command_scnj");
    EXPECT_EQ(items(*form, 1), QStringList({"1-人教版", "2-沪科版"}));
    EXPECT_TRUE(items(*form, 2).isEmpty());
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 科目='2-物理' and 教材版本='1-人教版'"), 1);
}

TEST_F(JcszTest, NamesWithQuotesAreAddedRenamedAndDeleted) {
    auto form = open();
    app.prompts.type("5-O'Neil's 英语");
    click(*form, "Command_zjkm");
    select(*form, 0, "5-O'Neil's 英语");
    app.prompts.type("1-Bob's 版");
    click(*form, "Command_zjjcbb");
    EXPECT_EQ(items(*form, 1), QStringList({"1-Bob's 版"}));
    EXPECT_EQ(current(*form, 1), "1-Bob's 版");

    app.prompts.answer(Answer::Ok);
    app.prompts.type("2-Tom's 版");
    click(*form, "Command_ggjcbb");
    EXPECT_EQ(items(*form, 1), QStringList({"2-Tom's 版"}));
    app.prompts.answer(Answer::Ok);
    click(*form, "Command_scjcbb");
    EXPECT_TRUE(items(*form, 1).isEmpty());
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 科目='5-O''Neil''s 英语'"), 1);
    EXPECT_EQ(app.prompts.messages().filter("试题库操作失败"), QStringList());
}

TEST_F(JcszTest, OpeningAnotherBankMakesItTheBankOfThisScreen) {
    test::TempFolder other;
    const QString otherBank = other.file("试题库.mdb");
    Bank::create(otherBank);
    addCatalogueRow(otherBank, {"9-生物", "1-人教版"});
    auto form = open();
    select(*form, 0, "1-数学");

    app.prompts.type(otherBank);
    click(*form, "Command_dkwbjc");
    EXPECT_EQ(app.prompts.records().last().kind, PromptRecord::Kind::OpenFile);
    EXPECT_EQ(app.prompts.records().last().filter, "Access文件|*.mdb;*.mdb");
    EXPECT_EQ(app.state().BankPath, otherBank);
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label3")->text(),
              "当前<教材设置>路径为：" + QDir::toNativeSeparators(otherBank));
    EXPECT_EQ(items(*form, 0), QStringList({"9-生物"}));
    EXPECT_EQ(current(*form, 1), "1-人教版");

    // Later commands work on that bank, even if the run-wide path moves on.
    app.state().BankPath = app.bankPath();
    app.prompts.type("2-北师大版");
    click(*form, "Command_zjjcbb");
    EXPECT_EQ(countRows(otherBank, "select * from 教材设置"), 2);
    EXPECT_EQ(countRows(app.bankPath(), "select * from 教材设置 where 教材版本='2-北师大版'"), 1);

    // No file chosen.
    app.prompts.clear();
    app.prompts.cancel();
    click(*form, "Command_dkwbjc");
    EXPECT_EQ(app.prompts.messages(), QStringList({"对不起！你没有选择任何文件！"}));
    EXPECT_EQ(items(*form, 0), QStringList({"9-生物"}));
}

TEST_F(JcszTest, AFileThatIsNoBankIsRefusedAndTheBankKept) {
    test::TempFolder other;
    const QString notABank = other.file("成绩.mdb");
    {
        QFile f(notABank);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    }
    auto form = open();
    const QString label = test::child<QLabel>(form.get(), "Label3")->text();
    app.prompts.type(notABank);
    click(*form, "Command_dkwbjc");
    EXPECT_EQ(app.prompts.messages(), QStringList({Bank::problemWith(notABank)}));
    EXPECT_EQ(app.state().BankPath, app.bankPath());
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label3")->text(), label);
    EXPECT_EQ(items(*form, 0), QStringList({"1-数学", "2-物理", "3-化学"}));
}

TEST_F(JcszTest, AMissingBankGivesAMessageNotACrash) {
    QFile::remove(app.bankPath());
    auto form = open();
    EXPECT_EQ(app.prompts.messages(), QStringList({Bank::problemWith(app.bankPath())}));
    EXPECT_TRUE(items(*form, 0).isEmpty());
    app.prompts.clear();
    app.prompts.type("1-语文");
    click(*form, "Command_zjkm");
    EXPECT_EQ(app.prompts.lastMessage(), Bank::problemWith(app.bankPath()));
}

TEST_F(JcszTest, ReturnClosesTheScreen) {
    auto form = open();
    form->show();
    click(*form, "Command_fhzjm");
    EXPECT_FALSE(form->isVisible());
}

namespace {

// A catalogue as a mathematics teacher would build it: several subjects and
// editions, and the first volume of 人教版 七年级 down to knowledge points.
void fillRealisticCatalogue(const QString& bankPath) {
    Bank bank(bankPath);
    bank.transaction([&] {
        auto row = [&](const QStringList& names) {
            RowValues values;
            for (int i = 0; i < names.size(); ++i)
                values << qMakePair(catalogueColumns()[i], QVariant(names[i]));
            bank.addRow("教材设置", values);
        };
        const QStringList subjects = {"1-初中数学", "2-初中物理", "3-初中化学", "4-初中语文", "5-初中英语",
                                      "6-高中数学", "7-高中物理", "8-高中化学", "9-高中生物", "10-高中地理"};
        const QStringList editions = {"1-人教版", "2-北师大版", "3-华东师大版", "4-苏科版", "5-沪科版"};
        const QStringList grades = {"7-七年级", "8-八年级", "9-九年级"};
        const QStringList volumes = {"1-上册", "2-下册"};
        for (const QString& s : subjects) {
            row({s});
            for (const QString& e : editions) {
                row({s, e});
                for (const QString& g : grades) {
                    row({s, e, g});
                    for (const QString& v : volumes)
                        row({s, e, g, v});
                }
            }
        }
        const QStringList top = {"1-初中数学", "1-人教版", "7-七年级", "1-上册"};
        const QList<QPair<QString, QStringList>> chapters = {
            {"1-第一章 有理数",
             {"1-1.1 正数和负数", "2-1.2 有理数", "3-1.3 有理数的加减法", "4-1.4 有理数的乘除法",
              "5-1.5 有理数的乘方"}},
            {"2-第二章 整式的加减", {"1-2.1 整式", "2-2.2 整式的加减"}},
            {"3-第三章 一元一次方程",
             {"1-3.1 从算式到方程", "2-3.2 解一元一次方程（一）——合并同类项与移项",
              "3-3.3 解一元一次方程（二）——去括号与去分母", "4-3.4 实际问题与一元一次方程"}},
            {"4-第四章 几何图形初步",
             {"1-4.1 几何图形", "2-4.2 直线、射线、线段", "3-4.3 角", "4-4.4 课题学习 设计制作长方体形状的包装纸盒"}},
        };
        const QStringList points11 = {"1-正数和负数的概念", "2-用正数和负数表示生活中具有相反意义的量",
                                      "3-0既不是正数也不是负数", "4-正数和负数的实际应用"};
        const QStringList points12 = {"1-有理数的分类", "2-数轴的三要素",     "3-用数轴上的点表示有理数",
                                      "4-相反数",       "5-绝对值的几何意义", "6-有理数的大小比较"};
        for (const auto& [chapter, sections] : chapters) {
            row(top + QStringList{chapter});
            for (const QString& section : sections) {
                row(top + QStringList{chapter, section});
                const QStringList& points = section.startsWith("1-1.1")   ? points11
                                            : section.startsWith("2-1.2") ? points12
                                                                          : QStringList{"1-基本概念", "2-综合运用"};
                for (const QString& p : points)
                    row(top + QStringList{chapter, section, p});
            }
        }
    });
}

}  // namespace

// At its default size the screen shows the seven lists side by side, each
// wide enough for the usual names; longer names scroll sideways. With
// ZS_SCREENSHOT_DIR set, a picture of the screen is saved there.
TEST(JcszLook, SevenListsSideBySideAtTheDefaultSize) {
    TestApp app;
    fillRealisticCatalogue(app.bankPath());
    Form_jcsz form(app.state());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    test::child<QListWidget>(&form, "List_km")->setCurrentRow(0);
    QApplication::processEvents();

    // The default size on a desktop screen; a smaller screen gets a window that fits it.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    if (area.width() >= 1420 && area.height() >= 760) {
        EXPECT_EQ(form.size(), QSize(1400, 700));
    } else {
        EXPECT_LE(form.width(), qMax(area.width(), form.minimumWidth()));
        form.resize(1400, 700);
        QApplication::processEvents();
    }
    int right = -1;
    for (const char* name : kListNames) {
        QListWidget* list = test::child<QListWidget>(&form, name);
        const QRect r(list->mapTo(&form, QPoint(0, 0)), list->size());
        EXPECT_GT(r.left(), right) << name;
        right = r.right();
        EXPECT_GE(r.width(), 170) << name;
        EXPECT_GE(r.height(), 400) << name;
        EXPECT_LE(right, form.width()) << name;
    }
    // A name of 8-9 characters fits; a long section title scrolls sideways.
    QListWidget* grades = test::child<QListWidget>(&form, "List_nj");
    EXPECT_FALSE(grades->horizontalScrollBar()->isVisible());
    QListWidget* sections = test::child<QListWidget>(&form, "List_j");
    ASSERT_EQ(sections->count(), 5);
    EXPECT_GE(sections->viewport()->width(), sections->fontMetrics().horizontalAdvance("5-1.5 有理数的乘方"));
    QListWidget* points = test::child<QListWidget>(&form, "List_zsd");
    if (const QString dir = qEnvironmentVariable("ZS_SCREENSHOT_DIR"); !dir.isEmpty())
        form.grab().save(QDir(dir).filePath("Form_jcsz-first.png"));
    EXPECT_EQ(points->currentItem()->text(), "1-正数和负数的概念");
    EXPECT_EQ(points->count(), 4);
    // "2-用正数和负数表示生活中具有相反意义的量" is wider than the list.
    EXPECT_TRUE(QTest::qWaitFor([&] { return points->horizontalScrollBar()->maximum() > 0; }, 2000));

    if (const QString dir = qEnvironmentVariable("ZS_SCREENSHOT_DIR"); !dir.isEmpty()) {
        test::child<QListWidget>(&form, "List_z")->setCurrentRow(2);
        form.grab().save(QDir(dir).filePath("Form_jcsz.png"));
    }
}
