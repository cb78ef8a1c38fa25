// Refinement of the classic plan: the incremental offset, the refinement's
// promises (never worse, every number once) and the one entry point with its
// switch.

#include "plan/composition.h"
#include "plan/plan_fixtures.h"

#include <QSet>
#include <gtest/gtest.h>
#include <map>

using namespace zs;
using zs::test::ComposeBank;

namespace {

using namespace std::chrono_literals;

// A generous budget: the refinement then ends by itself, so a seed fixes it.
ComposeOptions untimed(bool refine = true) {
    ComposeOptions o;
    o.refine = refine;
    o.refinement.budget = 60s;
    o.refinement.stallRounds = 60;
    return o;
}

QSet<QString> numbersOf(const CandidateTable& table, const Plan& plan) {
    QSet<QString> numbers;
    for (int r : plan)
        numbers.insert(table[r].number);
    return numbers;
}

// A realistic small scope: 12 knowledge points, every question with one to
// three rows (one per section it was filed under), types and levels mixed.
struct Scope {
    QStringList points;
    CandidateTable table;
    CompositionParameters parameters;
    explicit Scope(unsigned seed, int questions = 150) {
        std::mt19937 random(seed);
        for (int i = 1; i <= 12; ++i)
            points << QString("%1-点").arg(i);
        static const QStringList types = {"单选题", "填空题", "计算题", "解答题", "判断题"};
        for (int q = 1; q <= questions; ++q) {
            const QString type = types[randomBelow(random, 5)];
            const QString difficulty = Bank::defaultDifficulties()[randomBelow(random, 10)];
            const int rows = 1 + (randomBelow(random, 4) == 0) + (randomBelow(random, 8) == 0);
            for (int r = 0; r < rows; ++r) {
                QString knowledge = points[randomBelow(random, 12)];
                if (randomBelow(random, 3) == 0)
                    knowledge += "|" + points[randomBelow(random, 12)];
                table.push_back({questionNumberText(q), QString("节%1").arg(r), type, difficulty, knowledge,
                                 "张三-" + questionNumberText(q)});
            }
        }
        parameters = test::parametersOver(points, 20);
        parameters.TypeTargets = {8, 0, 4, 0, 4, 0, 4, 0};
        parameters.LevelTargets = {4, 6, 6, 2, 2};
    }
};

}  // namespace

TEST(PlanCounts, IncrementalOffsetAgreesWithTheFullOffset) {
    std::mt19937 random(77);
    for (int round = 0; round < 60; ++round) {
        QStringList points;
        const int k = randomBelow(random, 15);
        for (int i = 0; i < k; ++i)
            points << QString("点%1").arg(randomBelow(random, 10));  // some listed twice
        if (round % 4 == 0)
            points << "";
        const CandidateTable table = test::randomCandidates(random, 10 + randomBelow(random, 80), points);
        const CompositionParameters p = test::randomParameters(random, points, 1);
        const CandidatePool pool(table, p);
        const int m = int(table.size());
        const int n = 1 + randomBelow(random, m);
        Plan plan = DrawRandomPlan(m, n, random);
        if (round % 3 == 0)
            plan[randomBelow(random, n)] = -1;
        PlanCounts state(pool, plan);
        ASSERT_EQ(state.offset(), pool.offset(plan));
        for (int move = 0; move < 80; ++move) {
            const int slot = randomBelow(random, n);
            const int b = randomBelow(random, m + 1) - (move % 9 == 0 ? 1 : 0);  // now and then an empty row
            const int candidate = std::min(b, m - 1);
            Plan after = state.plan();
            after[slot] = candidate;
            const Offset expected = planOffset(planRows(table, after), p);
            ASSERT_EQ(pool.offset(after), expected);
            ASSERT_EQ(state.offsetAfterReplace(slot, candidate), expected) << "round " << round << " move " << move;
            const int before = state.plan()[slot];
            state.vacate(slot);
            ASSERT_EQ(state.offsetWithAdded(candidate), expected);
            state.fill(slot, before);
            state.replace(slot, candidate);
            ASSERT_EQ(state.offset(), expected);
            ASSERT_EQ(state.plan(), after);
        }
        // The number counts follow the moves.
        for (int id = 0; id < pool.distinctNumbers(); ++id) {
            int held = 0;
            for (int r : state.plan())
                held += r >= 0 && pool.numberId(r) == id;
            ASSERT_EQ(state.holders(id), held);
        }
    }
}

TEST(refinePlan, NeverWorseThanTheClassicPlanAndEveryNumberOnce) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        const Scope s(seed);
        const CandidatePool pool(s.table, s.parameters);
        std::mt19937 random(seed);
        const ComposeResult r = composePlan(pool, 20, random, untimed());
        ASSERT_EQ(r.status, PlanStatus::Ready);
        ASSERT_TRUE(r.PlanReady());
        ASSERT_EQ(r.BestPlan.size(), 20u);
        EXPECT_EQ(numbersOf(s.table, r.BestPlan).size(), 20) << "seed " << seed;
        EXPECT_LE(r.BestOffset, r.classicOffset) << "seed " << seed;
        EXPECT_EQ(planOffset(planRows(s.table, r.BestPlan), s.parameters), r.BestOffset);
        EXPECT_EQ(r.message, planResultMessage(r.BestOffset));
    }
}

TEST(refinePlan, RepairsEmptySlotsAndRepeatedNumbersFirst) {
    const Scope s(3);
    const CandidatePool pool(s.table, s.parameters);
    // Rows 0 and 1 are often two rows of one question; put both in, plus
    // one row twice and an empty slot.
    std::mt19937 random(5);
    Plan start = DrawRandomPlan(pool.size(), 20, random);
    start[0] = 0;
    start[1] = 0;
    start[2] = -1;
    for (int r = 1; r < pool.size(); ++r)
        if (pool.numberId(r) == pool.numberId(0)) {
            start[3] = r;
            break;
        }
    const RefineResult refined = refinePlan(pool, start, random, untimed().refinement);
    ASSERT_TRUE(refined.valid);
    EXPECT_EQ(numbersOf(s.table, refined.plan).size(), 20);
    EXPECT_EQ(pool.offset(refined.plan), refined.offset);
    EXPECT_TRUE(PlanCounts(pool, refined.plan).isValid());

    // A start of empty rows only (no child of the classic search beat its
    // initial offset) is filled as well.
    const RefineResult filled = refinePlan(pool, Plan(20, -1), random, untimed().refinement);
    ASSERT_TRUE(filled.valid);
    EXPECT_EQ(numbersOf(s.table, filled.plan).size(), 20);
    EXPECT_EQ(pool.offset(filled.plan), filled.offset);

    // A valid start is never made worse, even with no time at all.
    const Plan valid = refined.plan;
    RefineOptions none;
    none.budget = 0us;
    const RefineResult same = refinePlan(pool, valid, random, none);
    EXPECT_EQ(same.plan, valid);
    EXPECT_EQ(same.offset, refined.offset);
}

TEST(refinePlan, FindsTheBestPlanOfTheTenPointExample) {
    QStringList points;
    CandidateTable table;
    for (int i = 1; i <= 10; ++i)
        points << QString("%1-知识点").arg(i);
    for (int i = 0; i < 30; ++i)
        table.push_back({questionNumberText(i + 1), "节", "单选题", "0.5", points[i % 10], "x"});
    CompositionParameters p = test::parametersOver(points, 10);
    p.TypeTargets[0] = 10;
    p.LevelTargets[2] = 10;
    for (unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        const ComposeResult r = composePlan(table, p, random, untimed());
        EXPECT_EQ(r.BestOffset, 5) << "seed " << seed;
    }
}

TEST(refinePlan, KeepsTheTypeLimitsFromAnyStart) {
    // Random starts of all five types (a 判断题 was not asked for); the
    // refined plan holds 8 单选题, 4 填空题, 4 计算题 and 4 解答题, never
    // worse than the best start brought within the limits.
    for (unsigned seed : {3u, 13u, 23u}) {
        const Scope s(seed);
        const CandidatePool pool(s.table, s.parameters);
        const std::optional<TypeLimits> limits = askedTypeLimits(pool, 20);
        ASSERT_TRUE(limits.has_value());
        std::mt19937 random(seed);
        RefineOptions options{60s, 30};
        options.typeLimits = limits;
        const Plan start = DrawRandomPlan(pool.size(), 20, random);
        const RefineResult refined = refinePlan(pool, start, random, options);
        ASSERT_TRUE(refined.valid);
        EXPECT_TRUE(limits->admit(pool, refined.plan)) << "seed " << seed;
        std::map<QString, int> types;
        for (int r : refined.plan)
            ++types[s.table[r].type];
        EXPECT_EQ(types, (std::map<QString, int>{{"单选题", 8}, {"填空题", 4}, {"计算题", 4}, {"解答题", 4}}));
        EXPECT_EQ(numbersOf(s.table, refined.plan).size(), 20);
        EXPECT_EQ(refined.offset, pool.offset(refined.plan));
    }
}

TEST(composePlan, UntickedItIsExactlyTheClassicSearch) {
    const Scope s(11);
    const CandidatePool pool(s.table, s.parameters);
    for (unsigned seed : {4u, 40u, 400u}) {
        std::mt19937 a(seed), b(seed);
        const PlanSearchResult classic = SearchPlan(pool, 20, a);
        const ComposeResult composed = composePlan(pool, 20, b, untimed(false));
        EXPECT_EQ(composed.BestPlan, classic.BestPlan);
        EXPECT_EQ(composed.BestOffset, classic.BestOffset);
        EXPECT_EQ(composed.classicOffset, classic.BestOffset);
        EXPECT_EQ(composed.message, classic.message);
        EXPECT_EQ(composed.status, PlanStatus::Ready);
    }
    // With refinement the classic stage draws the same numbers first.
    std::mt19937 a(4), b(4);
    EXPECT_EQ(composePlan(pool, 20, b, untimed()).classicOffset, SearchPlan(pool, 20, a).BestOffset);
}

TEST(composePlan, AFixedSeedGivesTheSameRefinedPlan) {
    const Scope s(21);
    const CandidatePool pool(s.table, s.parameters);
    std::mt19937 a(8), b(8);
    const ComposeResult first = composePlan(pool, 20, a, untimed());
    const ComposeResult second = composePlan(pool, 20, b, untimed());
    EXPECT_EQ(first.BestPlan, second.BestPlan);
    EXPECT_EQ(first.BestOffset, second.BestOffset);
}

TEST(composePlan, FewerQuestionsThanSlotsAreRefusedWhenRefining) {
    // 12 rows but only 4 questions: a paper of 6 would repeat one.
    CandidateTable table;
    for (int i = 0; i < 12; ++i)
        table.push_back({questionNumberText(1 + i % 4), QString("节%1").arg(i), "单选题", "0.5", "", "x"});
    const CompositionParameters p = test::parametersOver({}, 6);
    std::mt19937 random(1);
    ComposeResult r = composePlan(table, p, random, untimed());
    EXPECT_EQ(r.status, PlanStatus::RefusedTooFew);
    EXPECT_FALSE(r.PlanReady());
    // The refusal names what the scope holds.
    EXPECT_EQ(r.message, "对不起，所选考查范围内的总题数小于您组卷所需的总题数，无法进行智能组卷！\r\r"
                         "所选范围内共 4 道题。题型：单选题 4 道；难度：中等题 4 道。");
    r = composePlan(table, p, random, untimed(false));
    EXPECT_EQ(r.status, PlanStatus::Ready);

    r = composePlan(table, test::parametersOver({}, 0), random, untimed());
    EXPECT_EQ(r.status, PlanStatus::RefusedTotal);
    EXPECT_EQ(r.message, kTotalZeroMessage);
    r = composePlan(table, test::parametersOver({}, -1), random, untimed());
    EXPECT_EQ(r.status, PlanStatus::RefusedTotal);
    EXPECT_EQ(r.message, kTotalBelowOneMessage);
}

TEST(composeFromBank, FillsTheRowsOrReportsTheBanksRefusal) {
    ComposeBank b;
    const QString path = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-有理数\\1-正数和负数";
    const QStringList points = {"1-正数", "2-负数", "3-数轴"};
    b.bank->transaction([&] {
        for (const QString& kp : points)
            b.addCatalogue(path.split('\\') + QStringList{kp});
        for (int i = 0; i < 30; ++i)
            b.addQuestion({.number = questionNumberText(i + 1),
                           .scope = path,
                           .type = i % 2 ? "单选题" : "填空题",
                           .difficulty = Bank::defaultDifficulties()[i % 10],
                           .knowledge = points[i % 3]});
    });
    CompositionParameters p;
    p.ScopePaths = {path};
    p.AuthorFilter = {"张三"};
    p.SourceFilter = {"1-课本"};
    p.ScopeKnowledgePoints = scopeKnowledgePoints(*b.bank, p.ScopePaths);
    p.TotalWanted = 6;
    p.TypeTargets = {3, 0, 3, 0, 0, 0, 0, 0};
    p.LevelTargets = {1, 1, 2, 1, 1};
    std::mt19937 random(2);
    const Composition c = composeFromBank(b.path(), {p, untimed()}, random);
    ASSERT_TRUE(c.result.PlanReady());
    ASSERT_EQ(c.rows.size(), 6u);
    EXPECT_EQ(c.candidates.size(), 30u);
    EXPECT_EQ(planOffset(c.rows, p), c.result.BestOffset);
    // 3 + 3 types, levels 1 1 2 1 1, points twice each: offset 0 except slot 0 (mean 2): 5 × 4.
    EXPECT_EQ(c.result.BestOffset, 20);

    p.ScopePaths.clear();  // "where and (…)": the bank refuses the statement
    EXPECT_THROW(composeFromBank(b.path(), {p, {}}, random), StoreError);
    EXPECT_THROW(composeFromBank(b.folder.file("没有.mdb"), {p, {}}, random), StoreError);
}
