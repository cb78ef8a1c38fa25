// The bank store on 100 000 question rows: opening the bank and fetching one
// question's rows, and the distinct list of question numbers.

#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int kRows = 100000;

// 100 000 rows: questions with one to three scope rows each.
struct LargeBank {
    QTemporaryDir dir;
    QString path;
    int questions = 0;
    LargeBank() {
        path = QDir(dir.path()).filePath(zs::kBankFileName);
        zs::Bank::create(path);
        zs::Bank bank(path);
        std::mt19937 random(7);
        bank.transaction([&] {
            int rows = 0;
            while (rows < kRows) {
                const QString number = zs::questionNumberText(++questions % 32767 + 1);
                const int scopes = 1 + int(random() % 3);
                for (int s = 0; s < scopes && rows < kRows; ++s, ++rows)
                    bank.addRow(
                        "试题库",
                        {{"题目编号", number},
                         {"考查范围", QStringLiteral("1-初中数学\\1-人教版\\7-七年级\\1-上册\\%1-第%1章\\%2-第%2节")
                                          .arg(random() % 20 + 1)
                                          .arg(random() % 6 + 1)},
                         {"题型", "单选题"},
                         {"难度", "0.5"},
                         {"知识点", "1-正数|2-负数"},
                         {"试题识别码", "张三-" + number},
                         {"入库日期", QDate(2026, 1, 1)},
                         {"入库教师", "张三"}});
            }
        });
    }
};

LargeBank& largeBank() {
    static LargeBank bank;
    return bank;
}

void BM_OpenAndFetchOneQuestion(benchmark::State& state) {
    const QString path = largeBank().path;
    int n = 0;
    for (auto _ : state) {
        zs::Bank bank(path);
        const zs::RowSet rows =
            bank.query("select * from 试题库 where 题目编号='" + zs::questionNumberText(++n % 20000 + 1) + "'");
        benchmark::DoNotOptimize(rows.count());
    }
}
BENCHMARK(BM_OpenAndFetchOneQuestion)->Unit(benchmark::kMillisecond);

void BM_DistinctQuestionNumbers(benchmark::State& state) {
    zs::Bank bank(largeBank().path);
    for (auto _ : state) {
        const zs::RowSet rows = bank.query("select distinct 题目编号 from 试题库");
        benchmark::DoNotOptimize(rows.count());
    }
}
BENCHMARK(BM_DistinctQuestionNumbers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
