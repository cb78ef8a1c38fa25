// Paper generation straight through PaperGeneration with the real LibreOffice:
// the printed form of the documents read back after every generation.

#include "app/appfolder.h"
#include "paper/papergeneration.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QDir>
#include <QPdfDocument>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zs;

namespace {

class PaperGenerationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        app_ = new test::TestApp;
        AppFolder(app_->dir()).prepare(test::office());
        const auto word = test::office().startWord();
        Bank bank(app_->bankPath());
        for (int i = 1; i <= 4; ++i) {
            for (const bool answer : {false, true}) {
                const auto doc = word->newDocument();
                doc->append(QStringLiteral("第%1题的%2").arg(i).arg(answer ? "答案" : "题目内容"));
                doc->saveAs(answer ? answerDocumentPath(app_->bankPath(), number(i))
                                   : questionDocumentPath(app_->bankPath(), number(i)));
            }
            bank.addRow("试题库", {{"题目编号", number(i)},
                                   {"考查范围", "1-数学\\1-第一节"},
                                   {"题型", i <= 2 ? "单选题" : "填空题"},
                                   {"难度", "0.5"},
                                   {"知识点", "1-A"},
                                   {"试题识别码", "张三-" + number(i)}});
        }
    }
    static void TearDownTestSuite() {
        delete app_;
        app_ = nullptr;
    }

    static QString number(int i) { return QString::number(i).rightJustified(5, '0'); }
    // Two single-choice and two fill-in questions, each worth 3 points.
    static SpecTable fourQuestions() {
        SpecTable t(4);
        for (int r = 1; r <= 4; ++r) {
            t.fillRow(r, number(r), "张三-" + number(r), r <= 2 ? "单选题" : "填空题", "0.5", "1-数学\\1-第一节",
                      "1-A");
            t.setCell(r, SpecTable::Score, "3");
        }
        return t;
    }

    struct Generated {
        PaperGeneration::Files files;
        QStringList copies;
        QList<QPair<int, int>> progress;
    };
    // One generation into the application's desktop, in the shared office.
    static Generated generate(const PaperSettings& settings, int minute) {
        const SpecTable table = fourQuestions();
        PaperGeneration generation(table, app_->dir(), app_->desktopFolder.path(),
                                   QDateTime(QDate(2026, 12, 9), QTime(10, minute)));
        generation.setSettings(settings);
        Generated out;
        const auto progress = [&](int value, int maximum) { out.progress << qMakePair(value, maximum); };
        const auto word = test::office().startWord();
        generation.open(*word);
        generation.writeQuestions(progress);
        generation.finish(progress);
        out.files = generation.files();
        out.copies = generation.copies();
        return out;
    }

    static test::TestApp* app_;
};

test::TestApp* PaperGenerationTest::app_ = nullptr;

}  // namespace

TEST_F(PaperGenerationTest, TenTwoColumnPapersInOneOfficeEachKeepTheSealingLineInTheMargin) {
    const auto word = test::office().startWord();
    for (int n = 0; n < 10; ++n) {
        PaperSettings settings;
        settings.title = QStringLiteral("第%1次测验").arg(n + 1);
        settings.layout = n % 2 ? PaperLayout::K8TwoColumns : PaperLayout::A3TwoColumns;
        settings.docx = n % 3 == 0;
        const Generated g = generate(settings, n);
        const double expectedX = n % 2 ? 22 : 24;
        QStringList readBack = {g.files.paper};
        if (settings.docx)
            readBack << g.copies.first();
        for (const QString& path : readBack) {
            const auto paper = word->open(path);
            const PageDecoration odd = paper->oddPageDecoration();
            ASSERT_EQ(odd.lines.size(), 1) << n << ' ' << path.toStdString();
            EXPECT_NEAR(odd.lines[0].xMm, expectedX, 0.5) << "generation " << n << ' ' << path.toStdString();
            if (path.endsWith(".docx"))
                continue;  // its boxes come back as drawings, not as frames
            ASSERT_EQ(odd.boxes.size(), 2) << n;
            // The student fields and the words stand outside the line, in the margin.
            for (const PageTextBox& box : odd.boxes)
                EXPECT_LT(box.xMm + box.widthMm, expectedX + 0.5) << "generation " << n << ' ' << path.toStdString();
        }
    }
}

TEST_F(PaperGenerationTest, AnswerKeyAndReviewPaperHeadingsProgressAndNames) {
    PaperSettings settings;
    settings.title = "期末考试";
    settings.pdf = true;
    const Generated g = generate(settings, 30);

    // One step per question, one for the PDFs, then the last one once
    // everything is saved.
    EXPECT_EQ(g.progress, (QList<QPair<int, int>>{{1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}}));

    // The student line of the A4 paper is printed on one line.
    QPdfDocument pdf;
    ASSERT_EQ(pdf.load(g.copies.first()), QPdfDocument::Error::None) << g.copies.first().toStdString();
    const QStringList lines = pdf.getAllText(0).text().split(QRegularExpression("[\r\n]+"));
    const auto student =
        std::find_if(lines.cbegin(), lines.cend(), [](const QString& l) { return l.contains("学校："); });
    ASSERT_NE(student, lines.cend()) << lines.join('|').toStdString();
    EXPECT_TRUE(student->contains("考号：")) << lines.join('|').toStdString();
    EXPECT_TRUE(student->trimmed().endsWith("_")) << lines.join('|').toStdString();
    ASSERT_NE(student + 1, lines.cend());
    EXPECT_FALSE(student[1].startsWith("_")) << lines.join('|').toStdString();

    const auto word = test::office().startWord();
    for (const QString& path : {g.files.paper, g.files.answers, g.files.review}) {
        // Every section heading is as large as the others, the first one
        // under the document's name as well.
        QList<double> sizes;
        for (const TextRun& run : word->open(path)->runs())
            if (run.text.contains(QStringLiteral("（本题共")))
                sizes << run.pointSize;
        ASSERT_EQ(sizes.size(), 2) << path.toStdString();
        EXPECT_EQ(sizes[0], sizes[1]) << path.toStdString();
        EXPECT_EQ(sizes[0], 12) << path.toStdString();
    }
    // Headings keep with their first question; a question is never split
    // and does not pull the next one along.
    int headings = 0, questions = 0;
    for (const Paragraph& p : word->open(g.files.paper)->paragraphs()) {
        if (p.text.contains(QStringLiteral("（本题共"))) {
            ++headings;
            EXPECT_TRUE(p.keepWithNext) << p.text.toStdString();
        } else if (p.text.contains(QStringLiteral("题的题目内容"))) {
            ++questions;
            EXPECT_TRUE(p.keptWhole) << p.text.toStdString();
            EXPECT_FALSE(p.keepWithNext) << p.text.toStdString();
        }
    }
    EXPECT_EQ(headings, 2);
    EXPECT_EQ(questions, 4);

    const QString review = word->open(g.files.review)->text().replace('\r', '|');
    EXPECT_GE(review.indexOf("1.（3分）[张三-00001]第1题的题目内容|参考答案：第1题的答案"), 0) << review.toStdString();
    EXPECT_FALSE(review.contains("参考答案:"));
}
