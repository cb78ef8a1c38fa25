// The bank store on 100 000 question rows: opening the bank and fetching one
// question's rows, and the distinct list of question numbers.

#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"
#include "support/benchmain.h"
#include "support/largebank.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

using zs::bench::largeBankPath;

void BM_OpenAndFetchOneQuestion(benchmark::State& state) {
    const QString path = largeBankPath();
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
    zs::Bank bank(largeBankPath());
    for (auto _ : state) {
        const zs::RowSet rows = bank.query("select distinct 题目编号 from 试题库");
        benchmark::DoNotOptimize(rows.count());
    }
}
BENCHMARK(BM_DistinctQuestionNumbers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return zs::bench::runBenchmarks(argc, argv);
}
