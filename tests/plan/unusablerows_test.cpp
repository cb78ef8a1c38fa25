// Rows composition leaves out until they are corrected (a 难度 that is no
// level, a number shared by different questions), on a bank file and on a
// school bank of the private cluster: found, kept out of the candidates and
// their counts, and parted by a new number.

#include "plan/candidates.h"
#include "plan/composition.h"
#include "questions/rowcheck.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "support/pgcluster.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace zs;

namespace {

const QString kScope = QStringLiteral("1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\1-第一节");

class UnusableRows : public ::testing::TestWithParam<test::StoreKind> {
protected:
    void SetUp() override {
        location = test::newBank(GetParam(), folder);
        if (location.isEmpty())
            GTEST_SKIP() << test::PostgresCluster::unavailableReason().toStdString();
        QDir().mkpath(documentsFolderOf(location));
    }
    void add(const QString& number, const QString& code, const QString& difficulty) {
        Bank bank(location);
        bank.transaction([&] {
            bank.addRow("试题库", {{"题目编号", number},
                                   {"考查范围", kScope},
                                   {"题型", "单选题"},
                                   {"难度", difficulty},
                                   {"知识点", "1-A"},
                                   {"试题识别码", code}});
            for (const QString& path : {questionDocumentPath(location, number), answerDocumentPath(location, number)}) {
                QFile f(path);
                if (f.open(QIODevice::WriteOnly))
                    f.write(code.toUtf8());
            }
            storeDocuments(bank, number);
        });
    }
    QStringList candidates() {
        CompositionParameters p;
        p.ScopePaths = {kScope};
        Bank bank(location, Bank::Mode::ReadOnly);
        QStringList numbers;
        for (const Candidate& c : BuildCandidates(bank, p))
            if (!numbers.contains(c.number))
                numbers << c.number;
        numbers.sort();
        return numbers;
    }

    test::TempFolder folder;
    QString location;
};

ZS_BOTH_STORES(UnusableRows);

}  // namespace

TEST_P(UnusableRows, AreFoundLeftOutAndPartedByANewNumber) {
    add("00001", "张三-00001", "0.5");
    add("00002", "张三-00002", "2.5");
    add("00003", "张三-00003", "0.3");
    add("00003", "李四-00009", "0.3");  // another question under 00003
    add("00004", "张三-00004", "0.7");
    add("00004", "张三-00004", "0.7");  // the same question in a second row
    {
        Bank bank(location);
        const UnusableQuestions unusable = unusableQuestions(bank);
        EXPECT_EQ(unusable.badDifficulty.keys(), QStringList({"00002"}));
        EXPECT_EQ(unusable.sharedCodes.keys(), QStringList({"00003"}));
        EXPECT_EQ(unusable.sharedCodes.value("00003"), QStringList({"张三-00003", "李四-00009"}));
        CompositionParameters p;
        p.ScopePaths = {kScope};
        EXPECT_EQ(scopeCountsInBank(bank, p).questions, 2);
    }
    EXPECT_EQ(candidates(), QStringList({"00001", "00004"}));

    QString fresh;
    {
        Bank bank(location);
        fresh = renumberSharedQuestion(bank, "00003", "李四-00009");
    }
    EXPECT_EQ(fresh, "00005");
    {
        Bank bank(location);
        EXPECT_TRUE(unusableQuestions(bank).sharedCodes.isEmpty());
        EXPECT_EQ(bank.query("select 试题识别码 from 试题库 where 题目编号='00005'").texts(),
                  QStringList({"李四-00009"}));
        fetchDocuments(bank, {fresh});
    }
    EXPECT_TRUE(QFileInfo::exists(questionDocumentPath(location, fresh)));
    EXPECT_TRUE(QFileInfo::exists(answerDocumentPath(location, fresh)));
    EXPECT_EQ(candidates(), QStringList({"00001", "00003", "00004", "00005"}));
}
