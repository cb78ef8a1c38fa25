// The demo and benchmark application folders: a bank whose every question is
// complete and filed under real catalogue sections, real documents behind every
// number, and folders that already hold a bank left alone.

#include "app/appfolder.h"
#include "demo/documents.h"
#include "demo/generator.h"
#include "store/paths.h"
#include "store/textnumbers.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace zs;

namespace {

const QDate kToday(2025, 6, 16);

// What the consistency check saw in a bank.
struct Seen {
    int questions = 0;
    int rows = 0;
    int sections = 0;
    int points = 0;
    QSet<QString> types, difficulties, teachers;
    int withSeveralScopes = 0;
    int used = 0;
    int maxRowsPerQuestion = 0;
    int maxPointsPerRow = 0;
    int highestNumber = 0;
};

bool isCatalogueName(const QString& name) {
    const qsizetype dash = name.indexOf(u'-');
    return dash > 0 && isNumericText(name.left(dash)) && dash + 1 < name.size();
}

bool isOleFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(8) == QByteArray::fromHex("D0CF11E0A1B11AE1");
}

// The whole-bank check: every question complete, every row filed under a real
// section with that section's knowledge points, identifiers as entry makes them.
Seen checkFolder(const QString& dir) {
    Seen seen;
    const QString bankPath = AppFolder(dir).file(kBankFileName);
    Bank bank(bankPath);

    // Catalogue: section path → its knowledge points.
    QMap<QString, QSet<QString>> sections;
    const RowSet catalogue = bank.query("select * from 教材设置");
    const QStringList levels = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
    for (int r = 0; r < catalogue.count(); ++r) {
        QStringList names;
        for (const QString& level : levels) {
            const QString name = catalogue.text(r, level);
            if (name.isEmpty())
                break;
            EXPECT_TRUE(isCatalogueName(name)) << name.toStdString();
            names << name;
        }
        if (names.size() >= 6)
            sections[names.mid(0, 6).join(u'\\')];
        if (names.size() == 7)
            sections[names.mid(0, 6).join(u'\\')].insert(names[6]);
    }
    seen.sections = int(sections.size());
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        EXPECT_GE(it->size(), 3) << it.key().toStdString();
        EXPECT_LE(it->size(), 8) << it.key().toStdString();
        seen.points += int(it->size());
    }

    const QStringList typeList = bank.query("select 题型 from 题型").texts();
    const QSet<QString> types(typeList.begin(), typeList.end());
    const QStringList difficultyList = bank.query("select 难度 from 难度").texts();
    const QSet<QString> difficulties(difficultyList.begin(), difficultyList.end());
    const QStringList sourceList = bank.query("select 试题来源 from 试题来源").texts();
    const QSet<QString> sources(sourceList.begin(), sourceList.end());
    const QStringList userList = bank.query("select 实名用户名 from 用户管理").texts();
    const QSet<QString> users(userList.begin(), userList.end());
    for (const QString& source : sources)
        EXPECT_TRUE(isCatalogueName(source)) << source.toStdString();

    // Question rows, grouped by number.
    static const QRegularExpression fiveDigits("^\\d{5}$");
    const RowSet rows = bank.query("select * from 试题库");
    seen.rows = rows.count();
    QMap<QString, QList<int>> byNumber;
    for (int r = 0; r < rows.count(); ++r) {
        const QString number = rows.text(r, "题目编号");
        const QString scope = rows.text(r, "考查范围");
        const QString teacher = rows.text(r, "入库教师");
        const std::string where = (number + " " + scope).toStdString();
        EXPECT_TRUE(fiveDigits.match(number).hasMatch()) << where;
        EXPECT_EQ(rows.text(r, "试题识别码"), teacher + "-" + number) << where;
        EXPECT_TRUE(users.contains(teacher)) << where;
        EXPECT_TRUE(types.contains(rows.text(r, "题型"))) << where;
        EXPECT_TRUE(difficulties.contains(rows.text(r, "难度"))) << where;
        EXPECT_TRUE(sources.contains(rows.text(r, "试题来源"))) << where;
        EXPECT_TRUE(sections.contains(scope)) << where;
        const QString pointText = rows.text(r, "知识点");
        EXPECT_FALSE(pointText.isEmpty() || pointText.startsWith('|') || pointText.endsWith('|')) << where;
        const QStringList points = pointText.split('|');
        for (const QString& point : points)
            EXPECT_TRUE(sections.value(scope).contains(point)) << where << " " << point.toStdString();
        EXPECT_EQ(QSet<QString>(points.begin(), points.end()).size(), points.size()) << where;
        seen.maxPointsPerRow = std::max(seen.maxPointsPerRow, int(points.size()));
        const QDate entered = rows.date(r, "入库日期");
        EXPECT_TRUE(entered.isValid() && entered <= kToday) << where;
        const bool hasDate = !rows.isNull(r, "最后使用日期"), hasCount = !rows.isNull(r, "使用次数");
        EXPECT_EQ(hasDate, hasCount) << where;
        if (hasDate) {
            EXPECT_GT(rows.date(r, "最后使用日期"), entered) << where;
            EXPECT_LE(rows.date(r, "最后使用日期"), kToday) << where;
            EXPECT_GE(rows.value(r, "使用次数").toInt(), 1) << where;
        }
        byNumber[number] << r;
        seen.types.insert(rows.text(r, "题型"));
        seen.difficulties.insert(rows.text(r, "难度"));
        seen.teachers.insert(teacher);
    }

    // One question: rows sharing everything but scope and knowledge points.
    const QStringList shared = {"题型",     "难度",     "试题来源",     "试题识别码",
                                "入库日期", "入库教师", "最后使用日期", "使用次数"};
    for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it) {
        const QList<int>& group = *it;
        QSet<QString> scopes;
        for (int r : group) {
            scopes.insert(rows.text(r, "考查范围"));
            for (const QString& column : shared)
                EXPECT_EQ(rows.text(r, column), rows.text(group.first(), column)) << it.key().toStdString();
        }
        EXPECT_EQ(scopes.size(), group.size()) << it.key().toStdString();
        if (group.size() > 1)
            ++seen.withSeveralScopes;
        if (!rows.isNull(group.first(), "使用次数"))
            ++seen.used;
        seen.maxRowsPerQuestion = std::max(seen.maxRowsPerQuestion, int(group.size()));
        seen.highestNumber = std::max(seen.highestNumber, it.key().toInt());
        EXPECT_TRUE(isOleFile(questionDocumentPath(bankPath, it.key()))) << it.key().toStdString();
        EXPECT_TRUE(isOleFile(answerDocumentPath(bankPath, it.key()))) << it.key().toStdString();
    }
    seen.questions = int(byNumber.size());
    EXPECT_EQ(seen.questions, bank.query("select distinct 题目编号 from 试题库").count());

    // No document without its question.
    for (const QString& file : QDir(documentsFolderOf(bankPath)).entryList(QDir::Files))
        EXPECT_TRUE(byNumber.contains(file.left(5))) << file.toStdString();
    EXPECT_EQ(QDir(documentsFolderOf(bankPath)).entryList(QDir::Files).size(), 2 * seen.questions);
    return seen;
}

demo::Options options(std::uint32_t seed) {
    demo::Options o;
    o.seed = seed;
    o.today = kToday;
    return o;
}

QList<QStringList> questionRows(const QString& dir) {
    Bank bank(AppFolder(dir).file(kBankFileName));
    const RowSet rows = bank.query("select * from 试题库");
    QList<QStringList> out;
    for (int r = 0; r < rows.count(); ++r) {
        QStringList row;
        for (const QString& column : questionColumns())
            row << rows.text(r, column);
        out << row;
    }
    return out;
}

}  // namespace

TEST(DemoFolderOffice, AConsistentBankOfRealQuestionsWithTheirDocuments) {
    test::TempFolder folder;
    const QString dir = folder.file("演示");
    const demo::Summary summary = demo::writeDemoFolder(dir, test::office(), options(demo::kDefaultSeed));

    // Everything --prepare makes is there too.
    EXPECT_TRUE(AppFolder(dir).missing().isEmpty()) << AppFolder(dir).missing().join(", ").toStdString();

    const Seen seen = checkFolder(dir);
    EXPECT_GE(seen.questions, 120);
    EXPECT_EQ(seen.questions, summary.questions);
    EXPECT_EQ(seen.rows, summary.rows);
    EXPECT_EQ(seen.highestNumber, seen.questions);  // numbered from 00001 without gaps
    EXPECT_EQ(seen.types, QSet<QString>(Bank::defaultTypes().begin(), Bank::defaultTypes().end()));
    EXPECT_EQ(seen.difficulties, QSet<QString>(Bank::defaultDifficulties().begin(), Bank::defaultDifficulties().end()));
    EXPECT_GE(seen.withSeveralScopes, 20);
    EXPECT_GE(seen.used, 10);
    EXPECT_LT(seen.used, seen.questions);
    EXPECT_EQ(seen.teachers, QSet<QString>({"张老师", "李老师"}));
    EXPECT_GE(seen.sections, 100);

    // The two accounts log in with the documented password; the sources.
    Bank bank(AppFolder(dir).file(kBankFileName));
    const RowSet users = bank.query("select * from 用户管理");
    ASSERT_EQ(users.count(), 2);
    for (int r = 0; r < users.count(); ++r) {
        EXPECT_EQ(users.text(r, "密码"), "123456");
        EXPECT_TRUE(isNumericText(users.text(r, "联系方式")));
        EXPECT_FALSE(users.text(r, "所在学校详名").isEmpty());
    }
    EXPECT_EQ(bank.query("select 试题来源 from 试题来源").texts(),
              QStringList({"1-期中考试", "2-期末考试", "3-课后练习", "4-中考真题"}));
    EXPECT_EQ(bank.query("select distinct 科目 from 教材设置").texts(), QStringList({"1-初中数学", "2-初中物理"}));
    EXPECT_FALSE(bank.query("select * from 教材设置 where 节='1-1.1 正数和负数' and 知识点='1-正数的概念'").isEmpty());
    EXPECT_EQ(bank.query("select distinct 章 from 教材设置 where 科目='1-初中数学' and 年级='7-七年级' and "
                         "上下册='2-下册'")
                  .texts()
                  .first(),
              "5-第五章 相交线与平行线");

    // The documents read back as written: the text of the question, every figure
    // as a picture, a worked answer.
    const auto word = test::office().startWord();
    int pictures = 0;
    for (const demo::StoredQuestion& q : summary.stored) {
        ASSERT_NE(q.text, nullptr);
        const QStringList questionFigures = demo::figuresOf(q.text->question);
        const QStringList answerFigures = demo::figuresOf(q.text->answer);
        const bool sample = q.number.toInt() % 15 == 1;
        if (questionFigures.isEmpty() && answerFigures.isEmpty() && !sample)
            continue;
        const QString bankPath = AppFolder(dir).file(kBankFileName);
        const auto question = word->open(questionDocumentPath(bankPath, q.number));
        EXPECT_EQ(question->pictureCount(), questionFigures.size()) << q.number.toStdString();
        EXPECT_TRUE(question->text().startsWith(q.text->question.section('\n', 0, 0).left(12)))
            << q.number.toStdString();
        question->close();
        const auto answer = word->open(answerDocumentPath(bankPath, q.number));
        EXPECT_EQ(answer->pictureCount(), answerFigures.size()) << q.number.toStdString();
        EXPECT_TRUE(answer->text().startsWith("【")) << q.number.toStdString();
        const QList<TextRun> runs = answer->runs();
        ASSERT_FALSE(runs.isEmpty());
        EXPECT_TRUE(runs.first().bold) << q.number.toStdString();
        answer->close();
        pictures += int(questionFigures.size() + answerFigures.size());
    }
    word->quit();
    EXPECT_GE(pictures, 30);

    // A second run refuses the folder and leaves the bank as it is.
    const int before = Bank(AppFolder(dir).file(kBankFileName)).query("select * from 试题库").count();
    EXPECT_FALSE(demo::refusalFor(dir).isEmpty());
    EXPECT_THROW(demo::writeDemoFolder(dir, test::office(), options(1)), StoreError);
    EXPECT_THROW(demo::writeSyntheticFolder(dir, 100, test::office(), options(1)), StoreError);
    EXPECT_EQ(Bank(AppFolder(dir).file(kBankFileName)).query("select * from 试题库").count(), before);
    EXPECT_EQ(checkFolder(dir).questions, seen.questions);
}

TEST(DemoFolderOffice, SyntheticBanksHaveTheRowsAskedForWithRealisticSpread) {
    test::TempFolder folder;
    const QString dir = folder.file("大型");
    const demo::Summary summary = demo::writeSyntheticFolder(dir, 2000, test::office(), options(7));

    const Seen seen = checkFolder(dir);
    EXPECT_EQ(seen.rows, 2000);
    EXPECT_EQ(summary.rows, 2000);
    EXPECT_EQ(seen.questions, summary.questions);
    EXPECT_GT(seen.questions, 2000 / 3);
    EXPECT_LT(seen.questions, 2000 * 3 / 4);  // many questions are filed under several sections
    EXPECT_EQ(seen.maxRowsPerQuestion, 3);
    EXPECT_EQ(seen.maxPointsPerRow, 4);
    EXPECT_EQ(seen.types.size(), 8);
    EXPECT_EQ(seen.difficulties.size(), 10);
    EXPECT_GE(seen.sections, 300);
    EXPECT_GE(seen.points, 2000);
    EXPECT_GT(seen.used, seen.questions / 10);
    EXPECT_LT(seen.used, seen.questions / 2);
    EXPECT_GE(seen.teachers.size(), 4);
}

TEST(DemoFolderOffice, TheSameSeedGivesTheSameBank) {
    test::TempFolder folder;
    demo::writeSyntheticFolder(folder.file("一"), 300, test::office(), options(11));
    demo::writeSyntheticFolder(folder.file("二"), 300, test::office(), options(11));
    demo::writeSyntheticFolder(folder.file("三"), 300, test::office(), options(12));
    EXPECT_EQ(questionRows(folder.file("一")), questionRows(folder.file("二")));
    EXPECT_NE(questionRows(folder.file("一")), questionRows(folder.file("三")));
    EXPECT_EQ(questionRows(folder.file("一")).size(), 300);
}

TEST(DemoFolderOffice, AFolderWithQuestionDocumentsIsRefusedUntouched) {
    test::TempFolder folder;
    const QString dir = folder.file("旧");
    QDir().mkpath(QDir(dir).filePath(kDocumentsFolderName));
    const QString stray = QDir(dir).filePath(kDocumentsFolderName + "/00001-题目.doc");
    test::TestApp::touch(stray);
    EXPECT_FALSE(demo::refusalFor(dir).isEmpty());
    EXPECT_THROW(demo::writeSyntheticFolder(dir, 10, test::office(), options(1)), StoreError);
    EXPECT_FALSE(QFileInfo::exists(QDir(dir).filePath(kBankFileName)));
    EXPECT_TRUE(QFileInfo::exists(stray));

    EXPECT_TRUE(demo::refusalFor(folder.file("新")).isEmpty());
    EXPECT_THROW(demo::writeSyntheticFolder(folder.file("空"), 0, test::office(), options(1)), StoreError);
}
