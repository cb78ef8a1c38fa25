// The search statement and the rows it finds on a real bank.

#include "questions/questionrecord.h"
#include "questions/questionsearch.h"
#include "support/pgcluster.h"
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
    EXPECT_EQ(BuildSearchQuery(c), "select * from 试题库 where 考查范围 like '" + kSection11 +
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

class SearchBank : public BothStores {
protected:
    void SetUp() override {
        ZS_MAKE_BANK();
        Bank bank(location);
        addSampleCatalogue(bank);
        addSampleQuestion(bank, {"00001", "张三-00001", "单选题", "0.5", "1-期中考试", {{kSection11, "1-A|3-C"}}});
        addSampleQuestion(
            bank,
            {"00002", "李四-00002", "填空题", "0.3", "1-期中考试", {{kSection11, "2-B"}, {kSection12, "1-D"}}, "李四"});
        addSampleQuestion(bank, {"00003", "张三-00003", "单选题", "0.7", std::nullopt, {{kSection21, "1-F|2-G'H"}}});
        addSampleQuestion(bank, {"00012", "王五-00012", "解答题", "0.5", "1-期中考试", {{kSection12, "2-E"}}, "王五"});
        bank.addRow("试题库", {{"题目编号", "00013"}, {"题型", "单选题"}});  // a row without a scope
    }
    QStringList numbers(const SearchConditions& c) {
        Bank bank(location);
        browser.search(bank, BuildSearchQuery(c));
        QStringList out;
        for (int r = 0; r < browser.results.count(); ++r)
            out << browser.results.rows().text(r, "题目编号");
        return out;
    }

    QuestionBrowser browser;
};

ZS_BOTH_STORES(SearchBank);

TEST_P(SearchBank, ConditionsSelectTheRowsAQuestionWithTwoScopesTwice) {
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

TEST_P(SearchBank, ChoiceListsAndTheLookupByIdentificationCode) {
    Bank bank(location);
    bank.addRow("试题来源", {{"试题来源", "10-单元测验"}});
    bank.addRow("试题来源", {{"试题来源", "2-期末考试"}});
    const QuestionChoices choices = questionChoices(bank);
    EXPECT_EQ(choices.types, Bank::defaultTypes());
    EXPECT_EQ(choices.difficulties, Bank::defaultDifficulties());
    EXPECT_EQ(choices.sources, QStringList({"10-单元测验", "2-期末考试"}));  // as stored

    // Registered users and the teachers of the questions, once each.
    bank.addRow("用户管理", {{"实名用户名", "赵六"}});
    EXPECT_EQ(authorChoices(bank), QStringList({"张三", "李四", "王五", "赵六"}));

    // A code with a quote in the teacher's name is found like any other.
    addSampleQuestion(bank, {"00020", "O'Neil-00020", "单选题", "0.5", std::nullopt, {{kSection11, "1-A"}}, "O'Neil"});
    browser.results.load(bank, questionByCodeQuery("O'Neil-00020"));
    ASSERT_EQ(browser.results.count(), 1);
    EXPECT_EQ(browser.results.rows().text(0, "题目编号"), "00020");
    browser.results.load(bank, questionByCodeQuery("张三-00002"));
    EXPECT_EQ(browser.results.count(), 0);
}
