// The whole "计算最优方案" command without its windows, from the click to the
// filled and sorted table: the ticked scope paths from the scope tree, the
// parameters with their knowledge-point queries, the check, the candidate
// query, the search (classic, or classic with fine tuning and the exact
// stage, for one paper or A/B papers) and the table.
//
//   composecommand_bench [--bank PATH] [benchmark options]
//
// PATH is an application folder or a bank file, for example one made by
// `zhuoshi-demo --synthetic 100000 DIR`; without it a generated bank of
// 100 000 rows is written to a temporary folder. The scope is the two
// chapters (or, for the large request, the volume) holding the most rows.

#include "paper/planhandover.h"
#include "paper/smartsort.h"
#include "plan/composition.h"
#include "plan/compositionparameters.h"
#include "questions/scopetree.h"
#include "store/bank.h"
#include "store/paths.h"
#include "support/syntheticbank.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace zs;
using namespace zs::bench;

namespace {

QString& bankArgument() {
    static QString path;
    return path;
}

// The bank of the benchmark with what a teacher would tick on the screen.
struct CommandBank {
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
    int rows = 0;
    ScopeTreeModel tree;
    QStringList teachers, sources;
    // The catalogue paths of the largest chapters and volumes, by rows.
    QStringList chapters, volumes;

    CommandBank() {
        if (bankArgument().isEmpty()) {
            dir = std::make_unique<QTemporaryDir>();
            path = dir->filePath(kBankFileName);
            SyntheticBank::generate(SyntheticBank::shapeFor(100000), 100000, 31).writeBank(path);
        } else {
            path = QFileInfo(bankArgument()).isDir() ? QDir(bankArgument()).filePath(kBankFileName) : bankArgument();
        }
        Bank bank(path, Bank::Mode::ReadOnly);
        tree = ScopeTreeModel::build(bank);
        teachers = bank.query(QStringLiteral("select distinct 入库教师 from 试题库")).texts(0);
        sources = bank.query(QStringLiteral("select distinct 试题来源 from 试题库")).texts(0);
        QHash<QString, int> chapterRows, volumeRows;
        const QStringList scopes = bank.query(QStringLiteral("select 考查范围 from 试题库")).texts(0);
        rows = int(scopes.size());
        for (const QString& s : scopes) {
            ++chapterRows[s.section(u'\\', 0, 4)];
            ++volumeRows[s.section(u'\\', 0, 3)];
        }
        chapters = largest(chapterRows);
        volumes = largest(volumeRows);
    }
    static QStringList largest(const QHash<QString, int>& counts) {
        QStringList keys = counts.keys();
        std::sort(keys.begin(), keys.end(), [&](const QString& a, const QString& b) {
            return counts[a] != counts[b] ? counts[a] > counts[b] : a < b;
        });
        return keys;
    }
    static CommandBank& get() {
        static CommandBank bank;
        return bank;
    }
};

struct Request {
    QStringList tick;  // catalogue paths ticked in the scope tree
    std::array<int, kTypeSlotCount> counts;
    std::array<int, kLevelCount> shareSteps;
};

// 0: a mid-term paper, 20 questions over the two largest chapters;
// 1: a final paper, 50 questions over the largest volume.
Request request(int which) {
    const CommandBank& b = CommandBank::get();
    if (which == 0)
        return {b.chapters.mid(0, 2), {8, 0, 4, 0, 4, 0, 4, 0}, {2, 3, 3, 1, 1}};
    return {b.volumes.mid(0, 1), {16, 4, 10, 4, 6, 2, 8, 0}, {2, 2, 3, 2, 1}};
}

// The controls as the screen shows them after the teacher set the request.
CompositionInputs inputsOf(const Request& r, const QStringList& scopePaths) {
    const CommandBank& b = CommandBank::get();
    CompositionInputs in;
    in.ScopePaths = scopePaths;
    std::array<QString, kLevelCount> shares;
    for (int i = 0; i < kTypeSlotCount; ++i) {
        in.typeTicked[i] = r.counts[i] > 0;
        in.typeCounts[i] = QString::number(r.counts[i]);
    }
    in.totalText = RecountTotal(in.typeTicked, in.typeCounts);
    for (int k = 0; k < kLevelCount; ++k)
        in.shareTexts[k] = shareLabelText(r.shareSteps[k]);
    in.shareTotalText = ShowShareTotal(in.shareTexts).text;
    in.AuthorFilter = b.teachers;
    in.SourceFilter = b.sources;
    return in;
}

void BM_ComposeCommand(benchmark::State& state) {
    CommandBank& b = CommandBank::get();
    const Request r = request(int(state.range(0)));
    ScopeTreeModel tree = b.tree;
    for (const QString& p : r.tick)
        tree.tickPropagating(tree.findByPath(p), true);
    ComposeOptions options;
    options.refine = state.range(1) != 0;
    // What the screen asks with "精细优化" ticked: the exact stage too.
    options.exact = options.refine && state.range(2) != 0;
    options.twoPapers = state.range(3) != 0;
    unsigned seed = 1;
    size_t candidates = 0;
    Offset offset = 0;
    double gap = -1;
    int dataRows = 0;
    for (auto _ : state) {
        const CompositionInputs in = inputsOf(r, tree.deepestCheckedPaths());
        CompositionParameters parameters;
        {
            Bank bank(b.path, Bank::Mode::ReadOnly);
            parameters = CollectParameters(in, bank);
        }
        if (!checkParameters(in, parameters).passed) {
            state.SkipWithError("the request does not pass the check");
            break;
        }
        std::mt19937 random(seed++);
        const Composition c = composeFromBank(b.path, {parameters, options}, random);
        if (!c.result.PlanReady()) {
            state.SkipWithError("the search refused the request");
            break;
        }
        SpecTable table;
        writePlanIntoTable(table, c.rows);
        table.numberRows();
        smartSort(table);
        if (options.twoPapers) {
            SpecTable second;
            writePlanIntoTable(second, c.secondRows);
            second.numberRows();
            smartSort(second);
        }
        candidates = c.candidates.size();
        offset = c.result.BestOffset + c.result.SecondOffset;
        gap = c.result.bound ? double(offset - *c.result.bound) : -1;
        dataRows = table.dataRows();
        benchmark::DoNotOptimize(table.cell(1, 1).size());
    }
    state.counters["bankRows"] = b.rows;
    state.counters["M"] = double(candidates);
    state.counters["N"] = dataRows;
    state.counters["offset"] = double(offset);
    // The offset above the proven bound (0: proven best; -1: no exact stage).
    state.counters["gap"] = gap;
}
// Arguments: request (0 mid-term, 1 final), fine tuning (1 on, 0 off), the
// exact stage (1 on, as the screen runs it), A/B papers (1 on).
BENCHMARK(BM_ComposeCommand)
    ->Args({0, 1, 1, 0})
    ->Args({0, 1, 0, 0})
    ->Args({0, 0, 0, 0})
    ->Args({1, 1, 1, 0})
    ->Args({1, 1, 0, 0})
    ->Args({1, 0, 0, 0})
    ->Args({0, 1, 1, 1})
    ->Args({1, 1, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Our own option first; the rest goes to the benchmark library.
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--bank") == 0 && i + 1 < argc) {
            bankArgument() = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 1;
    try {
        benchmark::RunSpecifiedBenchmarks();
    } catch (const StoreError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
