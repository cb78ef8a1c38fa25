// The computations of the intelligent composition screen: counts and total,
// difficulty shares, level targets, the knowledge points of the scope and the
// parameter check with its message.

#include "plan/compositionparameters.h"
#include "plan/plan_fixtures.h"

#include <gtest/gtest.h>

using namespace zs;
using zs::test::ComposeBank;

namespace {

std::array<bool, kTypeSlotCount> ticked(std::initializer_list<int> which) {
    std::array<bool, kTypeSlotCount> t{};
    for (int s : which)
        t[s] = true;
    return t;
}

std::array<QString, kTypeSlotCount> zeroCounts() {
    std::array<QString, kTypeSlotCount> c;
    c.fill("0");
    return c;
}

// Inputs that pass every check.
CompositionInputs passingInputs() {
    CompositionInputs in;
    in.ScopePaths = {"1-数学\\1-人教版\\7-七年级\\1-上册\\1-有理数\\1-正数和负数"};
    in.typeTicked = ticked({0});
    in.typeCounts = zeroCounts();
    in.typeCounts[0] = "5";
    in.totalText = RecountTotal(in.typeTicked, in.typeCounts);
    in.shareTexts = {"20%", "20%", "20%", "20%", "20%"};
    in.shareTotalText = ShowShareTotal(in.shareTexts).text;
    in.AuthorFilter = {"张三"};
    in.SourceFilter = {"1-课本"};
    return in;
}

}  // namespace

TEST(typeCounts, PlusMinusTickAndUntickKeepTheTotalInStep) {
    auto counts = zeroCounts();
    auto ticks = ticked({0});
    for (int i = 0; i < 3; ++i)
        counts[0] = countAfterPlus(counts[0]);
    counts[0] = countAfterMinus(counts[0]);
    EXPECT_EQ(counts[0], "2");
    EXPECT_EQ(RecountTotal(ticks, counts), "2");
    ticks[0] = false;  // unticking keeps the count but leaves it out of the total
    EXPECT_EQ(counts[0], "2");
    EXPECT_EQ(RecountTotal(ticks, counts), "0");
    ticks[0] = true;
    EXPECT_EQ(RecountTotal(ticks, counts), "2");

    EXPECT_EQ(countAfterMinus("0"), "0");
    EXPECT_EQ(countAfterMinus("abc"), "abc");  // counts 0: left as typed
    EXPECT_EQ(countAfterPlus("abc"), "1");
    EXPECT_EQ(countAfterPlus("12abc"), "13");
    EXPECT_EQ(countAfterMinus("2.5"), "1.5");
}

TEST(typeCounts, TotalReadsTheLeadingNumberOfEachTickedBox) {
    auto counts = zeroCounts();
    counts[0] = "12abc";
    counts[2] = " 3";
    counts[4] = "x7";  // no leading number: 0
    counts[6] = "2.5";
    counts[7] = "100";  // not ticked
    EXPECT_EQ(RecountTotal(ticked({0, 2, 4, 6}), counts), "17.5");
    counts[2] = "-20";
    EXPECT_EQ(RecountTotal(ticked({0, 2}), counts), "-8");
    EXPECT_EQ(RecountTotal(ticked({}), counts), "0");
}

TEST(DifficultyShares, LabelsTotalAndOverallDifficulty) {
    EXPECT_EQ(shareLabelText(0), "00%");
    EXPECT_EQ(shareLabelText(3), "30%");
    EXPECT_EQ(shareLabelText(10), "100%");

    const ShareSum full = ShowShareTotal({"30%", "30%", "40%", "00%", "00%"});
    EXPECT_EQ(full.total, 100);
    EXPECT_EQ(full.text, "100%");
    EXPECT_TRUE(shareTotalIsComplete(full.text));
    EXPECT_EQ(ShowOverallDifficulty({3, 3, 4, 0, 0}), "0.32");

    const ShareSum partial = ShowShareTotal({"30%", "40%", "00%", "00%", "00%"});
    EXPECT_EQ(partial.total, 70);
    EXPECT_EQ(partial.text, "70%");
    EXPECT_FALSE(shareTotalIsComplete(partial.text));
    EXPECT_EQ(ShowShareTotal({"00%", "00%", "00%", "00%", "00%"}).text, "00%");

    EXPECT_EQ(ShowOverallDifficulty({0, 0, 0, 0, 0}), "0.00");
    EXPECT_EQ(ShowOverallDifficulty({0, 0, 0, 0, 10}), "0.90");
    EXPECT_EQ(ShowOverallDifficulty({1, 0, 0, 0, 0}), "0.10");
    // 2 × 0.3 + 1 × 0.9 over 3 steps = 0.5
    EXPECT_EQ(ShowOverallDifficulty({0, 2, 0, 0, 1}), "0.50");
    // (1×1 + 1×3 + 1×5) / 10 / 3 = 0.3
    EXPECT_EQ(ShowOverallDifficulty({1, 1, 1, 0, 0}), "0.30");
}

TEST(DifficultyShares, ExcessIsLoweredOneStepPerMessage) {
    // Shares at 100 %, one bar raised by a step: one message, the bar goes back.
    ShareExcess e = lowerShareExcess({3, 3, 4, 1, 0}, 3);
    EXPECT_EQ(e.value, 0);
    EXPECT_EQ(e.messages, 1);
    // Raised by three steps: three messages.
    e = lowerShareExcess({3, 3, 4, 0, 3}, 4);
    EXPECT_EQ(e.value, 0);
    EXPECT_EQ(e.messages, 3);
    // Others at 80 %, bar set to 50 %: lowered to 20 %, three messages.
    e = lowerShareExcess({5, 3, 5, 0, 0}, 0);
    EXPECT_EQ(e.value, 2);
    EXPECT_EQ(e.messages, 3);
    // Within 100 %: nothing happens.
    e = lowerShareExcess({2, 2, 2, 2, 2}, 1);
    EXPECT_EQ(e.value, 2);
    EXPECT_EQ(e.messages, 0);
    EXPECT_EQ(kShareExcessMessage, "各种难度题所占比例总和不能超过：100%");
}

TEST(LevelTargets, LargestRemainderOverSinglePrecisionShares) {
    using Shares = std::array<float, kLevelCount>;
    using Targets = std::array<int, kLevelCount>;
    // 0.3f × 5 lies just above 1.5 and 0.1f × 5 just above 0.5 but its
    // remainder rounds to 0.5 in single precision: the levels 2 and 3 win.
    EXPECT_EQ(levelTargets(5, 5, Shares{0.1f, 0.1f, 0.3f, 0.3f, 0.2f}), (Targets{0, 0, 2, 2, 1}));
    EXPECT_EQ(levelTargets(10, 10, Shares{0.1f, 0.2f, 0.3f, 0.2f, 0.2f}), (Targets{1, 2, 3, 2, 2}));
    // A tie goes to the lower level.
    EXPECT_EQ(levelTargets(7, 7, Shares{0.5f, 0.5f, 0, 0, 0}), (Targets{4, 3, 0, 0, 0}));
    // Shares below 100 % still give targets summing to the total: once every
    // remainder is 0, the first level takes the rest.
    EXPECT_EQ(levelTargets(4, 4, Shares{0.5f, 0, 0, 0, 0}), (Targets{4, 0, 0, 0, 0}));
}

TEST(CollectParameters, EveryFieldFromTheScreensValues) {
    CompositionInputs in = passingInputs();
    in.typeTicked = ticked({0, 2, 4, 6});
    in.typeCounts = zeroCounts();
    in.typeCounts[0] = " 2.5 ";  // halves to even: 2
    in.typeCounts[2] = "3.5";    // 4
    in.typeCounts[4] = "12abc";  // 12
    in.typeCounts[6] = "0";
    in.typeCounts[7] = "9";  // not ticked: 0
    in.totalText = RecountTotal(in.typeTicked, in.typeCounts);
    ASSERT_EQ(in.totalText, "18");
    in.shareTexts = {"10%", "20%", "30%", "20%", "20%"};
    in.afterTicked = true;
    in.afterDate = QDate(2024, 1, 5);
    in.beforeDate = QDate(2024, 12, 31);

    CompositionParameters p = CollectParameters(in, QStringList{"", "甲", "乙"});
    EXPECT_EQ(p.TotalWanted, 18);
    EXPECT_EQ(p.TypeTargets, (std::array<int, 8>{2, 0, 4, 0, 12, 0, 0, 0}));
    EXPECT_EQ(p.LevelShares[0], 0.1f);
    EXPECT_EQ(p.LevelShares[2], 0.3f);
    EXPECT_EQ(p.LevelTargets, (std::array<int, 5>{2, 4, 5, 4, 3}));  // 1.8 3.6 5.4 3.6 3.6
    EXPECT_EQ(p.knowledgePointCount(), 2);
    EXPECT_FALSE(p.LastUseRange) << "one date box ticked applies no date limit";

    in.beforeTicked = true;
    p = CollectParameters(in, QStringList{""});
    ASSERT_TRUE(p.LastUseRange);
    EXPECT_EQ(p.LastUseRange->after, QDate(2024, 1, 5));
    EXPECT_EQ(p.LastUseRange->before, QDate(2024, 12, 31));
    EXPECT_EQ(p.knowledgePointCount(), 0);

    // The total rounds halves to even too; the level products use the text's value.
    in.totalText = "2.5";
    in.shareTexts = {"100%", "00%", "00%", "00%", "00%"};
    p = CollectParameters(in, QStringList{""});
    EXPECT_EQ(p.TotalWanted, 2);
    EXPECT_EQ(p.LevelTargets, (std::array<int, 5>{2, 0, 0, 0, 0}));
}

TEST(ScopeKnowledgePoints, ReadFromTheCatalogueOfABank) {
    ComposeBank b;
    const QStringList sectionA = {"1-数学", "1-人教版", "7-七年级", "1-上册", "1-有理数", "1-正数和负数"};
    const QStringList sectionB = {"1-数学", "1-人教版", "7-七年级", "1-上册", "1-有理数", "2-有理数的加法"};
    b.addCatalogue(sectionA);  // the section itself, no knowledge point yet (null)
    b.addCatalogue(sectionA + QStringList{"1-正数"});
    b.addCatalogue(sectionA + QStringList{"2-负数"});
    b.addCatalogue(sectionB + QStringList{"1-加法法则"});
    b.addCatalogue(sectionB + QStringList{"2-负数"});  // the same name in another section stays twice
    b.addCatalogue({"1-数学", "1-人教版", "7-七年级", "1-上册", "2-整式"});

    const QString pathA = sectionA.join('\\');
    const QString pathB = sectionB.join('\\');
    EXPECT_EQ(knowledgePointQuery(pathA),
              "select 知识点 from 教材设置 where [科目] + [教材版本] +[年级] + [上下册] + [章] + [节]= "
              "'1-数学1-人教版7-七年级1-上册1-有理数1-正数和负数'");
    EXPECT_EQ(scopeKnowledgePoints(*b.bank, {pathB, pathA}),
              QStringList({"", "1-加法法则", "2-负数", "1-正数", "2-负数"}));
    EXPECT_EQ(scopeKnowledgePoints(*b.bank, {}), QStringList({""}));
    // A quote inside a name is found like any other text.
    b.addCatalogue({"1-数学", "1-人教版", "7-七年级", "1-上册", "1-有理数", "3-O'Neil", "1-点"});
    EXPECT_EQ(scopeKnowledgePoints(*b.bank, {"1-数学\\1-人教版\\7-七年级\\1-上册\\1-有理数\\3-O'Neil"}),
              QStringList({"", "1-点"}));

    CompositionInputs in = passingInputs();
    in.ScopePaths = {pathA};
    EXPECT_EQ(CollectParameters(in, *b.bank).ScopeKnowledgePoints, QStringList({"", "1-正数", "2-负数"}));
}

TEST(checkParameters, ProblemsComeInOneMessageInTheirOrder) {
    CompositionInputs in;  // nothing ticked, total 0, shares 0 %
    in.typeCounts = zeroCounts();
    in.shareTexts = {"00%", "00%", "00%", "00%", "00%"};
    in.SourceFilter = {"1-课本"};
    const ParameterCheck check = checkParameters(in, CollectParameters(in, QStringList{""}));
    EXPECT_FALSE(check.passed);
    EXPECT_EQ(check.message, "还有以下参数设置有点问题，请前去设置好了再开始：\r\r"
                             "     *设置的总题数为0！\r\r"
                             "     *没有勾选任何【考查范围】！\r\r"
                             "     *没有勾选任何【试题作者】！\r\r"
                             "     *各难度题数比例的总和小于100%！\r\r");

    in.SourceFilter.clear();
    in.AuthorFilter = {"张三"};
    in.shareTotalText = "100%";
    in.ScopePaths = {"a\\b"};
    in.totalText = "3";
    EXPECT_EQ(checkParameters(in, CollectParameters(in, QStringList{""})).message,
              "还有以下参数设置有点问题，请前去设置好了再开始：\r\r     *没有勾选任何【试题来源】！\r\r");
}

TEST(checkParameters, PassingParametersAnnounceTheSearch) {
    const CompositionInputs in = passingInputs();
    const ParameterCheck check = checkParameters(in, CollectParameters(in, QStringList{""}));
    EXPECT_TRUE(check.passed);
    EXPECT_EQ(check.message, "计算<最优方案>的时间可能有点长，在这段时间内要稍安勿躁，不要乱点鼠标哦~");
}

TEST(checkParameters, TotalsTheSearchCannotSizeAreRefusedBeforeIt) {
    CompositionInputs in = passingInputs();
    in.typeTicked = ticked({0, 1});
    in.typeCounts[0] = "2";
    in.typeCounts[1] = "-3";
    in.totalText = RecountTotal(in.typeTicked, in.typeCounts);  // "-1"
    ParameterCheck check = checkParameters(in, CollectParameters(in, QStringList{""}));
    EXPECT_FALSE(check.passed);
    EXPECT_EQ(check.message, "还有以下参数设置有点问题，请前去设置好了再开始：\r\r"
                             "     *设置的总题数小于1！\r\r"
                             "     *【多选题】的题数不能是负数！\r\r");

    // A total that reads 0.4 passes the "exactly 0" test but rounds to no question.
    in.typeCounts[1] = "0";
    in.typeCounts[0] = "0.4";
    in.totalText = RecountTotal(in.typeTicked, in.typeCounts);
    check = checkParameters(in, CollectParameters(in, QStringList{""}));
    EXPECT_FALSE(check.passed);
    EXPECT_TRUE(check.message.contains("*设置的总题数小于1！"));

    // A negative count hidden by a larger one.
    in.typeCounts[0] = "6";
    in.typeCounts[1] = "-1";
    in.totalText = RecountTotal(in.typeTicked, in.typeCounts);
    check = checkParameters(in, CollectParameters(in, QStringList{""}));
    EXPECT_FALSE(check.passed);
    EXPECT_FALSE(check.message.contains("总题数"));
    EXPECT_TRUE(check.message.contains("*【多选题】的题数不能是负数！"));

    in.typeCounts[1] = "0";
    in.typeCounts[0] = "40000";
    in.totalText = RecountTotal(in.typeTicked, in.typeCounts);
    check = checkParameters(in, CollectParameters(in, QStringList{""}));
    EXPECT_FALSE(check.passed);
    EXPECT_TRUE(check.message.contains("*设置的总题数不能超过32767！"));
}
