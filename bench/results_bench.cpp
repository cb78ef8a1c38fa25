// Results of an exam: a score sheet of 1 000 students × 30 questions read
// through the office, checked and measured; the difficulties of its 30
// questions written into the bank of 100 000 rows; and the class results of
// 500 students handed back as a workbook.

#include "office/libreoffice.h"
#include "paper/paperrecord.h"
#include "results/classresults.h"
#include "results/resultstats.h"
#include "results/scoresheet.h"
#include "store/bank.h"
#include "store/textnumbers.h"
#include "support/benchmain.h"
#include "support/largebank.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

using namespace zs;

constexpr int kStudents = 1000;
constexpr int kQuestions = 30;

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

// The sheet as a marking system writes it: an .xlsx with numbers in its cells.
const QString& sheetPath() {
    static const QString path = [] {
        std::mt19937 random(11);
        QStringList lines;
        QStringList header{QStringLiteral("考号"), QStringLiteral("姓名"), QStringLiteral("班级")};
        for (int q = 1; q <= kQuestions; ++q)
            header << QStringLiteral("第%1题(%2分)").arg(q).arg(q <= 12 ? 3 : q <= 24 ? 4 : 12);
        header << QStringLiteral("总分");
        lines << header.join(u',');
        for (int s = 0; s < kStudents; ++s) {
            QStringList row{QString::number(20260000 + s), QStringLiteral("学生%1").arg(s),
                            QString::number(s % 12 + 1)};
            const double ability = std::uniform_real_distribution<double>(0.2, 1.0)(random);
            int total = 0;
            for (int q = 1; q <= kQuestions; ++q) {
                const int score = std::binomial_distribution<int>(q <= 12 ? 3 : q <= 24 ? 4 : 12, ability)(random);
                total += score;
                row << QString::number(score);
            }
            row << QString::number(total);
            lines << row.join(u',');
        }
        const QString csv = QDir(folder().path()).filePath(QStringLiteral("小题分.csv"));
        QFile file(csv);
        file.open(QIODevice::WriteOnly);
        file.write((lines.join(u'\n') + u'\n').toUtf8());
        file.close();
        const QString xlsx = QDir(folder().path()).filePath(QStringLiteral("小题分.xlsx"));
        LibreOffice office;
        const auto calc = office.startSpreadsheet();
        const auto book = calc->open(csv);
        book->saveAs(xlsx);
        book->close();
        return xlsx;
    }();
    return path;
}

PaperRecord paperOf30() {
    PaperRecord paper;
    for (int q = 1; q <= kQuestions; ++q)
        paper.questions << PaperQuestion{q,         questionNumberText(q * 7),
                                         QString(), QStringLiteral("单选题"),
                                         "0.5",     QStringLiteral("%1-知识点%1").arg(q % 8 + 1),
                                         QString()};
    return paper;
}

QVector<QuestionResult> importAndMeasure(Office& office, const PaperRecord& paper) {
    const ScoreSheet sheet = readScoreSheet(office, sheetPath());
    const ScoreCheck check = checkScores(sheet, automaticMapping(sheet, kQuestions));
    QVector<QuestionResult> results = questionResults(check);
    benchmark::DoNotOptimize(knowledgeResults(paper, results).size());
    return results;
}

// With the office running, as on the screen after its first use.
void BM_ImportAndMeasureSheet(benchmark::State& state) {
    sheetPath();
    LibreOffice office;
    const PaperRecord paper = paperOf30();
    importAndMeasure(office, paper);  // the office is started
    for (auto _ : state)
        benchmark::DoNotOptimize(importAndMeasure(office, paper).size());
}
BENCHMARK(BM_ImportAndMeasureSheet)->Unit(benchmark::kMillisecond)->Iterations(5);

// The first import of a run: the office starts too.
void BM_ImportAndMeasureSheetStartingTheOffice(benchmark::State& state) {
    sheetPath();
    const PaperRecord paper = paperOf30();
    for (auto _ : state) {
        LibreOffice office;
        benchmark::DoNotOptimize(importAndMeasure(office, paper).size());
    }
}
BENCHMARK(BM_ImportAndMeasureSheetStartingTheOffice)->Unit(benchmark::kMillisecond)->Iterations(3);

// 更新难度 for 30 questions (each with its scope rows) in the bank of 100 000
// rows: the paper's results stored, weighted over earlier papers, rows and
// history written, in one transaction.
void BM_UpdateDifficulties(benchmark::State& state) {
    const QString bankPath = QDir(folder().path()).filePath(QStringLiteral("试题库.mdb"));
    QFile::remove(bankPath);
    QFile::copy(bench::largeBankPath(), bankPath);
    Bank bank(bankPath);
    PaperRecord paper = paperOf30();
    for (PaperQuestion& q : paper.questions)
        q.code = bank.query(QStringLiteral("select 试题识别码 from 试题库 where 题目编号='") + q.questionNumber + u'\'')
                     .text(0, 0);
    savePaperRecord(bank, paper);
    QVector<QuestionResult> results;
    for (int q = 1; q <= kQuestions; ++q)
        results << QuestionResult{q, true, 1000, 4, 2, 0.5, 0.3, QStringLiteral("0.5"), {}};
    int round = 0;
    for (auto _ : state) {
        // Every round moves the rates, so that levels change.
        for (QuestionResult& r : results)
            r.rate = (round % 2) ? 0.85 : 0.25;
        ++round;
        benchmark::DoNotOptimize(updateDifficulties(bank, paper, results, QDateTime::currentDateTime()).measured);
    }
}
BENCHMARK(BM_UpdateDifficulties)->Unit(benchmark::kMillisecond);

// What a teacher hands back for 500 students of 12 classes and 30
// questions: ranks, means and bands, then the class workbook written with the
// office running (as on the screen after its first use).
ClassResults handBackOf500() {
    std::mt19937 random(5);
    QVector<StudentScores> students;
    QVector<double> fullMarks;
    for (int q = 1; q <= kQuestions; ++q)
        fullMarks << (q <= 12 ? 3 : q <= 24 ? 4 : 12);
    for (int s = 0; s < 500; ++s) {
        const double ability = std::uniform_real_distribution<double>(0.2, 1.0)(random);
        QVector<double> scores;
        for (double full : fullMarks)
            scores << std::binomial_distribution<int>(int(full), ability)(random);
        students.push_back({QString::number(20260000 + s), QStringLiteral("学生%1").arg(s),
                            QStringLiteral("七(%1)班").arg(s % 12 + 1), scores});
    }
    return classResults(students, fullMarks, {});
}

void BM_ClassResultsOf500(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(handBackOf500().students.size());
}
BENCHMARK(BM_ClassResultsOf500)->Unit(benchmark::kMillisecond);

void BM_ClassWorkbookOf500(benchmark::State& state) {
    LibreOffice office;
    const ClassResults results = handBackOf500();
    const QDateTime when(QDate(2026, 3, 9), QTime(10, 5));
    exportClassWorkbook(office, results, QStringLiteral("期中考试"), folder().path(), when);  // the office is started
    for (auto _ : state)
        benchmark::DoNotOptimize(
            exportClassWorkbook(office, results, QStringLiteral("期中考试"), folder().path(), when).size());
}
BENCHMARK(BM_ClassWorkbookOf500)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return zs::bench::runBenchmarks(argc, argv);
}
