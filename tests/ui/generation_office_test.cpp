// Paper generation with the real LibreOffice: the three documents and the
// workbook read back, and the use records in the bank.

#include "app/appfolder.h"
#include "paper/answercard.h"
#include "paper/examform.h"
#include "paper/papergeneration.h"
#include "paper/paperrecord.h"
#include "paper/scores.h"
#include "scan/cardreader.h"
#include "store/bank.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/compose/Form_sdzj.h"
#include "ui/paper/Form_scsjjm.h"
#include "ui/paper/Form_sjsz.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace zs;

namespace {

// One application folder with templates and eleven questions, shared by the tests.
class GenerationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        app_ = new test::TestApp;
        AppFolder(app_->dir()).prepare(test::office());
        QImage picture(60, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int x = 10; x < 50; ++x)
            picture.setPixel(x, 20, qRgb(0, 0, 0));
        const QString picturePath = app_->folder.file("线段.png");
        picture.save(picturePath);
        const auto word = test::office().startWord();
        Bank bank(app_->bankPath());
        for (int i = 1; i <= 11; ++i) {
            const QString number = QString::number(i).rightJustified(5, '0');
            // Question 10 and its answer end with a centred figure.
            const auto figureLine = [&](WordDocument& doc) {
                if (i == 10) {
                    doc.append(QStringLiteral("\r"), songStyle(12, false, TextStyle::Align::Center));
                    doc.appendPicture(picturePath, 15);
                }
            };
            {
                const auto doc = word->newDocument();
                doc->append(QStringLiteral("第%1题的题目内容").arg(i));
                if (i == 2)
                    doc->appendPicture(picturePath, 15);
                figureLine(*doc);
                doc->saveAs(questionDocumentPath(app_->bankPath(), number));
            }
            {
                const auto doc = word->newDocument();
                doc->append(QStringLiteral("第%1题的答案").arg(i));
                figureLine(*doc);
                doc->saveAs(answerDocumentPath(app_->bankPath(), number));
            }
            const int scopes = i == 3 ? 2 : 1;
            for (int s = 1; s <= scopes; ++s)
                bank.addRow(
                    "试题库",
                    {{"题目编号", number},
                     {"考查范围", QStringLiteral("1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\%1-第%1节").arg(s)},
                     {"题型", "单选题"},
                     {"难度", "0.5"},
                     {"知识点", "1-A|2-B"},
                     {"试题识别码", "张三-" + number},
                     {"使用次数", i == 4 ? QVariant(5) : QVariant()}});
        }
    }
    static void TearDownTestSuite() {
        delete app_;
        app_ = nullptr;
    }
    void SetUp() override { app_->prompts.clear(); }

    static QString number(int i) { return QString::number(i).rightJustified(5, '0'); }
    static void put(SpecTable& t, int row, int question, const QString& type, int scope = 1) {
        t.fillRow(row, number(question), "张三-" + number(question), type, "0.5",
                  QStringLiteral("1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\%1-第%1节").arg(scope), "1-A|2-B");
    }
    // Runs the generation screen on a table and returns it finished.
    std::unique_ptr<Form_scsjjm> generate(const SpecTable& table, bool save, const PaperSettings& settings = {}) {
        auto form = std::make_unique<Form_scsjjm>(app_->state(), table, save);
        form->setSettings(settings);
        form->Form_Activate();
        return form;
    }
    static QString text(const QString& path) { return test::office().startWord()->open(path)->text(); }
    static int uses(int question) {
        return Bank(app_->bankPath())
            .query("select * from 试题库 where 题目编号='" + number(question) + "'")
            .value(0, "使用次数")
            .toInt();
    }

    static test::TestApp* app_;
};

test::TestApp* GenerationTest::app_ = nullptr;

}  // namespace

TEST_F(GenerationTest, SectionsNumbersReviewNotesAndPictures) {
    SpecTable t(6);
    put(t, 1, 1, "单选题");
    put(t, 2, 2, "单选题");
    put(t, 3, 3, "填空题", 1);
    put(t, 4, 3, "填空题", 2);  // the same question's second scope: placed once
    put(t, 5, 4, "单选题");
    const auto form = generate(t, false);
    ASSERT_TRUE(form->succeeded()) << app_->prompts.lastMessage().toStdString();
    const QStringList files = form->outputFiles();
    ASSERT_EQ(files.size(), 4);
    const QString stamp = QFileInfo(form->outputFolder()).fileName().mid(QString("试卷方案-琢石-试题库-").size(), 19);
    EXPECT_TRUE(QFileInfo(form->outputFolder()).fileName().startsWith("试卷方案-琢石-试题库-"));
    EXPECT_EQ(QFileInfo(files[0]).fileName(), "试卷-" + stamp + "-琢石-试题库.doc");

    const QString paper = text(files[0]).replace('\r', '|');
    const int h1 = paper.indexOf("一、单选题（共有3道小题）|1.第1题的题目内容|2.第2题的题目内容");
    // Question 3 fills two rows (two scopes) and counts once.
    const int h2 = paper.indexOf("二、填空题（共有1道小题）|3.第3题的题目内容");
    const int h3 = paper.indexOf("三、单选题（共有3道小题）|4.第4题的题目内容");
    EXPECT_GE(h1, 0) << paper.toStdString();
    EXPECT_GT(h2, h1) << paper.toStdString();
    EXPECT_GT(h3, h2) << paper.toStdString();
    EXPECT_EQ(paper.count("第3题的题目内容"), 1);
    EXPECT_TRUE(paper.startsWith(text(app_->state().appFile(kPaperTemplateName)).replace('\r', '|').left(10)));

    const auto word = test::office().startWord();
    const auto paperDoc = word->open(files[0]);
    EXPECT_EQ(paperDoc->pictureCount(), 1);
    bool headingBold = false;
    for (const TextRun& r : paperDoc->runs())
        if (r.text.contains("单选题（共有3道小题）"))
            headingBold = r.bold;
    EXPECT_TRUE(headingBold);

    const QString answers = text(files[1]).replace('\r', '|');
    EXPECT_GE(answers.indexOf("1.第1题的答案|2.第2题的答案"), 0) << answers.toStdString();

    const auto review = word->open(files[2]);
    const QString reviewText = review->text().replace('\r', '|');
    EXPECT_GE(reviewText.indexOf("1.[张三-00001]第1题的题目内容|参考答案：第1题的答案"), 0) << reviewText.toStdString();
    const QList<DocumentComment> notes = review->comments();
    ASSERT_EQ(notes.size(), 4);
    EXPECT_EQ(notes[0].anchorText, "[张三-00001]");
    EXPECT_EQ(notes[0].content, "\r考查范围：\r1-第1节\r知识点：\r1-A\r2-B\r难度：0.5");
    bool codeRed = false, answerBlue = false;
    for (const TextRun& r : review->runs()) {
        if (r.text.contains("[张三-00002]"))
            codeRed = r.bold && r.color == qRgb(255, 0, 0);
        if (r.text.contains("参考答案："))
            answerBlue = r.bold && r.color == qRgb(0, 0, 255);
    }
    EXPECT_TRUE(codeRed);
    EXPECT_TRUE(answerBlue);
    for (const TextRun& r : review->runs())
        if (r.text != "\r") {
            EXPECT_EQ(r.fontName, "宋体") << r.text.toStdString();
        }

    // Shown to the teacher: the workbook, then the documents, the review paper last.
    EXPECT_EQ(app_->desktop.openedFiles.last(), files[2]);
    EXPECT_TRUE(app_->desktop.openedFiles.contains(files[3]));
    EXPECT_EQ(app_->prompts.messages().last(),
              "已经完成组卷工作，<试卷><参考答案><讲评卷><双向细目表>都已保存在桌面的文件夹中了，马上为你展示~~");
}

TEST_F(GenerationTest, EachQuestionOnceCountedOnceAndLabelsInThePapersOwnAlignment) {
    // Question 1 is filed under two sections and a row stands between its two
    // rows (as after a sort); question 3 fills two rows; question 10 ends with
    // a centred figure, in its question and in its answer.
    SpecTable t(6);
    put(t, 1, 1, "单选题", 1);
    put(t, 2, 4, "单选题");
    put(t, 3, 1, "单选题", 2);
    put(t, 4, 10, "单选题");
    put(t, 5, 3, "填空题", 1);
    put(t, 6, 3, "填空题", 2);
    const int before = uses(1);
    const auto form = generate(t, true);
    ASSERT_TRUE(form->succeeded()) << app_->prompts.lastMessage().toStdString();
    EXPECT_EQ(uses(1), before + 1);

    const auto word = test::office().startWord();
    const QStringList files = form->outputFiles();
    const QString paper = text(files[0]).replace('\r', '|');
    EXPECT_EQ(paper.count("第1题的题目内容"), 1) << paper.toStdString();
    EXPECT_EQ(paper.count("第3题的题目内容"), 1) << paper.toStdString();
    EXPECT_GE(paper.indexOf("一、单选题（共有3道小题）|1.第1题的题目内容|2.第4题的题目内容|3.第10题的题目内容"), 0)
        << paper.toStdString();
    EXPECT_GE(paper.indexOf("二、填空题（共有1道小题）|4.第3题的题目内容"), 0) << paper.toStdString();

    // Headings, numbers and the answer label start left-aligned paragraphs
    // (the templates' own alignment), also right after the centred figures.
    for (int f = 0; f < 3; ++f) {
        const QList<Paragraph> paragraphs = word->open(files[f])->paragraphs();
        int labels = 0, centred = 0;
        for (const Paragraph& p : paragraphs) {
            static const QRegularExpression label(QStringLiteral("^(一|二)、|^\\d+\\.|^参考答案："));
            if (label.match(p.text).hasMatch()) {
                ++labels;
                EXPECT_EQ(p.alignment, ParagraphAlignment::Left) << f << " " << p.text.toStdString();
            }
            centred += p.text.isEmpty() && p.alignment == ParagraphAlignment::Center;
        }
        EXPECT_EQ(labels, f == 2 ? 10 : 6) << f;
        EXPECT_GE(centred, 1) << f;  // the figure keeps its own line, centred
    }
}

TEST_F(GenerationTest, TheCompletionMessageComesWhenEverythingIsSaved) {
    SpecTable t(2);
    put(t, 1, 1, "单选题");
    put(t, 2, 2, "单选题");
    // What a teacher who closes the program at the message would keep.
    QStringList atMessage;
    QString paperAtMessage;
    const QString completion = QStringLiteral("已经完成组卷工作，");
    app_->prompts.onPrompt = [&](const PromptRecord& prompt) {
        if (!prompt.text.startsWith(completion) || !paperAtMessage.isNull())
            return;
        const QStringList folders = QDir(app_->desktopFolder.path()).entryList({"试卷方案-*"}, QDir::Dirs, QDir::Time);
        ASSERT_FALSE(folders.isEmpty());
        const QDir folder(QDir(app_->desktopFolder.path()).filePath(folders.first()));
        atMessage = folder.entryList(QDir::Files | QDir::Hidden);
        const QStringList papers = folder.entryList({"试卷-*.doc"});
        ASSERT_EQ(papers.size(), 1);
        const QString copy = app_->folder.file("试卷副本.doc");
        QFile::remove(copy);
        QFile::copy(folder.filePath(papers.first()), copy);
        paperAtMessage = text(copy);
    };
    const auto form = generate(t, false);
    app_->prompts.onPrompt = nullptr;
    ASSERT_TRUE(form->succeeded()) << app_->prompts.lastMessage().toStdString();
    ASSERT_EQ(atMessage.size(), 4) << atMessage.join(' ').toStdString();  // no lock files left
    EXPECT_EQ(atMessage.filter(".xls").size(), 1) << atMessage.join(' ').toStdString();
    EXPECT_TRUE(paperAtMessage.contains("第2题的题目内容")) << paperAtMessage.toStdString();
    EXPECT_TRUE(app_->prompts.lastMessage().startsWith(completion));
}

TEST_F(GenerationTest, AWorkbookThatCouldNotBeWrittenIsNotReportedAsSaved) {
    SpecTable t(1);
    put(t, 1, 1, "单选题");
    const QString workbookTemplate = app_->state().appFile(kWorkbookTemplateName);
    const QString aside = workbookTemplate + ".aside";
    ASSERT_TRUE(QFile::rename(workbookTemplate, aside));
    const auto form = generate(t, false);
    QFile::rename(aside, workbookTemplate);
    ASSERT_TRUE(form->succeeded());
    EXPECT_EQ(form->outputFiles().size(), 3);
    const QStringList told = app_->prompts.messages();
    ASSERT_GE(told.size(), 2);
    EXPECT_TRUE(told[told.size() - 2].contains(kWorkbookTemplateName)) << told.join(" / ").toStdString();
    EXPECT_EQ(told.last(), "已经完成组卷工作，<试卷><参考答案><讲评卷>都已保存在桌面的文件夹中了，"
                           "但是<双向细目表>没有保存成功。马上为你展示~~");
}

TEST_F(GenerationTest, TheEleventhSectionHasNoNumeral) {
    SpecTable t(11);
    for (int r = 1; r <= 11; ++r)
        put(t, r, r, r % 2 ? "单选题" : "填空题");
    const auto form = generate(t, false);
    ASSERT_TRUE(form->succeeded());
    const QString paper = text(form->outputFiles()[0]).replace('\r', '|');
    EXPECT_GE(paper.indexOf("十、填空题（共有5道小题）"), 0) << paper.toStdString();
    EXPECT_GE(paper.indexOf("|、单选题（共有6道小题）"), 0) << paper.toStdString();
}

TEST_F(GenerationTest, UseRecordsOncePerPlacedQuestionOnlyWhenChosen) {
    SpecTable t(8);
    put(t, 3, 5, "单选题");
    put(t, 7, 5, "单选题");  // the same question further down: placed once
    put(t, 1, 6, "单选题", 1);
    put(t, 2, 6, "单选题", 1);  // the row above holds it: placed once
    put(t, 5, 4, "单选题");
    const int before5 = uses(5), before6 = uses(6), before4 = uses(4);
    ASSERT_TRUE(generate(t, false)->succeeded());
    EXPECT_EQ(uses(5), before5);
    ASSERT_TRUE(generate(t, true)->succeeded());  // a second paper in the same minute gets its own folder
    EXPECT_EQ(uses(5), before5 + 1);
    EXPECT_EQ(uses(6), before6 + 1);
    EXPECT_EQ(uses(4), before4 + 1);
    const RowSet rows = Bank(app_->bankPath()).query("select * from 试题库 where 题目编号='00005'");
    EXPECT_EQ(rows.date(0, "最后使用日期"), app_->clock.today());
}

// After the ninth of nine questions the bar stands at 90 % (one step is left
// for saving); it is full when the finishing message comes.
TEST_F(GenerationTest, ProgressEndsAtAHundredPercentForNineQuestions) {
    SpecTable t(9);
    for (int r = 1; r <= 9; ++r)
        put(t, r, r, "单选题");
    const auto form = generate(t, false);
    ASSERT_TRUE(form->succeeded());
    EXPECT_EQ(test::child<QLabel>(form.get(), "Label5")->text(), "已完成100%");
    EXPECT_EQ(test::child<QProgressBar>(form.get(), "ProgressBar1")->value(), 10);
    EXPECT_EQ(test::child<QProgressBar>(form.get(), "ProgressBar1")->maximum(), 10);
}

TEST_F(GenerationTest, AnEmptyTableGivesDocumentsWithoutAddedContent) {
    const SpecTable t(24);
    const auto form = generate(t, false);
    ASSERT_TRUE(form->succeeded());
    EXPECT_EQ(text(form->outputFiles()[0]), text(app_->state().appFile(kPaperTemplateName)));
    EXPECT_TRUE(QFileInfo::exists(form->outputFiles()[3]));
}

TEST_F(GenerationTest, EveryGeneratedPaperIsRecordedOnceItsDocumentsAreSaved) {
    SpecTable t(4);
    put(t, 1, 7, "单选题");
    put(t, 2, 3, "单选题", 1);
    put(t, 3, 3, "单选题", 2);  // the same question under a second scope
    put(t, 4, 8, "填空题");
    const int before = [] {
        Bank bank(app_->bankPath());
        return int(paperRecords(bank).size());
    }();
    const auto form = generate(t, false);
    ASSERT_TRUE(form->succeeded()) << app_->prompts.lastMessage().toStdString();
    Bank bank(app_->bankPath());
    const QVector<PaperRecord> papers = paperRecords(bank);
    ASSERT_EQ(int(papers.size()), before + 1);
    const PaperRecord& p = papers.first();
    EXPECT_EQ(p.folder, form->outputFolder());
    EXPECT_EQ(p.paperFile, form->outputFiles()[0]);
    EXPECT_TRUE(QFileInfo::exists(p.paperFile));
    EXPECT_EQ(p.generated, app_->clock.now());
    EXPECT_TRUE(form->outputFolder().endsWith(p.stamp) || form->outputFolder().contains(p.stamp + "("));
    ASSERT_EQ(p.questions.size(), 3);
    EXPECT_EQ(p.questions[0].questionNumber, "00007");
    EXPECT_EQ(p.questions[1].questionNumber, "00003");
    EXPECT_EQ(p.questions[1].code, "张三-00003");
    EXPECT_EQ(p.questions[2].type, "填空题");
    EXPECT_EQ(p.questions[2].number, 3);
    EXPECT_EQ(bank.schemaProblem(), "");
    // The paper is complete: nothing is left for the next start to remove.
    EXPECT_FALSE(QFileInfo::exists(generationJournalPath(app_->state().appDir())));
    EXPECT_TRUE(QFileInfo::exists(form->outputFolder()));
}

TEST_F(GenerationTest, MissingFilesAreNamedBeforeAnythingIsWritten) {
    SpecTable t(2);
    put(t, 1, 1, "单选题");
    t.fillRow(2, "00042", "张三-00042", "单选题", "0.5", "a\\b", "1-A");
    const int before = uses(1);
    const QStringList folders = QDir(app_->desktopFolder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const int papersBefore = [] {
        Bank bank(app_->bankPath());
        return int(paperRecords(bank).size());
    }();
    const auto form = generate(t, true);
    EXPECT_FALSE(form->succeeded());
    const QString message = app_->prompts.lastMessage();
    EXPECT_TRUE(message.contains("00042-题目.doc") && message.contains("00042-答案.doc")) << message.toStdString();
    EXPECT_EQ(uses(1), before);
    EXPECT_EQ(QDir(app_->desktopFolder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), folders);
    Bank bank(app_->bankPath());
    EXPECT_EQ(int(paperRecords(bank).size()), papersBefore);
}

namespace {

// A paper of two sections: three 单选题 of 3 points, two 填空题 of 4 and 2.5
// (15.5 in all).
SpecTable scoredPaper() {
    SpecTable t(6);
    const auto put = [&](int row, int question, const QString& type, const QString& score) {
        const QString n = QString::number(question).rightJustified(5, '0');
        t.fillRow(row, n, "张三-" + n, type, "0.5", "1-数学\\1-第一节", "1-A");
        t.setCell(row, SpecTable::Score, score);
    };
    put(1, 1, "单选题", "3");
    put(2, 2, "单选题", "3");
    put(3, 4, "单选题", "3");
    put(4, 5, "填空题", "4");
    put(5, 6, "填空题", "2.5");
    return t;
}

}  // namespace

TEST_F(GenerationTest, ScoredHeadingsNumbersAndTheExamHeader) {
    PaperSettings settings;
    settings.title = "2026—2027学年第一学期期中考试";
    settings.subtitle = "七年级数学试卷";
    settings.minutes = 120;
    const auto form = generate(scoredPaper(), false, settings);
    ASSERT_TRUE(form->succeeded()) << app_->prompts.lastMessage().toStdString();
    const QStringList files = form->outputFiles();
    ASSERT_EQ(files.size(), 4);

    const QString paper = text(files[0]).replace('\r', '|');
    EXPECT_TRUE(paper.startsWith("2026—2027学年第一学期期中考试|七年级数学试卷|考试时间：120分钟　　满分：15.5分|"
                                 "学校：_________　班级：_________　姓名：_________　考号：_________|"))
        << paper.toStdString();
    // Equal scores stand in the heading only; different ones at each question too.
    EXPECT_GE(paper.indexOf("一、单选题（本题共3小题，每小题3分，共9分）|1.第1题的题目内容|2.第2题的题目内容|"
                            "3.第4题的题目内容|二、填空题（本题共2小题，共6.5分）|4.（4分）第5题的题目内容|"
                            "5.（2.5分）第6题的题目内容"),
              0)
        << paper.toStdString();

    const QString answers = text(files[1]).replace('\r', '|');
    EXPECT_TRUE(answers.startsWith("2026—2027学年第一学期期中考试|七年级数学试卷|参考答案|")) << answers.toStdString();
    EXPECT_GE(answers.indexOf("一、单选题（本题共3小题，每小题3分，共9分）|1.（3分）第1题的答案"), 0)
        << answers.toStdString();
    const QString review = text(files[2]).replace('\r', '|');
    EXPECT_GE(review.indexOf("5.（2.5分）[张三-00006]第6题的题目内容|参考答案：第6题的答案"), 0)
        << review.toStdString();

    // A4 keeps the templates' page; the program numbers the pages.
    const auto word = test::office().startWord();
    const auto doc = word->open(files[0]);
    const PageSetup page = doc->pageSetup();
    EXPECT_NEAR(page.widthMm, 210, 1);
    EXPECT_EQ(page.columns, 1);
    EXPECT_EQ(doc->footer(), "第 {PAGE} 页 共 {NUMPAGES} 页");
    EXPECT_TRUE(doc->oddPageDecoration().isEmpty());
}

TEST_F(GenerationTest, WithoutScoresOrSettingsThePaperIsTheSameAsEver) {
    SpecTable t = scoredPaper();
    for (int r = 1; r < t.rows(); ++r)
        t.setCell(r, SpecTable::Score, "");
    const auto form = generate(t, false);
    ASSERT_TRUE(form->succeeded());
    const QString paper = text(form->outputFiles()[0]).replace('\r', '|');
    EXPECT_GE(paper.indexOf("一、单选题（共有3道小题）|1.第1题的题目内容"), 0) << paper.toStdString();
    EXPECT_GE(paper.indexOf("二、填空题（共有2道小题）|4.第5题的题目内容"), 0) << paper.toStdString();
    EXPECT_FALSE(paper.contains("（本题共") || paper.contains("（3分）") || paper.contains("满分：15.5分"));
    const auto word = test::office().startWord();
    const auto doc = word->open(form->outputFiles()[0]);
    EXPECT_TRUE(doc->footer().isEmpty());
    EXPECT_EQ(form->outputFiles().size(), 4);
    EXPECT_EQ(app_->prompts.lastMessage(),
              "已经完成组卷工作，<试卷><参考答案><讲评卷><双向细目表>都已保存在桌面的文件夹中了，马上为你展示~~");
}

TEST_F(GenerationTest, TwoColumnPapersWithTheSealingLineAnswerSheetAndCopies) {
    PaperSettings settings;
    settings.title = "期中考试";
    settings.minutes = 90;
    settings.layout = PaperLayout::A3TwoColumns;
    settings.answerSheet = true;
    settings.docx = true;
    settings.pdf = true;
    SpecTable t = scoredPaper();
    t.fillRow(6, "00007", "张三-00007", "解答题", "0.5", "1-数学\\1-第一节", "1-A");
    t.setCell(6, SpecTable::Score, "10");
    const auto form = generate(t, false, settings);
    ASSERT_TRUE(form->succeeded()) << app_->prompts.lastMessage().toStdString();
    const QStringList files = form->outputFiles();
    // Paper, answers, review, workbook, answer sheet, four .docx and four .pdf,
    // then the machine-readable answer sheet.
    ASSERT_EQ(files.size(), 14) << files.join(' ').toStdString();
    const QString stamp = QFileInfo(files[0]).fileName().mid(3, 18);
    EXPECT_EQ(QFileInfo(files[4]).fileName(), "答题卡-" + stamp + "-琢石-试题库.doc");
    EXPECT_EQ(QFileInfo(files[4]).path(), form->outputFolder());
    EXPECT_EQ(app_->prompts.lastMessage(), "已经完成组卷工作，<试卷><参考答案><讲评卷><答题卡><双向细目表>"
                                           "都已保存在桌面的文件夹中了，马上为你展示~~");
    EXPECT_EQ(app_->desktop.openedFiles.last(), files[2]);

    const auto word = test::office().startWord();
    {
        const auto paper = word->open(files[0]);
        const PageSetup page = paper->pageSetup();
        EXPECT_NEAR(page.widthMm, 420, 1);
        EXPECT_NEAR(page.heightMm, 297, 1);
        EXPECT_TRUE(page.landscape());
        EXPECT_EQ(page.columns, 2);
        EXPECT_EQ(paper->footer(), "第 {PAGE} 页 共 {NUMPAGES} 页");
        const PageDecoration odd = paper->oddPageDecoration();
        QStringList boxes;
        for (const PageTextBox& b : odd.boxes)
            boxes << b.text;
        EXPECT_TRUE(boxes.join('|').contains("密　　封　　线　　内　　不　　要　　答　　题"))
            << boxes.join('|').toStdString();
        EXPECT_TRUE(boxes.join('|').contains("考号：")) << boxes.join('|').toStdString();
        ASSERT_EQ(odd.lines.size(), 1);
        EXPECT_TRUE(odd.lines[0].dashed && odd.lines[0].vertical);
        EXPECT_TRUE(paper->evenPageDecoration().isEmpty());
        // Two columns on a sealed sheet: the student fields are on the line, not under the title.
        const QString body = paper->text().replace('\r', '|');
        EXPECT_TRUE(body.startsWith("期中考试|考试时间：90分钟　　满分：25.5分|")) << body.toStdString();
        EXPECT_FALSE(body.contains("学校："));
    }
    {
        const auto sheet = word->open(files[4]);
        const QString body = sheet->text().replace('\r', '|');
        EXPECT_TRUE(body.startsWith("期中考试|答题卡|考试时间：90分钟　　满分：25.5分|学校：")) << body.toStdString();
        EXPECT_GE(body.indexOf("一、单选题（本题共3小题，每小题3分，共9分）|1．　[A]　　[B]　　[C]　　[D]|2．　[A]"), 0)
            << body.toStdString();
        EXPECT_GE(body.indexOf("二、填空题（本题共2小题，共6.5分）|4．______"), 0) << body.toStdString();
        EXPECT_GE(body.indexOf("三、解答题（本题共1小题，每小题10分，共10分）"), 0) << body.toStdString();
        // Section headings stay with their first question; the questions do not.
        int headings = 0;
        for (const Paragraph& p : sheet->paragraphs()) {
            // (The empty paragraph a heading leaves before an answer area keeps with it too.)
            if (p.text.isEmpty())
                continue;
            const bool heading = p.text.contains("（本题共");
            headings += heading;
            EXPECT_EQ(p.keepWithNext, heading) << p.text.toStdString();
        }
        EXPECT_EQ(headings, 3);
        const QList<QList<QStringList>> tables = sheet->tables();
        ASSERT_EQ(tables.size(), 2);
        ASSERT_EQ(tables[0].size(), 11);  // the 考号 boxes and the digits under them
        EXPECT_EQ(tables[0][10][0], "[9]");
        EXPECT_EQ(tables[1], QList<QStringList>({{"6．（10分）"}}));
        EXPECT_NEAR(sheet->pageSetup().widthMm, 420, 1);
    }
    // The copies open: every page of each read back.
    for (int i = 5; i < 9; ++i) {
        EXPECT_TRUE(files[i].endsWith(".docx")) << files[i].toStdString();
        const auto copy = word->open(files[i]);
        EXPECT_GE(copy->pageCount(), 1);
    }
    EXPECT_EQ(word->open(files[5])->pageSetup().columns, 2);
    for (int i = 9; i < 13; ++i) {
        EXPECT_TRUE(files[i].endsWith(".pdf")) << files[i].toStdString();
        QPdfDocument pdf;
        ASSERT_EQ(pdf.load(files[i]), QPdfDocument::Error::None) << files[i].toStdString();
        EXPECT_GE(pdf.pageCount(), 1);
        // The paper and the answer sheet on A3, the answer key and review paper on A4.
        EXPECT_NEAR(pdf.pagePointSize(0).width() / 72 * 25.4, i == 9 || i == 12 ? 420 : 210, 2);
    }
    // The review paper's notes (考查范围, 知识点, 难度 per question) come along
    // as annotations of its PDF; the paper has none.
    const auto annotations = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count("/Subtype /Text") : -1;
    };
    EXPECT_EQ(QFileInfo(files[11]).fileName().left(4), "讲评卷-");
    EXPECT_EQ(annotations(files[11]), 6);
    EXPECT_EQ(annotations(files[9]), 0);

    // The machine-readable sheet: on A3, its layout kept with the paper's
    // record, every page naming the sheet and itself in its QR code.
    EXPECT_EQ(QFileInfo(files[13]).fileName(), "机读答题卡-" + stamp + "-琢石-试题库.pdf");
    Bank bank(app_->bankPath());
    const QVector<PaperRecord> records = paperRecords(bank);  // newest first
    ASSERT_GE(records.size(), 1);
    const CardLayout layout = CardLayout::fromJson(paperCardLayout(bank, records[0].id));
    ASSERT_GE(layout.pages, 1);
    EXPECT_EQ(paperOfCard(bank, layout.key), records[0].id);
    EXPECT_EQ(layout.title, "期中考试");
    EXPECT_EQ(layout.page, QSizeF(420, 297));
    ASSERT_EQ(layout.questions.size(), 6);
    EXPECT_EQ(layout.questions[0].kind, CardKind::Single);
    EXPECT_EQ(layout.questions[0].options, "ABCD");
    EXPECT_EQ(layout.questions[0].key, "");  // "第1题的答案" names no option
    EXPECT_EQ(layout.questions[3].kind, CardKind::Blank);
    EXPECT_EQ(layout.questions[5].kind, CardKind::Area);
    EXPECT_EQ(layout.questions[5].score, 100);  // tenths
    QPdfDocument card;
    ASSERT_EQ(card.load(files[13]), QPdfDocument::Error::None);
    ASSERT_EQ(card.pageCount(), layout.pages);
    EXPECT_NEAR(card.pagePointSize(0).width() / 72 * 25.4, 420, 1);
    const QSizeF points = card.pagePointSize(0);
    const QImage page = card.render(0, (points * 200 / 72).toSize());
    const CardIdentity id = findCardIdentity(page);
    EXPECT_EQ(id.key, layout.key);
    EXPECT_EQ(id.page, 0);
}

TEST_F(GenerationTest, EightKPapersAreTheirOwnSize) {
    PaperSettings settings;
    settings.layout = PaperLayout::K8TwoColumns;
    const auto form = generate(scoredPaper(), false, settings);
    ASSERT_TRUE(form->succeeded()) << app_->prompts.lastMessage().toStdString();
    const auto word = test::office().startWord();
    const auto paper = word->open(form->outputFiles()[0]);
    const PageSetup page = paper->pageSetup();
    EXPECT_NEAR(page.widthMm, 368, 1);
    EXPECT_NEAR(page.heightMm, 260, 1);
    EXPECT_EQ(page.columns, 2);
    EXPECT_EQ(paper->oddPageDecoration().lines.size(), 1);
    // Without a title of its own the templates' title block stays.
    EXPECT_TRUE(paper->text().startsWith(text(app_->state().appFile(kPaperTemplateName)).left(10)));
}

TEST_F(GenerationTest, TheSettingsScreenBeforeGeneration) {
    Form_sdzj composition(app_->state());
    SpecTable& t = composition.table();
    const SpecTable paper = scoredPaper();
    for (int r = 1; r < paper.rows(); ++r)
        for (int c = 1; c < SpecTable::kColumns; ++c)
            t.setCell(r, c, paper.cell(r, c));
    composition.showTable();
    test::child<QRadioButton>(&composition, "Option_bbc")->setChecked(true);
    const auto papers = [&] { return QDir(app_->desktopFolder.path()).entryList({"试卷方案-*"}, QDir::Dirs).size(); };
    const qsizetype before = papers();

    test::ModalScreens modal(app_->state());
    std::function<void(Form_sjsz&)> onSettings;
    modal.on<Form_sjsz>([&](Form_sjsz& s) { onSettings(s); });
    QStringList generated;
    modal.on<Form_scsjjm>([&](Form_scsjjm& g) {
        g.Form_Activate();
        generated = g.outputFiles();
    });

    // Cancel writes nothing.
    onSettings = [&](Form_sjsz& s) {
        EXPECT_EQ(s.windowTitle(), "试卷设置");
        EXPECT_EQ(test::child<QLabel>(&s, "Label_zf")->text(), "15.5分（各题分值合计）");
        EXPECT_EQ(test::child<QComboBox>(&s, "Combo_bs")->currentText(), "A4 纵向 一栏");
        EXPECT_EQ(test::child<QComboBox>(&s, "Combo_bs")->count(), 3);
        test::child<QPushButton>(&s, "Command_qx")->click();
    };
    app_->prompts.answer(Answer::Yes);
    test::child<QPushButton>(&composition, "Command_scsj")->click();
    EXPECT_EQ(papers(), before);
    EXPECT_TRUE(generated.isEmpty());

    // Bad values are named and keep the screen; a total other than intended asks.
    onSettings = [&](Form_sjsz& s) {
        test::child<QLineEdit>(&s, "Text_bt")->setText("期末考试");
        test::child<QLineEdit>(&s, "Text_xxmc")->setText(" 第一中学\n");
        test::child<QLineEdit>(&s, "Text_kssj")->setText("两小时");
        test::child<QPushButton>(&s, "Command_qd")->click();
        EXPECT_EQ(app_->prompts.lastMessage(), "考试时间要填写1到1440之间的整数（分钟），例如 120。");
        test::child<QLineEdit>(&s, "Text_kssj")->setText("100");
        test::child<QLineEdit>(&s, "Text_ydzf")->setText("100");
        EXPECT_EQ(test::child<QLabel>(&s, "Label_ts")->text(), "各题分值合计15.5分，与预定总分100分不一致。");
        app_->prompts.answer(Answer::No);
        test::child<QPushButton>(&s, "Command_qd")->click();
        EXPECT_EQ(app_->prompts.lastMessage(),
                  "各题分值合计15.5分，与预定总分100分不一致。\r仍然按各题的分值生成试卷吗？");
        EXPECT_FALSE(s.cancelled());
        EXPECT_FALSE(s.result() == QDialog::Accepted);
        test::child<QLineEdit>(&s, "Text_ydzf")->setText("15.5");
        test::child<QComboBox>(&s, "Combo_bs")->setCurrentIndex(1);
        test::child<QCheckBox>(&s, "Check_dtk")->setChecked(true);
        test::child<QSpinBox>(&s, "Spin_khws")->setValue(10);
        test::child<QPushButton>(&s, "Command_qd")->click();
        EXPECT_EQ(s.result(), QDialog::Accepted);
    };
    app_->prompts.answer(Answer::Yes);
    test::child<QPushButton>(&composition, "Command_scsj")->click();
    ASSERT_EQ(generated.size(), 6) << app_->prompts.messages().join(" / ").toStdString();
    EXPECT_TRUE(QFileInfo(generated[4]).fileName().startsWith("答题卡-"));
    EXPECT_TRUE(QFileInfo(generated[5]).fileName().startsWith("机读答题卡-"));
    {
        // The school's 考号 has ten digits: the sheet's grid has ten columns.
        Bank bank(app_->bankPath());
        const CardLayout layout = CardLayout::fromJson(paperCardLayout(bank, paperRecords(bank)[0].id));
        EXPECT_EQ(layout.examDigits, 10);
        EXPECT_EQ(layout.bubblesOf(CardBubble::Role::Digit, 9).size(), 10);
    }
    // The school's name stands above the title, on the paper and the answer sheet alike.
    EXPECT_TRUE(text(generated[0]).startsWith("第一中学\r期末考试\r考试时间：100分钟　　满分：15.5分"))
        << text(generated[0]).toStdString();
    EXPECT_TRUE(text(generated[4]).startsWith("第一中学\r期末考试\r")) << text(generated[4]).toStdString();

    // The settings are remembered for the next paper.
    Form_sjsz next(app_->state(), PaperScores{});
    EXPECT_EQ(test::child<QLineEdit>(&next, "Text_bt")->text(), "期末考试");
    EXPECT_EQ(test::child<QLineEdit>(&next, "Text_xxmc")->text(), "第一中学");  // remembered per bank
    EXPECT_EQ(test::child<QSpinBox>(&next, "Spin_khws")->value(), 10);
    EXPECT_EQ(test::child<QLineEdit>(&next, "Text_kssj")->text(), "100");
    EXPECT_EQ(test::child<QLineEdit>(&next, "Text_ydzf")->text(), "15.5");
    EXPECT_EQ(test::child<QComboBox>(&next, "Combo_bs")->currentIndex(), 1);
    EXPECT_TRUE(test::child<QCheckBox>(&next, "Check_dtk")->isChecked());
    EXPECT_FALSE(test::child<QCheckBox>(&next, "Check_pdf")->isChecked());
    EXPECT_EQ(test::child<QLabel>(&next, "Label_zf")->text(), "各题没有设置分值（试卷中不写分值）");
    Bank bank(app_->bankPath());
    PaperSettings{}.save(bank);
}

TEST_F(GenerationTest, ABPapersAreWrittenTogetherIntoOneFolderEachWithItsMark) {
    SpecTable a(2), b(2);
    put(a, 1, 5, "单选题");
    put(a, 2, 6, "单选题");
    put(b, 1, 7, "单选题");
    put(b, 2, 8, "单选题");
    PaperSettings settings;
    settings.title = QStringLiteral("期中考试");
    auto form = std::make_unique<Form_scsjjm>(app_->state(), a, true);
    form->setSettings(settings);
    form->setSecondPaper(b);
    EXPECT_EQ(form->paperMark(), "A卷");
    const int before = uses(5);
    form->Form_Activate();
    ASSERT_TRUE(form->succeeded()) << app_->prompts.lastMessage().toStdString();
    EXPECT_TRUE(app_->prompts.lastMessage().contains("A卷和B卷的")) << app_->prompts.lastMessage().toStdString();
    const QString folder = QFileInfo(form->outputFolder()).fileName();
    ASSERT_TRUE(folder.startsWith("试卷方案-琢石-试题库-AB卷-")) << folder.toStdString();
    const QStringList files = form->outputFiles();
    ASSERT_EQ(files.size(), 8);
    for (const QString& file : files)
        EXPECT_EQ(QFileInfo(file).absolutePath(), form->outputFolder()) << file.toStdString();
    const QStringList kinds = {"试卷-", "参考答案-", "讲评卷-", "双向细目表-"};
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(QFileInfo(files[i]).fileName().startsWith(kinds[i % 4] + (i < 4 ? "A卷-" : "B卷-")))
            << files[i].toStdString();
    // Every document names its paper in the title.
    const QString paperA = text(files[0]), paperB = text(files[4]);
    EXPECT_TRUE(paperA.startsWith("期中考试（A卷）\r")) << paperA.toStdString();
    EXPECT_TRUE(paperB.startsWith("期中考试（B卷）\r")) << paperB.toStdString();
    EXPECT_TRUE(paperA.contains("第5题的题目内容") && !paperA.contains("第7题的题目内容"));
    EXPECT_TRUE(paperB.contains("第7题的题目内容") && paperB.contains("第8题的题目内容"));
    EXPECT_TRUE(text(files[5]).startsWith("期中考试（B卷）\r")) << text(files[5]).toStdString();
    EXPECT_TRUE(text(files[6]).startsWith("期中考试（B卷）\r")) << text(files[6]).toStdString();
    EXPECT_EQ(uses(5), before + 1);
    // Two papers recorded, each by its mark, in the one folder.
    Bank bank(app_->bankPath());
    const QList<PaperRecord> records = paperRecords(bank);
    ASSERT_GE(records.size(), 2);
    QStringList stamps;
    for (const PaperRecord& r : records.mid(0, 2)) {
        EXPECT_EQ(r.folder, form->outputFolder());
        stamps << r.stamp.left(3);
    }
    stamps.sort();
    EXPECT_EQ(stamps, QStringList({"A卷-", "B卷-"}));
}
