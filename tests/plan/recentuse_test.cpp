// "近 __ 天内用过的题不选": the candidates leave out exactly the questions used
// within the days, and the screen's choice is remembered in each bank file in
// a table of its own, the six bank tables untouched.

#include "plan/compositionparameters.h"
#include "plan/compositionsettings.h"
#include "plan/plan_fixtures.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::ComposeBank;

namespace {

const QString kScope = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-有理数\\1-正数和负数";
const QString kOtherScope = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-有理数\\2-有理数";
const QDate kToday(2024, 3, 10);

CompositionInputs inputsOver(const QStringList& scopes) {
    CompositionInputs in;
    in.ScopePaths = scopes;
    in.typeTicked[0] = true;
    in.typeCounts.fill("0");
    in.typeCounts[0] = "2";
    in.totalText = "2";
    in.shareTexts = {"100%", "00%", "00%", "00%", "00%"};
    in.shareTotalText = "100%";
    in.AuthorFilter = {"张三"};
    in.SourceFilter = {"1-课本"};
    in.today = kToday;
    return in;
}

QSet<QString> numbersOf(const CandidateTable& table) {
    QSet<QString> numbers;
    for (const Candidate& c : table)
        numbers.insert(c.number);
    return numbers;
}

// The column names of every table of a bank file.
QMap<QString, QStringList> tableColumns(Bank& bank) {
    QMap<QString, QStringList> out;
    for (const QString& table : QStringList{"试题库", "教材设置", "题型", "难度", "试题来源", "用户管理"})
        out[table] = bank.query(QStringLiteral("select * from %1 where 1 = 0").arg(table)).columns();
    return out;
}

}  // namespace

TEST(RecentUse, TheFirstDayCountsTodayAsOneOfTheDays) {
    EXPECT_EQ(recentUseStart(kToday, 1), kToday);
    EXPECT_EQ(recentUseStart(kToday, 7), QDate(2024, 3, 4));
    EXPECT_EQ(recentUseStart(kToday, 30), QDate(2024, 2, 10));
    EXPECT_EQ(recentUseStart(kToday, 0), kToday);  // never a day in the future
}

TEST(RecentUse, CandidatesLeaveOutExactlyTheQuestionsUsedWithinTheDays) {
    ComposeBank b;
    auto add = [&](const QString& number, const QVariant& lastUse, const QString& scope = kScope) {
        b.addQuestion({.number = number, .scope = scope, .knowledge = "1-正数", .lastUse = lastUse});
    };
    add("00001", {});                              // never used
    add("00002", kToday);                          // today
    add("00003", QDate(2024, 3, 4));               // the first of the 7 days
    add("00004", QDate(2024, 3, 3));               // the day before them
    add("00005", QDate(2023, 9, 1));               // long ago
    add("00006", QDate(2024, 3, 12));              // a date after today (another computer's clock)
    add("00007", QDate(2022, 1, 1));               // one row long ago ...
    add("00007", QDate(2024, 3, 8), kOtherScope);  // ... its other row recently: the question goes

    CompositionInputs in = inputsOver({kScope, kOtherScope});
    const CompositionParameters all = CollectParameters(in, QStringList());
    EXPECT_FALSE(all.UsedSince.has_value());
    // Without the filter the statement is the one it always was.
    EXPECT_FALSE(candidateQuery(all).contains("最后使用日期"));
    EXPECT_EQ(numbersOf(BuildCandidates(*b.bank, all)).size(), 7);

    in.recentUseTicked = true;
    in.recentUseDays = 7;
    const CompositionParameters recent = CollectParameters(in, QStringList());
    ASSERT_TRUE(recent.UsedSince.has_value());
    EXPECT_EQ(*recent.UsedSince, QDate(2024, 3, 4));
    EXPECT_TRUE(candidateQuery(recent).startsWith(candidateQuery(all)));
    const CandidateTable kept = BuildCandidates(*b.bank, recent);
    EXPECT_EQ(numbersOf(kept), QSet<QString>({"00001", "00004", "00005"}));

    // One day: only today's use (and the later date) counts.
    in.recentUseDays = 1;
    EXPECT_EQ(numbersOf(BuildCandidates(*b.bank, CollectParameters(in, QStringList()))),
              QSet<QString>({"00001", "00003", "00004", "00005", "00007"}));
    // The other filters still apply alongside.
    in.recentUseDays = 7;
    in.ScopePaths = {kOtherScope};
    EXPECT_TRUE(BuildCandidates(*b.bank, CollectParameters(in, QStringList())).empty());
}

TEST(RecentUseSetting, RememberedPerBankInATableOfItsOwn) {
    ComposeBank first, second;
    // A bank from before the table (a bank opened for writing gets it).
    first.bank->execute("drop table 组卷设置");
    QMap<QString, QStringList> before;
    {
        Bank reader(first.path(), Bank::Mode::ReadOnly);
        before = tableColumns(reader);
        // A bank that never had the table reads the defaults.
        const RecentUseSetting none = loadRecentUseSetting(reader);
        EXPECT_FALSE(none.ticked);
        EXPECT_EQ(none.days, 30);
    }
    {
        Bank writer(first.path());
        saveRecentUseSetting(writer, {true, 14});
        EXPECT_EQ(tableColumns(writer), before);
        EXPECT_EQ(writer.query("select 设置项, 设置值 from 组卷设置").count(), 2);
    }
    Bank reader(first.path(), Bank::Mode::ReadOnly);
    const RecentUseSetting saved = loadRecentUseSetting(reader);
    EXPECT_TRUE(saved.ticked);
    EXPECT_EQ(saved.days, 14);

    // Saved again, the setting is replaced, not added.
    {
        Bank writer(first.path());
        saveRecentUseSetting(writer, {false, 7});
        EXPECT_EQ(writer.query("select 设置项 from 组卷设置").count(), 2);
    }
    EXPECT_FALSE(loadRecentUseSetting(reader).ticked);
    EXPECT_EQ(loadRecentUseSetting(reader).days, 7);

    // Another bank keeps its own.
    Bank other(second.path(), Bank::Mode::ReadOnly);
    EXPECT_FALSE(loadRecentUseSetting(other).ticked);
    EXPECT_EQ(loadRecentUseSetting(other).days, 30);

    // A day count out of range reads as the default.
    {
        Bank writer(second.path());
        writer.setSetting("近期用过不选天数", "-3");
    }
    EXPECT_EQ(loadRecentUseSetting(other).days, 30);
}
