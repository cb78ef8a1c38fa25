// Quality of intelligent composition: for realistic requests (different
// paper sizes, type mixes, shares and scopes), many seeds each, the median and
// worst offset and the time of the classic search alone and of the classic
// search followed by the refinement; and the exact stage after them: the
// proven optimum, the offset of the plan it returns and its time (on one
// core). Prints a Markdown table.
//
//   composequality_bench [--seeds N] [--exact-seeds E] [--exact-ms T] [--budget-ms B] [--rows R]...
//                        [--request R]... [--distribution] [BANK]...
//
// --exact-seeds E runs the exact stage for the first E seeds (default 5; 0
// leaves it out), --exact-ms T is its time limit (default the program's).
//
// --request NAME:TYPES:SHARES:UNIT:COUNT replaces the built-in requests (it can
// be given several times): TYPES the eight counts of 单选题 … 作文题, SHARES the
// five level percentages, UNIT 节, 章 or 册 and COUNT how many of the largest
// such units form the scope, for example
//   --request "期中考试 20题 2章:8,0,4,0,4,0,4,0:20,30,30,10,10:章:2"
// --distribution adds, for every request, the spread of the offsets over the
// seeds (percentiles and mean) of both searches.
//
// Without BANK it runs on banks generated in memory (by default of 10 000 and
// 100 000 rows; --rows chooses others). BANK is an application folder (its
// 试题库.mdb is used) or a bank file, for example the demo bank made by
// `zhuoshi-demo DIR` or `zhuoshi-demo --synthetic 100000 DIR`.
//
//   composequality_bench --make-bank ROWS DIR
//
// writes a generated bank to DIR/试题库.mdb (to try the bank route).

#include "plan/composition.h"
#include "store/bank.h"
#include "store/paths.h"
#include "support/syntheticbank.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>

using namespace zs;
using namespace zs::bench;

namespace {

struct Request {
    QString name;
    std::array<int, kTypeSlotCount> types;
    std::array<int, kLevelCount> shares;
    // How many of the largest sections, chapters or volumes form the scope.
    enum class Unit { Section, Chapter, Volume } unit;
    int units;
};

std::vector<Request>& requests() {
    static std::vector<Request> list = {
        {"单元测验 10题 1章", {4, 0, 3, 0, 0, 0, 3, 0}, {30, 30, 30, 10, 0}, Request::Unit::Chapter, 1},
        {"专项训练 15题 2节", {0, 0, 0, 0, 8, 0, 7, 0}, {0, 20, 40, 30, 10}, Request::Unit::Section, 2},
        {"期中考试 20题 2章", {8, 0, 4, 0, 4, 0, 4, 0}, {20, 30, 30, 10, 10}, Request::Unit::Chapter, 2},
        {"期末考试 30题 1册", {10, 2, 6, 2, 4, 0, 6, 0}, {10, 20, 40, 20, 10}, Request::Unit::Volume, 1},
        {"选择判断 40题 3章", {16, 8, 0, 8, 0, 0, 8, 0}, {20, 20, 30, 20, 10}, Request::Unit::Chapter, 3},
        {"综合复习 50题 2册", {16, 4, 10, 4, 6, 2, 8, 0}, {20, 20, 30, 20, 10}, Request::Unit::Volume, 2},
        // Harder: uneven shares over two volumes (the best plan needs a
        // rounded knowledge mean other than one point per question), more
        // questions than knowledge points in one chapter, and every point of a
        // section hit several times.
        {"期末总复习 50题 2册 偏难", {14, 4, 10, 4, 8, 2, 8, 0}, {0, 10, 30, 40, 20}, Request::Unit::Volume, 2},
        {"期末考试 50题 1册", {16, 4, 10, 4, 6, 2, 8, 0}, {20, 20, 30, 20, 10}, Request::Unit::Volume, 1},
        {"章末复习 40题 1章", {12, 4, 8, 4, 6, 0, 6, 0}, {20, 30, 30, 10, 10}, Request::Unit::Chapter, 1},
        {"一节精练 20题 1节", {8, 0, 6, 0, 6, 0, 0, 0}, {20, 30, 30, 20, 0}, Request::Unit::Section, 1},
    };
    return list;
}

// Where candidates come from: a bank generated in memory or a bank file.
class Source {
public:
    virtual ~Source() = default;
    virtual QString name() const = 0;
    virtual int rowCount() const = 0;
    // Scope paths with their row counts, in catalogue order.
    virtual std::vector<std::pair<QString, int>> sections() const = 0;
    virtual CandidateTable candidates(const CompositionParameters& p, double& seconds) = 0;
    virtual QStringList knowledgePoints(const QStringList& paths) = 0;
    virtual QStringList authors() const { return {"张三"}; }
    virtual QStringList sources() const { return {"1-课本"}; }

    // The scope of a request: the largest units by row count.
    QStringList scopeOf(const Request& r) const {
        const int depth = r.unit == Request::Unit::Section ? 6 : r.unit == Request::Unit::Chapter ? 5 : 4;
        std::map<QString, std::pair<int, QStringList>> units;  // key → rows, paths
        std::vector<QString> order;
        for (const auto& [path, rows] : sections()) {
            const QString key = path.section('\\', 0, depth - 1);
            if (!units.count(key))
                order.push_back(key);
            units[key].first += rows;
            units[key].second << path;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](const QString& a, const QString& b) { return units[a].first > units[b].first; });
        QStringList paths;
        for (int i = 0; i < r.units && i < int(order.size()); ++i)
            paths += units[order[i]].second;
        return paths;
    }
};

class MemorySource : public Source {
public:
    explicit MemorySource(int rows) : rows_(rows) {
        bank_ = SyntheticBank::generate(SyntheticBank::shapeFor(rows), rows, unsigned(rows));
        for (const Candidate& c : bank_.rows())
            ++counts_[c.scope];
    }
    QString name() const override { return QString("内存中生成的题库（%1 行）").arg(bank_.rows().size()); }
    int rowCount() const override { return int(bank_.rows().size()); }
    std::vector<std::pair<QString, int>> sections() const override {
        std::vector<std::pair<QString, int>> list;
        for (const SyntheticSection& s : bank_.sections())
            list.emplace_back(s.path, counts_.value(s.path));
        return list;
    }
    CandidateTable candidates(const CompositionParameters& p, double& seconds) override {
        QElapsedTimer t;
        t.start();
        CandidateTable table = bank_.candidatesIn(p.ScopePaths);
        seconds = t.nsecsElapsed() / 1e9;
        return table;
    }
    QStringList knowledgePoints(const QStringList& paths) override { return bank_.knowledgePointsOf(paths); }

private:
    int rows_;
    SyntheticBank bank_;
    QHash<QString, int> counts_;
};

class BankSource : public Source {
public:
    explicit BankSource(QString path) : path_(std::move(path)) {
        Bank bank(path_, Bank::Mode::ReadOnly);
        const RowSet rows = bank.query("select 考查范围 from 试题库");
        rows_ = rows.count();
        QHash<QString, int> counts;
        for (const QString& s : rows.texts(0))
            ++counts[s];
        for (const QString& s : bank.query("select distinct 考查范围 from 试题库").texts(0))
            sections_.emplace_back(s, counts.value(s));
        authors_ = bank.query("select distinct 入库教师 from 试题库").texts(0);
        sources_ = bank.query("select distinct 试题来源 from 试题库").texts(0);
    }
    QString name() const override { return QDir::toNativeSeparators(path_) + QString("（%1 行）").arg(rows_); }
    int rowCount() const override { return rows_; }
    std::vector<std::pair<QString, int>> sections() const override { return sections_; }
    CandidateTable candidates(const CompositionParameters& p, double& seconds) override {
        QElapsedTimer t;
        t.start();
        Bank bank(path_, Bank::Mode::ReadOnly);
        CandidateTable table = BuildCandidates(bank, p);
        seconds = t.nsecsElapsed() / 1e9;
        return table;
    }
    QStringList knowledgePoints(const QStringList& paths) override {
        Bank bank(path_, Bank::Mode::ReadOnly);
        return scopeKnowledgePoints(bank, paths);
    }
    QStringList authors() const override { return authors_; }
    QStringList sources() const override { return sources_; }

private:
    QString path_;
    int rows_ = 0;
    std::vector<std::pair<QString, int>> sections_;
    QStringList authors_, sources_;
};

template <typename T> T median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Totals {
    int requests = 0;
    int met = 0;
    // The exact stage: requests run, proven optimal in every run, and times.
    int exactRequests = 0;
    int exactProven = 0;
    std::vector<double> exactMs;
    QStringList stopped;  // requests where the solver stopped at its limit
};

// The offsets of one request over all seeds, for the distribution table.
struct Spread {
    QString request;
    std::vector<Offset> classic, refined;
};

// Nearest-rank percentile of a sorted list.
Offset percentile(const std::vector<Offset>& sorted, int percent) {
    const size_t rank = std::max<size_t>(1, (sorted.size() * size_t(percent) + 99) / 100);
    return sorted[std::min(rank, sorted.size()) - 1];
}

void printDistribution(const std::vector<Spread>& spreads, int seeds) {
    if (spreads.empty())
        return;
    std::printf("\n偏移值 BestOffset 的分布（%d 个种子）\n\n", seeds);
    std::printf("| 请求 | 搜索 | 最好 | P10 | P25 | 中位 | P75 | P90 | 最差 | 平均 |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Spread& s : spreads) {
        for (int refined = 0; refined < 2; ++refined) {
            std::vector<Offset> v = refined ? s.refined : s.classic;
            std::sort(v.begin(), v.end());
            double mean = 0;
            for (Offset o : v)
                mean += double(o) / double(v.size());
            std::printf("| %s | %s | %lld | %lld | %lld | %lld | %lld | %lld | %lld | %.1f |\n", qPrintable(s.request),
                        refined ? "经典+精细" : "经典", (long long)v.front(), (long long)percentile(v, 10),
                        (long long)percentile(v, 25), (long long)percentile(v, 50), (long long)percentile(v, 75),
                        (long long)percentile(v, 90), (long long)v.back(), mean);
        }
    }
}

// A request written NAME:TYPES:SHARES:UNIT:COUNT (see the head of this file).
bool parseRequest(const QString& text, Request& r) {
    const QStringList parts = text.split(u':');
    if (parts.size() != 5)
        return false;
    const QStringList types = parts[1].split(u',');
    const QStringList shares = parts[2].split(u',');
    if (types.size() != kTypeSlotCount || shares.size() != kLevelCount)
        return false;
    r.name = parts[0];
    for (int i = 0; i < kTypeSlotCount; ++i)
        r.types[i] = types[i].trimmed().toInt();
    for (int k = 0; k < kLevelCount; ++k)
        r.shares[k] = shares[k].trimmed().toInt();
    if (parts[3] == u"节")
        r.unit = Request::Unit::Section;
    else if (parts[3] == u"章")
        r.unit = Request::Unit::Chapter;
    else if (parts[3] == u"册")
        r.unit = Request::Unit::Volume;
    else
        return false;
    bool ok = false;
    r.units = parts[4].toInt(&ok);
    return ok && r.units > 0;
}

void run(Source& source, int seeds, int exactSeeds, const ComposeOptions& refined, Totals& totals, bool distribution) {
    std::printf("\n### %s\n\n", qPrintable(source.name()));
    std::printf("| 请求 | M | K | 下限 | 经典 最好/中位/最差 | 经典+精细 最好/中位/最差 | 比值 | 经典 用时 ms | "
                "经典+精细 用时 ms | 候选查询 ms | 精确 最优值 | 精确 返回偏移值 | 精确 用时 中位/最差 ms |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    ComposeOptions exact = refined;
    exact.exact = true;
    ComposeOptions twoPapers = exact;
    twoPapers.twoPapers = true;
    QStringList pairRows;  // the A/B table
    ComposeOptions classicOnly;
    classicOnly.refine = false;
    std::vector<Spread> spreads;
    for (const Request& r : requests()) {
        const QStringList paths = source.scopeOf(r);
        CompositionParameters p = requestParameters(paths, source.knowledgePoints(paths), r.types, r.shares);
        p.AuthorFilter = source.authors();
        p.SourceFilter = source.sources();
        double querySeconds = 0;
        const CandidateTable table = source.candidates(p, querySeconds);
        const CandidatePool pool(table, p);
        if (pool.distinctNumbers() < p.TotalWanted) {
            std::printf("| %s | %d | %d | | 题目不足 | | | | | | | | |\n", qPrintable(r.name), pool.size(),
                        pool.knowledgePointCount());
            continue;
        }
        // Refining keeps the asked type counts: the asked types must fill the paper.
        if (!composable(pool, p.TotalWanted, refined)) {
            std::printf("| %s | %d | %d | | 所选题型的题目不足 | | | | | | | | |\n", qPrintable(r.name), pool.size(),
                        pool.knowledgePointCount());
            continue;
        }
        std::vector<Offset> classic, better;
        std::vector<double> classicMs, betterMs;
        for (int seed = 1; seed <= seeds; ++seed) {
            QElapsedTimer t;
            std::mt19937 a(seed);
            t.start();
            classic.push_back(composePlan(pool, p.TotalWanted, a, classicOnly).BestOffset);
            classicMs.push_back(t.nsecsElapsed() / 1e6);
            std::mt19937 b(seed);
            t.restart();
            better.push_back(composePlan(pool, p.TotalWanted, b, refined).BestOffset);
            betterMs.push_back(t.nsecsElapsed() / 1e6);
        }
        // The exact stage (its whole command: classic, refinement, models).
        std::vector<Offset> exactOffsets;
        std::vector<double> exactMs;
        Offset bound = std::numeric_limits<Offset>::max();
        bool allProven = true;
        for (int seed = 1; seed <= exactSeeds; ++seed) {
            QElapsedTimer t;
            std::mt19937 c(seed);
            t.start();
            const ComposeResult e = composePlan(pool, p.TotalWanted, c, exact);
            exactMs.push_back(t.nsecsElapsed() / 1e6);
            exactOffsets.push_back(e.BestOffset);
            bound = std::min(bound, e.bound.value_or(0));
            allProven = allProven && e.bound && *e.bound >= e.BestOffset;
        }
        QString exactColumns = " | | ";
        if (!exactOffsets.empty()) {
            ++totals.exactRequests;
            totals.exactProven += allProven;
            totals.exactMs.insert(totals.exactMs.end(), exactMs.begin(), exactMs.end());
            if (!allProven)
                totals.stopped << QString("%1（%2）").arg(r.name, source.name());
            exactColumns = QString("%1%2 | %3 / %4 | %5 / %6")
                               .arg(allProven ? "" : "≥ ")
                               .arg(bound)
                               .arg(median(exactOffsets))
                               .arg(*std::max_element(exactOffsets.begin(), exactOffsets.end()))
                               .arg(median(exactMs), 0, 'f', 0)
                               .arg(*std::max_element(exactMs.begin(), exactMs.end()), 0, 'f', 0);
        }
        // A/B papers: two plans without a common question, optimal together.
        if (exactSeeds > 0 && composable(pool, p.TotalWanted, twoPapers)) {
            std::vector<double> ms;
            std::vector<Offset> sums;
            Offset pairBound = std::numeric_limits<Offset>::max();
            bool proven = true;
            QString last;
            for (int seed = 1; seed <= exactSeeds; ++seed) {
                QElapsedTimer t;
                std::mt19937 c(seed);
                t.start();
                const ComposeResult e = composePlan(pool, p.TotalWanted, c, twoPapers);
                ms.push_back(t.nsecsElapsed() / 1e6);
                sums.push_back(e.BestOffset + e.SecondOffset);
                pairBound = std::min(pairBound, e.bound.value_or(0));
                proven = proven && e.bound && *e.bound >= sums.back();
                last = QString("%1 / %2").arg(e.BestOffset).arg(e.SecondOffset);
            }
            if (!proven)
                totals.stopped << QString("A/B %1（%2）").arg(r.name, source.name());
            pairRows << QString("| %1 | %2%3 | %4 | %5 | %6 / %7 |")
                            .arg(r.name)
                            .arg(proven ? "" : "≥ ")
                            .arg(pairBound)
                            .arg(median(sums))
                            .arg(last)
                            .arg(median(ms), 0, 'f', 0)
                            .arg(*std::max_element(ms.begin(), ms.end()), 0, 'f', 0);
        }
        const Offset mc = median(classic), mb = median(better);
        const double ratio = mc > 0 ? double(mb) / double(mc) : 0;
        ++totals.requests;
        totals.met += mb * 5 <= mc;
        auto spread = [](const std::vector<Offset>& v) {
            return QString("%1 / %2 / %3")
                .arg(*std::min_element(v.begin(), v.end()))
                .arg(median(v))
                .arg(*std::max_element(v.begin(), v.end()));
        };
        std::printf("| %s | %d | %d | %lld | %s | %s | %.3f%s | %.1f | %.1f | %.1f | %s |\n", qPrintable(r.name),
                    pool.size(), pool.knowledgePointCount(), (long long)pool.offsetLowerBound(p.TotalWanted),
                    qPrintable(spread(classic)), qPrintable(spread(better)), ratio, mb * 5 <= mc ? "" : " (>1/5)",
                    median(classicMs), median(betterMs), querySeconds * 1e3, qPrintable(exactColumns));
        std::fflush(stdout);
        spreads.push_back({r.name, classic, better});
    }
    if (!pairRows.isEmpty()) {
        std::printf("\nA/B 卷（两套没有相同题目的方案，偏移值之和最小）\n\n");
        std::printf("| 请求 | 最优偏移值之和 | 返回的偏移值之和 | A / B | 用时 中位/最差 ms |\n");
        std::printf("|---|---:|---:|---:|---:|\n");
        for (const QString& row : pairRows)
            std::printf("%s\n", qPrintable(row));
    }
    if (distribution)
        printDistribution(spreads, seeds);
}

QString bankFileOf(const QString& arg) {
    const QFileInfo info(arg);
    return info.isDir() ? QDir(arg).filePath(kBankFileName) : arg;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int seeds = 30;
    int exactSeeds = 5;
    ComposeOptions refined;
    std::vector<int> rows;
    QStringList banks;
    std::vector<Request> custom;
    bool distribution = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--seeds" && i + 1 < args.size()) {
            seeds = args[++i].toInt();
        } else if (a == "--exact-seeds" && i + 1 < args.size()) {
            exactSeeds = args[++i].toInt();
        } else if (a == "--exact-ms" && i + 1 < args.size()) {
            refined.exactStage.timeLimit = std::chrono::milliseconds(args[++i].toInt());
        } else if (a == "--budget-ms" && i + 1 < args.size()) {
            refined.refinement.budget = std::chrono::milliseconds(args[++i].toInt());
        } else if (a == "--rows" && i + 1 < args.size()) {
            rows.push_back(args[++i].toInt());
        } else if (a == "--request" && i + 1 < args.size()) {
            Request r;
            if (!parseRequest(args[++i], r)) {
                std::fprintf(stderr, "bad request (NAME:TYPES:SHARES:UNIT:COUNT): %s\n", qPrintable(args[i]));
                return 2;
            }
            custom.push_back(r);
        } else if (a == "--distribution") {
            distribution = true;
        } else if (a == "--make-bank" && i + 2 < args.size()) {
            const int n = args[i + 1].toInt();
            const QString dir = args[i + 2];
            QDir().mkpath(dir);
            SyntheticBank::generate(SyntheticBank::shapeFor(n), n, unsigned(n)).writeBank(bankFileOf(dir));
            std::printf("%s\n", qPrintable(bankFileOf(dir)));
            return 0;
        } else if (a.startsWith("--")) {
            std::fprintf(stderr,
                         "usage: composequality_bench [--seeds N] [--exact-seeds E] [--exact-ms T] [--budget-ms B] "
                         "[--rows R]... [--request R]... [--distribution] [BANK]...\n"
                         "       composequality_bench --make-bank ROWS DIR\n");
            return 2;
        } else {
            banks << bankFileOf(a);
        }
    }
    if (rows.empty() && banks.isEmpty())
        rows = {10000, 100000};
    if (!custom.empty())
        requests() = custom;

    std::printf("## 组卷质量：经典搜索 与 经典搜索+精细优化（%d 个种子，精细优化时间上限 %lld ms）\n", seeds,
                (long long)std::chrono::duration_cast<std::chrono::milliseconds>(refined.refinement.budget).count());
    Totals totals;
    try {
        for (int n : rows) {
            MemorySource source(n);
            run(source, seeds, exactSeeds, refined, totals, distribution);
        }
        for (const QString& b : banks) {
            BankSource source(b);
            run(source, seeds, exactSeeds, refined, totals, distribution);
        }
    } catch (const StoreError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("\n目标（精细优化后的中位偏移值不超过经典搜索的五分之一）：%d / %d 个请求达到\n", totals.met,
                totals.requests);
    if (totals.exactRequests > 0) {
        std::printf("精确求解：%d / %d 个请求每次都证明了最优；用时中位 %.0f ms，最长 %.0f ms\n", totals.exactProven,
                    totals.exactRequests, median(totals.exactMs),
                    *std::max_element(totals.exactMs.begin(), totals.exactMs.end()));
        for (const QString& s : totals.stopped)
            std::printf("  到达时间上限：%s\n", qPrintable(s));
    }
    return 0;
}
