// Scores of a paper: what a teacher may type, the type scores kept in the
// bank, the scores of the placed questions, the checks of the paper settings
// and the texts of a scored paper.

#include "paper/examform.h"
#include "paper/papergeneration.h"
#include "paper/papersettings.h"
#include "paper/scores.h"
#include "paper/smartsort.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace zs;

namespace {

void put(SpecTable& t, int row, int question, const QString& type, const QString& score = {}) {
    const QString n = QString::number(question).rightJustified(5, '0');
    t.fillRow(row, n, "张三-" + n, type, "0.5", "a\\b", "1-x");
    if (!score.isEmpty())
        t.setCell(row, SpecTable::Score, score);
}

}  // namespace

TEST(Scores, WhatATeacherMayType) {
    EXPECT_EQ(parseScore("3"), 30);
    EXPECT_EQ(parseScore(" 2.5 "), 25);
    EXPECT_EQ(parseScore("4分"), 40);
    EXPECT_EQ(parseScore("１２．５"), 125);
    EXPECT_EQ(parseScore("1000"), 10000);
    for (const char* bad : {"", "0", "0.0", "-3", "2.25", "abc", "1e2", "1001", "3.", ".5", "3 5"})
        EXPECT_FALSE(parseScore(bad).has_value()) << bad;
    EXPECT_EQ(scoreText(30), "3");
    EXPECT_EQ(scoreText(25), "2.5");
    EXPECT_EQ(scoreText(5), "0.5");
}

TEST(Scores, TypeScoresAreKeptInTheBankBesideItsSixTables) {
    test::TestApp app;
    {
        Bank bank(app.bankPath());
        TypeScores scores = TypeScores::load(bank);
        EXPECT_TRUE(scores.isEmpty());
        EXPECT_EQ(scores.types(), Bank::defaultTypes());
        scores.set("单选题", 30);
        scores.set("解答题", 125);
        scores.save(bank);
        scores.set("解答题", std::nullopt);
        scores.save(bank);
    }
    Bank bank(app.bankPath());
    const TypeScores again = TypeScores::load(bank);
    EXPECT_EQ(again.of("单选题"), 30);
    EXPECT_FALSE(again.of("解答题").has_value());
    EXPECT_EQ(bank.query("select * from 题型分值").count(), 1);
    // The bank's own tables are as they were.
    EXPECT_TRUE(bank.schemaProblem().isEmpty());
}

TEST(Scores, RowsTakeTheirOwnScoreOrTheirTypesAndAQuestionCountsOnce) {
    TypeScores types;
    types.set("单选题", 30);
    SpecTable t(6);
    put(t, 1, 1, "单选题");
    put(t, 2, 2, "单选题", "5");
    put(t, 3, 3, "填空题");
    put(t, 4, 3, "填空题");  // the question's second scope
    put(t, 5, 4, "解答题", "12.5");
    EXPECT_EQ(rowScore(t, 1, types), 30);
    EXPECT_EQ(rowScore(t, 2, types), 50);
    EXPECT_FALSE(rowScore(t, 3, types).has_value());
    EXPECT_FALSE(rowScore(t, 6, types).has_value());  // no question

    setQuestionScore(t, 4, 40);  // every row of the question
    EXPECT_EQ(t.cell(3, SpecTable::Score), "4");
    EXPECT_EQ(t.cell(4, SpecTable::Score), "4");

    const SpecTable scored = withScores(t, types);
    EXPECT_EQ(scored.cell(1, SpecTable::Score), "3");
    EXPECT_EQ(scored.cell(6, SpecTable::Score), "");
    const PaperScores paper = paperScores(scored);
    EXPECT_EQ(paper.scores, (QVector<std::optional<int>>{30, 50, 40, 125}));
    EXPECT_EQ(paper.total, 245);
    EXPECT_TRUE(paper.all());
    EXPECT_EQ(placedScores(scored), (QVector<double>{3, 5, 4, 12.5}));
    EXPECT_TRUE(placedScores(withScores(t, TypeScores{})).size() == 4);
    SpecTable plain(3);
    put(plain, 1, 1, "单选题");
    EXPECT_TRUE(placedScores(withScores(plain, TypeScores{})).isEmpty());

    // A score moves with its question through the row commands and the sort;
    // a row given a new question loses the old one's.
    t.swapQuestionWithNext(2);
    EXPECT_EQ(t.cell(4, SpecTable::Score), "5");
    smartSort(t);
    for (int r = 1; r < t.rows(); ++r) {
        if (t.cell(r, SpecTable::QuestionNumber) == "00004") {
            EXPECT_EQ(t.cell(r, SpecTable::Score), "12.5");
        }
    }
    t.fillRow(1, "00009", "张三-00009", "单选题", "0.5", "a\\b", "1-x");
    EXPECT_EQ(t.cell(1, SpecTable::Score), "");
}

TEST(Scores, ScoredHeadingsAndNumbers) {
    using S = QVector<std::optional<int>>;
    EXPECT_EQ(sectionHeading(1, "选择题", 10, S(10, 30)), "一、选择题（本题共10小题，每小题3分，共30分）\r");
    EXPECT_EQ(sectionHeading(2, "解答题", 3, S{40, 40, 60}), "二、解答题（本题共3小题，共14分）\r");
    EXPECT_EQ(sectionHeading(3, "填空题", 2, S{25, 25}), "三、填空题（本题共2小题，每小题2.5分，共5分）\r");
    // Without scores (or with some missing) the heading is the old one, with the paper's count.
    EXPECT_EQ(sectionHeading(1, "单选题", 5, S(2)), "一、单选题（共有5道小题）\r");
    EXPECT_EQ(sectionHeading(11, "单选题", 5, S{30, std::nullopt}), "、单选题（共有5道小题）\r");
    EXPECT_EQ(questionLabel(1, 30), "1.（3分）");
    EXPECT_EQ(questionLabel(12, std::nullopt), "12.");
    EXPECT_EQ(timeAndMarkLine(120, 1000), "考试时间：120分钟　　满分：100分");
    EXPECT_EQ(timeAndMarkLine(0, 1000), "满分：100分");
    EXPECT_EQ(timeAndMarkLine(0, std::nullopt), "");
}

TEST(Scores, PaperSettingsAreCheckedAndRemembered) {
    PaperScores scores;
    scores.scores = {30, 30, 40};
    scores.total = 100;
    PaperSettingsInput in;
    in.title = "  期中考试\n";
    in.minutes = "90";
    in.intendedTotal = "100";
    in.layout = 2;
    in.answerSheet = true;
    PaperSettingsCheck check = checkPaperSettings(in, scores);
    EXPECT_TRUE(check.complaints.isEmpty());
    EXPECT_EQ(check.settings.title, "期中考试");
    EXPECT_EQ(check.settings.minutes, 90);
    EXPECT_EQ(check.settings.layout, PaperLayout::K8TwoColumns);
    EXPECT_EQ(check.totalWarning, "各题分值合计10分，与预定总分100分不一致。");

    in.minutes = "0";
    in.intendedTotal = "-5";
    check = checkPaperSettings(in, PaperScores{{30, std::nullopt, std::nullopt}, 30});
    EXPECT_EQ(
        check.complaints,
        QStringList({"考试时间要填写1到1440之间的整数（分钟），例如 120。",
                     "预定总分要填写一个大于0的数，最多一位小数，例如 100。",
                     "这些题目还没有分值：第2题、第3题。请在双向细目表的<分值>一列填写，或者在<分值设置>中设好它们"
                     "题型的分值。"}));

    // Nothing set: the paper as it always was.
    const PaperSettings none = checkPaperSettings(PaperSettingsInput{}, PaperScores{}).settings;
    EXPECT_FALSE(none.examForm());
    EXPECT_FALSE(none.answerSheet || none.docx || none.pdf);

    test::TestApp app;
    {
        Bank bank(app.bankPath());
        EXPECT_EQ(PaperSettings::load(bank).layout, PaperLayout::A4Portrait);
        check.settings.save(bank);
    }
    Bank bank(app.bankPath());
    const PaperSettings again = PaperSettings::load(bank);
    EXPECT_EQ(again.title, "期中考试");
    EXPECT_EQ(again.layout, PaperLayout::K8TwoColumns);
    EXPECT_TRUE(again.answerSheet);
    EXPECT_FALSE(again.intendedTotal.has_value());
}

TEST(Scores, TheLayoutsPagesAndSealingLines) {
    EXPECT_FALSE(paperPage(PaperLayout::A4Portrait).has_value());
    const PageSetup a3 = *paperPage(PaperLayout::A3TwoColumns);
    EXPECT_EQ(a3.columns, 2);
    EXPECT_TRUE(a3.landscape());
    const PageDecoration line = sealingLine(PaperLayout::A3TwoColumns);
    ASSERT_EQ(line.lines.size(), 1);
    // Everything of the sealing line stands in the left margin, inside the sheet.
    for (const PageTextBox& box : line.boxes) {
        EXPECT_GE(box.xMm, 0);
        EXPECT_LE(box.xMm + box.widthMm, a3.leftMm);
        EXPECT_LE(box.yMm + box.heightMm, a3.heightMm);
    }
    EXPECT_LT(line.lines[0].xMm, a3.leftMm);
    EXPECT_TRUE(sealingLine(PaperLayout::A4Portrait).isEmpty());
    EXPECT_EQ(answerKindOf("单选题"), AnswerKind::Choice);
    EXPECT_EQ(answerKindOf("判断题"), AnswerKind::TrueFalse);
    EXPECT_EQ(answerKindOf("填空题"), AnswerKind::Blank);
    EXPECT_EQ(answerKindOf("作文题"), AnswerKind::Area);
    EXPECT_GT(answerAreaHeightMm("作文题"), answerAreaHeightMm("计算题"));
}
