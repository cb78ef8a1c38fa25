// The search statement, the found rows with their position, and the jump and
// go-to rules, on a real bank.

#include "questions/questionsearch.h"
#include "support/samplebank.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

TEST(SearchQuery, KeepsEveryFragmentOfTheStatement) {
    SearchConditions c;
    c.scopePath = kSection11;
    c.type = "单选题";
    c.knowledge = "1-A|3-C";
    EXPECT_EQ(BuildSearchQuery(c),
              "select * from 试题库 where 考查范围 like '" + kSection11 +
                  "%' and 题型='单选题' and 知识点 like '%1-A%' and 知识点 like '%3-C%'");

    SearchConditions all;
    EXPECT_EQ(BuildSearchQuery(all), "select * from 试题库 where 考查范围 like '%'");

    SearchConditions rest;
    rest.difficulty = "0.5";
    rest.source = "1-期中考试";
    rest.author = "张三";
    rest.knowledge = "  1-A||3-C ";
    EXPECT_EQ(BuildSearchQuery(rest),
              "select * from 试题库 where 考查范围 like '%' and 难度='0.5' and 试题来源='1-期中考试' "
              "and 入库教师='张三' and 知识点 like '%1-A%' and 知识点 like '%%' and 知识点 like '%3-C%'");
}

class SearchBank : public ::testing::Test {
  protected:
    void SetUp() override {
        Bank bank(app.bankPath());
        addSampleCatalogue(bank);
        addSampleQuestion(bank,
                          {"00001", "张三-00001", "单选题", "0.5", "1-期中考试", {{kSection11, "1-A|3-C"}}});
        addSampleQuestion(bank, {"00002",
                                 "李四-00002",
                                 "填空题",
                                 "0.3",
                                 "1-期中考试",
                                 {{kSection11, "2-B"}, {kSection12, "1-D"}},
                                 "李四"});
        addSampleQuestion(
            bank, {"00003", "张三-00003", "单选题", "0.7", std::nullopt, {{kSection21, "1-F|2-G'H"}}});
        addSampleQuestion(
            bank, {"00012", "王五-00012", "解答题", "0.5", "1-期中考试", {{kSection12, "2-E"}}, "王五"});
        bank.addRow("试题库", {{"题目编号", "00013"}, {"题型", "单选题"}}); // a row without a scope
    }
    QStringList numbers(const SearchConditions& c) {
        Bank bank(app.bankPath());
        browser.search(bank, BuildSearchQuery(c));
        QStringList out;
        for (int r = 0; r < browser.results.count(); ++r)
            out << browser.results.rows().text(r, "题目编号");
        return out;
    }

    TestApp app;
    QuestionBrowser browser;
};

TEST_F(SearchBank, ConditionsSelectTheRowsAQuestionWithTwoScopesTwice) {
    EXPECT_EQ(numbers({}), QStringList({"00001", "00002", "00002", "00003", "00012"}));
    EXPECT_TRUE(browser.SearchDone);
    EXPECT_EQ(browser.results.position(), 1);

    SearchConditions chapter;
    chapter.scopePath = kChapter1;
    EXPECT_EQ(numbers(chapter), QStringList({"00001", "00002", "00002", "00012"}));

    SearchConditions knowledge;
    knowledge.knowledge = " 1-A||3-C ";
    EXPECT_EQ(numbers(knowledge), QStringList({"00001"}));

    SearchConditions quoted;
    quoted.knowledge = "G'H";
    EXPECT_EQ(numbers(quoted), QStringList({"00003"}));

    SearchConditions author;
    author.author = "李四";
    author.type = "填空题";
    EXPECT_EQ(numbers(author), QStringList({"00002", "00002"}));

    SearchConditions none;
    none.type = "作图题";
    EXPECT_TRUE(numbers(none).isEmpty());
    EXPECT_EQ(browser.results.position(), 0);
    EXPECT_FALSE(browser.results.hasCurrent());
}

TEST_F(SearchBank, JumpChecksComeInTheirOrder) {
    EXPECT_EQ(browser.jump("2").refusal,
              "请先执行搜索，等搜索到了好多道题以后，你才有必要跳转到某道题上去啊。你说是不？");
    numbers({});
    const auto notNumber = browser.jump("abc");
    EXPECT_EQ(notNumber.refusal, "请输入一个整数！");
    EXPECT_TRUE(notNumber.clearText);
    const auto zero = browser.jump("0");
    EXPECT_EQ(zero.refusal, "请输入一个介于 [0-5] 的整数！");
    EXPECT_TRUE(zero.clearText);
    EXPECT_EQ(browser.jump("6").refusal, "请输入一个介于 [0-5] 的整数！");
    EXPECT_TRUE(browser.jump(" 2.7 ").refusal.isEmpty());
    EXPECT_EQ(browser.results.position(), 2);
    EXPECT_TRUE(browser.jump("5.99").refusal.isEmpty());
    EXPECT_EQ(browser.results.position(), 5);

    SearchConditions none;
    none.type = "作图题";
    numbers(none);
    const auto empty = browser.jump("1");
    EXPECT_EQ(empty.refusal, "没有搜索到任何题目，所以，一切的跳转都是没有意义的！");
    EXPECT_FALSE(empty.clearText);
}

TEST_F(SearchBank, GoToFindsANumberOrPartOfACodeOverTheWholeBank) {
    EXPECT_EQ(QuestionBrowser::formatAnswer("12"), "00012");
    EXPECT_EQ(QuestionBrowser::formatAnswer("2.7"), "00003");
    EXPECT_EQ(QuestionBrowser::formatAnswer("李四"), "李四");
    EXPECT_EQ(QuestionBrowser::formatAnswer(""), "");

    SearchConditions one;
    one.scopePath = kSection21;
    numbers(one);
    Bank bank(app.bankPath());
    EXPECT_EQ(browser.goTo(bank, "12"), "");
    EXPECT_EQ(browser.results.count(), 6); // every row of the bank
    EXPECT_EQ(browser.results.text("题目编号"), "00012");
    EXPECT_EQ(browser.goTo(bank, "李四"), "");
    EXPECT_EQ(browser.results.position(), 2);

    EXPECT_EQ(browser.goTo(bank, ""), "输入内容为空！");
    EXPECT_EQ(browser.goTo(bank, "99"), "对不起，没有搜索到[题目编号]或[试题识别码]为：00099的题目！");
    // A miss leaves the rows and the position as they were.
    EXPECT_EQ(browser.results.position(), 2);
    EXPECT_EQ(browser.results.text("题目编号"), "00002");
}
