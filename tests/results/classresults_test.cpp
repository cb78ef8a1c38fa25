// The students of a school and the class results a teacher hands back: the
// roster read from a school's list and kept in the bank, ranks, means and
// bands, the points a student lost most on, and the student's page.

#include "paper/paperrecord.h"
#include "results/classresults.h"
#include "results/roster.h"
#include "results/studentreport.h"
#include "support/pgcluster.h"
#include "support/samplebank.h"
#include "support/testsupport.h"

#include <QFile>
#include <QPdfDocument>
#include <gtest/gtest.h>

using namespace zs;

namespace {

StudentScores scores(const QString& exam, const QString& name, const QString& cls, QVector<double> s) {
    return {exam, name, cls, std::move(s)};
}

}  // namespace

TEST(Roster, HeadersAreFoundBelowATitleAndBadRowsAreNamed) {
    const QList<QStringList> cells{
        {"七年级学生名单", "", "", ""},
        {"班 级", "准考证号", "学生姓名", "性别"},
        {"七(1)班", "2.0240101E7", "王小明", "男"},  // a number the spreadsheet turned into a float
        {"七(1)班", "", "李华", "女"},
        {"", "20240103", "张三", "男"},         // no class: the default class
        {"七(2)班", "20240101", "赵四", "男"},  // the number of row 3 again
        {"七(2)班", "20240104", "", "女"},
        {"", "", "", ""},
    };
    const RosterImport r = rosterFromCells(cells, "七(3)班");
    EXPECT_TRUE(r.refusal.isEmpty());
    EXPECT_EQ(r.headerRow, 2);
    ASSERT_EQ(r.students.size(), 2);
    EXPECT_EQ(r.students[0], (Student{"七(1)班", "20240101", "王小明", "男", ""}));
    EXPECT_EQ(r.students[1], (Student{"七(3)班", "20240103", "张三", "男", ""}));
    ASSERT_EQ(r.problems.size(), 3);
    EXPECT_TRUE(r.problems[0].startsWith("第 4 行（李华）：没有考号")) << r.problems[0].toStdString();
    EXPECT_TRUE(r.problems[1].contains("考号 20240101 与第 3 行重复")) << r.problems[1].toStdString();
    EXPECT_TRUE(r.problems[2].startsWith("第 7 行（考号 20240104）：没有姓名")) << r.problems[2].toStdString();

    EXPECT_FALSE(rosterFromCells({{"学号", "名字"}, {"1", "王"}}).refusal.isEmpty());
    EXPECT_FALSE(rosterFromCells({}).refusal.isEmpty());
    EXPECT_FALSE(rosterFromCells({{"考号", "姓名"}}).refusal.isEmpty());
}

class RosterStore : public test::BothStores {};
ZS_BOTH_STORES(RosterStore);

TEST_P(RosterStore, StudentsAreAddedOrReplacedByTheirNumber) {
    ZS_MAKE_BANK();
    Bank bank(location);
    EXPECT_TRUE(loadRoster(bank).isEmpty());
    EXPECT_EQ(saveStudents(bank, {{"七(2)班", "002", "李华", "女", ""}, {"七(1)班", "001", "王小明", "男", "s1"}}), 2);
    // A second import of the same list changes a class and adds one.
    EXPECT_EQ(saveStudents(bank, {{"七(3)班", "002", "李华", "女", ""}, {"七(1)班", "003", "张三", "", ""}}), 1);
    const QVector<Student> roster = loadRoster(bank);
    ASSERT_EQ(roster.size(), 3);
    EXPECT_EQ(roster[0].examNumber, "001");
    EXPECT_EQ(roster[0].studentNumber, "s1");
    EXPECT_EQ(roster[1].examNumber, "003");
    EXPECT_EQ(roster[2], (Student{"七(3)班", "002", "李华", "女", ""}));
    removeStudents(bank, {"001", "003"});
    EXPECT_EQ(loadRoster(bank).size(), 1);
}

TEST(ClassResults, RanksMeansAndBandsOverClassesAndTheYear) {
    const QVector<Student> roster{{"七(10)班", "1", "甲", "", ""},
                                  {"七(2)班", "2", "乙", "", ""},
                                  {"七(2)班", "3", "丙", "", ""},
                                  {"七(10)班", "4", "丁", "", ""}};
    const QVector<StudentScores> students{
        scores("1", "", "", {10, 0}),  scores("2", "乙（表上）", "", {10, 10}), scores("3", "", "", {5, 5}),
        scores("4", "", "", {10, 0}),  scores("5", "新生", "七(2)班", {0, 0}),  // unknown to the roster
        scores("2", "乙", "", {0, 0}),                                          // the same number again
    };
    const ClassResults r = classResults(students, {10, 10}, roster);
    EXPECT_DOUBLE_EQ(r.fullTotal, 20);
    EXPECT_EQ(r.classes, (QStringList{"七(2)班", "七(10)班"}));  // natural order
    ASSERT_EQ(r.students.size(), 5);
    // By class, then rank: 七(2)班 乙 20, 丙 10, 新生 0; 七(10)班 甲 and 丁 tied.
    EXPECT_EQ(r.students[0].name, "乙");  // the roster's name wins
    EXPECT_EQ(r.students[0].classRank, 1);
    EXPECT_EQ(r.students[0].yearRank, 1);
    EXPECT_EQ(r.students[1].name, "丙");
    EXPECT_EQ(r.students[1].yearRank, 2);  // 10 points, as 甲 and 丁
    EXPECT_EQ(r.students[2].name, "新生");
    EXPECT_EQ(r.students[2].yearRank, 5);
    EXPECT_EQ(r.students[3].classRank, 1);
    EXPECT_EQ(r.students[4].classRank, 1);  // a tie shares its rank
    EXPECT_EQ(r.students[3].yearRank, 2);
    EXPECT_EQ(r.students[4].yearRank, 2);
    ASSERT_EQ(r.problems.size(), 2);
    EXPECT_TRUE(r.problems.join(' ').contains("考号 5（新生）不在学生名单中"));
    EXPECT_TRUE(r.problems.join(' ').contains("考号 2 出现了不止一次"));

    // Means per class and over all.
    ASSERT_EQ(r.totalMeans.size(), 3);
    EXPECT_DOUBLE_EQ(r.totalMeans[0], 10);  // (20 + 10 + 0) / 3
    EXPECT_DOUBLE_EQ(r.totalMeans[1], 10);
    EXPECT_DOUBLE_EQ(r.totalMeans[2], 10);
    EXPECT_DOUBLE_EQ(r.questionMeans[0][1], 5);
    // Bands: the full total counts in the last band, half of it in "50-59".
    EXPECT_EQ(r.bands[2][9], 1);
    EXPECT_EQ(r.bands[2][5], 3);
    EXPECT_EQ(r.bands[2][0], 1);
    EXPECT_EQ(r.bandNames.last(), "90-100");

    const QList<QStringList> sheet = studentSheetRows(r);
    EXPECT_EQ(sheet[0].mid(0, 4), (QStringList{"考号", "姓名", "班级", "第1题（10分）"}));
    EXPECT_EQ(sheet[0].mid(5), (QStringList{"总分", "班级排名", "年级排名"}));
    EXPECT_EQ(sheet[1], (QStringList{"2", "乙", "七(2)班", "10", "10", "20", "1", "1"}));
    EXPECT_EQ(classMeanRows(r).last().first(), "全体");
    EXPECT_EQ(classMeanRows(r).last()[1], "5");
}

TEST(ClassResults, WithoutARosterTheSheetNamesTheStudents) {
    const ClassResults r = classResults({scores("", "王", "", {2.5}), scores("", "李", "", {2.5})}, {5}, {});
    EXPECT_TRUE(r.problems.isEmpty());
    EXPECT_EQ(r.classes, QStringList{"未分班"});
    EXPECT_EQ(r.students[0].yearRank, 1);
    EXPECT_EQ(r.students[1].yearRank, 1);
    EXPECT_EQ(studentSheetRows(r)[1][3], "2.5");
}

TEST(ClassResults, LostPointsCountEveryPointOfAQuestion) {
    PaperRecord paper;
    paper.questions = {{1, "00001", "c1", "单选题", "0.3", "1-有理数|2-数轴", "4"},
                       {2, "00002", "c2", "填空题", "0.5", "2-数轴", "6"},
                       {3, "00003", "c3", "解答题", "0.8", "3-绝对值", "10"}};
    const QVector<LostPoint> lost = lostPoints(paper, {4, 6, 10}, {0, 3, 10});
    ASSERT_EQ(lost.size(), 3);
    EXPECT_EQ(lost[0].point, "2-数轴");
    EXPECT_DOUBLE_EQ(lost[0].lost, 7);
    EXPECT_DOUBLE_EQ(lost[0].full, 10);
    EXPECT_EQ(lost[1].point, "1-有理数");
    EXPECT_DOUBLE_EQ(lost[2].lost, 0);
}

TEST(StudentReports, EveryStudentGetsAPageWithTheWeakestPointsAndFollowUp) {
    test::TempFolder folder;
    const QString location = test::newBank(test::StoreKind::File, folder);
    Bank bank(location);
    test::addSampleCatalogue(bank);
    // Question 1 of the paper and two more on its point 数轴, one on another point.
    for (int q = 1; q <= 4; ++q) {
        test::SampleQuestion s{QString::number(q).rightJustified(5, '0'), "张三", "单选题", "0.5", {}, {}};
        s.scopes << qMakePair(test::kSection11, QString(q == 4 ? "3-绝对值" : "2-数轴"));
        test::addSampleQuestion(bank, s);
    }
    PaperRecord paper;
    paper.title = "期中考试";
    paper.questions = {{1, "00001", "c1", "单选题", "0.5", "2-数轴", "5"},
                       {2, "00004", "c4", "单选题", "0.5", "3-绝对值", "5"}};
    const ClassResults results = classResults(
        {scores("101", "王小明", "七(1)班", {0, 5}), scores("102", "李华", "七(1)班", {5, 5})}, {5, 5}, {});
    const QVector<StudentReport> reports = studentReports(bank, paper, results);
    ASSERT_EQ(reports.size(), 2);
    const StudentReport& li = reports[0];
    EXPECT_EQ(li.student.name, "李华");
    EXPECT_TRUE(li.weakest.isEmpty());
    EXPECT_TRUE(li.followUp.isEmpty());
    const StudentReport& wang = reports[1];
    EXPECT_EQ(wang.classSize, 2);
    EXPECT_DOUBLE_EQ(wang.classMean, 7.5);
    ASSERT_EQ(wang.weakest.size(), 1);
    EXPECT_EQ(wang.weakest[0].point, "2-数轴");
    ASSERT_EQ(wang.followUp.size(), 2);  // the paper's own question is not offered
    EXPECT_EQ(wang.followUp[0].number, "00002");
    EXPECT_EQ(wang.followUp[1].number, "00003");

    const QStringList paths = writeStudentReports(reports, folder.path() + "/学生报告");
    ASSERT_EQ(paths.size(), 2);
    EXPECT_TRUE(paths[1].endsWith("/101-王小明.pdf"));
    QPdfDocument pdf;
    ASSERT_EQ(pdf.load(paths[1]), QPdfDocument::Error::None);
    EXPECT_EQ(pdf.pageCount(), 1);
    // The PDF's text maps some characters to their compatibility forms (小 as
    // the radical ⼩); compare the normalised text.
    const QString text = pdf.getAllText(0).text().normalized(QString::NormalizationForm_KC);
    for (const char* expected : {"期中考试 成绩报告", "王小明", "总分：5 / 10", "数轴", "00002"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected).normalized(QString::NormalizationForm_KC)))
            << expected << " in " << text.toStdString();

    // A folder that cannot be made is named.
    QFile blocker(folder.path() + "/占用");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(writeStudentReports(reports, folder.path() + "/占用/报告"), StoreError);
}
