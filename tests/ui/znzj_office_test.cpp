// The whole "计算最优方案" command on a small real bank: the messages, the
// plan handed to the manual composition screen, its smart sort on activation,
// the classic search when "精细优化" is off, and computing again.

#include "paper/smartsort.h"
#include "plan/composition.h"
#include "ui/compose/Form_sdzj.h"
#include "ui/znzj_fixtures.h"

#include <QLabel>
#include <QRadioButton>
#include <QSet>
#include <gtest/gtest.h>
#include <map>

using namespace zs;
using namespace zs::test;

namespace {

// What the manual composition screen held when it was shown, and after its
// activation.
struct Shown {
    QString title;
    PlanRows before;
    PlanRows after;
    bool autoSize = false;
    bool sort = false;
    QString trigger;
    // A/B papers: the B table as the teacher switches to it, and the marks.
    bool pair = false;
    PlanRows second;
    QString markA, markB, titleB;
    bool switchedBack = false;
};

PlanRows rowsOf(const SpecTable& table) {
    PlanRows rows;
    for (int r = 1; r < table.rows(); ++r)
        rows.push_back({table.cell(r, SpecTable::QuestionNumber), table.cell(r, SpecTable::Scope),
                        table.cell(r, SpecTable::Type), table.cell(r, SpecTable::Difficulty),
                        SpecTable::knowledgeList(table.cell(r, SpecTable::Knowledge)), table.cell(r, SpecTable::Code)});
    return rows;
}

class ZnzjOfficeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillCompositionBank(app);
        form = std::make_unique<Form_znzj>(app.state());
        ui = std::make_unique<ZnzjDriver>(*form);
        app.state().modalHook = [this](QObject* screen) {
            auto* table = qobject_cast<Form_sdzj*>(screen);
            ASSERT_NE(table, nullptr);
            Shown s;
            s.title = table->windowTitle();
            s.before = rowsOf(table->table());
            s.autoSize = table->AutoSizeOnActivate;
            s.sort = table->SortOnActivate;
            s.trigger = table->SortTrigger;
            table->Form_Activate();
            s.after = rowsOf(table->table());
            s.pair = table->hasPaperPair();
            if (s.pair) {
                s.markA = table->paperMark();
                test::child<QRadioButton>(table, "Option_Bjuan")->click();
                s.second = rowsOf(table->table());
                s.markB = table->paperMark();
                s.titleB = test::child<QLabel>(table, "Label_biaoti")->text();
                test::child<QRadioButton>(table, "Option_Ajuan")->click();
                s.switchedBack = rowsOf(table->table()) == s.after && table->shownPaper() == 0;
            }
            shown.push_back(s);
        };
    }

    // The parameters the screen builds, read from the bank as it reads them.
    CompositionParameters parameters() {
        Bank bank(app.bankPath());
        return zs::CollectParameters(form->inputs(), bank);
    }

    TestApp app;
    std::unique_ptr<Form_znzj> form;
    std::unique_ptr<ZnzjDriver> ui;
    std::vector<Shown> shown;
};

}  // namespace

TEST_F(ZnzjOfficeTest, ARefinedPlanReachesTheTableSortedAfterActivation) {
    ui->typicalRequest();
    app.state().seedRandom(2024);
    ui->compute();

    const QStringList messages = app.prompts.messages();
    ASSERT_EQ(messages.size(), 4) << messages.join("\n").toStdString();
    EXPECT_EQ(messages[0], kSearchNotice);
    ASSERT_TRUE(messages[1].startsWith("已经计算出一套试卷方案，该方案与预设的各参数之间的偏移值为："));
    EXPECT_EQ(messages[2], "<最优组卷方案>已经成功获取！\r\r<双向细目表>马上为你展示！");
    EXPECT_EQ(messages[3], "双向细目表加载完毕，并且已经经过了智能排序了！");

    ASSERT_EQ(shown.size(), 1u);
    const Shown& s = shown[0];
    EXPECT_EQ(s.title, "智能组卷");
    EXPECT_TRUE(s.autoSize);
    EXPECT_TRUE(s.sort);
    EXPECT_EQ(s.trigger, "ZhiNengZuJuan");
    ASSERT_EQ(s.before.size(), 8u);

    // The message reports the offset of the plan in the table, and that the
    // exact stage proved it the best.
    const CompositionParameters p = parameters();
    EXPECT_EQ(messages[1], planResultMessage(planOffset(s.before, p)) + "\r\r该方案已证明为最优方案。");
    QSet<QString> numbers;
    for (const Candidate& c : s.before)
        numbers.insert(c.number);
    EXPECT_EQ(numbers.size(), 8);

    // After activation: the same rows, grouped by type in the type order and
    // by difficulty within each type.
    ASSERT_EQ(s.after.size(), 8u);
    EXPECT_TRUE(std::is_permutation(s.before.begin(), s.before.end(), s.after.begin()));
    const QStringList order = {"单选题", "多选题", "填空题", "判断题", "计算题", "作图题", "解答题", "作文题"};
    for (size_t r = 1; r < s.after.size(); ++r) {
        const int a = int(order.indexOf(s.after[r - 1].type)), b = int(order.indexOf(s.after[r].type));
        EXPECT_LE(a, b) << r;
        if (a == b) {
            EXPECT_LE(s.after[r - 1].difficulty, s.after[r].difficulty) << r;
        }
    }

    // The screen stays and computes again.
    app.prompts.clear();
    ui->compute();
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(app.prompts.messages().size(), 4);
}

TEST_F(ZnzjOfficeTest, WithoutFineTuningTheSameSeedGivesExactlyTheClassicPlan) {
    ui->typicalRequest();
    ui->find<QCheckBox>("Check_jxyh")->click();
    ASSERT_FALSE(ui->find<QCheckBox>("Check_jxyh")->isChecked());
    app.state().seedRandom(99);
    ui->compute();
    ASSERT_EQ(shown.size(), 1u);

    const CompositionParameters p = parameters();
    Bank bank(app.bankPath());
    const CandidateTable candidates = BuildCandidates(bank, p);
    const CandidatePool pool(candidates, p);
    std::mt19937 random(99);
    const PlanSearchResult classic = SearchPlan(pool, p.TotalWanted, random);
    EXPECT_EQ(shown[0].before, planRows(candidates, classic.BestPlan));
    EXPECT_EQ(app.prompts.messages()[1], planResultMessage(classic.BestOffset));
}

TEST_F(ZnzjOfficeTest, ABPapersReachTwoTablesWithoutACommonQuestion) {
    ui->typicalRequest();
    ui->find<QCheckBox>("Check_tsscabj")->click();
    app.state().seedRandom(7);
    ui->compute();
    const QStringList messages = app.prompts.messages();
    ASSERT_EQ(messages.size(), 4) << messages.join("\n").toStdString();
    ASSERT_EQ(shown.size(), 1u);
    const Shown& s = shown[0];
    ASSERT_TRUE(s.pair);
    EXPECT_EQ(s.markA, "A卷");
    EXPECT_EQ(s.markB, "B卷");
    EXPECT_EQ(s.titleB, "命卷双向细目表（B卷）");
    EXPECT_TRUE(s.switchedBack);
    ASSERT_EQ(s.after.size(), 8u);
    ASSERT_EQ(s.second.size(), 8u);

    QSet<QString> a, b;
    for (const Candidate& c : s.after)
        a.insert(c.number);
    for (const Candidate& c : s.second)
        b.insert(c.number);
    EXPECT_EQ(a.size(), 8);
    EXPECT_EQ(b.size(), 8);
    EXPECT_FALSE(a.intersects(b));

    // The message names both offsets and how good the pair is.
    const CompositionParameters p = parameters();
    const Offset offsetA = planOffset(s.before, p), offsetB = planOffset(s.second, p);
    EXPECT_TRUE(messages[1].startsWith(planResultMessage(offsetA) + "\r\r" + secondPlanLine(offsetB) + "\r\r"))
        << messages[1].toStdString();
    EXPECT_TRUE(messages[1].endsWith("A、B两套方案已证明为最优组合。")) << messages[1].toStdString();

    // The B table is sorted too: types in the type order.
    const QStringList order = {"单选题", "多选题", "填空题", "判断题", "计算题", "作图题", "解答题", "作文题"};
    for (size_t r = 1; r < s.second.size(); ++r)
        EXPECT_LE(order.indexOf(s.second[r - 1].type), order.indexOf(s.second[r].type)) << r;
}

TEST_F(ZnzjOfficeTest, AfterTheExplanationOkComposesTheClosestPlan) {
    // The whole volume holds 14 单选题: 16 are asked for, with 2 填空题.
    ui->tickScope(kVolume);
    ui->tickType(0, 16);
    ui->tickType(2, 2);
    ui->setShares({2, 2, 2, 2, 2});
    app.prompts.answer(Answer::Ok);
    app.state().seedRandom(3);
    ui->compute();
    const QStringList messages = app.prompts.messages();
    ASSERT_EQ(messages.size(), 5) << messages.join("\n").toStdString();
    EXPECT_TRUE(messages[1].contains("单选题：需要 16 道，所选范围内只有 14 道。"));
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].before.size(), 18u);
    const CompositionParameters p = parameters();
    const Offset offset = planOffset(shown[0].before, p);
    EXPECT_TRUE(messages[2].startsWith(planResultMessage(offset) + "\r\r"));
    // Every one of the 14 单选题 is in the plan, the 填空题 make up the
    // total, and no type that was not asked stands in it.
    int single = 0, blank = 0;
    for (const Candidate& c : shown[0].before) {
        single += c.type == "单选题";
        blank += c.type == "填空题";
    }
    EXPECT_EQ(single, 14);
    EXPECT_EQ(blank, 4);
    EXPECT_TRUE(messages[2].endsWith("该方案已证明为最优方案。\r\r所选范围内的题目不足，方案的题型为：单选题 14 "
                                     "道，填空题 4 道。"))
        << messages[2].toStdString();
}

// The type counts are the paper's structure: a plan holds exactly the asked
// count of each type, even where other types would cover the knowledge points
// better, and where a type is short it takes all of it and the other asked
// types make up the total.
class ZnzjTypesOfficeTest : public ZnzjOfficeTest {
protected:
    void SetUp() override {
        ZnzjOfficeTest::SetUp();
        Bank(app.bankPath()).execute("delete from 试题库");
        Bank(app.bankPath()).execute("delete from 教材设置");
        fillUnevenTypeBank(app);
        form = std::make_unique<Form_znzj>(app.state());
        ui = std::make_unique<ZnzjDriver>(*form);
    }
    std::map<QString, int> typesShown(size_t i) const {
        std::map<QString, int> counts;
        for (const Candidate& c : shown[i].before)
            ++counts[c.type];
        return counts;
    }
};

TEST_F(ZnzjTypesOfficeTest, ThePlanHoldsExactlyTheAskedTypes) {
    ui->tickScope(sectionPath(0, 0));
    ui->tickType(0, 6);
    ui->tickType(2, 2);
    ui->setShares({0, 0, 10, 0, 0});
    app.state().seedRandom(11);
    ui->compute();
    const QStringList messages = app.prompts.messages();
    ASSERT_EQ(messages.size(), 4) << messages.join("\n").toStdString();
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].before.size(), 8u);
    EXPECT_EQ(typesShown(0), (std::map<QString, int>{{"单选题", 6}, {"填空题", 2}}));
    // Proven best among plans of these types; a plan of 4 单选题, 2 填空题 and
    // 2 解答题 has a lower offset (95) but is not the paper asked for.
    const CompositionParameters p = parameters();
    EXPECT_EQ(planOffset(shown[0].before, p), 145);
    EXPECT_EQ(messages[1], planResultMessage(145) + "\r\r该方案已证明为最优方案。");
}

TEST_F(ZnzjTypesOfficeTest, AShortTypeIsTakenWholeAndTheAskedTypesMakeUpTheTotal) {
    ui->tickScope(sectionPath(0, 0));
    ui->tickType(1, 2);
    ui->tickType(2, 5);
    ui->setShares({0, 0, 10, 0, 0});
    app.prompts.answer(Answer::Ok);
    app.state().seedRandom(12);
    ui->compute();
    const QStringList messages = app.prompts.messages();
    ASSERT_EQ(messages.size(), 5) << messages.join("\n").toStdString();
    EXPECT_EQ(messages[1], "所选考查范围内的题目不能完全满足设置的要求：\r\r"
                           "多选题：需要 2 道，所选范围内只有 1 道。\r\r"
                           "点击“确定”仍然计算最接近要求的方案，点击“取消”返回修改参数。");
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].before.size(), 7u);
    EXPECT_EQ(typesShown(0), (std::map<QString, int>{{"多选题", 1}, {"填空题", 6}}));
    EXPECT_TRUE(messages[2].endsWith("该方案已证明为最优方案。\r\r所选范围内的题目不足，方案的题型为：多选题 1 "
                                     "道，填空题 6 道。"))
        << messages[2].toStdString();
}
