// Two teachers at two computers on one school bank at the same time: two
// worker processes, each with a folder of its own for its local copies of the
// documents, enter questions, search and compose papers for a few dozen
// rounds. Afterwards no row is lost or doubled, no question number was given
// twice, every question has both documents in the bank (and the ones a teacher
// opened on this computer too), and each use of a question was counted once.

#include "paper/paperrecord.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverlocation.h"
#include "support/pgcluster.h"
#include "support/samplebank.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

using namespace zs;
using namespace zs::test;

namespace {

constexpr int kRounds = 60;

struct Computer {
    QString teacher;
    TempFolder cache, appDir;
    QProcess process;
    QString output;
    QHash<QString, QString> entered;  // number → code
    QStringList found;
    QList<QStringList> papers;
    QStringList problems;

    void start(const QString& location, const QStringList& sections) {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QStringLiteral(ZS_SCHOOLWORKER_PATH),
                      QStringList{location, cache.path(), appDir.path(), teacher, QString::number(kRounds)} + sections);
    }
    bool finish() {
        const bool done = process.waitForFinished(180000);
        // The server's notices on the error channel are no concern of the test.
        const QString steps = QString::fromUtf8(process.readAllStandardOutput());
        output = steps + QString::fromUtf8(process.readAllStandardError());
        for (const QString& line : steps.split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList words = line.split(u' ');
            if (words[0] == u"entered" && words.size() == 3)
                entered.insert(words[1], words[2]);
            else if (words[0] == u"found")
                found << words.value(1);
            else if (words[0] == u"paper")
                papers << words.mid(1);
            else
                problems << line;
        }
        return done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
};

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

}  // namespace

TEST(SchoolRoad, TwoComputersEnterSearchAndComposeOnOneSchoolBankAtOnce) {
    if (!PostgresCluster::instance())
        GTEST_SKIP() << PostgresCluster::unavailableReason().toStdString();
    TempFolder bankFolder;
    const QString location = newBank(StoreKind::Server, bankFolder);
    ASSERT_FALSE(location.isEmpty());
    {
        Bank bank(location);
        addSampleCatalogue(bank);
    }
    const QStringList sections = {kSection11, kSection12, kSection21};
    Computer one, two;
    one.teacher = "张老师";
    two.teacher = "李老师";
    one.start(location, sections);
    two.start(location, sections);
    const bool oneDone = one.finish();
    const bool twoDone = two.finish();
    ASSERT_TRUE(oneDone) << one.output.toStdString();
    ASSERT_TRUE(twoDone) << two.output.toStdString();
    EXPECT_TRUE(one.problems.isEmpty()) << one.problems.join(u'\n').toStdString();
    EXPECT_TRUE(two.problems.isEmpty()) << two.problems.join(u'\n').toStdString();
    ASSERT_EQ(one.entered.size(), kRounds);
    ASSERT_EQ(two.entered.size(), kRounds);
    EXPECT_FALSE(one.papers.isEmpty());
    EXPECT_FALSE(two.found.isEmpty());

    // No number given to both teachers.
    for (auto it = one.entered.cbegin(); it != one.entered.cend(); ++it)
        EXPECT_FALSE(two.entered.contains(it.key())) << it.key().toStdString();

    Bank bank(location);
    // Every question entered is there with its two rows, and nothing else is.
    EXPECT_EQ(bank.query("select count(*) from 试题库").value(0, 0).toInt(), 4 * kRounds);
    EXPECT_TRUE(bank.query("select 题目编号 from 试题库 group by 题目编号 having count(distinct 试题识别码) > 1 or "
                           "count(*) <> 2")
                    .isEmpty());
    // How often each question went into a paper, by either teacher.
    QHash<QString, int> uses;
    for (const Computer* c : {&one, &two})
        for (const QStringList& paper : c->papers)
            for (const QString& number : paper)
                ++uses[number];
    for (const Computer* c : {&one, &two}) {
        for (auto it = c->entered.cbegin(); it != c->entered.cend(); ++it) {
            const QString& number = it.key();
            const RowSet rows =
                bank.query("select 试题识别码, 使用次数, 入库教师 from 试题库 where 题目编号='" + number + "'");
            ASSERT_EQ(rows.count(), 2) << number.toStdString();
            for (int r = 0; r < 2; ++r) {
                EXPECT_EQ(rows.text(r, 0), it.value());
                EXPECT_EQ(rows.text(r, 2), c->teacher);
                EXPECT_EQ(rows.value(r, 1).toInt(), uses.value(number)) << number.toStdString();
            }
            // Both documents, as the teacher wrote them.
            for (const QString part : {"题目", "答案"}) {
                const RowSet document =
                    bank.query("select 内容 from 试题文档 where 文件名='" + number + "-" + part + ".doc'");
                ASSERT_EQ(document.count(), 1) << (number + part).toStdString();
                EXPECT_EQ(document.value(0, 0).toByteArray(), (c->teacher + " 的试题 " + number + " " + part).toUtf8());
            }
        }
    }
    // No number stays reserved for a question that was stored.
    for (const QString& number : bank.query("select 题目编号 from 题目编号预留").texts())
        EXPECT_FALSE(one.entered.contains(number) || two.entered.contains(number)) << number.toStdString();
    // Every paper was recorded once, with its own questions.
    int placed = 0;
    for (const Computer* c : {&one, &two})
        for (const QStringList& paper : c->papers)
            placed += int(paper.size());
    EXPECT_EQ(bank.query("select count(*) from " + kPaperTable).value(0, 0).toInt(),
              one.papers.size() + two.papers.size());
    EXPECT_EQ(bank.query("select count(*) from " + kPaperQuestionTable).value(0, 0).toInt(), placed);
    EXPECT_TRUE(bank.query("select 试卷编号 from " + kPaperTable + " where 试卷编号 not in (select 试卷编号 from " +
                           kPaperQuestionTable + ")")
                    .isEmpty());

    // What a teacher opened is on that teacher's computer as the bank holds it.
    for (const Computer* c : {&one, &two}) {
        setServerCacheRoot(c->cache.path());
        for (const QString& number : c->found)
            EXPECT_EQ(readFile(answerDocumentPath(location, number)),
                      bank.query("select 内容 from 试题文档 where 文件名='" + number + "-答案.doc'")
                          .value(0, 0)
                          .toByteArray())
                << c->teacher.toStdString() << " " << number.toStdString();
    }
}
