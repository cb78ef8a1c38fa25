// Score sheets read through the real LibreOffice (.csv in UTF-8 and GB 18030,
// .xlsx and .xls written by the office itself), and the analysis workbook
// read back.

#include "results/classresults.h"
#include "results/resultsworkbook.h"
#include "results/roster.h"
#include "results/scoresheet.h"
#include "support/testsupport.h"

#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace zs;

namespace {

const QList<QStringList> kCells = {
    {"期中考试小题分", "", "", "", "", ""},   {"考号", "姓名", "第1题", "1选项", "T2(4分)", "3（5分）"},
    {"0001", "王小明", "3", "B", "4", "2.5"}, {"0002", "李华", "0", "C", "缺考", "5"},
    {"0003", "张三", "3", "B", "1", "0"},
};

QString csvText() {
    QStringList lines;
    for (const QStringList& row : kCells)
        lines << row.join(u',');
    return lines.join(u'\n') + u'\n';
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void expectTheSheet(const ScoreSheet& sheet, const QString& what) {
    SCOPED_TRACE(what.toStdString());
    EXPECT_EQ(sheet.headerRow, 2);
    EXPECT_EQ(sheet.headers, kCells[1]);
    ASSERT_EQ(sheet.rows.size(), 3);
    EXPECT_EQ(sheet.rows[0][1], "王小明");
    EXPECT_EQ(sheet.rows[0][5], "2.5");
    EXPECT_EQ(sheet.rows[1][4], "缺考");
    const ScoreCheck check = checkScores(sheet, automaticMapping(sheet, 3));
    EXPECT_EQ(check.students(), 2);
    EXPECT_EQ(check.fullMarks, QVector<double>({3, 4, 5}));
    EXPECT_EQ(check.problems.value(0), "第 4 行“T2(4分)”列：“缺考”不是分数");
    EXPECT_EQ(check.options[0], QVector<QString>({"B", "B"}));
}

}  // namespace

TEST(ResultsOffice, ScoreSheetsOfEveryKindReadTheSame) {
    test::TempFolder folder;
    const QString utf8 = folder.file("小题分.csv");
    writeFile(utf8, csvText().toUtf8());
    expectTheSheet(readScoreSheet(test::office(), utf8), "UTF-8 csv");

    const QString gb = folder.file("小题分-gb.csv");
    QStringEncoder encoder("GB18030");
    writeFile(gb, encoder.encode(csvText()));
    expectTheSheet(readScoreSheet(test::office(), gb), "GB 18030 csv");

    // Workbooks with real numbers in them, as a marking system writes them.
    for (const QString& name : QStringList{"小题分.xlsx", "小题分.xls"}) {
        {
            const auto calc = test::office().startSpreadsheet();
            const auto book = calc->open(utf8);
            book->saveAs(folder.file(name));
            book->close();
        }
        expectTheSheet(readScoreSheet(test::office(), folder.file(name)), name);
    }

    // An empty workbook reads as an empty sheet.
    {
        const auto calc = test::office().startSpreadsheet();
        const auto book = calc->newWorkbook();
        book->saveAs(folder.file("空.xlsx"));
        book->close();
    }
    const ScoreSheet empty = readScoreSheet(test::office(), folder.file("空.xlsx"));
    EXPECT_TRUE(empty.rows.isEmpty());
    EXPECT_EQ(empty.headerRow, 0);

    EXPECT_THROW(readScoreSheet(test::office(), folder.file("没有.xlsx")), OfficeError);
}

TEST(ResultsOffice, TheAnalysisWorkbookReadsBack) {
    test::TempFolder folder;
    PaperRecord paper;
    paper.questions << PaperQuestion{1, "00001", "张三-00001", "单选题", "0.5", "1-A", ""}
                    << PaperQuestion{2, "00002", "张三-00002", "填空题", "0.3", "2-B", ""};
    QVector<QuestionResult> results(2);
    results[0] = QuestionResult{1, true, 40, 3, 2.25, 0.75, 0.41, "0.3", {{"A", 0.1}, {"B", 0.75}, {"未答", 0.15}}};
    results[1] = QuestionResult{2, false, 0, 0, 0, 0, 0, "", {}};
    const QVector<KnowledgeResult> points = {{"2-B", 1, 0.2}, {"1-A", 1, 0.75}, {"3-C", 2, 0.8}, {"4-D", 1, 0.9}};
    const QDateTime when(QDate(2026, 3, 9), QTime(10, 5));
    const QString path = exportResultsWorkbook(test::office(), paper, results, points, folder.path(), when);
    EXPECT_EQ(path, folder.file("成绩分析-2026年03月09日-10时05分-琢石-试题库.xls"));

    const auto calc = test::office().startSpreadsheet();
    const auto book = calc->open(path);
    EXPECT_EQ(book->sheetNames(), QStringList({"小题分析", "知识点分析"}));
    // 难度系数 (the share of points, as Chinese teachers read it) stands beside
    // the bank's 实测难度.
    EXPECT_EQ(
        book->cellTexts("小题分析", 1, 1, 3, 13),
        QList<QStringList>({{"题号", "题目编号", "试题识别码", "题型", "原难度", "人数", "满分", "平均分", "得分率",
                             "难度系数", "实测难度", "区分度", "选项分布"},
                            {"1", "00001", "张三-00001", "单选题", "0.5", "40", "3", "2.25", "75.0%", "0.75", "0.3",
                             "0.41", "A 10.0%  B 75.0%  未答 15.0%"},
                            {"2", "00002", "张三-00002", "填空题", "0.3", "", "", "", "未统计", "", "", "", ""}}));
    EXPECT_EQ(book->cellTexts("知识点分析", 1, 1, 5, 4), QList<QStringList>({{"知识点", "题数", "得分率", "备注"},
                                                                             {"2-B", "1", "20.0%", "薄弱"},
                                                                             {"1-A", "1", "75.0%", "薄弱"},
                                                                             {"3-C", "2", "80.0%", "薄弱"},
                                                                             {"4-D", "1", "90.0%", ""}}));
    EXPECT_TRUE(book->borders("小题分析", 3, 13).all());
    EXPECT_TRUE(book->cellBackground("知识点分析", 2, 1).has_value());
    EXPECT_FALSE(book->cellBackground("知识点分析", 5, 1).has_value());

    EXPECT_THROW(exportResultsWorkbook(test::office(), paper, results, points, folder.file("没有"), when), OfficeError);
}

TEST(ResultsOffice, ARosterReadsFromTheSchoolsListInEveryForm) {
    test::TempFolder folder;
    const QString text = QStringLiteral("班级,考号,姓名,性别\n七(1)班,20240101,王小明,男\n七(1)班,20240102,李华,女\n");
    const QString gb = folder.file("名单.csv");
    QStringEncoder encoder("GB18030");
    writeFile(gb, encoder.encode(text));
    const RosterImport fromCsv = readRosterFile(test::office(), gb);
    EXPECT_TRUE(fromCsv.problems.isEmpty());
    ASSERT_EQ(fromCsv.students.size(), 2);
    EXPECT_EQ(fromCsv.students[1], (Student{"七(1)班", "20240102", "李华", "女", ""}));
    // The same list as a workbook, where the 考号 are numbers.
    {
        const auto calc = test::office().startSpreadsheet();
        const auto book = calc->open(gb);
        book->saveAs(folder.file("名单.xlsx"));
        book->close();
    }
    const RosterImport fromBook = readRosterFile(test::office(), folder.file("名单.xlsx"));
    EXPECT_EQ(fromBook.students, fromCsv.students);
    EXPECT_THROW(readRosterFile(test::office(), folder.file("没有.xlsx")), OfficeError);
}

TEST(ResultsOffice, TheClassWorkbookReadsBack) {
    test::TempFolder folder;
    const ClassResults results = classResults(
        {{"1", "甲", "七(1)班", {3, 4}}, {"2", "乙", "七(2)班", {1, 0}}, {"3", "丙", "七(1)班", {0, 4}}}, {3, 5}, {});
    const QDateTime when(QDate(2026, 3, 9), QTime(10, 5));
    const QString path = exportClassWorkbook(test::office(), results, "期中考试", folder.path(), when);
    EXPECT_EQ(path, folder.file("班级成绩-2026年03月09日-10时05分-琢石-试题库.xls"));
    const auto calc = test::office().startSpreadsheet();
    const auto book = calc->open(path);
    EXPECT_EQ(book->sheetNames(), QStringList({"学生成绩", "班级平均", "分数段"}));
    EXPECT_EQ(book->cellText("学生成绩", 1, 1), "期中考试 学生成绩");
    EXPECT_EQ(
        book->cellTexts("学生成绩", 2, 1, 4, 8),
        QList<QStringList>({{"考号", "姓名", "班级", "第1题（3分）", "第2题（5分）", "总分", "班级排名", "年级排名"},
                            {"1", "甲", "七(1)班", "3", "4", "7", "1", "1"},
                            {"3", "丙", "七(1)班", "0", "4", "4", "2", "2"},
                            {"2", "乙", "七(2)班", "1", "0", "1", "1", "3"}}));
    EXPECT_EQ(book->cellTexts("班级平均", 5, 1, 1, 5), QList<QStringList>({{"全体", "3", "1.33", "2.67", "4.00"}}));
    EXPECT_EQ(book->cellTexts("分数段", 2, 1, 1, 4),
              QList<QStringList>({{"分数段（占满分的百分比）", "七(1)班", "七(2)班", "全体"}}));
    EXPECT_TRUE(book->borders("学生成绩", 5, 8).all());
    // The chart of the bands (an .xls keeps the chart, not its name).
    EXPECT_EQ(book->chartNames("分数段").size(), 1);
    EXPECT_THROW(exportClassWorkbook(test::office(), results, "期中考试", folder.file("没有"), when), OfficeError);
}
