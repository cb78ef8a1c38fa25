// Paper records, score sheets, the figures of the results, the difficulty
// update and the follow-up practice, on real banks.

#include "paper/paperrecord.h"
#include "results/resultstats.h"
#include "results/resultsworkbook.h"
#include "results/scoresheet.h"
#include "support/pgcluster.h"
#include "support/samplebank.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace zs;

namespace {

QString number(int i) {
    return QString::number(i).rightJustified(5, '0');
}

// A table of `questions` questions of 单选题 and 填空题; question 2 stands in two
// scope rows.
SpecTable paperTable(int questions) {
    SpecTable t(questions + 1);
    int row = 1;
    for (int q = 1; q <= questions; ++q) {
        const QString points = q % 2 ? QStringLiteral("1-A|2-B") : QStringLiteral("3-C");
        t.fillRow(row++, number(q), "张三-" + number(q), q <= 3 ? "单选题" : "填空题", "0.5",
                  QStringLiteral("1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\1-第一节"), points);
        if (q == 2)
            t.fillRow(row++, number(q), "张三-" + number(q), "单选题", "0.5",
                      QStringLiteral("1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\2-第二节"), "4-D");
    }
    t.setRows(row);
    return t;
}

// Stores questions 1..n in the bank (question 2 under two scopes).
void addQuestions(Bank& bank, int n, const QString& difficulty = "0.5") {
    for (int q = 1; q <= n; ++q) {
        test::SampleQuestion s{number(q), "张三-" + number(q), q <= 3 ? "单选题" : "填空题", difficulty, {}, {}};
        s.scopes << qMakePair(test::kSection11, QString(q % 2 ? "1-A|2-B" : "3-C"));
        if (q == 2)
            s.scopes << qMakePair(test::kSection12, QString("1-D"));
        test::addSampleQuestion(bank, s);
    }
}

// A school bank of the private cluster with the sample catalogue and
// questions 1..n; empty when this machine has no PostgreSQL.
QString schoolBankWithQuestions(const test::TempFolder& folder, int n) {
    const QString location = test::newBank(test::StoreKind::Server, folder);
    if (!location.isEmpty()) {
        Bank bank(location);
        test::addSampleCatalogue(bank);
        addQuestions(bank, n);
    }
    return location;
}

}  // namespace

TEST(PaperRecord, AGeneratedPaperIsStoredWithEveryQuestionNumberInNewTables) {
    test::TestApp app;
    const SpecTable t = paperTable(4);
    QVector<int> rows = {1, 2, 4, 5};  // the placed rows: question 2's second scope row is not placed
    const QDateTime when(QDate(2026, 3, 5), QTime(14, 7));
    EXPECT_EQ(recordGeneratedPaper(app.bankPath(), t, rows, when, "/tmp/试卷方案", "/tmp/试卷方案/试卷.doc"), "");
    EXPECT_EQ(recordGeneratedPaper(app.bankPath(), t, {1, 2}, when, "/tmp/试卷方案", "/tmp/试卷方案/B卷.doc", "B卷"),
              "");

    Bank bank(app.bankPath());
    EXPECT_EQ(bank.schemaProblem(), "");
    EXPECT_EQ(bank.query("select * from 试题库").columns(), QStringList({"ID"}) + questionColumns());
    const QVector<PaperRecord> papers = paperRecords(bank);
    ASSERT_EQ(papers.size(), 2);  // two papers of one generation are two records, newest first
    EXPECT_EQ(papers[0].paperFile, "/tmp/试卷方案/B卷.doc");
    EXPECT_EQ(papers[0].questions.size(), 2);
    EXPECT_EQ(papers[0].title, "数学（2题）B卷");
    EXPECT_EQ(papers[0].stamp, "B卷-2026年03月05日-14时07分");
    const PaperRecord& p = papers[1];
    EXPECT_GT(p.id, 0);
    EXPECT_EQ(p.stamp, "2026年03月05日-14时07分");
    EXPECT_EQ(p.folder, "/tmp/试卷方案");
    EXPECT_EQ(p.title, "数学（4题）");
    EXPECT_EQ(p.listText(), "2026-03-05 14:07  数学（4题）");
    ASSERT_EQ(p.questions.size(), 4);
    EXPECT_EQ(p.questions[1].number, 2);
    EXPECT_EQ(p.questions[1].questionNumber, "00002");
    EXPECT_EQ(p.questions[1].code, "张三-00002");
    EXPECT_EQ(p.questions[1].type, "单选题");
    EXPECT_EQ(p.questions[1].knowledge, "3-C|4-D");  // the points of both scope rows
    EXPECT_EQ(p.questions[1].score, "");             // the table states no score yet
    EXPECT_EQ(p.questions[3].questionNumber, "00004");
    EXPECT_TRUE(bank.query("select 分值 from 试卷题目").isNull(0, "分值"));
}

TEST(PaperRecord, ARecordThatCannotBeWrittenIsReportedNotThrown) {
    test::TempFolder folder;
    const QString problem = recordGeneratedPaper(folder.file("没有.mdb"), paperTable(2), {1, 2},
                                                 QDateTime::currentDateTime(), folder.path(), folder.file("试卷.doc"));
    EXPECT_TRUE(problem.contains("没有.mdb")) << problem.toStdString();
}

TEST(PaperRecord, UnfinishedGenerationFoldersAreRemovedOrRenamedWhenTheyHoldTheTeachersFiles) {
    test::TempFolder folder;
    const QString app = folder.file("app");
    const QString clean = folder.file("桌面/试卷方案-琢石-试题库-2026年03月05日-09时00分");
    const QString mixed = clean + "(2)";
    const QString done = clean + "(3)";
    const QString never = clean + "(4)";  // noted, then killed before it was made
    for (const QString& f : {app, clean, mixed, done})
        ASSERT_TRUE(QDir().mkpath(f));
    auto write = [](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    };
    for (const QString& f : {clean, mixed}) {
        write(f + "/试卷-2026年03月05日-09时00分-琢石-试题库.doc");
        write(f + "/.~lock.试卷-2026年03月05日-09时00分-琢石-试题库.doc#");
    }
    write(mixed + "/我的笔记.txt");
    for (const QString& f : {clean, mixed, done, never})
        noteGenerationStarted(app, f);
    noteGenerationFinished(app, done);
    ASSERT_TRUE(QFileInfo::exists(generationJournalPath(app)));

    const QVector<UnfinishedPaper> papers = recoverInterruptedGenerations(app);
    ASSERT_EQ(papers.size(), 2);
    EXPECT_EQ(papers[0].folder, clean);
    EXPECT_EQ(papers[0].renamed, "");
    EXPECT_FALSE(QFileInfo::exists(clean));
    EXPECT_EQ(papers[1].folder, mixed);
    EXPECT_EQ(papers[1].renamed, mixed + "（未完成）");
    EXPECT_EQ(QDir(mixed + "（未完成）").entryList(QDir::Files | QDir::Hidden), QStringList({"我的笔记.txt"}));
    EXPECT_TRUE(QFileInfo::exists(done));  // a finished paper stays as it is
    EXPECT_FALSE(QFileInfo::exists(generationJournalPath(app)));
    EXPECT_EQ(unfinishedPapersMessage(papers),
              "上次生成试卷时程序中途退出了，那份试卷没有生成完，试题的使用次数也没有改动。\r\r"
              "没有生成完的试卷文件夹已删除：\r" +
                  clean + "\r\r以下文件夹中还有别的文件，已改名保留：\r" + mixed + "（未完成）\r\r请重新生成试卷。");
    EXPECT_TRUE(recoverInterruptedGenerations(app).isEmpty());
    EXPECT_EQ(unfinishedPapersMessage({}), "");
}

TEST(PaperRecord, APaperAndTheUseOfItsQuestionsAreRecordedTogetherOrNotAtAll) {
    test::TestApp app;
    {
        Bank bank(app.bankPath());
        for (int q = 1; q <= 2; ++q)
            bank.addRow("试题库", {{"题目编号", number(q)}, {"试题识别码", "张三-" + number(q)}, {"难度", "0.5"}});
    }
    const QDateTime when(QDate(2026, 3, 5), QTime(9, 0));
    const QuestionUse use{{"00001", "00002", "00002"}, when.date()};
    EXPECT_EQ(recordGeneratedPaper(app.bankPath(), paperTable(2), {1, 2}, when, "/tmp/试卷方案",
                                   "/tmp/试卷方案/试卷.doc", {}, use),
              "");
    {
        Bank bank(app.bankPath());
        EXPECT_EQ(paperRecords(bank).size(), 1);
        const RowSet rows = bank.query("select 使用次数, 最后使用日期 from 试题库 order by 题目编号");
        EXPECT_EQ(rows.value(0, 0).toInt(), 1);
        EXPECT_EQ(rows.value(1, 0).toInt(), 2);
        EXPECT_EQ(rows.date(1, "最后使用日期"), when.date());
        // A record that fails takes the use with it.
        bank.execute("CREATE TRIGGER 拒绝 BEFORE INSERT ON 试卷题目 BEGIN SELECT RAISE(ABORT, 'no'); END");
    }
    EXPECT_NE(recordGeneratedPaper(app.bankPath(), paperTable(2), {1, 2}, when, "/tmp/试卷方案(2)",
                                   "/tmp/试卷方案(2)/试卷.doc", {}, use),
              "");
    Bank bank(app.bankPath());
    EXPECT_EQ(paperRecords(bank).size(), 1);
    EXPECT_EQ(bank.query("select 使用次数 from 试题库 where 题目编号='00002'").value(0, 0).toInt(), 2);
}

TEST(ScoreSheet, HeaderVariantsNameTheirQuestionMarkAndOptions) {
    struct Case {
        QString header;
        int question;
        double mark;
        bool options;
    };
    const Case cases[] = {
        {"1", 1, 0, false},
        {"第1题", 1, 0, false},
        {"T1", 1, 0, false},
        {"t12", 12, 0, false},
        {"1(3分)", 1, 3, false},
        {"1（3分）", 1, 3, false},
        {"第 2 题（4分）", 2, 4, false},
        {"T3(2.5)", 3, 2.5, false},
        {"１２", 12, 0, false},
        {"Q7", 7, 0, false},
        {"1选项", 1, 0, true},
        {"第5题作答", 5, 0, true},
        {"T6答案", 6, 0, true},
        {"姓名", 0, 0, false},
        {"总分", 0, 0, false},
        {"考号", 0, 0, false},
        {"0", 0, 0, false},
        {"", 0, 0, false},
        {"1-1", 0, 0, false},
        {"班级2", 0, 0, false},
    };
    for (const Case& c : cases) {
        const HeaderMeaning m = readHeader(c.header);
        EXPECT_EQ(m.question, c.question) << c.header.toStdString();
        EXPECT_DOUBLE_EQ(m.fullMark, c.mark) << c.header.toStdString();
        EXPECT_EQ(m.options, c.options) << c.header.toStdString();
    }
}

TEST(ScoreSheet, TheHeaderRowIsFoundBelowATitleAndColumnsAreMapped) {
    const QList<QStringList> cells = {
        {"七年级数学期中考试小题分", "", "", "", "", ""},
        {"考号", "姓名", "第1题", "1选项", "T2(4分)", "3"},
        {"001", "甲", "3", "A", "4", "2"},
        {"002", "乙", "0", "C", "2"},  // a short row is padded
        {"", "", "", "", "", ""},
    };
    const ScoreSheet sheet = scoreSheetFromCells(cells, "成绩.xlsx");
    EXPECT_EQ(sheet.headerRow, 2);
    ASSERT_EQ(sheet.rows.size(), 2);
    EXPECT_EQ(sheet.rows[1].size(), 6);
    EXPECT_EQ(sheet.sheetRow(1), 4);

    const ScoreMapping m = automaticMapping(sheet, 4, {"", "", "5", "6"});
    EXPECT_EQ(m.scoreColumn, QVector<int>({2, 4, 5, -1}));
    EXPECT_EQ(m.optionColumn, QVector<int>({3, -1, -1, -1}));
    // The header's mark wins over the paper's; the paper's comes next.
    EXPECT_EQ(m.fullMark, QVector<double>({0, 4, 5, 6}));
}

TEST(ScoreSheet, BadCellsAreNamedAndTheirStudentsLeftOut) {
    const QList<QStringList> cells = {
        {"姓名", "1(3分)", "2(5分)", "3"},
        {"甲", "3", "5", "2"},
        {"乙", "缺", "4", "1"},  // text in a score cell
        {"丙", "2", "6", "0"},   // above the full mark
        {"丁", "", "", ""},      // absent
        {"戊", "-1", "2", "1"},  // below zero
        {"己", "1", "", "1"},    // a missing score
        {"庚", "2", "3", "4"},
        {"平均分", "2", "4", "2"},  // a summary row is no student
    };
    const ScoreSheet sheet = scoreSheetFromCells(cells, "成绩.csv");
    const ScoreCheck check = checkScores(sheet, automaticMapping(sheet, 3));
    EXPECT_EQ(check.refusal, "");
    EXPECT_EQ(check.students(), 2);
    EXPECT_EQ(check.studentRows, QVector<int>({0, 6}));
    EXPECT_EQ(check.absent, 1);
    EXPECT_EQ(check.fullMarks, QVector<double>({3, 5, 4}));  // question 3: the highest score seen
    EXPECT_TRUE(check.badCells.contains({1, 1}));
    EXPECT_TRUE(check.badCells.contains({2, 2}));
    EXPECT_TRUE(check.badCells.contains({4, 1}));
    EXPECT_TRUE(check.badCells.contains({5, 2}));
    EXPECT_EQ(check.badCells.size(), 4);
    EXPECT_EQ(check.problems, QStringList({
                                  "第 3 行“1(3分)”列：“缺”不是分数",
                                  "第 4 行“2(5分)”列：分数 6 超过满分 5 分",
                                  "第 6 行“1(3分)”列：分数 -1 小于 0",
                                  "第 7 行“2(5分)”列：没有分数",
                                  "有 4 名学生的成绩中有无效的分数，不计入统计。",
                                  "有 1 名学生没有任何小题分，按缺考不计入统计。",
                              }));
}

TEST(ScoreSheet, EmptySheetsMissingColumnsAndOtherCountsAreRefusedOrNamed) {
    const ScoreSheet empty = scoreSheetFromCells({}, "空.xlsx");
    EXPECT_EQ(checkScores(empty, automaticMapping(empty, 3)).refusal,
              "成绩表是空的，没有可以统计的学生成绩：\r空.xlsx");
    const ScoreSheet headersOnly = scoreSheetFromCells({{"姓名", "1", "2"}}, "表头.xlsx");
    EXPECT_FALSE(checkScores(headersOnly, automaticMapping(headersOnly, 2)).refusal.isEmpty());

    const ScoreSheet noQuestions =
        scoreSheetFromCells(QList<QStringList>{QStringList{"姓名", "语文"}, QStringList{"甲", "90"}}, "别的.xlsx");
    EXPECT_EQ(checkScores(noQuestions, automaticMapping(noQuestions, 2)).refusal,
              "成绩表中找不到小题分的列（列名应为“1”“第1题”“T1”“1(3分)”之类），请在对应表中为每道题选择成绩表的列。");

    const ScoreSheet fewer = scoreSheetFromCells({{"姓名", "1", "2", "4"}, {"甲", "1", "2", "3"}}, "少.xlsx");
    const ScoreCheck check = checkScores(fewer, automaticMapping(fewer, 4));
    EXPECT_EQ(check.refusal, "");
    EXPECT_EQ(check.problems.value(0), "成绩表有 3 个小题分的列，试卷有 4 道题，请核对对应关系。");
    EXPECT_EQ(check.problems.value(1), "第 3 题在成绩表中没有对应的列，不参加统计。");
    EXPECT_EQ(check.measured, QVector<bool>({true, true, false, true}));

    // The teacher maps a column by hand and states its full mark.
    ScoreMapping fixed = automaticMapping(fewer, 4);
    fixed.scoreColumn[2] = 3;
    fixed.fullMark[2] = 2;
    const ScoreCheck refixed = checkScores(fewer, fixed);
    EXPECT_TRUE(refixed.measured[2]);
    EXPECT_TRUE(refixed.badCells.contains({0, 3}));  // 3 is above the stated 2
}

TEST(ResultFigures, MeansRatesDifficultiesAndDiscriminationMatchAReference) {
    std::mt19937 random(7);
    const int students = 200, questions = 12;
    const QVector<double> marks = {3, 3, 3, 3, 4, 4, 4, 4, 6, 6, 10, 12};
    QList<QStringList> cells;
    QStringList header{"考号", "姓名"};
    for (int q = 1; q <= questions; ++q)
        header << (q % 3 == 0   ? QString("第%1题").arg(q)
                   : q % 3 == 1 ? QString("%1(%2分)").arg(q).arg(marks[q - 1])
                                : QString("T%1").arg(q));
    header << "1选项";
    cells << header;
    for (int s = 0; s < students; ++s) {
        QStringList row{QString::number(1000 + s), "学生"};
        const double ability = std::uniform_real_distribution<double>(0, 1)(random);
        for (int q = 0; q < questions; ++q) {
            const int score = std::binomial_distribution<int>(int(marks[q]), ability)(random);
            // Half marks on question 12.
            row << (q == 11 && score > 0 ? QString::number(score - 0.5) : QString::number(score));
        }
        row << QString("ABCD"[s % 4]) + (s % 10 == 0 ? "C" : "");
        cells << row;
    }
    // Every question reaches its full mark once, so that the marks not stated
    // in the headers are the marks.
    QStringList top{"9999", "满分"};
    for (int q = 0; q < questions; ++q)
        top << QString::number(marks[q]);
    top << "";
    cells << top;

    const ScoreSheet sheet = scoreSheetFromCells(cells, "成绩.xlsx");
    const ScoreCheck check = checkScores(sheet, automaticMapping(sheet, questions));
    ASSERT_EQ(check.refusal, "");
    ASSERT_EQ(check.students(), students + 1);
    const QVector<QuestionResult> results = questionResults(check);

    // The reference: straight from the cells.
    const int n = students + 1;
    QVector<QVector<double>> v(n, QVector<double>(questions));
    QVector<QPair<double, int>> totals;
    for (int s = 0; s < n; ++s) {
        double total = 0;
        for (int q = 0; q < questions; ++q)
            total += v[s][q] = cells[s + 1][q + 2].toDouble();
        totals << qMakePair(-total, s);
    }
    std::sort(totals.begin(), totals.end());
    const int k = int(std::lround(0.27 * n));
    ASSERT_EQ(k, 54);
    for (int q = 0; q < questions; ++q) {
        double sum = 0, upper = 0, lower = 0;
        for (int s = 0; s < n; ++s)
            sum += v[s][q];
        for (int i = 0; i < k; ++i) {
            upper += v[totals[i].second][q];
            lower += v[totals[n - 1 - i].second][q];
        }
        const double mean = sum / n, rate = mean / marks[q];
        const QuestionResult& r = results[q];
        ASSERT_TRUE(r.measured) << q;
        EXPECT_EQ(r.number, q + 1);
        EXPECT_EQ(r.students, n);
        EXPECT_DOUBLE_EQ(r.fullMark, marks[q]);
        EXPECT_NEAR(r.mean, mean, 1e-9);
        EXPECT_NEAR(r.rate, rate, 1e-9);
        EXPECT_NEAR(r.discrimination, (upper - lower) / k / marks[q], 1e-9);
        const int level = std::clamp(int(std::lround((1 - rate) * 10)), 1, 10);
        EXPECT_EQ(r.difficulty, level == 10 ? QString("1.0") : QString("0.%1").arg(level));
        EXPECT_GT(r.discrimination, 0.2) << "abler students score higher on every question";
    }
    // The options of question 1: A, B, C, D in turn, every tenth student CC/AC…
    const auto& shares = results[0].optionShares;
    ASSERT_FALSE(shares.isEmpty());
    double total = 0;
    for (const auto& s : shares)
        total += s.second;
    EXPECT_NEAR(total, 1.0, 1e-9);
    EXPECT_EQ(shares.last().first, "未答");  // the full-mark row gave none
    EXPECT_NEAR(shares.last().second, 1.0 / n, 1e-12);
    EXPECT_EQ(shares.first().first, "A");
    EXPECT_NEAR(shares.first().second, 40.0 / n, 1e-12);  // s % 4 == 0 but not s % 20 == 0 (those gave AC)
    EXPECT_EQ(shares[1].first, "AC");
    EXPECT_NEAR(shares[1].second, 10.0 / n, 1e-12);
    EXPECT_TRUE(results[1].optionShares.isEmpty());
}

TEST(ResultFigures, DifficultyLevelsOnTheBanksScale) {
    EXPECT_EQ(measuredDifficulty(1.0), "0.1");  // never below the lowest level
    EXPECT_EQ(measuredDifficulty(0.96), "0.1");
    EXPECT_EQ(measuredDifficulty(0.74), "0.3");
    EXPECT_EQ(measuredDifficulty(0.5), "0.5");
    EXPECT_EQ(measuredDifficulty(0.12), "0.9");
    EXPECT_EQ(measuredDifficulty(0.0), "1.0");
    EXPECT_EQ(groupSize(1), 1);
    EXPECT_EQ(groupSize(10), 3);
    EXPECT_EQ(groupSize(100), 27);
}

TEST(ResultFigures, KnowledgePointsWeakestFirst) {
    PaperRecord paper;
    for (const char* k : {"1-A|2-B", "2-B", "3-C", "1-A|3-C", ""})
        paper.questions << PaperQuestion{int(paper.questions.size()) + 1, "", "", "", "", QString(k), ""};
    QVector<QuestionResult> results(5);
    const double means[] = {2, 1, 4, 3, 1}, marks[] = {4, 4, 5, 4, 2};
    for (int i = 0; i < 5; ++i)
        results[i] = QuestionResult{i + 1, true, 10, marks[i], means[i], means[i] / marks[i], 0, "", {}};
    results[3].measured = false;
    const QVector<KnowledgeResult> points = knowledgeResults(paper, results);
    ASSERT_EQ(points.size(), 3);
    EXPECT_EQ(points[0].point, "2-B");  // (2 + 1) / 8
    EXPECT_NEAR(points[0].rate, 3.0 / 8, 1e-12);
    EXPECT_EQ(points[0].questions, 2);
    EXPECT_EQ(points[1].point, "1-A");  // 2 / 4: the unmeasured question 4 does not count
    EXPECT_EQ(points[1].questions, 1);
    EXPECT_EQ(points[2].point, "3-C");  // 4 / 5
}

namespace {

QVector<QuestionResult> resultsWithRates(const QVector<double>& rates, int students) {
    QVector<QuestionResult> out;
    for (int i = 0; i < rates.size(); ++i)
        out << QuestionResult{
            i + 1, rates[i] >= 0, students, 10, rates[i] * 10, rates[i], 0.3, measuredDifficulty(rates[i]), {}};
    return out;
}

QStringList difficulties(Bank& bank, const QString& question) {
    return bank.query("select 难度 from 试题库 where 题目编号='" + question + "'").texts();
}

}  // namespace

TEST(DifficultyUpdate, AllScopeRowsChangeInOneTransactionAndTheOriginalIsKept) {
    test::TestApp app;
    Bank bank(app.bankPath());
    test::addSampleCatalogue(bank);
    addQuestions(bank, 4);
    const SpecTable t = paperTable(4);
    PaperRecord paper = paperRecordOf(t, {1, 2, 4, 5}, QDateTime(QDate(2026, 3, 5), QTime(9, 0)), "s", "f", "p");
    savePaperRecord(bank, paper);

    // Question 1 went well, question 2 badly, question 3 as guessed; 4 has no column.
    const QDateTime when(QDate(2026, 3, 9), QTime(10, 0));
    const DifficultyUpdate update = updateDifficulties(bank, paper, resultsWithRates({0.9, 0.2, 0.5, -1}, 40), when);
    EXPECT_EQ(update.measured, 3);
    EXPECT_EQ(update.missing, 0);
    ASSERT_EQ(update.changes.size(), 2);
    EXPECT_EQ(difficultyUpdateMessage(update), "已经按成绩更新了 3 道题的难度，其中 2 道题的难度等级有变化。");
    EXPECT_EQ(difficulties(bank, "00001"), QStringList({"0.1"}));
    EXPECT_EQ(difficulties(bank, "00002"), QStringList({"0.8", "0.8"}));  // both scope rows
    EXPECT_EQ(difficulties(bank, "00003"), QStringList({"0.5"}));
    EXPECT_EQ(difficulties(bank, "00004"), QStringList({"0.5"}));

    const RowSet history = bank.query("select * from 难度历史 order by 题目编号");
    ASSERT_EQ(history.count(), 2);
    EXPECT_EQ(history.text(0, "题目编号"), "00001");
    EXPECT_EQ(history.text(0, "试题识别码"), "张三-00001");
    EXPECT_EQ(history.text(0, "原难度"), "0.5");
    EXPECT_EQ(history.text(0, "新难度"), "0.1");
    EXPECT_EQ(history.value(0, "试卷编号").toInt(), paper.id);
    EXPECT_EQ(history.text(0, "修改时间"), "2026-03-09 10:00:00");
    EXPECT_EQ(bank.query("select * from 试卷成绩").count(), 3);

    // A second paper with question 2: 120 students at 0.6 against 40 at 0.2
    // give (40 × 0.2 + 120 × 0.6) / 160 = 0.5.
    PaperRecord second = paperRecordOf(t, {2}, when, "s2", "f2", "p2");
    savePaperRecord(bank, second);
    const DifficultyUpdate again = updateDifficulties(bank, second, resultsWithRates({0.6}, 120), when.addDays(1));
    EXPECT_EQ(again.changes.size(), 1);
    EXPECT_EQ(difficulties(bank, "00002"), QStringList({"0.5", "0.5"}));
    EXPECT_EQ(bank.query("select * from 难度历史 where 题目编号='00002'").count(), 2);

    // Importing the first paper again replaces its results instead of adding to them.
    updateDifficulties(bank, paper, resultsWithRates({0.9, 0.2, 0.5, -1}, 40), when.addDays(2));
    EXPECT_EQ(bank.query("select * from 试卷成绩").count(), 4);
    EXPECT_EQ(difficulties(bank, "00002"), QStringList({"0.5", "0.5"}));
}

TEST(DifficultyUpdate, TheLastUpdateIsUndoneOnceWithTheHistoryKept) {
    test::TestApp app;
    Bank bank(app.bankPath());
    test::addSampleCatalogue(bank);
    addQuestions(bank, 4);
    const SpecTable t = paperTable(4);
    PaperRecord paper = paperRecordOf(t, {1, 2, 4, 5}, QDateTime(QDate(2026, 3, 5), QTime(9, 0)), "s", "f", "p");
    savePaperRecord(bank, paper);
    EXPECT_FALSE(canUndoDifficultyUpdate(bank, paper.id));
    EXPECT_TRUE(difficultyHistory(bank, "00001").isEmpty());

    const QDateTime when(QDate(2026, 3, 9), QTime(10, 0));
    updateDifficulties(bank, paper, resultsWithRates({0.9, 0.2, 0.5, -1}, 40), when);
    ASSERT_EQ(difficulties(bank, "00002"), QStringList({"0.8", "0.8"}));
    EXPECT_TRUE(canUndoDifficultyUpdate(bank, paper.id));
    // Question 1 is corrected by hand after the update: the undo leaves it.
    bank.execute("update 试题库 set 难度='0.4' where 题目编号='00001'");

    const DifficultyUndo undo = undoDifficultyUpdate(bank, paper.id, when.addSecs(60));
    EXPECT_EQ(undo.restored, 1);  // question 2 (question 3 kept its 0.5)
    EXPECT_EQ(undo.changedSince, 1);
    EXPECT_EQ(difficultyUndoMessage(undo), "已经撤销这份试卷的上一次更新难度：1 道题恢复了原来的难度。\r"
                                           "另有 1 道题的难度此后又被修改过，保持现在的难度。");
    EXPECT_EQ(difficulties(bank, "00002"), QStringList({"0.5", "0.5"}));
    EXPECT_EQ(difficulties(bank, "00001"), QStringList({"0.4"}));
    EXPECT_TRUE(bank.query("select * from 试卷成绩").isEmpty());
    EXPECT_FALSE(canUndoDifficultyUpdate(bank, paper.id));  // once

    // Both changes stay in the history, oldest first.
    const QStringList history = difficultyHistory(bank, "00002");
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0], "2026-03-09 10:00  0.5 → 0.8（试卷：" + paper.listText() + "）");
    EXPECT_EQ(history[1], "2026-03-09 10:01  0.8 → 0.5（撤销按试卷：" + paper.listText() + " 的更新）");

    // A new update can be undone again.
    updateDifficulties(bank, paper, resultsWithRates({0.9, 0.2, 0.5, -1}, 40), when.addDays(1));
    EXPECT_TRUE(canUndoDifficultyUpdate(bank, paper.id));
}

TEST(DifficultyUpdate, AFailureLeavesTheBankAsItWas) {
    test::TestApp app;
    Bank bank(app.bankPath());
    test::addSampleCatalogue(bank);
    addQuestions(bank, 3);
    PaperRecord paper =
        paperRecordOf(paperTable(3), {1, 2, 4}, QDateTime(QDate(2026, 3, 5), QTime(9, 0)), "s", "f", "p");
    savePaperRecord(bank, paper);
    // The bank refuses to change question 3, after 1 and 2 were written.
    bank.executeBound("CREATE TRIGGER refuse BEFORE UPDATE ON 试题库 WHEN old.题目编号 = '00003' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                      {});
    EXPECT_THROW(updateDifficulties(bank, paper, resultsWithRates({0.9, 0.9, 0.9}, 30), QDateTime::currentDateTime()),
                 StoreError);
    for (int q = 1; q <= 3; ++q)
        EXPECT_EQ(difficulties(bank, number(q)).value(0), "0.5") << q;
    EXPECT_EQ(bank.query("select * from 难度历史").count(), 0);
    EXPECT_EQ(bank.query("select * from 试卷成绩").count(), 0);
}

TEST(DifficultyUpdate, QuestionsNoLongerInTheBankAreCounted) {
    test::TestApp app;
    Bank bank(app.bankPath());
    test::addSampleCatalogue(bank);
    addQuestions(bank, 1);
    PaperRecord paper =
        paperRecordOf(paperTable(3), {1, 2, 4}, QDateTime(QDate(2026, 3, 5), QTime(9, 0)), "s", "f", "p");
    savePaperRecord(bank, paper);
    const DifficultyUpdate update =
        updateDifficulties(bank, paper, resultsWithRates({0.3, 0.3, 0.3}, 30), QDateTime::currentDateTime());
    EXPECT_EQ(update.measured, 1);
    EXPECT_EQ(update.missing, 2);
    EXPECT_EQ(difficultyUpdateMessage(update),
              "已经按成绩更新了 1 道题的难度，其中 1 道题的难度等级有变化。\r另有 2 道题已经不在试题库中，没有更新。");
}

TEST(ClassResults, FiguresBandsAndLinesOverTheStudentsThatCount) {
    ScoreCheck check;
    check.fullMarks = {60, 40, 0};
    check.measured = {true, true, false};
    // Totals 100, 90, 85, 60, 59.5, 30, 0.
    check.scores = {{60, 40, 0}, {55, 35, 0}, {50, 35, 0}, {40, 20, 0}, {39.5, 20, 0}, {30, 0, 0}, {0, 0, 0}};
    const ClassResult c = classResult(check);
    EXPECT_EQ(c.students, 7);
    EXPECT_DOUBLE_EQ(c.fullMark, 100);
    EXPECT_DOUBLE_EQ(c.mean, 424.5 / 7);
    EXPECT_DOUBLE_EQ(c.highest, 100);
    EXPECT_DOUBLE_EQ(c.lowest, 0);
    EXPECT_DOUBLE_EQ(c.passLine, 60);
    EXPECT_DOUBLE_EQ(c.passRate, 4.0 / 7);       // 60 passes, 59.5 does not
    EXPECT_DOUBLE_EQ(c.excellentRate, 3.0 / 7);  // 85 and above
    ASSERT_EQ(c.bands.size(), 10);
    EXPECT_EQ(c.bands.first(), qMakePair(QString("0-9"), 1));
    EXPECT_EQ(c.bands[5], qMakePair(QString("50-59"), 1));
    EXPECT_EQ(c.bands[6], qMakePair(QString("60-69"), 1));
    EXPECT_EQ(c.bands.last(), qMakePair(QString("90-100"), 2));  // the full mark is in the top band
    int counted = 0;
    for (const auto& b : c.bands)
        counted += b.second;
    EXPECT_EQ(counted, 7);

    // Lines the teacher sets; a paper of 120 marks has a top band 110-120.
    check.fullMarks = {120};
    check.measured = {true};
    check.scores = {{120}, {72}, {71.5}};
    const ClassResult big = classResult(check, 0.6, 0.9);
    EXPECT_DOUBLE_EQ(big.passRate, 2.0 / 3);
    EXPECT_DOUBLE_EQ(big.excellentRate, 1.0 / 3);
    EXPECT_EQ(big.bands.size(), 12);
    EXPECT_EQ(big.bands.last(), qMakePair(QString("110-120"), 1));

    // Nobody counted: nothing divided by zero.
    check.scores.clear();
    const ClassResult none = classResult(check);
    EXPECT_EQ(none.students, 0);
    EXPECT_TRUE(none.bands.isEmpty());
}

// Follow-up practice on a file bank and on a school bank alike.
class RemedialPractice : public test::BothStores {};
ZS_BOTH_STORES(RemedialPractice);

TEST_P(RemedialPractice, QuestionsOnTheWeakPointsWithoutThePapersOwn) {
    ZS_MAKE_BANK();
    Bank bank(location);
    test::addSampleCatalogue(bank);
    addQuestions(bank, 8);  // odd questions test 1-A|2-B, even ones 3-C; question 2 also 1-D
    EXPECT_EQ(remedialQuery({"3-C", "1-D"}, {"00002", "00004"}),
              "select * from 试题库 where (知识点 like '%C%' or 知识点 like '%D%') and 题目编号 not in "
              "('00002','00004')");
    EXPECT_EQ(remedialQuery({}, {}), "");
    const QStringList points = {"3-C", "2-B"};
    const RowSet rows = bank.query(remedialQuery(points, {"00001", "00002", "00004"}));
    const QVector<QVector<int>> offered = remedialQuestions(rows, points);
    QStringList numbers;
    for (const auto& q : offered)
        numbers << rows.text(q.first(), "题目编号");
    // The points in turn: 3-C's 6, 2-B's 3, 3-C's 8, 2-B's 5, then 2-B's 7.
    EXPECT_EQ(numbers, QStringList({"00006", "00003", "00008", "00005", "00007"}));

    // Question 2 (two scope rows, one on each point) comes with both rows.
    const RowSet all = bank.query(remedialQuery({"3-C", "1-D"}, {"00004", "00006", "00008"}));
    const auto withTwo = remedialQuestions(all, {"3-C", "1-D"});
    ASSERT_EQ(withTwo.size(), 1);
    SpecTable table(24);
    fillRemedialTable(table, all, withTwo, 1);
    EXPECT_EQ(table.dataRows(), 2);
    EXPECT_EQ(table.cell(1, SpecTable::QuestionNumber), "00002");
    EXPECT_EQ(table.cell(2, SpecTable::QuestionNumber), "00002");

    SpecTable three(24);
    fillRemedialTable(three, rows, offered, 3);
    EXPECT_EQ(three.dataRows(), 3);
    EXPECT_EQ(three.cell(3, SpecTable::QuestionNumber), "00008");
    EXPECT_EQ(three.cell(3, SpecTable::Number), "3");
}

TEST_P(RemedialPractice, WithoutOtherQuestionsOnTheWeakestPointsTheNextPointsThenTheSectionsServe) {
    ZS_MAKE_BANK();
    Bank bank(location);
    test::addSampleCatalogue(bank);
    addQuestions(bank, 8);  // odd questions test 1-A|2-B, even ones 3-C; question 2 also 1-D
    auto paperOf = [](const QList<int>& questions) {
        PaperRecord paper;
        for (int q : questions) {
            PaperQuestion pq;
            pq.number = int(paper.questions.size()) + 1;
            pq.questionNumber = number(q);
            paper.questions << pq;
        }
        return paper;
    };
    auto point = [](const QString& name) {
        KnowledgeResult k;
        k.point = name;
        return k;
    };
    auto numbersOf = [](const RemedialSearch& search) {
        QStringList out;
        for (const auto& q : search.offered)
            out << search.rows.text(q.first(), "题目编号");
        return out;
    };

    // Every 3-C and 1-D question stood in the paper, and 9-Z is no point of the bank:
    // the next weakest point, 2-B, serves.
    const RemedialSearch next =
        findRemedialQuestions(bank, paperOf({2, 4, 6, 8, 1}), {point("3-C"), point("1-D"), point("9-Z"), point("2-B")});
    EXPECT_EQ(next.skipped, QStringList({"3-C", "1-D", "9-Z"}));
    EXPECT_EQ(next.points, QStringList({"2-B"}));
    EXPECT_EQ(numbersOf(next), QStringList({"00003", "00005", "00007"}));
    EXPECT_EQ(next.question(), "题库中没有与薄弱知识点【3-C、1-D、9-Z】有关的其他题目，改用接下来较薄弱的知识点。\r\r"
                               "与知识点【2-B】有关的题目（本试卷的题除外）一共有  【3】 道!\r你准备选择几道？");

    // The whole bank's points stood in the paper: its sections serve.
    test::SampleQuestion other{"00009", "张三-00009", "填空题", "0.5", {}, {}};
    other.scopes << qMakePair(test::kSection12, QString("5-E"));
    test::addSampleQuestion(bank, other);
    const RemedialSearch sections = findRemedialQuestions(bank, paperOf({1, 2, 3, 4, 5, 6, 7, 8}),
                                                          {point("3-C"), point("1-D"), point("2-B"), point("1-A")});
    EXPECT_TRUE(sections.points.isEmpty());
    EXPECT_EQ(numbersOf(sections), QStringList({"00009"}));
    EXPECT_EQ(sections.scopes.size(), 2);
    EXPECT_TRUE(sections.question().contains("改用本试卷所在的章节")) << sections.question().toStdString();
    EXPECT_TRUE(sections.question().endsWith("中的其他题目一共有  【1】 道!\r你准备选择几道？"));

    // The weakest points as before, when they have other questions.
    const RemedialSearch weakest = findRemedialQuestions(bank, paperOf({1, 2, 4}), {point("3-C"), point("2-B")});
    EXPECT_TRUE(weakest.skipped.isEmpty());
    EXPECT_EQ(numbersOf(weakest), QStringList({"00006", "00003", "00008", "00005", "00007"}));
    EXPECT_EQ(weakest.question(),
              "与薄弱知识点【3-C、2-B】有关的题目（本试卷的题除外）一共有  【5】 道!\r你准备选择几道？");

    // Nothing anywhere: said, naming the points.
    const RemedialSearch nothing = findRemedialQuestions(bank, paperOf({1, 2, 3, 4, 5, 6, 7, 8, 9}),
                                                         {point("3-C"), point("1-D"), point("2-B"), point("1-A")});
    EXPECT_TRUE(nothing.offered.isEmpty());
    EXPECT_EQ(nothing.nothingFound(), "题库中没有与薄弱知识点【3-C、1-D、2-B】有关的其他题目，"
                                      "本试卷的其他知识点和所在章节中也没有别的题目，无法生成补救练习。");
}

TEST(PaperRecord, ASchoolBankRecordsPapersAndTheirResultsToo) {
    test::TempFolder folder;
    const QString location = schoolBankWithQuestions(folder, 4);
    if (location.isEmpty())
        GTEST_SKIP() << test::PostgresCluster::unavailableReason().toStdString();
    const SpecTable t = paperTable(4);
    const QDateTime when(QDate(2026, 3, 5), QTime(14, 7));
    EXPECT_EQ(recordGeneratedPaper(location, t, {1, 2, 4, 5}, when, "/tmp/试卷方案", "/tmp/试卷方案/试卷.doc"), "");
    EXPECT_EQ(recordGeneratedPaper(location, t, {1, 2}, when, "/tmp/试卷方案", "/tmp/试卷方案/B卷.doc", "B卷"), "");

    Bank bank(location);
    const QVector<PaperRecord> papers = paperRecords(bank);
    ASSERT_EQ(papers.size(), 2);
    EXPECT_EQ(papers[0].title, "数学（2题）B卷");
    EXPECT_EQ(papers[0].questions.size(), 2);
    EXPECT_EQ(papers[1].questions.size(), 4);
    EXPECT_NE(papers[0].id, papers[1].id);
    const DifficultyUpdate update =
        updateDifficulties(bank, papers[1], resultsWithRates({0.9, 0.2, 0.5, -1}, 40), when.addDays(3));
    EXPECT_EQ(update.measured, 3);
    EXPECT_EQ(difficulties(bank, "00002"), QStringList({"0.8", "0.8"}));
    EXPECT_EQ(bank.query("select * from 难度历史").count(), 2);
}

// Two teachers record the use of papers that share questions at the same
// moment, each paper in its own order: the second waits for the first
// instead of the server ending one of them as a deadlock.
TEST(PaperRecord, UseRecordsOfPapersSharingQuestionsWaitForEachOtherOnASchoolBank) {
    test::TempFolder folder;
    const QString location = schoolBankWithQuestions(folder, 3);
    if (location.isEmpty())
        GTEST_SKIP() << test::PostgresCluster::unavailableReason().toStdString();
    const QDate day(2026, 3, 5);
    Bank first(location);
    QString otherProblem;
    std::thread other;
    try {
        first.transaction([&] {
            // The first teacher's paper takes 00001, then 00002.
            recordQuestionUse(first, {"00001"}, day);
            // The second teacher's paper lists them the other way round; its
            // own connection, on a thread of its own.
            other = std::thread([&] {
                try {
                    Bank second(location);
                    recordQuestionUse(second, {"00002", "00001"}, day);
                } catch (const StoreError& e) {
                    otherProblem = e.message();
                }
            });
            // Until the second teacher waits for a row the first one holds.
            QElapsedTimer waited;
            waited.start();
            while (first.query("select count(*) from pg_locks where not granted").value(0, 0).toInt() == 0 &&
                   waited.elapsed() < 20000)
                QThread::msleep(20);
            recordQuestionUse(first, {"00002"}, day);
        });
    } catch (const StoreError& e) {
        ADD_FAILURE() << e.message().toStdString();
    }
    if (other.joinable())
        other.join();
    EXPECT_EQ(otherProblem, "");
    Bank bank(location);
    EXPECT_EQ(bank.query("select 使用次数 from 试题库 where 题目编号='00001'").value(0, 0).toInt(), 2);
    EXPECT_EQ(bank.query("select 使用次数 from 试题库 where 题目编号='00002'").value(0, 0).toInt(), 2);
    EXPECT_EQ(bank.query("select 使用次数 from 试题库 where 题目编号='00003'").value(0, 0).toInt(), 0);
}
