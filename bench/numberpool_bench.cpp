// Refilling the pool of free numbers on a bank of 30 000 complete questions:
// every candidate costs two file tests and a look-up in the known numbers.

#include "catalogue/numberpool.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"
#include "support/benchmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kQuestions = 30000;

struct CompleteBank {
    QTemporaryDir dir;
    QString bankPath;
    CompleteBank() {
        bankPath = QDir(dir.path()).filePath(zs::kBankFileName);
        zs::Bank::create(bankPath);
        QDir(dir.path()).mkdir(zs::kDocumentsFolderName);
        zs::Bank bank(bankPath);
        bank.transaction([&] {
            for (int n = 1; n <= kQuestions; ++n) {
                const QString number = zs::questionNumberText(n);
                bank.addRow("试题库", {{"题目编号", number}, {"考查范围", "a\\b"}, {"试题识别码", "张三-" + number}});
                QFile(zs::questionDocumentPath(bankPath, number)).open(QIODevice::WriteOnly);
                QFile(zs::answerDocumentPath(bankPath, number)).open(QIODevice::WriteOnly);
            }
        });
    }
};

void BM_RefillOn30000CompleteQuestions(benchmark::State& state) {
    static CompleteBank bank;
    for (auto _ : state) {
        zs::NumberPool pool;
        const zs::RefillResult r = zs::refillNumberPool(pool, bank.bankPath);
        benchmark::DoNotOptimize(r.completed);
        if (pool.slot(1) != zs::questionNumberText(kQuestions + 1))
            state.SkipWithError("wrong first number");
    }
}
BENCHMARK(BM_RefillOn30000CompleteQuestions)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return zs::bench::runBenchmarks(argc, argv);
}
