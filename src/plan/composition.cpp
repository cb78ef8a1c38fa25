#include "plan/composition.h"

#include "questions/rowcheck.h"
#include "store/bank.h"
#include "store/statement.h"

#include <algorithm>
#include <chrono>

namespace zs {

// ---------------------------------------------------------------- messages

QString planQualityLine(Offset gap, bool twoPapers) {
    if (twoPapers)
        return gap <= 0 ? QStringLiteral("A、B两套方案已证明为最优组合。")
                        : QStringLiteral("A、B两套方案的偏移值之和与理论最优值至多相差 %1。").arg(gap);
    return gap <= 0 ? QStringLiteral("该方案已证明为最优方案。")
                    : QStringLiteral("该方案与理论最优值至多相差 %1。").arg(gap);
}

QString secondPlanLine(Offset offset) {
    return QStringLiteral("同时计算出了B卷方案（与A卷没有相同的题目），其偏移值为：%1").arg(offset);
}

QStringList requestShortfalls(const CandidatePool& pool, int papers) {
    // Different questions of each type slot and level.
    std::array<std::vector<char>, kTypeSlotCount> ofType;
    std::array<std::vector<char>, kLevelCount> ofLevel;
    for (auto& v : ofType)
        v.assign(pool.distinctNumbers(), 0);
    for (auto& v : ofLevel)
        v.assign(pool.distinctNumbers(), 0);
    for (int r = 0; r < pool.size(); ++r) {
        if (pool.typeSlot(r) >= 0)
            ofType[pool.typeSlot(r)][pool.numberId(r)] = 1;
        if (pool.level(r) >= 0)
            ofLevel[pool.level(r)][pool.numberId(r)] = 1;
    }
    QStringList lines;
    auto check = [&](const QString& name, int target, const std::vector<char>& questions) {
        const int available = int(std::count(questions.begin(), questions.end(), 1));
        const int wanted = target * papers;
        if (target <= 0 || available >= wanted)
            return;
        const QString each = papers == 1 ? QString() : QStringLiteral("（A、B卷各 %1 道）").arg(target);
        lines << QStringLiteral("%1：需要 %2 道%3，所选范围内只有 %4 道。")
                     .arg(name)
                     .arg(wanted)
                     .arg(each)
                     .arg(available);
    };
    for (int t = 0; t < kTypeSlotCount; ++t)
        check(typeSlotCaptions()[t], pool.typeTargets()[t], ofType[t]);
    for (int l = 0; l < kLevelCount; ++l)
        check(levelNames()[l], pool.levelTargets()[l], ofLevel[l]);
    return lines;
}

ScopeCounts scopeCounts(const CandidatePool& pool) {
    ScopeCounts counts;
    counts.questions = pool.distinctNumbers();
    counts.types = questionsPerType(pool);
    counts.levels = questionsPerLevel(pool);
    return counts;
}

ScopeCounts scopeCountsInBank(Bank& bank, const CompositionParameters& parameters) {
    ScopeCounts counts;
    if (parameters.ScopePaths.isEmpty())
        return counts;
    // The candidate statement's conditions, counted instead of read.
    const QString select = QStringLiteral("select * from 试题库 where");
    const QString conditions = candidateQuery(parameters).mid(select.size()) + usableQuestionsCondition();
    const RowSet total =
        bank.query(QStringLiteral("select count(distinct 题目编号) as 题数 from 试题库 where") + conditions);
    counts.questions = total.isEmpty() ? 0 : total.value(0, 0).toInt();
    const RowSet grouped =
        bank.query(QStringLiteral("select 题型, 难度, count(distinct 题目编号) as 题数 from 试题库 where") +
                   conditions + QStringLiteral(" group by 题型, 难度"));
    for (int r = 0; r < grouped.count(); ++r) {
        const int n = grouped.value(r, 2).toInt();
        if (const int t = typeSlotOf(grouped.text(r, 0)); t >= 0)
            counts.types[t] += n;
        if (const int l = difficultyLevel(grouped.text(r, 1)); l >= 0)
            counts.levels[l] += n;
    }
    return counts;
}

QString scopeCountsText(const ScopeCounts& counts) {
    QStringList types, levels;
    for (int t = 0; t < kTypeSlotCount; ++t)
        if (counts.types[t] > 0)
            types << QStringLiteral("%1 %2 道").arg(typeSlotCaptions()[t]).arg(counts.types[t]);
    for (int l = 0; l < kLevelCount; ++l)
        if (counts.levels[l] > 0)
            levels << QStringLiteral("%1 %2 道").arg(levelNames()[l]).arg(counts.levels[l]);
    QString text = QStringLiteral("共 %1 道题").arg(counts.questions);
    if (!types.isEmpty())
        text += QStringLiteral("。题型：") + types.join(QStringLiteral("，"));
    if (!levels.isEmpty())
        text += (types.isEmpty() ? QStringLiteral("。") : QStringLiteral("；")) + QStringLiteral("难度：") +
                levels.join(QStringLiteral("，"));
    return text + QStringLiteral("。");
}

QString refusalWithCounts(const QString& refusal, const ScopeCounts& counts) {
    return refusal + QStringLiteral("\r\r所选范围内") + scopeCountsText(counts);
}

QString askedTypesTooFewMessage(const CandidatePool& pool, int totalWanted, int papers) {
    const std::array<int, kTypeSlotCount> available = questionsPerType(pool);
    QStringList types;
    int sum = 0;
    for (int t = 0; t < kTypeSlotCount; ++t)
        if (pool.typeTargets()[t] > 0) {
            types << QStringLiteral("%1 %2 道").arg(typeSlotCaptions()[t]).arg(available[t]);
            sum += available[t];
        }
    if (papers > 1)
        return QStringLiteral("对不起，所选考查范围内所要求题型的题目只有 %1 道（%2），不够组成两套各 %3 "
                              "道题、没有相同题目的A/B卷，无法同时生成A/B卷！")
            .arg(sum)
            .arg(types.join(QStringLiteral("，")))
            .arg(totalWanted);
    return QStringLiteral("对不起，所选考查范围内所要求题型的题目只有 %1 道（%2），少于您组卷所需的总题数 %3 "
                          "道，无法进行智能组卷！")
        .arg(sum)
        .arg(types.join(QStringLiteral("，")))
        .arg(totalWanted);
}

QString planTypesLine(const CandidatePool& pool, const Plan& plan, int papers) {
    std::array<int, kTypeSlotCount> counts{};
    for (int r : plan)
        if (const int t = pool.typeSlot(r); t >= 0)
            ++counts[t];
    if (counts == pool.typeTargets())
        return {};
    QStringList types;
    for (int t = 0; t < kTypeSlotCount; ++t)
        if (counts[t] > 0)
            types << QStringLiteral("%1 %2 道").arg(typeSlotCaptions()[t]).arg(counts[t]);
    return QStringLiteral("所选范围内的题目不足，%1方案的题型为：%2。")
        .arg(papers > 1 ? QStringLiteral("A卷") : QString())
        .arg(types.join(QStringLiteral("，")));
}

QString shortfallQuestion(const QStringList& shortfalls) {
    return QStringLiteral("所选考查范围内的题目不能完全满足设置的要求：\r\r") + shortfalls.join(u'\r') +
           QStringLiteral("\r\r点击“确定”仍然计算最接近要求的方案，点击“取消”返回修改参数。");
}

// ---------------------------------------------------------------- the entry point

namespace {

// The candidates whose numbers none of the plans holds.
std::vector<int> rowsOutside(const CandidatePool& pool, const Plan& plan) {
    std::vector<char> taken(pool.distinctNumbers(), 0);
    for (int r : plan)
        if (r >= 0)
            taken[pool.numberId(r)] = 1;
    std::vector<int> rows;
    for (int r = 0; r < pool.size(); ++r)
        if (!taken[pool.numberId(r)])
            rows.push_back(r);
    return rows;
}

// The result message of the plans found.
QString resultMessage(const ComposeResult& r, bool twoPapers) {
    QString message = planResultMessage(r.BestOffset);
    if (twoPapers)
        message += QStringLiteral("\r\r") + secondPlanLine(r.SecondOffset);
    if (r.bound) {
        const Offset total = r.BestOffset + (twoPapers ? r.SecondOffset : 0);
        message += QStringLiteral("\r\r") + planQualityLine(total - *r.bound, twoPapers);
    }
    return message;
}

}  // namespace

bool composable(const CandidatePool& pool, int totalWanted, const ComposeOptions& options) {
    if (checkPlanRequest(pool, totalWanted, options.refine) != PlanStatus::Ready)
        return false;
    // Refining, the asked types must fill the paper (or each of two papers).
    if (options.refine && typesAsked(pool) && !askedTypeLimits(pool, totalWanted, options.twoPapers ? 2 : 1))
        return false;
    if (!options.twoPapers)
        return true;
    // Two papers without a common question: a B paper from what A leaves.
    return pool.distinctNumbers() >= 2 * totalWanted || (!options.refine && pool.size() >= 2 * totalWanted);
}

namespace {

// The stages after the request was accepted. The classic search runs over all
// candidates (`whole`), the later stages over `pool`, which holds the rows
// `rows` of the whole (the asked types; nullptr: all of them). The plans come
// back as indexes of `pool`.
ComposeResult composeAccepted(const CandidatePool& whole, const CandidatePool& pool, const std::vector<int>* rows,
                              int totalWanted, std::mt19937& random, const ComposeOptions& options) {
    ComposeResult result;
    result.status = checkPlanRequest(pool, totalWanted, options.refine);
    if (result.status != PlanStatus::Ready) {
        result.message = refusalWithCounts(refusalMessage(result.status, totalWanted), scopeCounts(pool));
        return result;
    }
    if (options.twoPapers && options.refine && pool.distinctNumbers() < 2 * totalWanted) {
        result.status = PlanStatus::RefusedTooFew;
        result.message = refusalWithCounts(kTooFewForTwoPapersMessage, scopeCounts(pool));
        return result;
    }
    PlanSearchResult classic = SearchPlan(whole, totalWanted, random);
    if (rows) {
        // Slots of a type not asked are left empty for the refinement to fill.
        std::vector<int> inPool(whole.size(), -1);
        for (int i = 0; i < int(rows->size()); ++i)
            inPool[(*rows)[i]] = i;
        for (int& r : classic.BestPlan)
            r = r >= 0 ? inPool[r] : -1;
    }
    result.status = classic.status;
    result.BestPlan = std::move(classic.BestPlan);
    result.BestOffset = classic.BestOffset;
    result.classicOffset = classic.BestOffset;
    result.message = classic.message;
    if (!classic.PlanReady())
        return result;

    bool valid = true;
    if (options.refine) {
        const RefineResult refined = refinePlan(pool, result.BestPlan, random, options.refinement);
        valid = refined.valid;
        if (refined.valid) {
            result.BestPlan = refined.plan;
            result.BestOffset = refined.offset;
            result.message = planResultMessage(refined.offset);
        }
    }

    // With the exact stage and two papers, each paper alone is made the best
    // first (a quarter of the time each), then the two together.
    const bool exact = options.exact && options.refine && valid;
    const auto started = std::chrono::steady_clock::now();
    ExactOptions single = options.exactStage;
    single.timeLimit = options.exactStage.timeLimit / 4;
    if (exact && options.twoPapers)
        result.BestPlan = exactPlans(pool, {result.BestPlan}, single).plans[0];

    if (options.twoPapers) {
        // The B paper: the same search over the questions the A paper leaves.
        const std::vector<int> rest = rowsOutside(pool, result.BestPlan);
        const CandidatePool restPool(pool, rest);
        if (checkPlanRequest(restPool, totalWanted, options.refine) != PlanStatus::Ready) {
            result.status = PlanStatus::RefusedTooFew;
            result.message = refusalWithCounts(kTooFewForTwoPapersMessage, scopeCounts(pool));
            return result;
        }
        PlanSearchResult second = SearchPlan(restPool, totalWanted, random);
        Plan plan = std::move(second.BestPlan);
        if (options.refine) {
            const RefineResult refined = refinePlan(restPool, plan, random, options.refinement);
            if (refined.valid)
                plan = refined.plan;
            if (refined.valid && exact)
                plan = exactPlans(restPool, {plan}, single).plans[0];
        }
        for (int& r : plan)
            r = r >= 0 ? rest[r] : -1;
        result.SecondPlan = std::move(plan);
        result.SecondOffset = pool.offset(result.SecondPlan);
    }

    if (exact) {
        std::vector<Plan> start = {result.BestPlan};
        ExactOptions rest = options.exactStage;
        if (options.twoPapers) {
            start.push_back(result.SecondPlan);
            const auto used =
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
            rest.timeLimit = std::max(std::chrono::milliseconds(0), options.exactStage.timeLimit - used);
        }
        const ExactResult found = exactPlans(pool, start, rest);
        result.BestPlan = found.plans[0];
        result.BestOffset = pool.offset(result.BestPlan);
        if (options.twoPapers) {
            result.SecondPlan = found.plans[1];
            result.SecondOffset = pool.offset(result.SecondPlan);
        }
        result.bound = found.bound;
        result.stoppedAtLimit = found.stoppedAtLimit;
    }
    result.message = resultMessage(result, options.twoPapers);
    return result;
}

}  // namespace

ComposeResult composePlan(const CandidatePool& pool, int totalWanted, std::mt19937& random,
                          const ComposeOptions& options) {
    // Refused before the search; refining, a plan of every number once needs as
    // many distinct questions as slots.
    if (const PlanStatus status = checkPlanRequest(pool, totalWanted, options.refine); status != PlanStatus::Ready) {
        ComposeResult result;
        result.status = status;
        result.message = refusalMessage(status, totalWanted);
        if (status == PlanStatus::RefusedTooFew)
            result.message = refusalWithCounts(result.message, scopeCounts(pool));
        return result;
    }
    if (!options.refine)
        return composeAccepted(pool, pool, nullptr, totalWanted, random, options);

    // Refining, the type counts are hard: only the asked types, each within its limits.
    const int papers = options.twoPapers ? 2 : 1;
    if (options.twoPapers && pool.distinctNumbers() < 2 * totalWanted) {
        ComposeResult result;
        result.status = PlanStatus::RefusedTooFew;
        result.message = refusalWithCounts(kTooFewForTwoPapersMessage, scopeCounts(pool));
        return result;
    }
    if (!typesAsked(pool))
        return composeAccepted(pool, pool, nullptr, totalWanted, random, options);  // no type asked: none kept
    const std::optional<TypeLimits> limits = askedTypeLimits(pool, totalWanted, papers);
    if (!limits) {
        ComposeResult result;
        result.status = PlanStatus::RefusedTooFew;
        result.message = askedTypesTooFewMessage(pool, totalWanted, papers);
        return result;
    }
    const std::vector<int> rows = rowsOfAskedTypes(pool);
    const CandidatePool asked(pool, rows);
    ComposeOptions within = options;
    within.refinement.typeLimits = limits;
    within.exactStage.typeLimits = limits;
    ComposeResult result = composeAccepted(pool, asked, &rows, totalWanted, random, within);
    for (Plan* plan : {&result.BestPlan, &result.SecondPlan})
        for (int& r : *plan)
            r = r >= 0 ? rows[r] : -1;
    if (result.PlanReady())
        if (const QString line = planTypesLine(pool, result.BestPlan, papers); !line.isEmpty())
            result.message += QStringLiteral("\r\r") + line;
    return result;
}

ComposeResult composePlan(const CandidateTable& candidates, const CompositionParameters& parameters,
                          std::mt19937& random, const ComposeOptions& options) {
    const CandidatePool pool(candidates, parameters);
    return composePlan(pool, parameters.TotalWanted, random, options);
}

namespace {

CandidateTable candidatesOf(const QString& bankPath, const CompositionParameters& parameters) {
    Bank bank(bankPath, Bank::Mode::ReadOnly);
    return BuildCandidates(bank, parameters);
}

}  // namespace

PreparedComposition::PreparedComposition(const QString& bankPath, CompositionRequest request)
    : request_(std::move(request)), candidates_(candidatesOf(bankPath, request_.parameters)),
      pool_(candidates_, request_.parameters) {}

QStringList PreparedComposition::shortfalls() const {
    const ComposeOptions& options = request_.options;
    if (!options.refine || !composable(pool_, request_.parameters.TotalWanted, options))
        return {};
    return requestShortfalls(pool_, options.twoPapers ? 2 : 1);
}

Composition PreparedComposition::run(std::mt19937& random) {
    Composition c;
    c.result = composePlan(pool_, request_.parameters.TotalWanted, random, request_.options);
    c.candidates = std::move(candidates_);
    if (c.result.PlanReady()) {
        c.rows = planRows(c.candidates, c.result.BestPlan);
        if (request_.options.twoPapers)
            c.secondRows = planRows(c.candidates, c.result.SecondPlan);
    }
    return c;
}

Composition composeFromBank(const QString& bankPath, const CompositionRequest& request, std::mt19937& random) {
    return PreparedComposition(bankPath, request).run(random);
}

}  // namespace zs
