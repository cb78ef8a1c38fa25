// The classic plan search: the candidate statement and query on a real bank,
// the offset on texts and on the compact candidates, and the search itself.

#include "paper/planhandover.h"
#include "plan/composition.h"
#include "plan/plan_fixtures.h"
#include "plan/plansearch.h"

#include <QSet>
#include <bit>
#include <gtest/gtest.h>
#include <limits>

using namespace zs;
using zs::test::ComposeBank;
using zs::test::parametersOver;

namespace {

const QString kPathA = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-有理数\\1-正数和负数";
const QString kPathB = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-有理数\\2-有理数的加法";

// The scope of ten knowledge points with 30 candidates, all 单选题 of 难度
// 0.5, candidate i testing point i mod 10; 10 questions wanted, all 单选题 at
// level 2.
struct TenPoints {
    QStringList points;
    CandidateTable candidates;
    CompositionParameters parameters;
    TenPoints() {
        for (int i = 1; i <= 10; ++i)
            points << QString("%1-知识点").arg(i);
        for (int i = 0; i < 30; ++i)
            candidates.push_back({questionNumberText(i + 1), kPathA, "单选题", "0.5", points[i % 10],
                                  "张三-" + questionNumberText(i + 1)});
        parameters = parametersOver(points, 10);
        parameters.TypeTargets[0] = 10;
        parameters.LevelTargets[2] = 10;
    }
};

Candidate row(const QString& type, const QString& difficulty, const QString& knowledge, int number = 1) {
    return {questionNumberText(number), kPathA, type, difficulty, knowledge, "张三-" + questionNumberText(number)};
}

}  // namespace

// ---------------------------------------------------------------- candidates

TEST(candidateQuery, StatementTextOfScopeTeacherSourceAndDates) {
    CompositionParameters p;
    p.ScopePaths = {kPathA};
    p.AuthorFilter = {"张三"};
    p.SourceFilter = {"1-课本"};
    EXPECT_EQ(candidateQuery(p), "select * from 试题库 where (考查范围 = '" + kPathA +
                                     "') and (入库教师 = '张三') and (试题来源 = '1-课本')");

    p.ScopePaths = {kPathA, kPathB};
    p.AuthorFilter = {"张三", "O'Neil"};
    p.SourceFilter = {"1-课本", "2-练习册", "3-试卷"};
    p.LastUseRange = DateRange{QDate(2024, 1, 5), QDate(2024, 12, 31)};
    EXPECT_EQ(candidateQuery(p), "select * from 试题库 where (考查范围 = '" + kPathA + "' or 考查范围 = '" + kPathB +
                                     "') and (入库教师 = '张三' or 入库教师 = 'O''Neil')"
                                     " and (试题来源 = '1-课本' or 试题来源 = '2-练习册' or 试题来源 = '3-试卷')"
                                     " and (最后使用日期 between #2024-1-5# and #2024-12-31#)");
}

TEST(BuildCandidates, ReadsTheSixTextsOfEveryRowThatPassesTheFilters) {
    ComposeBank b;
    using Row = ComposeBank::Row;
    b.addQuestion(Row{.number = "00001",
                      .scope = kPathA,
                      .type = "填空题",
                      .difficulty = "0.3",
                      .knowledge = "甲|乙"});  // never used
    b.addQuestion(Row{.number = "00002", .scope = kPathA, .lastUse = QDate(2024, 3, 1)});
    b.addQuestion(Row{.number = "00003", .scope = kPathA, .lastUse = QDate(2023, 6, 1)});
    b.addQuestion(Row{.number = "00004", .scope = kPathB, .lastUse = QDate(2024, 3, 1)});
    b.addQuestion(Row{.number = "00005", .scope = kPathA, .teacher = "李四", .lastUse = QDate(2024, 3, 1)});
    b.addQuestion(Row{.number = "00006", .scope = kPathA, .source = "2-练习册", .lastUse = QDate(2024, 5, 1)});
    b.addQuestion(Row{.number = "00007", .scope = kPathA, .lastUse = QDate(2024, 12, 31)});
    b.addQuestion(Row{.number = "00004", .scope = kPathA, .lastUse = QDate(2024, 3, 1)});  // a second scope row

    CompositionParameters p;
    p.ScopePaths = {kPathA};
    p.AuthorFilter = {"张三"};
    p.SourceFilter = {"1-课本"};
    CandidateTable c = BuildCandidates(*b.bank, p);
    QStringList numbers;
    for (const Candidate& x : c)
        numbers << x.number;
    EXPECT_EQ(numbers, QStringList({"00001", "00002", "00003", "00007", "00004"}));
    EXPECT_EQ(c[0], (Candidate{"00001", kPathA, "填空题", "0.3", "甲|乙", "张三-00001"}));

    // Both date limits: only questions used within them; never used ones are out.
    p.LastUseRange = DateRange{QDate(2024, 1, 5), QDate(2024, 12, 31)};
    c = BuildCandidates(*b.bank, p);
    numbers.clear();
    for (const Candidate& x : c)
        numbers << x.number;
    EXPECT_EQ(numbers, QStringList({"00002", "00007", "00004"}));

    // Two scopes and two teachers.
    p.LastUseRange.reset();
    p.ScopePaths = {kPathA, kPathB};
    p.AuthorFilter = {"张三", "李四"};
    EXPECT_EQ(BuildCandidates(*b.bank, p).size(), 7u);
}

TEST(BuildCandidates, BadDifficultiesAndSharedNumbersAreLeftOutAndNotCounted) {
    ComposeBank b;
    using Row = ComposeBank::Row;
    b.addQuestion(Row{.number = "00001", .scope = kPathA});
    b.addQuestion(Row{.number = "00002", .scope = kPathA, .difficulty = "2.5"});
    b.addQuestion(Row{.number = "00003", .scope = kPathA, .difficulty = "abc"});
    b.addQuestion(Row{.number = "00004", .scope = kPathA, .difficulty = "0.3"});
    b.addQuestion(Row{.number = "00004", .scope = kPathA, .difficulty = "0.3", .teacher = "李四"});  // another question
    b.addQuestion(Row{.number = "00005", .scope = kPathA, .difficulty = "0.9"});
    b.addQuestion(Row{.number = "00005", .scope = kPathB, .difficulty = "0.9"});  // its second scope

    CompositionParameters p;
    p.ScopePaths = {kPathA};
    QStringList numbers;
    for (const Candidate& c : BuildCandidates(*b.bank, p))
        numbers << c.number;
    EXPECT_EQ(numbers, QStringList({"00001", "00005"}));
    const ScopeCounts counts = scopeCountsInBank(*b.bank, p);
    EXPECT_EQ(counts.questions, 2);
    EXPECT_EQ(counts.types[typeSlotOf("单选题")], 2);
    EXPECT_EQ(counts.levels[difficultyLevel("0.3")], 0);

    // Corrected, they are candidates again.
    b.bank->execute("update 试题库 set 难度 = '0.5' where 题目编号 in ('00002', '00003')");
    b.bank->execute("update 试题库 set 题目编号 = '00006' where 试题识别码 = '李四-00004'");
    numbers.clear();
    for (const Candidate& c : BuildCandidates(*b.bank, p))
        numbers << c.number;
    EXPECT_EQ(numbers, QStringList({"00001", "00002", "00003", "00004", "00006", "00005"}));
}

TEST(BuildCandidates, AQuestionTableWithAnotherColumnInBetweenGivesTheSameCandidates) {
    ComposeBank b;
    // A bank made by another tool: a column of its own after 题目编号, and the
    // six columns in another order.
    b.bank->execute("DROP TABLE 试题库");
    b.bank->execute("CREATE TABLE 试题库 (ID INTEGER PRIMARY KEY, 题目编号 TEXT, 备注 TEXT, 试题识别码 TEXT, "
                    "知识点 TEXT, 考查范围 TEXT, 难度 TEXT, 题型 TEXT, 试题来源 TEXT, 入库日期 DATE, 入库教师 TEXT, "
                    "最后使用日期 DATE, 使用次数 INTEGER)");
    b.addQuestion(ComposeBank::Row{.number = "00001", .scope = kPathA, .type = "填空题", .knowledge = "甲|乙"});
    b.bank->execute("update 试题库 set 备注 = '旧题'");
    CompositionParameters p;
    p.ScopePaths = {kPathA};
    const CandidateTable c = BuildCandidates(*b.bank, p);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0], (Candidate{"00001", kPathA, "填空题", "0.5", "甲|乙", "张三-00001"}));
}

TEST(BuildCandidates, AStatementTheBankRefusesIsAStoreError) {
    ComposeBank b;
    CompositionParameters p;  // no scope: "where and (...)" cannot run
    p.AuthorFilter = {"张三"};
    EXPECT_THROW(BuildCandidates(*b.bank, p), StoreError);
}

// ---------------------------------------------------------------- the offset

TEST(Offset, TenKnowledgePointsHitOnceTwiceOrNotAtAll) {
    const TenPoints t;
    PlanRows once, twice;
    for (int i = 0; i < 10; ++i)
        once.push_back(t.candidates[i]);
    twice = once;
    twice[9] = t.candidates[10];  // point 1 twice, point 10 missing
    PlanRows third = once;
    third[3] = t.candidates[13];  // another row of the same point: still each once

    const std::array<Offset, 4> offsets = EvaluatePlans({once, twice, third, twice}, t.parameters);
    EXPECT_EQ(offsets, (std::array<Offset, 4>{5, 15, 5, 15}));

    const CandidatePool pool(t.candidates, t.parameters);
    EXPECT_EQ(pool.offset({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), 5);
    EXPECT_EQ(pool.offset({0, 1, 2, 3, 4, 5, 6, 7, 8, 10}), 15);
    EXPECT_EQ(pool.knowledgePointCount(), 10);
    EXPECT_EQ(pool.distinctNumbers(), 30);
    EXPECT_EQ(pool.offsetLowerBound(10), 5);  // tight here: the best plan reaches it
}

TEST(Offset, KnowledgeListsTypesAndLevels) {
    CompositionParameters p = parametersOver({"甲", "乙", "丙"}, 1);
    // 甲|乙 hits two slots: hits 0,1,1,0, mean round(2/3) = 1, KnowledgeSum 2.
    EXPECT_EQ(planOffset({row("", "", "甲|乙")}, p), 10);
    // 甲 alone: mean round(1/3) = 0, KnowledgeSum 1.
    EXPECT_EQ(planOffset({row("", "", "甲")}, p), 5);
    // An empty part hits slot 0; a point outside the scope hits nothing.
    EXPECT_EQ(planOffset({row("", "", "甲||范围外")}, p), 10);

    // Difficulties 0.25 and empty, and a type without a tick box, count nowhere.
    p = parametersOver({}, 1);  // K = 0: no knowledge term
    p.TypeTargets[0] = 1;
    p.LevelTargets[2] = 1;
    EXPECT_EQ(planOffset({row("单选题", "0.5", "甲")}, p), 0);
    EXPECT_EQ(planOffset({row("论述题", "0.25", "甲")}, p), 5 * 1 + 1);
    EXPECT_EQ(planOffset({row("单选题", "", "")}, p), 1);
    // An unticked type has target 0: every question of it adds to TypeSum.
    EXPECT_EQ(planOffset({row("多选题", "0.6", ""), row("多选题", "0.5", "", 2)}, p), 5 * (1 + 4) + 1);

    EXPECT_EQ(difficultyLevel("0.1"), 0);
    EXPECT_EQ(difficultyLevel("0.4"), 1);
    EXPECT_EQ(difficultyLevel("0.6"), 2);
    EXPECT_EQ(difficultyLevel("0.8"), 3);
    EXPECT_EQ(difficultyLevel("1.0"), 4);
    EXPECT_EQ(difficultyLevel("1"), -1);
    EXPECT_EQ(difficultyLevel("0.25"), -1);
    EXPECT_EQ(difficultyLevel(""), -1);
    EXPECT_EQ(typeSlotOf("作文题"), 7);
    EXPECT_EQ(typeSlotOf("单选"), -1);
}

TEST(Offset, CompactCandidatesAgreeWithTheTexts) {
    std::mt19937 random(2024);
    for (int round = 0; round < 40; ++round) {
        // Scope lists with a point listed twice and one empty entry.
        QStringList points;
        const int k = randomBelow(random, 12);
        for (int i = 0; i < k; ++i)
            points << QString("点%1").arg(randomBelow(random, 9));
        if (round % 5 == 0)
            points << "";
        const CandidateTable table = test::randomCandidates(random, 5 + randomBelow(random, 60), points);
        const CompositionParameters p = test::randomParameters(random, points, 1);
        const CandidatePool pool(table, p);
        for (int trial = 0; trial < 20; ++trial) {
            const int n = 1 + randomBelow(random, int(table.size()));
            std::array<PlanRows, 4> texts;
            std::array<Plan, 4> plans;
            for (int q = 0; q < 4; ++q) {
                plans[q] = DrawRandomPlan(int(table.size()), n, random);
                if (trial % 7 == 0)
                    plans[q][0] = -1;  // an empty slot is an empty row
                texts[q] = planRows(table, plans[q]);
            }
            const std::array<Offset, 4> expected = EvaluatePlans(texts, p);
            for (int q = 0; q < 4; ++q)
                ASSERT_EQ(pool.offset(plans[q]), expected[q]) << "round " << round << " trial " << trial;
        }
    }
}

TEST(Offset, NoPlanOfASmallPoolBeatsTheLowerBound) {
    std::mt19937 random(31);
    for (int round = 0; round < 150; ++round) {
        QStringList points;
        for (int i = 0, k = randomBelow(random, 8); i < k; ++i)
            points << QString("点%1").arg(randomBelow(random, 6));
        const int m = 2 + randomBelow(random, 8);
        const CandidateTable table = test::randomCandidates(random, m, points);
        const CompositionParameters p = test::randomParameters(random, points, 1);
        const CandidatePool pool(table, p);
        const int n = 1 + randomBelow(random, std::min(m, 5));
        const Offset bound = pool.offsetLowerBound(n);
        // Every set of n different rows, as a bit mask.
        Offset best = std::numeric_limits<Offset>::max();
        for (unsigned mask = 0; mask < (1u << m); ++mask) {
            if (std::popcount(mask) != n)
                continue;
            Plan plan;
            for (int r = 0; r < m; ++r)
                if (mask & (1u << r))
                    plan.push_back(r);
            best = std::min(best, pool.offset(plan));
        }
        ASSERT_GE(best, bound) << "round " << round;
    }
}

// ---------------------------------------------------------------- the search

TEST(SearchPlan, RefusesATotalOf0AndTooFewCandidates) {
    const TenPoints t;
    const CandidatePool pool(t.candidates, t.parameters);
    std::mt19937 random(1);
    PlanSearchResult r = SearchPlan(pool, 0, random);
    EXPECT_EQ(r.status, PlanStatus::RefusedTotal);
    EXPECT_FALSE(r.PlanReady());
    EXPECT_EQ(r.BestOffset, 3000000);
    EXPECT_EQ(r.message, "目前设置的试题总数为0，还不能进行智能组卷！");
    r = SearchPlan(pool, -2, random);
    EXPECT_EQ(r.status, PlanStatus::RefusedTotal);
    EXPECT_FALSE(r.PlanReady());
    r = SearchPlan(pool, 31, random);
    EXPECT_EQ(r.status, PlanStatus::RefusedTooFew);
    EXPECT_FALSE(r.PlanReady());
    EXPECT_EQ(r.message, "对不起，所选考查范围内的总题数小于您组卷所需的总题数，无法进行智能组卷！");
}

TEST(SearchPlan, FindsAPlanAndReportsItsOffset) {
    const TenPoints t;
    const CandidatePool pool(t.candidates, t.parameters);
    std::mt19937 random(99);
    const PlanSearchResult r = SearchPlan(pool, 10, random);
    ASSERT_EQ(r.status, PlanStatus::Ready);
    EXPECT_TRUE(r.PlanReady());
    ASSERT_EQ(r.BestPlan.size(), 10u);
    EXPECT_EQ(planOffset(planRows(t.candidates, r.BestPlan), t.parameters), r.BestOffset);
    EXPECT_GE(r.BestOffset, 5);
    EXPECT_LE(r.BestOffset, 5 * 10);
    EXPECT_EQ(r.message, planResultMessage(r.BestOffset));
    EXPECT_EQ(planResultMessage(15), "已经计算出一套试卷方案，该方案与预设的各参数之间的偏移值为：15\r\r"
                                     "备注：偏移值越小，说明越接近预设要求！\r"
                                     "         题库中总体量越大，偏移值就可能会变得比较小！");
}

TEST(SearchPlan, EndsWhenNoCandidateLiesOutsideBothParents) {
    const TenPoints t;
    // N = M: every number is in the parents from the start.
    CandidateTable ten(t.candidates.begin(), t.candidates.begin() + 10);
    std::mt19937 random(5);
    PlanSearchResult r = SearchPlan(CandidatePool(ten, t.parameters), 10, random);
    EXPECT_EQ(r.status, PlanStatus::Ready);
    // No more than 2N numbers: the parents soon hold them all.
    CandidateTable fourteen(t.candidates.begin(), t.candidates.begin() + 14);
    r = SearchPlan(CandidatePool(fourteen, t.parameters), 10, random);
    EXPECT_EQ(r.status, PlanStatus::Ready);
    // Several rows of few questions.
    CandidateTable rows;
    for (int i = 0; i < 12; ++i)
        rows.push_back(row("单选题", "0.5", t.points[i % 10], 1 + i % 3));
    r = SearchPlan(CandidatePool(rows, t.parameters), 10, random);
    EXPECT_EQ(r.status, PlanStatus::Ready);
}

TEST(SearchPlan, NoChildBelow3000000LeavesEmptyRows) {
    // 800 questions of one type that nobody asked for: TypeSum alone is 800².
    CandidateTable table;
    for (int i = 0; i < 800; ++i)
        table.push_back(row("单选题", "0.5", "", i + 1));
    const CompositionParameters p = parametersOver({}, 800);
    std::mt19937 random(3);
    const PlanSearchResult r = SearchPlan(CandidatePool(table, p), 800, random);
    EXPECT_TRUE(r.PlanReady());
    EXPECT_EQ(r.BestOffset, 3000000);
    EXPECT_TRUE(r.message.contains("偏移值为：3000000\r"));
    const PlanRows rows = planRows(table, r.BestPlan);
    ASSERT_EQ(rows.size(), 800u);
    for (const Candidate& c : rows)
        EXPECT_EQ(c, Candidate{});
}

TEST(SearchPlan, AFixedSeedReproducesThePlanOnABank) {
    ComposeBank b;
    const QStringList types = {"单选题", "填空题", "计算题", "解答题", "判断题"};
    const QStringList points = {"1-正数", "2-负数", "3-数轴", "4-相反数", "5-绝对值", "6-加法"};
    for (const QString& kp : points)
        b.addCatalogue(kPathA.split('\\') + QStringList{kp});
    b.bank->transaction([&] {
        for (int i = 0; i < 60; ++i) {
            ComposeBank::Row r;
            r.number = questionNumberText(i + 1);
            r.scope = kPathA;
            r.type = types[i % types.size()];
            r.difficulty = Bank::defaultDifficulties()[(i * 7) % 10];
            r.knowledge = points[i % 6] + (i % 4 == 0 ? "|" + points[(i + 1) % 6] : "");
            b.addQuestion(r);
        }
    });
    CompositionParameters p;
    p.ScopePaths = {kPathA};
    p.AuthorFilter = {"张三"};
    p.SourceFilter = {"1-课本"};
    p.ScopeKnowledgePoints = scopeKnowledgePoints(*b.bank, p.ScopePaths);
    p.TotalWanted = 12;
    p.TypeTargets = {4, 0, 4, 0, 2, 0, 2, 0};
    p.LevelTargets = {2, 3, 4, 2, 1};
    const CandidateTable table = BuildCandidates(*b.bank, p);
    ASSERT_EQ(table.size(), 60u);
    const CandidatePool pool(table, p);

    std::mt19937 first(20240607), second(20240607), other(7);
    const PlanSearchResult a = SearchPlan(pool, 12, first);
    const PlanSearchResult again = SearchPlan(pool, 12, second);
    EXPECT_EQ(a.BestPlan, again.BestPlan);
    EXPECT_EQ(a.BestOffset, again.BestOffset);
    EXPECT_EQ(planOffset(planRows(table, a.BestPlan), p), a.BestOffset);
    const PlanSearchResult b2 = SearchPlan(pool, 12, other);
    EXPECT_EQ(planOffset(planRows(table, b2.BestPlan), p), b2.BestOffset);
}

TEST(RandomPlans, DrawsStayInRangeAndPlansHoldDistinctRows) {
    std::mt19937 random(11);
    for (int n : {1, 2, 7, 1000}) {
        for (int i = 0; i < 200; ++i) {
            const int x = randomBelow(random, n);
            ASSERT_GE(x, 0);
            ASSERT_LT(x, n);
        }
    }
    for (int total : {1, 5, 40, 40}) {
        const Plan plan = DrawRandomPlan(40, total, random);
        ASSERT_EQ(int(plan.size()), total);
        EXPECT_EQ(QSet<int>(plan.begin(), plan.end()).size(), total);
    }
    EXPECT_THROW(DrawRandomPlan(3, 4, random), std::invalid_argument);
}

TEST(HandOver, CellsOfATableRow) {
    const Candidate c{"00012", kPathA, "填空题", "0.3", "甲|乙|丙", "张三-00012"};
    EXPECT_EQ(tableCells(c), QStringList({"00012", "张三-00012", "填空题", "0.3", kPathA, "甲\r乙\r丙"}));
    EXPECT_EQ(tableCells(Candidate{}), QStringList({"", "", "", "", "", ""}));
}
