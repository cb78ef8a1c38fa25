// Paper generation with the real LibreOffice: the three documents and the
// workbook read back, and the use records in the bank.

#include "app/appfolder.h"
#include "compose/papergeneration.h"
#include "store/paths.h"
#include "support/testsupport.h"
#include "ui/Form_scsjjm.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
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
    std::unique_ptr<Form_scsjjm> generate(const SpecTable& table, bool save) {
        auto form = std::make_unique<Form_scsjjm>(app_->state(), table, save);
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
    EXPECT_GE(reviewText.indexOf("1.[张三-00001]第1题的题目内容|参考答案:第1题的答案"), 0) << reviewText.toStdString();
    const QList<DocumentComment> notes = review->comments();
    ASSERT_EQ(notes.size(), 4);
    EXPECT_EQ(notes[0].anchorText, "[张三-00001]");
    EXPECT_EQ(notes[0].content, "\r考查范围：\r1-第1节\r知识点：\r1-A\r2-B\r难度：0.5");
    bool codeRed = false, answerBlue = false;
    for (const TextRun& r : review->runs()) {
        if (r.text.contains("[张三-00002]"))
            codeRed = r.bold && r.color == qRgb(255, 0, 0);
        if (r.text.contains("参考答案:"))
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
            static const QRegularExpression label(QStringLiteral("^(一|二)、|^\\d+\\.|^参考答案:"));
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

TEST_F(GenerationTest, ProgressEndsAtNinetyPercentForNineQuestions) {
    SpecTable t(9);
    for (int r = 1; r <= 9; ++r)
        put(t, r, r, "单选题");
    const auto form = generate(t, false);
    ASSERT_TRUE(form->succeeded());
    EXPECT_EQ(form->findChild<QLabel*>("Label5")->text(), "已完成90%");
}

TEST_F(GenerationTest, AnEmptyTableGivesDocumentsWithoutAddedContent) {
    const SpecTable t(24);
    const auto form = generate(t, false);
    ASSERT_TRUE(form->succeeded());
    EXPECT_EQ(text(form->outputFiles()[0]), text(app_->state().appFile(kPaperTemplateName)));
    EXPECT_TRUE(QFileInfo::exists(form->outputFiles()[3]));
}

TEST_F(GenerationTest, MissingFilesAreNamedBeforeAnythingIsWritten) {
    SpecTable t(2);
    put(t, 1, 1, "单选题");
    t.fillRow(2, "00042", "张三-00042", "单选题", "0.5", "a\\b", "1-A");
    const int before = uses(1);
    const QStringList folders = QDir(app_->desktopFolder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const auto form = generate(t, true);
    EXPECT_FALSE(form->succeeded());
    const QString message = app_->prompts.lastMessage();
    EXPECT_TRUE(message.contains("00042-题目.doc") && message.contains("00042-答案.doc")) << message.toStdString();
    EXPECT_EQ(uses(1), before);
    EXPECT_EQ(QDir(app_->desktopFolder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), folders);
}

TEST_F(GenerationTest, ABPapersCarryTheirMarkInTheFolderAndEveryFile) {
    SpecTable t(2);
    put(t, 1, 5, "单选题");
    put(t, 2, 6, "单选题");
    auto form = std::make_unique<Form_scsjjm>(app_->state(), t, false);
    form->setPaperMark("B卷");
    form->Form_Activate();
    ASSERT_TRUE(form->succeeded()) << app_->prompts.lastMessage().toStdString();
    const QString folder = QFileInfo(form->outputFolder()).fileName();
    ASSERT_TRUE(folder.startsWith("试卷方案-琢石-试题库-B卷-")) << folder.toStdString();
    const QString stamp = folder.mid(QString("试卷方案-琢石-试题库-B卷-").size(), 19);
    const QStringList files = form->outputFiles();
    ASSERT_EQ(files.size(), 4);
    EXPECT_EQ(QFileInfo(files[0]).fileName(), "试卷-B卷-" + stamp + "-琢石-试题库.doc");
    EXPECT_EQ(QFileInfo(files[1]).fileName(), "参考答案-B卷-" + stamp + "-琢石-试题库.doc");
    EXPECT_EQ(QFileInfo(files[2]).fileName(), "讲评卷-B卷-" + stamp + "-琢石-试题库.doc");
    EXPECT_TRUE(QFileInfo(files[3]).fileName().startsWith("双向细目表-B卷-")) << files[3].toStdString();
    const QString paper = text(files[0]);
    EXPECT_TRUE(paper.contains("第5题的题目内容") && paper.contains("第6题的题目内容")) << paper.toStdString();
}
