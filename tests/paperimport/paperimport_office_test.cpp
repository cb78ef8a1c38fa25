// Papers split into questions through the real LibreOffice, the questions'
// documents read back, written into real banks, and similar questions found.

#include "paperimport/paperimport.h"
#include "paperimport/testpapers.h"
#include "questions/questiontexts.h"
#include "store/bank.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::TempFolder;

namespace {

QString trimmed(QString text) {
    while (text.endsWith(u'\r') || text.endsWith(u' '))
        text.chop(1);
    return text;
}

QString documentText(WordInstance& word, const QString& path) {
    const auto doc = word.open(path);
    return trimmed(doc->text());
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// Files every item under one section with a difficulty and a source.
void fileAll(PaperImport& paper) {
    for (int i = 0; i < paper.count(); ++i) {
        FilingSettings& s = paper.item(i).settings;
        s.scopes = {{"1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\1-第一节", "1-正数|2-负数"}};
        s.difficulty = "0.5";
        s.source = "1-期中考试";
    }
}

class PaperImportTest : public ::testing::Test {
protected:
    void SetUp() override { word = test::office().startWord(); }
    void TearDown() override { word->quit(); }

    std::unique_ptr<PaperImport> split(const test::TestPaper& p) {
        auto paper = std::make_unique<PaperImport>(*word, work.path());
        paper->open(p.paper, p.answers, Bank::defaultTypes());
        return paper;
    }

    TempFolder folder;  // the teacher's papers
    TempFolder work;    // the screen's work folder
    std::unique_ptr<WordInstance> word;
};

}  // namespace

TEST_F(PaperImportTest, ADocxWithAnAnswerSectionGivesItsQuestionsWithPicturesFormulasAndTables) {
    const auto paper = split(test::writePaperWithAnswerSection(*word, folder.path()));
    ASSERT_EQ(paper->count(), 5);
    const QList<ImportItem>& items = paper->items();

    QStringList types, labels;
    for (const ImportItem& item : items) {
        types << item.type;
        labels << item.label;
    }
    EXPECT_EQ(types, QStringList({"单选题", "单选题", "填空题", "解答题", "解答题"}));
    EXPECT_EQ(labels, QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(items[0].detected.score.value_or(0), 3);
    EXPECT_EQ(items[2].detected.score.value_or(0), 4);
    EXPECT_EQ(items[3].detected.score.value_or(0), 10);
    EXPECT_FALSE(items[4].detected.score.has_value());

    EXPECT_EQ(items[0].text, "下列各数中，是负数的是（　　）\rA．3　　B．−3　　C．0　　D．|−3|");
    EXPECT_EQ(items[1].pictures, 1);
    EXPECT_EQ(items[2].formulas, 1);
    EXPECT_EQ(items[3].tables, 1);
    EXPECT_EQ(items[0].answerText, "B");
    EXPECT_EQ(items[1].answerText, "C");
    EXPECT_EQ(items[3].answerText, "（1）平均分为85分；\r（2）甲的成绩高。");
    EXPECT_EQ(items[4].marks(), QStringList({"无答案"}));
    EXPECT_EQ(paper->notes(), QStringList({"有 1 道试题没有找到答案（列表中标为“无答案”）。"}));

    // The documents of each question, copied out of the paper, read back.
    EXPECT_EQ(documentText(*word, items[0].questionFile), items[0].text);
    EXPECT_EQ(documentText(*word, items[0].answerFile), "B");
    {
        const auto doc = word->open(items[1].questionFile);
        EXPECT_TRUE(doc->text().startsWith("如图，这个三角形是（　　）"));
        EXPECT_EQ(doc->pictureCount(), 1);
    }
    {
        const auto doc = word->open(items[2].questionFile);
        const QList<DocumentBlock> blocks = doc->blocks();
        ASSERT_FALSE(blocks.isEmpty());
        ASSERT_EQ(blocks[0].formulas.size(), 1);
        EXPECT_EQ(formulaWords(blocks[0].formulas[0]), "x^2=16");
        EXPECT_TRUE(blocks[0].text.startsWith("若"));
    }
    {
        const auto doc = word->open(items[3].questionFile);
        bool table = false;
        for (const DocumentBlock& b : doc->blocks())
            table = table || (b.table && b.text.contains("成绩"));
        EXPECT_TRUE(table);
        EXPECT_TRUE(doc->text().contains("（2）谁的成绩高？"));
    }
    EXPECT_EQ(documentText(*word, items[3].answerFile), "（1）平均分为85分；\r（2）甲的成绩高。");
    EXPECT_EQ(documentText(*word, items[4].answerFile), "");
}

TEST_F(PaperImportTest, ADocWithASeparateAnswerDocumentAndFourWaysOfNumbering) {
    const auto paper = split(test::writePaperAndAnswerDocument(*word, folder.path()));
    ASSERT_EQ(paper->count(), 4);
    const QList<ImportItem>& items = paper->items();
    EXPECT_EQ(items[0].type, "单选题");
    EXPECT_EQ(items[1].type, "单选题");
    EXPECT_EQ(items[2].type, "计算题");
    EXPECT_EQ(items[3].type, "计算题");
    EXPECT_EQ(items[0].text, "声音是由物体的（　　）产生的。\rA．振动　B．运动　C．静止");
    EXPECT_TRUE(items[2].text.contains("（2）以这个速度行驶 3 km 要多少时间？"));
    EXPECT_EQ(items[2].formulas, 1);
    EXPECT_EQ(items[3].pictures, 1);
    EXPECT_EQ(items[3].detected.answer.document, Passage::Answers);
    EXPECT_EQ(items[0].answerText, "A");
    EXPECT_EQ(items[2].answerText, "（1）v＝s/t＝1500 m÷100 s＝15 m/s；\r（2）t＝s/v＝3000 m÷15 m/s＝200 s。");
    EXPECT_EQ(paper->layout().strayAnswers, QList<int>({7}));
    EXPECT_EQ(paper->notes().first(), "答案中的第 7 题找不到对应的试题，这些答案没有用上。");
    EXPECT_EQ(documentText(*word, items[3].answerFile), "见下图。");
    EXPECT_EQ(word->open(items[3].questionFile)->pictureCount(), 1);
}

TEST_F(PaperImportTest, AWordFileWithAWordEquationAndAPicture) {
    // Made by Word's own format (see tests/data/make_test_papers.py).
    const QString path = QStringLiteral(ZS_TEST_DATA_DIR "/公式与图片.docx");
    ASSERT_TRUE(QFileInfo::exists(path));
    const auto paper = split({path, {}});
    ASSERT_EQ(paper->count(), 3);
    const QList<ImportItem>& items = paper->items();
    EXPECT_EQ(items[0].type, "单选题");
    EXPECT_EQ(items[0].formulas, 1);
    EXPECT_EQ(items[1].pictures, 1);
    EXPECT_EQ(items[2].type, "解答题");
    EXPECT_EQ(items[0].answerText, "A");
    EXPECT_EQ(items[2].answerText, "x＝2");
    {
        const auto doc = word->open(items[0].questionFile);
        const QList<DocumentBlock> blocks = doc->blocks();
        int formulas = 0;
        for (const DocumentBlock& b : blocks)
            formulas += int(b.formulas.size());
        EXPECT_EQ(formulas, 1);
    }
    EXPECT_EQ(word->open(items[1].questionFile)->pictureCount(), 1);
}

TEST_F(PaperImportTest, QuestionsNumberedByWordsAutomaticNumbering) {
    // The numbers are list labels, not text (see tests/data/make_test_papers.py).
    const auto paper = split({QStringLiteral(ZS_TEST_DATA_DIR "/自动编号.docx"), {}});
    ASSERT_EQ(paper->count(), 3);
    const QList<ImportItem>& items = paper->items();
    EXPECT_EQ(items[0].type, "单选题");
    EXPECT_EQ(items[0].detected.score.value_or(0), 2);
    EXPECT_EQ(items[0].text, "下列各数中最大的是（　　）\rA．1　　B．2");
    EXPECT_EQ(items[2].type, "解答题");
    EXPECT_EQ(items[2].text, "解下列方程：\r（1）x+1=2；\r（2）2x=6。");
    EXPECT_EQ(items[1].answerText, "A");
    EXPECT_EQ(items[2].answerText, "（1）x＝1；（2）x＝3。");
    // The question's own number is left out of its document; its sub-questions
    // keep their numbering.
    {
        const auto doc = word->open(items[0].questionFile);
        const QList<DocumentBlock> blocks = doc->blocks();
        ASSERT_EQ(blocks.size(), 2);
        EXPECT_EQ(blocks[0].labelLength, 0);
        EXPECT_EQ(blocks[0].text, "下列各数中最大的是（　　）");
    }
    {
        const auto doc = word->open(items[2].questionFile);
        const QList<DocumentBlock> blocks = doc->blocks();
        ASSERT_EQ(blocks.size(), 3);
        EXPECT_EQ(blocks[0].text, "解下列方程：");
        EXPECT_EQ(blocks[1].text, "（1）x+1=2；");
        EXPECT_EQ(blocks[1].labelLength, 3);
    }
}

TEST_F(PaperImportTest, TheTeacherMergesAndSplitsQuestions) {
    const auto paper = split(test::writePaperWithAnswerSection(*word, folder.path()));
    paper->mergeWithPrevious(1);
    ASSERT_EQ(paper->count(), 4);
    const ImportItem& merged = paper->items()[0];
    EXPECT_TRUE(merged.text.startsWith("下列各数中"));
    EXPECT_TRUE(merged.text.contains("2．如图，这个三角形是"));
    EXPECT_EQ(merged.pictures, 1);
    EXPECT_EQ(merged.answerText, "B　2．C");
    EXPECT_TRUE(documentText(*word, merged.questionFile).contains("2．如图"));
    EXPECT_EQ(word->open(merged.questionFile)->pictureCount(), 1);

    // Question 4 (now the third) split before its sub-question (2).
    const int four = 2;
    const auto paragraphs = paper->paragraphsOf(four);
    int second = -1;
    for (const auto& [block, text] : paragraphs)
        if (text.startsWith("（2）"))
            second = block;
    ASSERT_GE(second, 0);
    paper->splitAt(four, second);
    ASSERT_EQ(paper->count(), 5);
    EXPECT_EQ(paper->items()[four + 1].label, "4（续）");
    EXPECT_EQ(paper->items()[four + 1].text, "（2）谁的成绩高？");
    EXPECT_FALSE(paper->items()[four + 1].detected.answer.isValid());
    EXPECT_TRUE(paper->items()[four].text.endsWith("（1）求平均分；"));
    EXPECT_EQ(documentText(*word, paper->items()[four + 1].questionFile), "（2）谁的成绩高？");

    // A split at the first paragraph or at the table is refused.
    EXPECT_THROW(paper->splitAt(four, paragraphs.first().first), PaperImportError);
    int table = -1;
    for (const auto& [block, text] : paragraphs)
        if (text.contains(u'\t'))
            table = block;
    ASSERT_GE(table, 0);
    EXPECT_THROW(paper->splitAt(four, table), PaperImportError);
    EXPECT_EQ(paper->count(), 5);
}

TEST_F(PaperImportTest, BadPapersAreRefusedWithAClearMessage) {
    // Not a Word file, though named like one.
    const QString text = folder.file("不是试卷.doc");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just some text");
    }
    EXPECT_EQ(paperFileProblem(text),
              "这个文件不是 Word 文档（.doc 或 .docx），不能导入：\r" + QDir::toNativeSeparators(text));
    EXPECT_TRUE(paperFileProblem(folder.file("没有.doc")).startsWith("找不到文件："));
    EXPECT_TRUE(paperFileProblem(folder.file("图.png")).startsWith("找不到文件："));
    try {
        split({text, {}});
        FAIL();
    } catch (const PaperImportError& e) {
        EXPECT_TRUE(e.message().startsWith("这个文件不是 Word 文档"));
    }

    // A Word file without questions.
    const QString letter = folder.file("通知.docx");
    {
        const auto doc = word->newDocument();
        doc->append("致家长的一封信\r各位家长：\r你们好！");
        doc->saveAs(letter);
    }
    try {
        split({letter, {}});
        FAIL();
    } catch (const PaperImportError& e) {
        EXPECT_TRUE(e.message().startsWith("在这份试卷中没有找到试题")) << e.message().toStdString();
    }

    // An empty answer document.
    const QString empty = folder.file("空答案.doc");
    word->newDocument()->saveAs(empty);
    const test::TestPaper physics = test::writePaperAndAnswerDocument(*word, folder.path());
    EXPECT_THROW(split({physics.paper, empty}), PaperImportError);
}

TEST_F(PaperImportTest, QuestionsAreWrittenIntoTheBankAndCaughtWhenImportedAgain) {
    test::TestApp app;
    const test::TestPaper maths = test::writePaperWithAnswerSection(*word, folder.path());
    auto paper = split(maths);
    EXPECT_FALSE(importComplaints(paper->items()).isEmpty());
    fileAll(*paper);
    paper->item(4).included = false;
    paper->item(4).type.clear();  // an unticked question is not checked
    EXPECT_EQ(importComplaints(paper->items()), "");

    NumberPool pool;
    const QStringList numbers =
        writeImportedQuestions(paper->items(), app.bankPath(), pool, "张三", QDate(2024, 11, 5));
    EXPECT_EQ(numbers, QStringList({"00001", "00002", "00003", "00004"}));
    EXPECT_EQ(pool.slot(4), "");
    EXPECT_EQ(pool.slot(5), "00005");
    EXPECT_EQ(paperImportedMessage(numbers),
              "试卷中的试题已经导入试题库！\r\r成功导入的试题数量为： 4\r\r题目编号为：00001、00002、00003、00004");

    const RowSet rows = Bank(app.bankPath()).query("select * from 试题库");
    ASSERT_EQ(rows.count(), 4);
    EXPECT_EQ(rows.text(2, "题型"), "填空题");
    EXPECT_EQ(rows.text(2, "试题识别码"), "张三-00003");
    EXPECT_EQ(rows.text(2, "入库教师"), "张三");
    EXPECT_EQ(rows.text(2, "试题来源"), "1-期中考试");
    EXPECT_EQ(rows.text(2, "知识点"), "1-正数|2-负数");
    EXPECT_EQ(rows.date(2, "入库日期"), QDate(2024, 11, 5));
    EXPECT_EQ(documentText(*word, questionDocumentPath(app.bankPath(), "00001")), paper->items()[0].text);
    EXPECT_EQ(documentText(*word, answerDocumentPath(app.bankPath(), "00004")),
              "（1）平均分为85分；\r（2）甲的成绩高。");
    EXPECT_EQ(word->open(questionDocumentPath(app.bankPath(), "00002"))->pictureCount(), 1);

    // The same paper again: the four questions in the bank are flagged (and
    // unticked), the fifth is not; another paper is like nothing.
    const SimilarityIndex bank =
        bankSimilarityIndex(app.bankPath(), [&](const QString& path) { return documentPlainText(*word, path); });
    EXPECT_EQ(bank.size(), 4);
    TempFolder work2;
    PaperImport again(*word, work2.path());
    again.open(maths.paper, {}, Bank::defaultTypes());
    again.checkSimilarity(bank);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(again.items()[i].similar.has_value()) << i;
        EXPECT_EQ(again.items()[i].similar->number, numbers[i]);
        EXPECT_GE(again.items()[i].similar->percent, 90);
        EXPECT_FALSE(again.items()[i].included);
        EXPECT_EQ(again.items()[i].marks().first(), similarityMark(*again.items()[i].similar));
    }
    EXPECT_FALSE(again.items()[4].similar.has_value());
    EXPECT_TRUE(again.items()[4].included);

    TempFolder work3;
    PaperImport other(*word, work3.path());
    other.open(test::writePaperAndAnswerDocument(*word, folder.path()).paper, {}, Bank::defaultTypes());
    other.checkSimilarity(bank);
    for (const ImportItem& item : other.items())
        EXPECT_FALSE(item.similar.has_value()) << item.text.toStdString();
}

TEST_F(PaperImportTest, AFailureWhileWritingLeavesTheBankAndTheDocumentsFolderAsTheyWere) {
    test::TestApp app;
    const auto paper = split(test::writePaperWithAnswerSection(*word, folder.path()));
    fileAll(*paper);
    // A question already in the bank, with its documents.
    Bank(app.bankPath()).addRow("试题库", {{"题目编号", "00001"}, {"考查范围", "a\\b"}});
    test::TestApp::touch(questionDocumentPath(app.bankPath(), "00001"));
    test::TestApp::touch(answerDocumentPath(app.bankPath(), "00001"));
    const QStringList before = filesIn(app.documents());

    // The teacher gives up in the middle.
    NumberPool pool;
    try {
        writeImportedQuestions(paper->items(), app.bankPath(), pool, "张三", QDate(2024, 11, 5),
                               [](int done, int) { return done < 3; });
        FAIL();
    } catch (const PaperImportError& e) {
        EXPECT_EQ(e.message(), "已取消导入，试题库保持原样。");
    }
    EXPECT_EQ(filesIn(app.documents()), before);
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 试题库").count(), 1);

    // A second program takes hold of the bank after the documents are written.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other-program");
        other.setDatabaseName(app.bankPath());
        ASSERT_TRUE(other.open());
        QSqlQuery lock(other);
        bool locked = false;
        EXPECT_THROW(writeImportedQuestions(paper->items(), app.bankPath(), pool, "张三", QDate(2024, 11, 5),
                                            [&](int done, int total) {
                                                if (done == total - 1 && !locked) {
                                                    locked = lock.exec("BEGIN EXCLUSIVE");
                                                    EXPECT_EQ(filesIn(app.documents()).size(), before.size() + 10);
                                                }
                                                return true;
                                            }),
                     StoreError);
        EXPECT_TRUE(locked);
        lock.exec("ROLLBACK");
        lock = QSqlQuery();
        other.close();
    }
    QSqlDatabase::removeDatabase("other-program");
    EXPECT_EQ(filesIn(app.documents()), before);
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 试题库").count(), 1);

    // Afterwards the import goes through, around the question in the bank.
    const QStringList numbers =
        writeImportedQuestions(paper->items(), app.bankPath(), pool, "张三", QDate(2024, 11, 5));
    EXPECT_EQ(numbers.size(), 5);
    EXPECT_FALSE(numbers.contains("00001"));
    EXPECT_EQ(Bank(app.bankPath()).query("select distinct 题目编号 from 试题库").count(), 6);
}

TEST(TakeQuestionNumbers, ThePoolFirstThenTheNextFreeNumbers) {
    test::TestApp app;
    NumberPool pool;
    // 60 numbers: the 50 of a refilled pool, then ten more past them.
    const QStringList numbers = takeQuestionNumbers(pool, app.bankPath(), 60);
    ASSERT_EQ(numbers.size(), 60);
    EXPECT_EQ(numbers.first(), "00001");
    EXPECT_EQ(numbers[49], "00050");
    EXPECT_EQ(numbers.last(), "00060");
    for (int i = 1; i <= NumberPool::kSlots; ++i)
        EXPECT_TRUE(pool.isEmpty(i));

    // A number in the pool that has since been given documents is passed over.
    NumberPool filled;
    for (int i = 1; i <= NumberPool::kSlots; ++i)
        filled.setSlot(i, QString::number(i + 100).rightJustified(5, u'0'));
    test::TestApp::touch(questionDocumentPath(app.bankPath(), "00101"));
    EXPECT_EQ(takeQuestionNumbers(filled, app.bankPath(), 2), QStringList({"00102", "00103"}));
}
