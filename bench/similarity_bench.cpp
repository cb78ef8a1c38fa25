// Similar questions in a bank of 30 000 questions whose texts are cached: the
// check of one question (target: at most 50 ms) and the list of every similar
// pair (target: at most 10 s), each with the reading of the cached texts.

#include "questions/questiontexts.h"
#include "questions/similarity.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"
#include "support/benchmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int kQuestions = 30000;

// Question-like texts: words of a school subject in random order, 40 to 200
// characters; one text in fifty is a retyped copy of an earlier one.
QStringList questionTexts(int count, unsigned seed) {
    static const QStringList words =
        QStringLiteral("下列 各数 中 是 负数 的 已知 函数 图像 经过 点 求 值 如图 所示 三角形 中点 连接 证明 平行 "
                       "四边形 面积 周长 方程 解 不等式 组 整数 有理数 绝对值 相反数 计算 化简 代数式 单项式 系数 次数 "
                       "速度 时间 路程 小明 小红 同学 商店 买 元 千克 米 物体 受力 重力 浮力 密度 质量 体积 电阻 电压 "
                       "电流 串联 并联 灯泡 光线 反射 折射 透镜 像 声音 频率 温度 熔化 凝固 （　　） A． B． C． D． "
                       "______ ， 。 ？ 2 3 5 7 10 12 x y a b + − × ÷ = ＞ ＜")
            .split(u' ');
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> word(0, int(words.size()) - 1);
    std::uniform_int_distribution<int> length(40, 200);
    QStringList out;
    for (int i = 0; i < count; ++i) {
        if (i > 100 && rng() % 50 == 0) {
            QString copy = out[std::uniform_int_distribution<int>(0, i - 1)(rng)];
            copy.replace(QStringLiteral("，"), QStringLiteral(","));
            out << copy;
            continue;
        }
        QString t;
        const int n = length(rng);
        while (t.size() < n)
            t += words[word(rng)];
        out << t;
    }
    return out;
}

// A bank of 30 000 questions, each with a (stand-in) question document whose
// text is already in the bank's cache.
struct CachedBank {
    QTemporaryDir dir;
    QString bankPath;
    QStringList texts;
    CachedBank() {
        bankPath = QDir(dir.path()).filePath(zs::kBankFileName);
        zs::Bank::create(bankPath);
        QDir(dir.path()).mkdir(zs::kDocumentsFolderName);
        texts = questionTexts(kQuestions, 20241105);
        {
            zs::Bank bank(bankPath);
            bank.transaction([&] {
                for (int n = 1; n <= kQuestions; ++n) {
                    const QString number = zs::questionNumberText(n);
                    bank.addRow("试题库", {{"题目编号", number}, {"考查范围", "a\\b"}});
                    QFile(zs::questionDocumentPath(bankPath, number)).open(QIODevice::WriteOnly);
                }
            });
        }
        // The first reading fills the cache (the texts stand in for the office).
        int i = 0;
        zs::questionTexts(bankPath, [&](const QString&) { return texts[i++]; });
    }
};

CachedBank& bank() {
    static CachedBank b;
    return b;
}

zs::DocumentTextReader noReading(benchmark::State& state) {
    return [&state](const QString&) {
        state.SkipWithError("a cached text was read again");
        return QString();
    };
}

void BM_ReadCachedTextsAndIndex30000(benchmark::State& state) {
    CachedBank& b = bank();
    for (auto _ : state) {
        const zs::SimilarityIndex index = zs::bankSimilarityIndex(b.bankPath, noReading(state));
        benchmark::DoNotOptimize(index.mostSimilar(b.texts[7]));
    }
}
BENCHMARK(BM_ReadCachedTextsAndIndex30000)->Unit(benchmark::kMillisecond);

void BM_CheckOneQuestionAgainst30000(benchmark::State& state) {
    CachedBank& b = bank();
    static const zs::SimilarityIndex index = zs::bankSimilarityIndex(b.bankPath, noReading(state));
    index.mostSimilar(b.texts[0]);  // the index is prepared once, when the screen first checks
    const QString retyped = QString(b.texts[12345]).replace(QStringLiteral("。"), QStringLiteral("."));
    const QString fresh = questionTexts(1, 99).first();
    for (auto _ : state) {
        const auto match = index.mostSimilar(retyped);
        if (!match || match->percent < 90)
            state.SkipWithError("the retyped question was not found");
        benchmark::DoNotOptimize(index.mostSimilar(fresh));
    }
}
BENCHMARK(BM_CheckOneQuestionAgainst30000)->Unit(benchmark::kMillisecond);

void BM_SimilarPairsOf30000(benchmark::State& state) {
    CachedBank& b = bank();
    for (auto _ : state) {
        const zs::SimilarityIndex index = zs::bankSimilarityIndex(b.bankPath, noReading(state));
        const QList<zs::SimilarPair> pairs = index.similarPairs();
        state.counters["pairs"] = double(pairs.size());
        if (pairs.size() < kQuestions / 100)
            state.SkipWithError("too few of the planted copies found");
    }
}
BENCHMARK(BM_SimilarPairsOf30000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return zs::bench::runBenchmarks(argc, argv);
}
