// Speed of intelligent composition: the classic plan search (20 004 plan
// evaluations) for 20, 50 and 100 questions over 20 000 candidates with 200
// knowledge points, the classic search with refinement, and the whole command
// on a 100 000-row bank file (candidate query, search, refinement, rows).

#include "plan/composition.h"
#include "store/bank.h"
#include "support/benchmain.h"
#include "support/syntheticbank.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <numeric>

using namespace zs;
using namespace zs::bench;

namespace {

// 32 sections with 200 knowledge points between them, 20 000 rows.
struct LargeScope {
    SyntheticBank bank;
    QStringList paths;
    CandidateTable candidates;
    QStringList points;
    LargeScope() {
        BankShape shape;
        shape.volumes = 1;
        shape.chapters = 8;
        shape.sections = 4;
        shape.points = 6;
        shape.extraPointSections = 8;
        bank = SyntheticBank::generate(shape, 20000, 17);
        std::vector<int> all(bank.sections().size());
        std::iota(all.begin(), all.end(), 0);
        paths = bank.pathsOf(all);
        candidates = bank.candidatesIn(paths);
        points = bank.knowledgePointsOf(paths);
    }
    static const LargeScope& get() {
        static const LargeScope scope;
        return scope;
    }
};

std::array<int, kTypeSlotCount> typeMix(int n) {
    switch (n) {
    case 20:
        return {8, 0, 4, 0, 4, 0, 4, 0};
    case 50:
        return {20, 2, 10, 2, 6, 2, 8, 0};
    default:
        return {40, 4, 20, 4, 12, 4, 16, 0};
    }
}

CompositionParameters largeRequest(int n) {
    const LargeScope& s = LargeScope::get();
    return requestParameters(s.paths, s.points, typeMix(n), {20, 30, 30, 10, 10});
}

void BM_CandidatePool(benchmark::State& state) {
    const LargeScope& s = LargeScope::get();
    const CompositionParameters p = largeRequest(50);
    for (auto _ : state) {
        CandidatePool pool(s.candidates, p);
        benchmark::DoNotOptimize(pool.size());
    }
    state.counters["M"] = double(s.candidates.size());
    state.counters["K"] = p.knowledgePointCount();
}
BENCHMARK(BM_CandidatePool)->Unit(benchmark::kMillisecond);

void BM_SearchPlan(benchmark::State& state) {
    const LargeScope& s = LargeScope::get();
    const int n = int(state.range(0));
    const CompositionParameters p = largeRequest(n);
    const CandidatePool pool(s.candidates, p);
    unsigned seed = 1;
    Offset offset = 0;
    for (auto _ : state) {
        std::mt19937 random(seed++);
        const PlanSearchResult r = SearchPlan(pool, n, random);
        offset = r.BestOffset;
        benchmark::DoNotOptimize(r.BestPlan.data());
    }
    state.counters["M"] = double(pool.size());
    state.counters["K"] = pool.knowledgePointCount();
    state.counters["offset"] = double(offset);
}
BENCHMARK(BM_SearchPlan)->Arg(20)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

// The classic search and the refinement, the compact candidates built from
// the texts included (what one click costs after the candidate query).
void BM_ComposeRefined(benchmark::State& state) {
    const LargeScope& s = LargeScope::get();
    const int n = int(state.range(0));
    const CompositionParameters p = largeRequest(n);
    unsigned seed = 1;
    Offset offset = 0, classic = 0;
    for (auto _ : state) {
        std::mt19937 random(seed++);
        const ComposeResult r = composePlan(s.candidates, p, random);
        offset = r.BestOffset;
        classic = r.classicOffset;
        benchmark::DoNotOptimize(r.BestPlan.data());
    }
    state.counters["offset"] = double(offset);
    state.counters["classic"] = double(classic);
}
BENCHMARK(BM_ComposeRefined)->Arg(20)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- on a bank file

struct BankFile {
    QTemporaryDir dir;
    QString path;
    SyntheticBank bank;
    CompositionParameters request;
    BankFile() {
        bank = SyntheticBank::generate(SyntheticBank::shapeFor(100000), 100000, 23);
        path = dir.filePath("试题库.mdb");
        bank.writeBank(path);
        // A mid-term paper over two chapters: 20 questions.
        const QStringList paths = bank.pathsOf(bank.chapters()[0]) + bank.pathsOf(bank.chapters()[1]);
        request =
            requestParameters(paths, bank.knowledgePointsOf(paths), {8, 0, 4, 0, 4, 0, 4, 0}, {20, 30, 30, 10, 10});
        request.AuthorFilter = {"张三"};
        request.SourceFilter = {"1-课本"};
    }
    static const BankFile& get() {
        static const BankFile file;
        return file;
    }
};

void BM_ComposeFromBank(benchmark::State& state) {
    const BankFile& f = BankFile::get();
    ComposeOptions options;
    options.refine = state.range(0) != 0;
    unsigned seed = 1;
    size_t candidates = 0;
    for (auto _ : state) {
        std::mt19937 random(seed++);
        const Composition c = composeFromBank(f.path, {f.request, options}, random);
        candidates = c.candidates.size();
        benchmark::DoNotOptimize(c.rows.data());
    }
    state.counters["rows"] = double(f.bank.rows().size());
    state.counters["M"] = double(candidates);
}
BENCHMARK(BM_ComposeFromBank)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BuildCandidates(benchmark::State& state) {
    const BankFile& f = BankFile::get();
    for (auto _ : state) {
        Bank bank(f.path, Bank::Mode::ReadOnly);
        benchmark::DoNotOptimize(BuildCandidates(bank, f.request).size());
    }
}
BENCHMARK(BM_BuildCandidates)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return zs::bench::runBenchmarks(argc, argv);
}
