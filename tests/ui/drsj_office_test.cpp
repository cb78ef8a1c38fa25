// The paper import screen, offscreen, driven through its object names with the
// real office splitting the papers and the teacher's answers scripted.

#include "catalogue/numberpool.h"
#include "paperimport/paperimport.h"
#include "paperimport/testpapers.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/common/documentview.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"
#include "ui/sharing/Form_drsj.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace zs;

namespace {

const QString kSection = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章 有理数\\1-1.1 正数和负数";
const QString kChapter = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章 有理数";

class DrsjTest : public ::testing::Test {
protected:
    void SetUp() override {
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
        app.state().CurrentUserName = "张三";
        const auto word = test::office().startWord();
        maths = test::writePaperWithAnswerSection(*word, papers.path());
        form = std::make_unique<Form_drsj>(app.state());
        form->show();
    }
    void TearDown() override {
        app.prompts.answer(Answer::Ok);
        form->close();
    }

    template <typename T> T* child(const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { child<QPushButton>(name)->click(); }
    QTreeWidget* list() { return child<QTreeWidget>("List_st"); }
    QTreeWidgetItem* row(int i) { return list()->topLevelItem(i); }
    void select(const QList<int>& rows) {
        list()->clearSelection();
        for (int i : rows)
            row(i)->setSelected(true);
        list()->setCurrentItem(row(rows.first()), 0, QItemSelectionModel::NoUpdate);
    }
    void chooseAndSplit(const QString& paper) {
        app.prompts.type(paper);
        click("Command_xzsj");
        click("Command_cfsj");
    }
    void fileUnderTheSection() {
        auto* tree = child<ScopeTreeWidget>("TreeView1");
        const int node = tree->model().findByPath(kSection);
        ASSERT_GE(node, 0);
        tree->selectNode(node);
        tree->itemOf(node)->setCheckState(0, Qt::Checked);
        form->TreeView1_Click();
        form->Timer1_Timer();
        auto* candidates = child<QListWidget>("List_dxzsd");
        ASSERT_EQ(candidates->count(), 2);
        form->List_dxzsd_Click(candidates->item(1));
        form->Timer1_Timer();
        setComboText(child<QComboBox>("Combo_nd"), "0.3");
        setComboText(child<QComboBox>("Combo_stly"), "1-期中考试");
    }
    int bankQuestions() { return Bank(app.bankPath()).query("select distinct 题目编号 from 试题库").count(); }

    test::TestApp app;
    test::TempFolder papers;
    test::TestPaper maths;
    std::unique_ptr<Form_drsj> form;
};

}  // namespace

TEST_F(DrsjTest, APaperIsSplitReviewedFiledAndImported) {
    EXPECT_EQ(form->windowTitle(), "导入试卷-琢石试题库");
    chooseAndSplit(maths.paper);
    EXPECT_EQ(child<QLineEdit>("Text_sj")->text(), QDir::toNativeSeparators(maths.paper));
    EXPECT_EQ(app.prompts.records().first().filter, "Word文档|*.doc;*.docx");
    ASSERT_EQ(list()->topLevelItemCount(), 5);
    EXPECT_EQ(child<QLabel>("Label_zt")->text(),
              "共识别出 5 道试题，3 个大题。有 1 道试题没有找到答案（列表中标为“无答案”）。");
    EXPECT_EQ(row(0)->text(1), "单选题");
    EXPECT_EQ(row(0)->text(2), "3");
    EXPECT_EQ(row(3)->text(2), "10");
    EXPECT_EQ(row(4)->text(5), "无答案");
    EXPECT_TRUE(row(1)->text(6).startsWith("[图1]如图"));
    EXPECT_TRUE(row(2)->text(6).startsWith("[式1]若"));
    EXPECT_EQ(row(0)->checkState(0), Qt::Checked);

    // The previews follow the current question.
    list()->setCurrentItem(row(1));
    const PaperImport* paper = form->paperImport();
    ASSERT_NE(paper, nullptr);
    EXPECT_EQ(child<DocumentView>("OLE_tm")->boundPath(), paper->items()[1].questionFile);
    EXPECT_EQ(child<DocumentView>("OLE_da")->boundPath(), paper->items()[1].answerFile);

    // Nothing is filed yet.
    app.prompts.clear();
    click("Command_qddr");
    EXPECT_TRUE(app.prompts.lastMessage().startsWith(
        "未能导入试题，原因如下：\r\r*第 1 题：未选择考查范围，难度未选择，试题来源未选择\r"));
    EXPECT_EQ(bankQuestions(), 0);

    // Filing for all, a type changed for the last, question 2 joined to 1.
    fileUnderTheSection();
    click("Command_yydqb");
    EXPECT_EQ(row(4)->text(3), "0.3");
    EXPECT_EQ(row(4)->text(4), "1-1.1 正数和负数");
    select({4});
    setComboText(child<QComboBox>("Combo_tx"), "计算题");
    click("Command_gwctx");
    EXPECT_EQ(row(4)->text(1), "计算题");
    select({1});
    click("Command_hbsyt");
    ASSERT_EQ(list()->topLevelItemCount(), 4);
    EXPECT_TRUE(paper->items()[0].text.contains("2．如图"));

    // The last one has no answer: the teacher is asked, and says yes.
    app.prompts.clear();
    app.prompts.answer(Answer::Yes);
    app.prompts.answer(Answer::No);  // the paper's scores are not taken as the types'
    click("Command_qddr");
    const QStringList messages = app.prompts.messages();
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[2], "试卷中每小题的分值：单选题 3 分，填空题 4 分，解答题 10 分。\r"
                           "试题库还没有给这些题型设置分值，是否把它们记为题型的分值（分值设置）？\r\r"
                           "分值与此不同的试题各自保留试卷中的分值。");
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 题型分值").count(), 0);
    EXPECT_EQ(messages[0], "勾选的试题中有 1 道没有找到答案，将以空白的答案文档导入，以后可以在<查看修改>中补上。"
                           "\r\r是否继续导入？");
    EXPECT_EQ(messages[1],
              "试卷中的试题已经导入试题库！\r\r成功导入的试题数量为： 4\r\r题目编号为：00001、00002、00003、00004");
    EXPECT_EQ(bankQuestions(), 4);
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(form->paperImport(), nullptr);
    const RowSet rows = Bank(app.bankPath()).query("select * from 试题库 where 题目编号='00004'");
    EXPECT_EQ(rows.text(0, "题型"), "计算题");
    EXPECT_EQ(rows.text(0, "考查范围"), kSection);
    EXPECT_EQ(rows.text(0, "知识点"), "2-负数");
    EXPECT_EQ(rows.text(0, "试题识别码"), "张三-00004");
    EXPECT_TRUE(QFileInfo::exists(answerDocumentPath(app.bankPath(), "00004")));

    // The same paper again: the questions now in the bank are flagged and
    // unticked; questions 1 and 2, imported as one, are each unlike it.
    app.prompts.clear();
    click("Command_cfsj");
    ASSERT_EQ(list()->topLevelItemCount(), 5);
    EXPECT_TRUE(child<QLabel>("Label_zt")->text().contains("有 3 道与试题库中的试题相似，没有勾选。"));
    EXPECT_EQ(row(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(row(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(row(2)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(row(2)->text(5).startsWith("与 00002 相似度 "));
    EXPECT_EQ(row(3)->text(5), "与 00003 相似度 100%");
    EXPECT_TRUE(row(4)->text(5).startsWith("与 00004 相似度 100%；无答案"));

    // Leaving asks first: Cancel stays, OK leaves.
    app.prompts.clear();
    app.prompts.answer(Answer::Cancel);
    click("Command_fhzjm");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(app.prompts.lastMessage(), "识别出的试题还没有导入！\r是否放弃导入并《返回主界面》？");
    app.prompts.answer(Answer::Ok);
    click("Command_fhzjm");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(bankQuestions(), 4);
}

TEST_F(DrsjTest, SplittingAQuestionAndFilingOnlyTheSelectedOnes) {
    chooseAndSplit(maths.paper);
    ASSERT_EQ(list()->topLevelItemCount(), 5);
    select({3});
    auto* where = child<QComboBox>("Combo_cfwz");
    int second = -1;
    for (int i = 0; i < where->count(); ++i)
        if (where->itemText(i).contains("（2）谁的成绩高"))
            second = i;
    ASSERT_GE(second, 0);
    where->setCurrentIndex(second);
    click("Command_cf");
    ASSERT_EQ(list()->topLevelItemCount(), 6);
    EXPECT_EQ(row(4)->text(0), "4（续）");
    EXPECT_EQ(row(4)->text(5), "无答案");

    fileUnderTheSection();
    select({0, 2});
    click("Command_yydsx");
    EXPECT_EQ(row(0)->text(3), "0.3");
    EXPECT_EQ(row(1)->text(3), "");
    EXPECT_EQ(row(2)->text(3), "0.3");

    // Only the two filed questions go in.
    click("Command_qbx");
    row(0)->setCheckState(0, Qt::Checked);
    row(2)->setCheckState(0, Qt::Checked);
    app.prompts.clear();
    click("Command_qddr");
    ASSERT_EQ(app.prompts.messages().size(), 2);  // then the offer of the paper's scores
    EXPECT_EQ(app.prompts.messages()[0],
              "试卷中的试题已经导入试题库！\r\r成功导入的试题数量为： 2\r\r题目编号为：00001、00002");
    EXPECT_EQ(bankQuestions(), 2);
    EXPECT_EQ(Bank(app.bankPath()).query("select 题型 from 试题库 where 题目编号='00002'").texts(),
              QStringList({"填空题"}));
}

TEST_F(DrsjTest, RefusalsAndBadFiles) {
    click("Command_cfsj");
    EXPECT_EQ(app.prompts.lastMessage(), "请先选择要导入的试卷！");
    click("Command_qddr");
    EXPECT_EQ(app.prompts.lastMessage(), "请先选择试卷并拆分！");
    click("Command_hbsyt");
    EXPECT_EQ(app.prompts.lastMessage(), "请先在列表中选择要与上一题合并的试题！");

    // Not a Word document: refused when chosen.
    const QString text = papers.file("成绩单.doc");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a paper");
    }
    app.prompts.type(text);
    click("Command_xzsj");
    EXPECT_EQ(app.prompts.lastMessage(),
              "这个文件不是 Word 文档（.doc 或 .docx），不能导入：\r" + QDir::toNativeSeparators(text));
    EXPECT_TRUE(child<QLineEdit>("Text_sj")->text().isEmpty());

    // A Word file without questions.
    const QString letter = papers.file("通知.doc");
    {
        const auto word = test::office().startWord();
        const auto doc = word->newDocument();
        doc->append("致家长的一封信\r你们好！");
        doc->saveAs(letter);
    }
    chooseAndSplit(letter);
    EXPECT_TRUE(app.prompts.lastMessage().startsWith("在这份试卷中没有找到试题"));
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(child<QLabel>("Label_zt")->text(), "没有拆分出试题。");

    // A separate answer document with an answer for no question.
    const test::TestPaper physics = test::writePaperAndAnswerDocument(*test::office().startWord(), papers.path());
    app.prompts.clear();
    app.prompts.type(physics.answers);
    click("Command_xzda");
    chooseAndSplit(physics.paper);
    ASSERT_EQ(list()->topLevelItemCount(), 4);
    EXPECT_EQ(app.prompts.lastMessage(), "答案中的第 7 题找不到对应的试题，这些答案没有用上。");
    EXPECT_EQ(row(2)->text(1), "计算题");

    // A chapter is too coarse a scope, and a scope without knowledge points is refused.
    auto* tree = child<ScopeTreeWidget>("TreeView1");
    const int chapter = tree->model().findByPath(kChapter);
    tree->itemOf(chapter)->setCheckState(0, Qt::Checked);
    form->TreeView1_Click();
    EXPECT_EQ(app.prompts.lastMessage(), "请勾选更详细的考查范围！");
    const int section = tree->model().findByPath(kSection);
    tree->itemOf(section)->setCheckState(0, Qt::Checked);
    form->TreeView1_Click();
    click("Command_yydqb");
    EXPECT_EQ(app.prompts.lastMessage(), "在勾选的“" + kSection + "”下，没有添加知识点，请先添加！");
    EXPECT_EQ(row(0)->text(4), "");
}

namespace {

// A document's text read back through the office, without the blank end.
QString documentText(const QString& path) {
    const auto word = test::office().startWord();
    const auto doc = word->open(path);
    QString text = doc->text();
    doc->close();
    while (text.endsWith(u'\r') || text.endsWith(u' '))
        text.chop(1);
    return text;
}

// What the teacher does with 编辑: types into the document and saves it.
void typeInto(const QString& path, const QString& text) {
    const auto word = test::office().startWord();
    const auto doc = word->open(path);
    doc->append(text);
    doc->save();
    doc->close();
}

}  // namespace

TEST_F(DrsjTest, AnAnswerTypedForOneQuestionStaysWithThatQuestion) {
    const test::TestPaper physics = test::writePaperAndAnswerDocument(*test::office().startWord(), papers.path());
    chooseAndSplit(physics.paper);  // without its answer document
    ASSERT_EQ(list()->topLevelItemCount(), 4);
    const PaperImport* paper = form->paperImport();
    ASSERT_NE(paper, nullptr);
    QSet<QString> files;
    for (const ImportItem& item : paper->items())
        files << item.answerFile << item.questionFile;
    EXPECT_EQ(files.size(), 8);  // every question owns both its documents

    list()->setCurrentItem(row(0));
    typeInto(child<DocumentView>("OLE_da")->boundPath(), "ABD");
    list()->setCurrentItem(row(1));
    EXPECT_EQ(documentText(child<DocumentView>("OLE_da")->boundPath()), "");

    fileUnderTheSection();
    click("Command_yydqb");
    app.prompts.clear();
    app.prompts.answer(Answer::Yes);
    click("Command_qddr");
    ASSERT_EQ(app.prompts.messages().size(), 2);
    EXPECT_EQ(app.prompts.messages()[0], "勾选的试题中有 3 道没有找到答案，将以空白的答案文档导入，"
                                         "以后可以在<查看修改>中补上。\r\r是否继续导入？");
    EXPECT_EQ(documentText(answerDocumentPath(app.bankPath(), "00001")), "ABD");
    for (const QString& number : QStringList{"00002", "00003", "00004"}) {
        EXPECT_EQ(documentText(answerDocumentPath(app.bankPath(), number)), "") << number.toStdString();
        EXPECT_TRUE(documentText(questionDocumentPath(app.bankPath(), number)).size() > 5);
    }
}

TEST_F(DrsjTest, ADownloadedPaperKeepsItsAnswerBlocksDropsItsFurnitureAndOffersItsScores) {
    const test::TestPaper downloaded = test::writeDownloadedPaper(*test::office().startWord(), papers.path());
    chooseAndSplit(downloaded.paper);
    ASSERT_EQ(list()->topLevelItemCount(), 5);
    EXPECT_EQ(child<QLabel>("Label_zt")->text(),
              "共识别出 5 道试题，3 个大题。略去了试卷中不属于试题的 3 段：“第II卷（非选择题）”、"
              "“请点击修改第II卷的文字说明”、“评卷人 得分”。");
    QStringList scores, types;
    for (int i = 0; i < 5; ++i) {
        scores << row(i)->text(2);
        types << row(i)->text(1);
    }
    EXPECT_EQ(scores, QStringList({"3", "3", "3", "4", "6"}));
    EXPECT_EQ(types, QStringList({"单选题", "单选题", "单选题", "填空题", "解答题"}));

    // Question 3 keeps the whole of its answer, and nothing of the paper's furniture.
    const PaperImport* paper = form->paperImport();
    ASSERT_NE(paper, nullptr);
    EXPECT_EQ(documentText(paper->items()[2].answerFile), "【答案】B\r【解析】\r4.5×2=9（元），\r故选：B．");
    EXPECT_EQ(documentText(paper->items()[2].questionFile),
              "一支笔4.5元，买2支要多少元（　　）\rA．8　B．9　C．10　D．11");
    EXPECT_EQ(documentText(paper->items()[3].questionFile), "3的相反数是______，绝对值是______。");
    EXPECT_EQ(documentText(paper->items()[4].answerFile), "【答案】(1) 2；\r(2) 6．");

    // The teacher's paper was not opened in place: nothing beside it but the papers.
    EXPECT_EQ(QDir(papers.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({"三角形.png", "下载的试卷.docx", "期中试卷（含答案）.docx"}));
    const QString work = form->workFolder();
    EXPECT_TRUE(QFileInfo(work).isDir());

    // After the import the bank has no type scores: the paper's are offered.
    fileUnderTheSection();
    click("Command_yydqb");
    app.prompts.clear();
    app.prompts.answer(Answer::Yes);
    click("Command_qddr");
    ASSERT_EQ(app.prompts.messages().size(), 2);
    EXPECT_EQ(app.prompts.lastMessage(), "试卷中每小题的分值：单选题 3 分，填空题 4 分，解答题 6 分。\r"
                                         "试题库还没有给这些题型设置分值，是否把它们记为题型的分值（分值设置）？\r\r"
                                         "分值与此不同的试题各自保留试卷中的分值。");
    Bank bank(app.bankPath());
    EXPECT_EQ(bank.query("select 题型 || ':' || 分值 from 题型分值 order by 题型").texts(),
              QStringList({"单选题:3", "填空题:4", "解答题:6"}));
    EXPECT_EQ(bank.query("select 分值 from 试题分值 order by 题目编号").texts(),
              QStringList({"3", "3", "3", "4", "6"}));

    // Leaving removes the split's private folder.
    app.prompts.answer(Answer::Ok);
    click("Command_fhzjm");
    EXPECT_FALSE(QFileInfo::exists(work));
}

TEST_F(DrsjTest, IdenticalQuestionsTickedAgainAreNamedBeforeTheyAreImported) {
    chooseAndSplit(maths.paper);
    EXPECT_TRUE(child<QGroupBox>("Frame10")->isHidden());  // nothing like them in the bank yet
    fileUnderTheSection();
    click("Command_yydqb");
    app.prompts.answer(Answer::Yes);
    click("Command_qddr");
    ASSERT_EQ(bankQuestions(), 5);

    app.prompts.clear();
    click("Command_cfsj");
    ASSERT_EQ(list()->topLevelItemCount(), 5);
    int identical = 0;
    for (const ImportItem& item : form->paperImport()->items())
        identical += item.similar && item.similar->percent == 100;
    ASSERT_GE(identical, 3);
    click("Command_yydqb");  // the panel is filled in still
    click("Command_qx");
    app.prompts.clear();
    app.prompts.answer(Answer::No);
    click("Command_qddr");
    EXPECT_EQ(
        app.prompts.lastMessage(),
        QString("勾选的试题中有 %1 道与试题库中的试题完全相同（相似度 100%）。\r\r是否仍然导入它们？").arg(identical));
    EXPECT_EQ(bankQuestions(), 5);
    EXPECT_EQ(list()->topLevelItemCount(), 5);

    // The bank's question stands beside a flagged one.
    auto* beside = child<QGroupBox>("Frame10");
    list()->setCurrentItem(row(3));
    EXPECT_FALSE(beside->isHidden());
    EXPECT_EQ(beside->title(), "试题库中的相似试题：00004（相似度 100%）");
    EXPECT_EQ(child<DocumentView>("OLE_xsst")->boundPath(), questionDocumentPath(app.bankPath(), "00004"));
}

TEST_F(DrsjTest, TheScreenRefusesWhenTheDocumentsOfTheBankAreGoneAndMakesNothing) {
    form.reset();
    {
        Bank bank(app.bankPath());
        bank.addRow("试题库", {{"题目编号", "00001"}, {"考查范围", kSection}, {"题型", "单选题"}});
    }
    const QString documents = documentsFolderOf(app.bankPath());
    QDir(documents).removeRecursively();
    app.prompts.clear();
    form = std::make_unique<Form_drsj>(app.state());
    EXPECT_TRUE(app.prompts.lastMessage().startsWith("试题源文件夹不见了！"));
    EXPECT_EQ(form->refusal(), app.prompts.lastMessage());
    EXPECT_FALSE(child<QPushButton>("Command_cfsj")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("Command_qddr")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("Command_fhzjm")->isEnabled());
    EXPECT_FALSE(QFileInfo::exists(documents));

    // Nor does the import itself make the folder.
    NumberPool& pool = app.state().FreeNumberPool;
    ImportItem item;
    item.settings.scopes = {{kSection, "1-正数"}};
    EXPECT_THROW(writeImportedQuestions({item}, app.bankPath(), pool, "张三", QDate(2024, 9, 2)), StoreError);
    EXPECT_FALSE(QFileInfo::exists(documents));
    form->show();
}

TEST_F(DrsjTest, TheTeacherRepairsASplitOnTheScreenWithoutLosingWhatWasEdited) {
    chooseAndSplit(maths.paper);
    ASSERT_EQ(list()->topLevelItemCount(), 5);
    const PaperImport* paper = form->paperImport();

    // An answer changed with 编辑 survives joining question 2 to question 1.
    list()->setCurrentItem(row(0));
    typeInto(child<DocumentView>("OLE_da")->boundPath(), "（老师补充）");
    select({1});
    click("Command_hbsyt");
    ASSERT_EQ(list()->topLevelItemCount(), 4);
    EXPECT_EQ(documentText(paper->items()[0].answerFile), "B（老师补充）\rC");

    // A changed question document is not rebuilt from the paper: refused, and said why.
    select({2});
    typeInto(child<DocumentView>("OLE_tm")->boundPath(), "（老师改过）");
    auto* where = child<QComboBox>("Combo_cfwz");
    ASSERT_GE(where->count(), 2);
    where->setCurrentIndex(where->count() - 1);
    app.prompts.clear();
    click("Command_cf");
    EXPECT_EQ(app.prompts.lastMessage(),
              "第 4 题的题目文档已经用“编辑”修改过，拆分会按试卷重新生成它，"
              "修改将会丢失，所以没有拆分。\r\r请先拆分，再编辑文档；或者在文档中直接修改。");
    EXPECT_EQ(list()->topLevelItemCount(), 4);
    select({3});
    click("Command_hbsyt");
    EXPECT_TRUE(app.prompts.lastMessage().startsWith("第 4 题的题目文档已经用“编辑”修改过，合并会"));
    EXPECT_EQ(list()->topLevelItemCount(), 4);
    EXPECT_TRUE(documentText(paper->items()[2].questionFile).endsWith("（老师改过）"));

    // A paper without its answer document: the last part of question 3 is
    // its answer, which then belongs to question 4.
    const test::TestPaper physics = test::writePaperAndAnswerDocument(*test::office().startWord(), papers.path());
    app.prompts.answer(Answer::Ok);
    chooseAndSplit(physics.paper);
    ASSERT_EQ(list()->topLevelItemCount(), 4);
    paper = form->paperImport();
    select({2});
    where = child<QComboBox>("Combo_cfwz");
    int second = -1;
    for (int i = 0; i < where->count(); ++i)
        if (where->itemText(i).contains("（2）以这个速度"))
            second = i;
    ASSERT_GE(second, 0);
    where->setCurrentIndex(second);
    click("Command_ydda");
    EXPECT_EQ(row(2)->text(5), "");  // it has an answer now
    EXPECT_EQ(documentText(paper->items()[2].answerFile), "（2）以这个速度行驶 3 km 要多少时间？");
    EXPECT_FALSE(documentText(paper->items()[2].questionFile).contains("（2）"));
    EXPECT_TRUE(documentText(paper->items()[2].questionFile).contains("（1）行驶 1.5 km"));

    select({2});
    auto* to = child<QComboBox>("Combo_dagy");
    QStringList targets;
    for (int i = 0; i < to->count(); ++i)
        targets << to->itemText(i);
    EXPECT_EQ(targets, QStringList({"第 1 题", "第 2 题", "第 4 题"}));
    to->setCurrentIndex(2);
    click("Command_dagy");
    EXPECT_EQ(row(2)->text(5), "无答案");
    EXPECT_EQ(row(3)->text(5), "");
    EXPECT_EQ(documentText(paper->items()[3].answerFile), "（2）以这个速度行驶 3 km 要多少时间？");
    EXPECT_EQ(documentText(paper->items()[2].answerFile), "");
    EXPECT_NE(paper->items()[2].answerFile, paper->items()[3].answerFile);
}
