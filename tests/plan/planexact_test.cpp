// The exact stage of composition: the model measures a plan exactly as the
// offset does, its answers equal a brute-force minimum on small pools, the
// refined plan never beats its proven bound, A/B plans share no question, and
// the solver stops at its time limit with a valid answer.

#include "plan/composition.h"
#include "plan/plan_fixtures.h"
#include "plan/planexact.h"

#include <QSet>
#include <gtest/gtest.h>
#include <limits>
#include <map>

using namespace zs;

namespace {

using namespace std::chrono_literals;

// A valid random plan: `total` candidates of different numbers (requires
// that many numbers), avoiding the numbers in `taken`.
Plan randomValidPlan(const CandidatePool& pool, int total, std::mt19937& random, std::vector<char>& taken) {
    Plan plan;
    while (int(plan.size()) < total) {
        const int r = randomBelow(random, pool.size());
        if (taken[pool.numberId(r)])
            continue;
        taken[pool.numberId(r)] = 1;
        plan.push_back(r);
    }
    return plan;
}

int freeNumbers(const CandidatePool& pool, const std::vector<char>& taken) {
    return pool.distinctNumbers() - int(std::count(taken.begin(), taken.end(), 1));
}

// Every plan of `total` candidates with different numbers, with its offset
// and the set of numbers it holds (a bit per number id).
struct Enumerated {
    Plan plan;
    Offset offset;
    std::uint64_t numbers;
};

std::vector<Enumerated> allPlans(const CandidatePool& pool, int total) {
    std::vector<std::vector<int>> rowsOf(pool.distinctNumbers());
    for (int r = 0; r < pool.size(); ++r)
        rowsOf[pool.numberId(r)].push_back(r);
    std::vector<Enumerated> out;
    Plan plan;
    std::function<void(int, std::uint64_t)> next = [&](int from, std::uint64_t used) {
        if (int(plan.size()) == total) {
            out.push_back({plan, pool.offset(plan), used});
            return;
        }
        for (int id = from; id < pool.distinctNumbers(); ++id)
            for (int r : rowsOf[id]) {
                plan.push_back(r);
                next(id + 1, used | (std::uint64_t(1) << id));
                plan.pop_back();
            }
    };
    next(0, 0);
    return out;
}

QSet<int> numberIds(const CandidatePool& pool, const Plan& plan) {
    QSet<int> ids;
    for (int r : plan)
        ids.insert(pool.numberId(r));
    return ids;
}

ComposeOptions exactOptions(bool twoPapers = false) {
    ComposeOptions o;
    o.refine = true;
    o.refinement.budget = 60s;
    o.refinement.stallRounds = 30;
    o.exact = true;
    o.exactStage.timeLimit = 60s;
    o.twoPapers = twoPapers;
    return o;
}

// Scope points with corner cases: an empty entry is slot 0's twin, and a
// point listed twice counts in both slots.
QStringList scopePoints(std::mt19937& random) {
    QStringList points;
    const int k = randomBelow(random, 7);
    for (int i = 0; i < k; ++i)
        points << QString("点%1").arg(randomBelow(random, 6));
    return points;
}

}  // namespace

TEST(ExactModel, MeasuresEveryPlanExactlyAsTheOffsetDoes) {
    std::mt19937 random(2024);
    for (int round = 0; round < 150; ++round) {
        const QStringList points = scopePoints(random);
        const CandidateTable table = test::randomCandidates(random, 8 + randomBelow(random, 60), points);
        const CompositionParameters p = test::randomParameters(random, points, 1);
        const CandidatePool pool(table, p);
        const ExactPool exactPool(pool);
        const int plans = 1 + randomBelow(random, 2);
        const int total = 1 + randomBelow(random, std::max(1, pool.distinctNumbers() / plans));
        std::vector<char> taken(pool.distinctNumbers(), 0);
        if (freeNumbers(pool, taken) < plans * total)
            continue;
        std::vector<Plan> chosen;
        Offset offsets = 0;
        for (int q = 0; q < plans; ++q) {
            chosen.push_back(randomValidPlan(pool, total, random, taken));
            offsets += planOffset(planRows(table, chosen.back()), p);
        }
        // Plan A is the one of lower mean, or of fewer hits.
        auto hits = [&](const Plan& plan) {
            Offset h = 0;
            for (int r : plan)
                h += pool.knowledgeHits(r);
            return h;
        };
        std::sort(chosen.begin(), chosen.end(), [&](const Plan& a, const Plan& b) {
            return std::make_pair(planMean(pool, a), hits(a)) < std::make_pair(planMean(pool, b), hits(b));
        });
        std::vector<Offset> means;
        for (const Plan& plan : chosen)
            means.push_back(planMean(pool, plan));
        const ExactModel model(exactPool, total, means);
        ASSERT_TRUE(model.possible());
        const std::vector<double> values = model.valuesOf(chosen);
        ASSERT_TRUE(model.satisfies(values)) << "round " << round;
        ASSERT_EQ(model.objectiveOf(values), double(offsets)) << "round " << round;
        ASSERT_EQ(model.plansOf(values).size(), size_t(plans));

        // Narrowed by a bound just above the plans' offsets they still fit;
        // a model of another mean refuses them (when K > 0 and the mean differs).
        const ExactModel narrowed(exactPool, total, means, offsets + 1);
        ASSERT_TRUE(narrowed.possible());
        ASSERT_TRUE(narrowed.satisfies(narrowed.valuesOf(chosen))) << "round " << round;
        if (pool.knowledgePointCount() > 0) {
            std::vector<Offset> other = means;
            other.back() += 1;
            const ExactModel elsewhere(exactPool, total, other);
            if (elsewhere.possible()) {
                ASSERT_FALSE(elsewhere.satisfies(elsewhere.valuesOf(chosen))) << "round " << round;
            }
        }
    }
}

TEST(ExactModel, TakesNoQuestionTwiceAndCountsEachGroupsQuestions) {
    // Question 1 has two rows in different classes; 2 and 3 are alike.
    const QStringList points = {"甲", "乙"};
    const CandidateTable table = {{"00001", "节1", "单选题", "0.5", "甲", "x"},
                                  {"00001", "节2", "单选题", "0.5", "乙", "x"},
                                  {"00002", "节1", "单选题", "0.5", "甲", "x"},
                                  {"00003", "节1", "单选题", "0.5", "甲", "x"}};
    CompositionParameters p = test::parametersOver(points, 2);
    const CandidatePool pool(table, p);
    const ExactPool exactPool(pool);
    EXPECT_EQ(exactPool.classes().size(), 2u);
    EXPECT_EQ(exactPool.groups().size(), 2u);  // {00001} in both classes, {00002, 00003} in one
    EXPECT_EQ(exactPool.questionsOfType(0), 3);
    EXPECT_EQ(exactPool.questionsOfLevel(2), 3);

    // Both rows of question 1 in one plan break the group's row.
    const ExactModel model(exactPool, 2, {planMean(pool, {0, 1})});
    EXPECT_FALSE(model.satisfies(model.valuesOf({{0, 1}})));
    EXPECT_TRUE(model.satisfies(model.valuesOf({{1, 2}})));
    // Plans read back from counts take different questions.
    const std::vector<Plan> back = model.plansOf(model.valuesOf({{1, 2}}));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(numberIds(pool, back[0]).size(), 2);
    EXPECT_EQ(pool.offset(back[0]), pool.offset({1, 2}));
}

TEST(exactPlans, EqualsTheBruteForceMinimumOnSmallPools) {
    std::mt19937 random(7);
    int checked = 0;
    for (int round = 0; round < 60; ++round) {
        const QStringList points = scopePoints(random);
        const CandidateTable table = test::randomCandidates(random, 6 + randomBelow(random, 9), points);
        const CompositionParameters p = test::randomParameters(random, points, 1);
        const CandidatePool pool(table, p);
        if (pool.distinctNumbers() > 14)
            continue;
        const int total = 1 + randomBelow(random, std::min(4, pool.distinctNumbers()));
        Offset best = std::numeric_limits<Offset>::max();
        for (const Enumerated& e : allPlans(pool, total))
            best = std::min(best, e.offset);

        std::vector<char> taken(pool.distinctNumbers(), 0);
        const Plan start = randomValidPlan(pool, total, random, taken);
        const ExactResult exact = exactPlans(pool, {start}, {60s});
        ASSERT_EQ(exact.offset, best) << "round " << round;
        EXPECT_EQ(exact.bound, best) << "round " << round;
        EXPECT_TRUE(exact.proven());
        EXPECT_FALSE(exact.stoppedAtLimit);
        ASSERT_EQ(exact.plans.size(), 1u);
        ASSERT_EQ(exact.plans[0].size(), size_t(total));
        EXPECT_EQ(numberIds(pool, exact.plans[0]).size(), total);
        EXPECT_EQ(planOffset(planRows(table, exact.plans[0]), p), best);
        ++checked;
    }
    EXPECT_GT(checked, 30);
}

TEST(exactPlans, WithTypeLimitsEqualsTheBruteForceMinimumOfAdmittedPlans) {
    // Random requests whose type counts add up to the total, as the screen
    // makes them; the start may hold any type.
    std::mt19937 random(17);
    int checked = 0, moved = 0;
    for (int round = 0; round < 80; ++round) {
        const QStringList points = scopePoints(random);
        const CandidateTable table = test::randomCandidates(random, 8 + randomBelow(random, 8), points);
        CompositionParameters p = test::randomParameters(random, points, 1);
        const int total = 2 + randomBelow(random, 3);
        p.TypeTargets = {};
        for (int i = 0; i < total; ++i)
            ++p.TypeTargets[randomBelow(random, 3) * 2];  // 单选题, 填空题, 计算题
        p.TotalWanted = total;
        const CandidatePool pool(table, p);
        if (pool.distinctNumbers() > 14 || pool.distinctNumbers() < total)
            continue;
        const std::optional<TypeLimits> limits = askedTypeLimits(pool, total);
        if (!limits)
            continue;
        Offset best = std::numeric_limits<Offset>::max(), unlimited = best;
        for (const Enumerated& e : allPlans(pool, total)) {
            unlimited = std::min(unlimited, e.offset);
            if (limits->admit(pool, e.plan))
                best = std::min(best, e.offset);
        }
        if (best == std::numeric_limits<Offset>::max())
            continue;  // rows of one question under two types can leave no admitted plan
        moved += best > unlimited;

        std::vector<char> taken(pool.distinctNumbers(), 0);
        const Plan start = randomValidPlan(pool, total, random, taken);
        ExactOptions options{60s};
        options.typeLimits = limits;
        const ExactResult exact = exactPlans(pool, {start}, options);
        ASSERT_EQ(exact.offset, best) << "round " << round;
        EXPECT_EQ(exact.bound, best) << "round " << round;
        ASSERT_EQ(exact.plans.size(), 1u);
        EXPECT_TRUE(limits->admit(pool, exact.plans[0])) << "round " << round;
        EXPECT_EQ(numberIds(pool, exact.plans[0]).size(), total);
        ++checked;
    }
    EXPECT_GT(checked, 20);
    // The limits decide: often the best plan of any types has another mix.
    EXPECT_GT(moved, 3);
}

TEST(TypeLimits, AskedCountsAreExactAndAShortTypeIsMadeUpByTheOthers) {
    // 3 多选题 (one with two rows), 6 填空题, 4 判断题.
    CandidateTable table;
    auto add = [&](int number, const QString& type) {
        table.push_back({questionNumberText(number), "节", type, "0.5", "", "x"});
    };
    for (int i = 1; i <= 3; ++i)
        add(i, "多选题");
    add(1, "多选题");
    for (int i = 4; i <= 9; ++i)
        add(i, "填空题");
    for (int i = 10; i <= 13; ++i)
        add(i, "判断题");
    CompositionParameters p = test::parametersOver({}, 7);
    p.TypeTargets[1] = 2;
    p.TypeTargets[2] = 5;
    const CandidatePool pool(table, p);
    EXPECT_EQ(questionsPerType(pool), (std::array<int, 8>{0, 3, 6, 4, 0, 0, 0, 0}));

    // Enough of both: exactly as asked, nothing of the 判断题.
    std::optional<TypeLimits> l = askedTypeLimits(pool, 7);
    ASSERT_TRUE(l.has_value());
    EXPECT_EQ(l->least, (std::array<int, 8>{0, 2, 5, 0, 0, 0, 0, 0}));
    EXPECT_EQ(l->most, (std::array<int, 8>{0, 2, 5, 0, 0, 0, 0, 0}));
    EXPECT_EQ(l->leastTypeSum(p.TypeTargets, 7), 0);
    EXPECT_TRUE(l->admit(pool, {0, 1, 4, 5, 6, 7, 8}));
    EXPECT_FALSE(l->admit(pool, {0, 4, 5, 6, 7, 8, 9}));   // 1 + 6
    EXPECT_FALSE(l->admit(pool, {0, 1, 4, 5, 6, 7, 10}));  // a 判断题
    EXPECT_FALSE(l->admit(pool, {0, 1, 4, 5, 6, 7, -1}));  // an empty slot

    // 4 多选题 asked, 3 there: all three, and the 填空题 make up the total.
    p.TypeTargets[1] = 4;
    p.TypeTargets[2] = 3;
    const CandidatePool shortPool(table, p);
    l = askedTypeLimits(shortPool, 7);
    ASSERT_TRUE(l.has_value());
    EXPECT_EQ(l->least, (std::array<int, 8>{0, 3, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(l->most, (std::array<int, 8>{0, 3, 4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(l->leastTypeSum(p.TypeTargets, 7), 5 * (1 + 1));

    // Two papers share the questions of each type: too few 多选题 and 填空题 for 7 each.
    EXPECT_FALSE(askedTypeLimits(shortPool, 7, 2).has_value());
    EXPECT_EQ(askedTypesTooFewMessage(shortPool, 7, 2),
              "对不起，所选考查范围内所要求题型的题目只有 9 道（多选题 3 道，填空题 6 道），不够组成两套各 7 "
              "道题、没有相同题目的A/B卷，无法同时生成A/B卷！");
    // The asked types alone hold too few for 10.
    p.TypeTargets[2] = 6;
    p.TotalWanted = 10;
    const CandidatePool tenPool(table, p);
    EXPECT_FALSE(askedTypeLimits(tenPool, 10).has_value());
    EXPECT_EQ(askedTypesTooFewMessage(tenPool, 10),
              "对不起，所选考查范围内所要求题型的题目只有 9 道（多选题 3 道，填空题 6 道），少于您组卷所需的总题数 10 "
              "道，无法进行智能组卷！");
}

TEST(ComposePlan, RefiningKeepsTheAskedTypesExactlyAndNamesAShortType) {
    // A scope where a better knowledge coverage lies in a type not asked for:
    // 8 单选题 all on one point, 填空题 and 解答题 spread over six points.
    QStringList points;
    for (int i = 1; i <= 6; ++i)
        points << QString("%1-点").arg(i);
    CandidateTable table;
    int number = 0;
    auto add = [&](const QString& type, const QString& point) {
        ++number;
        table.push_back({questionNumberText(number), "节", type, "0.5", point, "x"});
    };
    for (int i = 0; i < 8; ++i)
        add("单选题", points[0]);
    for (int i = 0; i < 6; ++i)
        add("填空题", points[i]);
    for (int i = 1; i <= 4; ++i)
        add("解答题", points[i]);
    add("多选题", points[5]);
    CompositionParameters p = test::parametersOver(points, 8);
    p.TypeTargets[0] = 6;
    p.TypeTargets[2] = 2;
    p.LevelTargets[2] = 8;
    auto typesOf = [&](const Plan& plan) {
        std::map<QString, int> counts;
        for (int r : plan)
            ++counts[table[r].type];
        return counts;
    };
    {
        std::mt19937 random(5);
        const ComposeResult r = composePlan(table, p, random, exactOptions());
        ASSERT_TRUE(r.PlanReady()) << r.message.toStdString();
        EXPECT_EQ(typesOf(r.BestPlan), (std::map<QString, int>{{"单选题", 6}, {"填空题", 2}}));
        // 6 hits on one point, two on others: 5 × (1 + 25 + 0 + 0 + 3 × 1).
        EXPECT_EQ(r.BestOffset, 145);
        EXPECT_EQ(r.message, planResultMessage(145) + "\r\r该方案已证明为最优方案。");
    }
    // The offset alone would rather take 解答题.
    const CandidatePool pool(table, p);
    Plan mixed = {0, 1, 2, 3, 9, 10, 14, 15};
    EXPECT_LT(pool.offset(mixed), 145);

    // 2 多选题 and 5 填空题 over a scope of one 多选题: it and six 填空题.
    p.TypeTargets = {0, 2, 5, 0, 0, 0, 0, 0};
    p.TotalWanted = 7;
    p.LevelTargets = {0, 0, 7, 0, 0};
    std::mt19937 random(6);
    const ComposeResult r = composePlan(table, p, random, exactOptions());
    ASSERT_TRUE(r.PlanReady()) << r.message.toStdString();
    EXPECT_EQ(typesOf(r.BestPlan), (std::map<QString, int>{{"多选题", 1}, {"填空题", 6}}));
    EXPECT_TRUE(r.message.endsWith(
        "该方案已证明为最优方案。\r\r所选范围内的题目不足，方案的题型为：多选题 1 道，填空题 6 道。"))
        << r.message.toStdString();

    // Unticked, the classic search keeps the offset as it is: no limits.
    ComposeOptions classic;
    classic.refine = false;
    std::mt19937 same(6), again(6);
    EXPECT_EQ(composePlan(table, p, same, classic).BestPlan, SearchPlan(CandidatePool(table, p), 7, again).BestPlan);
}

TEST(exactPlans, TwoPapersEqualTheBruteForceMinimumOfDisjointPairs) {
    std::mt19937 random(11);
    int checked = 0;
    for (int round = 0; round < 40; ++round) {
        const QStringList points = scopePoints(random);
        const CandidateTable table = test::randomCandidates(random, 8 + randomBelow(random, 6), points);
        const CompositionParameters p = test::randomParameters(random, points, 1);
        const CandidatePool pool(table, p);
        if (pool.distinctNumbers() > 12)
            continue;
        const int total = 1 + randomBelow(random, std::min(3, pool.distinctNumbers() / 2));
        const std::vector<Enumerated> plans = allPlans(pool, total);
        Offset best = std::numeric_limits<Offset>::max();
        for (size_t a = 0; a < plans.size(); ++a)
            for (size_t b = a + 1; b < plans.size(); ++b)
                if ((plans[a].numbers & plans[b].numbers) == 0)
                    best = std::min(best, plans[a].offset + plans[b].offset);

        std::vector<char> taken(pool.distinctNumbers(), 0);
        const Plan a = randomValidPlan(pool, total, random, taken);
        const Plan b = randomValidPlan(pool, total, random, taken);
        const ExactResult exact = exactPlans(pool, {a, b}, {60s});
        ASSERT_EQ(exact.offset, best) << "round " << round;
        EXPECT_TRUE(exact.proven());
        ASSERT_EQ(exact.plans.size(), 2u);
        EXPECT_EQ(pool.offset(exact.plans[0]) + pool.offset(exact.plans[1]), best);
        EXPECT_LE(pool.offset(exact.plans[0]), pool.offset(exact.plans[1]));
        const QSet<int> ids = numberIds(pool, exact.plans[0]) + numberIds(pool, exact.plans[1]);
        EXPECT_EQ(ids.size(), 2 * total) << "round " << round;
        ++checked;
    }
    EXPECT_GT(checked, 15);
}

TEST(exactPlans, TheRefinedPlanIsNeverBetterThanTheProvenBound) {
    std::mt19937 random(5);
    for (int round = 0; round < 12; ++round) {
        QStringList points;
        for (int i = 1; i <= 4 + randomBelow(random, 10); ++i)
            points << QString("%1-点").arg(i);
        const CandidateTable table = test::randomCandidates(random, 60 + randomBelow(random, 120), points);
        CompositionParameters p = test::randomParameters(random, points, 1);
        const CandidatePool pool(table, p);
        const int total = 5 + randomBelow(random, 10);
        if (pool.distinctNumbers() < total)
            continue;
        const PlanSearchResult classic = SearchPlan(pool, total, random);
        RefineOptions o;
        o.budget = 60s;
        o.stallRounds = 20;
        const RefineResult refined = refinePlan(pool, classic.BestPlan, random, o);
        ASSERT_TRUE(refined.valid);
        const ExactResult exact = exactPlans(pool, {refined.plan}, {60s});
        EXPECT_TRUE(exact.proven()) << "round " << round;
        EXPECT_GE(refined.offset, exact.bound) << "round " << round;
        EXPECT_LE(exact.offset, refined.offset) << "round " << round;
        EXPECT_EQ(pool.offset(exact.plans[0]), exact.offset);
    }
}

TEST(exactPlans, AtItsTimeLimitItAnswersWithAValidPlanAndABoundBelowIt) {
    std::mt19937 random(3);
    QStringList points;
    for (int i = 1; i <= 30; ++i)
        points << QString("%1-点").arg(i);
    const CandidateTable table = test::randomCandidates(random, 800, points);
    CompositionParameters p = test::randomParameters(random, points, 1);
    p.TypeTargets = {6, 2, 4, 2, 4, 0, 2, 0};
    p.LevelTargets = {4, 4, 6, 4, 2};
    const CandidatePool pool(table, p);
    std::vector<char> taken(pool.distinctNumbers(), 0);
    const Plan start = randomValidPlan(pool, 20, random, taken);
    const ExactResult none = exactPlans(pool, {start}, {0ms});
    EXPECT_EQ(none.plans[0], start);
    EXPECT_EQ(none.offset, pool.offset(start));
    EXPECT_LE(none.bound, none.offset);
    EXPECT_TRUE(none.stoppedAtLimit);
    EXPECT_EQ(none.modelsSolved, 0);
}

TEST(exactPlans, WithoutKnowledgePointsOnlyTypesAndLevelsCount) {
    std::mt19937 random(9);
    const CandidateTable table = test::randomCandidates(random, 24, {});
    CompositionParameters p = test::randomParameters(random, {}, 1);
    const CandidatePool pool(table, p);
    ASSERT_EQ(pool.knowledgePointCount(), 0);
    const int total = 6;
    Offset best = std::numeric_limits<Offset>::max();
    for (const Enumerated& e : allPlans(pool, total))
        best = std::min(best, e.offset);
    std::vector<char> taken(pool.distinctNumbers(), 0);
    const ExactResult exact = exactPlans(pool, {randomValidPlan(pool, total, random, taken)}, {60s});
    EXPECT_EQ(exact.offset, best);
    EXPECT_TRUE(exact.proven());
}

// ---------------------------------------------------------------- the entry point

TEST(ComposePlan, TheExactStageAddsTheQualityLineToTheMessage) {
    std::mt19937 random(21);
    QStringList points;
    for (int i = 1; i <= 10; ++i)
        points << QString("%1-知识点").arg(i);
    CandidateTable table;
    for (int i = 0; i < 30; ++i)
        table.push_back({questionNumberText(i + 1), "节", "单选题", "0.5", points[i % 10], "x"});
    CompositionParameters p = test::parametersOver(points, 10);
    p.TypeTargets[0] = 10;
    p.LevelTargets[2] = 10;
    const ComposeResult r = composePlan(table, p, random, exactOptions());
    ASSERT_TRUE(r.PlanReady());
    EXPECT_EQ(r.BestOffset, 5);
    ASSERT_TRUE(r.bound.has_value());
    EXPECT_EQ(*r.bound, 5);
    EXPECT_EQ(r.message, planResultMessage(5) + "\r\r该方案已证明为最优方案。");
    EXPECT_EQ(planQualityLine(0), "该方案已证明为最优方案。");
    EXPECT_EQ(planQualityLine(12), "该方案与理论最优值至多相差 12。");
    EXPECT_EQ(planQualityLine(0, true), "A、B两套方案已证明为最优组合。");
    EXPECT_EQ(planQualityLine(3, true), "A、B两套方案的偏移值之和与理论最优值至多相差 3。");

    // Stopped at once: the gap is the offset above the bound of what was left.
    ComposeOptions hurried = exactOptions();
    hurried.exactStage.timeLimit = 0ms;
    const ComposeResult quick = composePlan(table, p, random, hurried);
    ASSERT_TRUE(quick.bound.has_value());
    EXPECT_TRUE(quick.message.endsWith(planQualityLine(quick.BestOffset - *quick.bound)));
}

TEST(ComposePlan, APapersShareNoQuestionWithBPapers) {
    for (bool exact : {false, true}) {
        for (bool refine : {false, true}) {
            std::mt19937 random(31);
            QStringList points;
            for (int i = 1; i <= 8; ++i)
                points << QString("%1-点").arg(i);
            const CandidateTable table = test::randomCandidates(random, 120, points);
            CompositionParameters p = test::randomParameters(random, points, 12);
            ComposeOptions o = exactOptions(true);
            o.exact = exact;
            o.refine = refine;
            const ComposeResult r = composePlan(table, p, random, o);
            ASSERT_TRUE(r.PlanReady()) << r.message.toStdString();
            ASSERT_EQ(r.BestPlan.size(), 12u);
            ASSERT_EQ(r.SecondPlan.size(), 12u);
            QSet<QString> a, b;
            for (int x : r.BestPlan)
                a.insert(table[x].number);
            for (int x : r.SecondPlan)
                b.insert(table[x].number);
            EXPECT_FALSE(a.intersects(b)) << "exact " << exact << " refine " << refine;
            EXPECT_EQ(r.SecondOffset, planOffset(planRows(table, r.SecondPlan), p));
            EXPECT_TRUE(r.message.contains(secondPlanLine(r.SecondOffset)));
            if (exact && refine) {
                ASSERT_TRUE(r.bound.has_value());
                EXPECT_LE(*r.bound, r.BestOffset + r.SecondOffset);
                EXPECT_TRUE(r.message.contains("A、B两套方案"));
            }
        }
    }
}

TEST(ComposePlan, TooFewQuestionsForTwoPapersAreRefused) {
    CandidateTable table;
    for (int i = 0; i < 15; ++i)
        table.push_back({questionNumberText(i + 1), "节", "单选题", "0.5", "", "x"});
    const CompositionParameters p = test::parametersOver({}, 10);
    for (bool refine : {false, true}) {
        std::mt19937 random(1);
        ComposeOptions o = exactOptions(true);
        o.refine = refine;
        const ComposeResult r = composePlan(table, p, random, o);
        EXPECT_EQ(r.status, PlanStatus::RefusedTooFew);
        EXPECT_EQ(r.message, "对不起，所选考查范围内的题目不够组成两套没有相同题目的A/B卷，无法同时生成A/B卷！\r\r"
                             "所选范围内共 15 道题。题型：单选题 15 道；难度：中等题 15 道。");
    }
}

TEST(RequestShortfalls, NameTheTypesAndLevelsTheScopeCannotFill) {
    // 6 单选题 (one of them with two rows), 3 填空题; levels: 4 at 中等, 5 at 容易.
    CandidateTable table;
    for (int i = 0; i < 9; ++i) {
        const QString number = questionNumberText(i + 1);
        table.push_back({number, "节1", i < 6 ? "单选题" : "填空题", i % 2 ? "0.5" : "0.1", "", "x"});
        if (i == 0)
            table.push_back({number, "节2", "单选题", "0.1", "", "x"});
    }
    CompositionParameters p = test::parametersOver({}, 10);
    p.TypeTargets = {10, 0, 0, 0, 0, 0, 0, 0};
    p.LevelTargets = {2, 0, 8, 0, 0};
    const CandidatePool pool(table, p);
    EXPECT_EQ(requestShortfalls(pool),
              QStringList({"单选题：需要 10 道，所选范围内只有 6 道。", "中等题：需要 8 道，所选范围内只有 4 道。"}));
    // Two papers need twice as many; 容易题 (5 for 2 + 2) still suffice.
    EXPECT_EQ(requestShortfalls(pool, 2), QStringList({"单选题：需要 20 道（A、B卷各 10 道），所选范围内只有 6 道。",
                                                       "中等题：需要 16 道（A、B卷各 8 道），所选范围内只有 4 道。"}));
    p.TypeTargets = {6, 0, 3, 0, 0, 0, 0, 0};
    p.LevelTargets = {5, 0, 4, 0, 0};
    EXPECT_TRUE(requestShortfalls(CandidatePool(table, p)).isEmpty());
    EXPECT_EQ(shortfallQuestion({"单选题：需要 10 道，所选范围内只有 6 道。"}),
              "所选考查范围内的题目不能完全满足设置的要求：\r\r单选题：需要 10 道，所选范围内只有 6 道。\r\r"
              "点击“确定”仍然计算最接近要求的方案，点击“取消”返回修改参数。");
}

TEST(MipSolver, SolvesProvesAndRespectsTheCutoff) {
    // max 5a + 4b + 3c (as min of the negation), 2a + 3b + c <= 5, 4a + b + 2c <= 11, integers in 0..3:
    // a = 1, c = 3 gives 14.
    MipProblem problem;
    const int a = problem.addColumn(0, 3, -5, true);
    const int b = problem.addColumn(0, 3, -4, true);
    const int c = problem.addColumn(0, 3, -3, true);
    problem.addRow({{a, 2}, {b, 3}, {c, 1}}, -MipProblem::kInfinity, 5);
    problem.addRow({{a, 4}, {b, 1}, {c, 2}}, -MipProblem::kInfinity, 11);
    const auto solver = makeCbcSolver();
    MipOptions o;
    o.timeLimit = 10000ms;
    o.integralObjective = true;
    const MipResult best = solver->solve(problem, o);
    ASSERT_EQ(best.status, MipResult::Status::Optimal);
    EXPECT_DOUBLE_EQ(best.objective, -14);
    EXPECT_DOUBLE_EQ(best.bound, -14);
    ASSERT_EQ(best.solution.size(), 3u);
    EXPECT_NEAR(best.solution[a], 1, 1e-6);
    EXPECT_NEAR(best.solution[b], 0, 1e-6);
    EXPECT_NEAR(best.solution[c], 3, 1e-6);

    // Nothing better than -14 exists: no solution below the cutoff.
    o.cutoff = -14.5;
    const MipResult none = solver->solve(problem, o);
    EXPECT_EQ(none.status, MipResult::Status::NoSolution);
    EXPECT_TRUE(none.solution.empty());
    EXPECT_GE(none.bound, -14.5);
}
