// Similar questions: shingles, exact similarity with prefix filtering, and the
// texts cached in a real bank.

#include "questions/questiontexts.h"
#include "questions/similarity.h"
#include "store/bank.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>
#include <random>

using namespace zs;

namespace {

// Texts of made-up questions: random common characters, and near-copies of
// some of them with a character or two changed.
QStringList corpus(int count, std::mt19937& rng) {
    const QString alphabet =
        QStringLiteral("的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工"
                       "也能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小"
                       "物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形");
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    std::uniform_int_distribution<int> length(30, 160);
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        if (i > 10 && i % 7 == 0) {
            // A near-copy of an earlier text.
            QString copy = texts[std::uniform_int_distribution<int>(0, i - 1)(rng)];
            const int edits = std::uniform_int_distribution<int>(0, 3)(rng);
            for (int e = 0; e < edits && !copy.isEmpty(); ++e)
                copy[std::uniform_int_distribution<int>(0, int(copy.size()) - 1)(rng)] = alphabet[pick(rng)];
            texts << copy;
            continue;
        }
        QString t;
        const int n = length(rng);
        for (int k = 0; k < n; ++k)
            t += alphabet[pick(rng)];
        texts << t;
    }
    return texts;
}

QString number(int i) {
    return QString::number(i + 1).rightJustified(5, u'0');
}

}  // namespace

TEST(Similarity, ShinglesIgnoreBlanksPunctuationAndWidth) {
    EXPECT_EQ(textShingles("下列各数中，是负数的是（　　）"), textShingles("下列各数中是负数的是"));
    EXPECT_EQ(textShingles("ＡＢＣ　ｄｅｆ"), textShingles("abc def"));
    EXPECT_TRUE(textShingles("计算：").empty());
    EXPECT_TRUE(textShingles("").empty());
    EXPECT_TRUE(textShingles("  \r\r ____ ").empty());
    EXPECT_EQ(textShingles("12345").size(), 3u);
    // Formulas as two file formats write them read the same.
    EXPECT_EQ(formulaWords("size 12{x rSup{size 8{2}} = 4} {}"), "x^2=4");
    EXPECT_EQ(formulaWords("{x}^{2}=4"), "x^2=4");
    EXPECT_EQ(formulaWords("{x}^{2} = \"16\""), "x^2=16");
    EXPECT_EQ(formulaWords("v = s over t"), "v=sovert");
    // Signs of mathematics count.
    EXPECT_NE(textShingles("计算2+3的值"), textShingles("计算2−3的值"));
}

TEST(Similarity, JaccardAndHowItIsShown) {
    const auto a = textShingles("如果收入50元记作+50元，那么支出30元记作多少元");
    EXPECT_DOUBLE_EQ(jaccard(a, a), 1.0);
    EXPECT_DOUBLE_EQ(jaccard({}, {}), 0.0);
    EXPECT_DOUBLE_EQ(jaccard({1, 2, 3, 4}, {3, 4, 5}), 0.4);
    EXPECT_EQ(similarityPercent(0.9), 90);
    EXPECT_EQ(similarityPercent(0.8999), 89);
    EXPECT_EQ(similarityMark({"00123", 94, 0.94}), "与 00123 相似度 94%");
}

TEST(Similarity, ARetypedQuestionIsFoundAndADifferentOneIsNot) {
    SimilarityIndex index;
    index.add("00001", "如果收入50元记作+50元，那么支出30元记作（　　）\rA．+30元　B．−30元　C．+80元　D．−80元");
    index.add("00002", "−2024的相反数是（　　）\rA．2024　B．−2024　C．1/2024　D．−1/2024");
    index.add("00003", "");  // an empty document is never like anything
    index.add("00004", "");

    const auto same = index.mostSimilar("如果收入50元记作+50元,那么支出30元记作(  )\nA.+30元 B.−30元 C.+80元 D.−80元");
    ASSERT_TRUE(same.has_value());
    EXPECT_EQ(same->number, "00001");
    EXPECT_EQ(same->percent, 100);

    // One number changed: a different question when it is short, a near copy
    // when there is more of it.
    EXPECT_FALSE(
        index.mostSimilar("如果收入50元记作+50元，那么支出30元记作（　　）\rA．+30元　B．−30元　C．+80元　D．−90元")
            .has_value());
    const QString longer = "某校七年级有学生480人，其中男生比女生多40人。学校组织全体学生参加社会实践活动，"
                           "每辆大客车可以坐45人，每辆小客车可以坐30人。如果只租大客车，至少要租多少辆？"
                           "如果大客车每辆租金500元，小客车每辆租金350元，怎样租车最省钱？";
    index.add("00005", longer);
    const auto edited = index.mostSimilar(QString(longer).replace("480人", "470人"));
    ASSERT_TRUE(edited.has_value());
    EXPECT_EQ(edited->number, "00005");
    EXPECT_GE(edited->percent, 90);
    EXPECT_LT(edited->percent, 100);

    EXPECT_FALSE(index.mostSimilar("如果收入80元记作+80元，那么支出20元记作多少元？请说明理由。").has_value());
    EXPECT_FALSE(index.mostSimilar("").has_value());
    EXPECT_FALSE(
        index
            .mostSimilar(index.size() ? "−2024的相反数是（　　）\rA．2024　B．−2024　C．1/2024　D．−1/2024" : "",
                         "00002")
            .has_value());

    const QList<SimilarPair> pairs = index.similarPairs();
    EXPECT_TRUE(pairs.isEmpty());
}

TEST(Similarity, PrefixFilteringFindsExactlyThePairsThatComparingAllFinds) {
    std::mt19937 rng(7);
    const QStringList texts = corpus(600, rng);
    SimilarityIndex index;
    std::vector<std::vector<quint64>> sets;
    for (int i = 0; i < texts.size(); ++i) {
        index.add(number(i), texts[i]);
        sets.push_back(textShingles(texts[i]));
    }
    QSet<QString> expected;
    for (int i = 0; i < texts.size(); ++i)
        for (int j = i + 1; j < texts.size(); ++j)
            if (jaccard(sets[i], sets[j]) >= kSimilarThreshold)
                expected.insert(number(i) + u'-' + number(j));
    ASSERT_GT(expected.size(), 20);  // the corpus has near-copies to find

    QSet<QString> found;
    for (const SimilarPair& p : index.similarPairs()) {
        EXPECT_LT(p.first, p.second);
        EXPECT_GE(p.percent, 90);
        found.insert(p.first + u'-' + p.second);
    }
    EXPECT_EQ(found, expected);

    // One text against the index: the best match, exactly.
    for (int i = 0; i < texts.size(); i += 13) {
        double best = 0;
        for (int j = 0; j < texts.size(); ++j)
            if (j != i)
                best = std::max(best, jaccard(sets[i], sets[j]));
        const auto match = index.mostSimilar(texts[i], number(i));
        EXPECT_EQ(match.has_value(), best >= kSimilarThreshold) << i;
        if (match) {
            EXPECT_DOUBLE_EQ(match->similarity, best);
        }
    }
}

namespace {

// A bank whose question documents are text files, read by a reader that
// counts what it reads (the office reading is tested against the office).
class TextCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [n, text] : {qMakePair(QString("00001"), QString("第一题：计算一加一等于几")),
                                      qMakePair(QString("00002"), QString("第二题：比较两个负数的大小")),
                                      qMakePair(QString("00003"), QString("第三题：化简代数式"))})
            addQuestion(n, text);
    }
    void addQuestion(const QString& n, const QString& text) {
        Bank(app.bankPath()).addRow("试题库", {{"题目编号", n}, {"考查范围", "a\\b"}});
        write(questionDocumentPath(app.bankPath(), n), text);
    }
    static void write(const QString& path, const QString& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
    DocumentTextReader reader() {
        return [this](const QString& path) {
            reads << QFileInfo(path).fileName().left(5);
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            return QString::fromUtf8(f.readAll());
        };
    }
    test::TestApp app;
    QStringList reads;
};

}  // namespace

TEST_F(TextCacheTest, TextsAreReadOnceAndAgainOnlyWhenTheirDocumentChanges) {
    auto texts = questionTexts(app.bankPath(), reader());
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[1].first, "00002");
    EXPECT_EQ(texts[1].second, "第二题：比较两个负数的大小");
    EXPECT_EQ(reads, QStringList({"00001", "00002", "00003"}));

    reads.clear();
    texts = questionTexts(app.bankPath(), reader());
    EXPECT_TRUE(reads.isEmpty());
    EXPECT_EQ(texts[2].second, "第三题：化简代数式");

    // A changed document is read again; a deleted question leaves the cache.
    write(questionDocumentPath(app.bankPath(), "00002"), "第二题：比较两个负数的大小，并说明理由");
    Bank(app.bankPath()).execute("delete from 试题库 where 题目编号='00003'");
    addQuestion("00004", "第四题：解一元一次方程");
    texts = questionTexts(app.bankPath(), reader());
    EXPECT_EQ(reads, QStringList({"00002", "00004"}));
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[1].second, "第二题：比较两个负数的大小，并说明理由");
    EXPECT_EQ(Bank(app.bankPath()).query("select 题目编号 from 试题文本").texts(),
              QStringList({"00001", "00002", "00004"}));
    // The six tables of the bank are as they were.
    EXPECT_EQ(Bank(app.bankPath()).query("select * from 试题库").columns(), QStringList() << "ID" << questionColumns());
}

TEST_F(TextCacheTest, ReadingStopsWhenTheTeacherSaysSoAndTheIndexHoldsWhatWasRead) {
    int calls = 0;
    auto texts = questionTexts(app.bankPath(), reader(), [&](int done, int total) {
        ++calls;
        EXPECT_EQ(total, 3);
        return done < 1;
    });
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(reads.size(), 1);
    EXPECT_EQ(texts.size(), 1);

    reads.clear();
    const SimilarityIndex index = bankSimilarityIndex(app.bankPath(), reader());
    EXPECT_EQ(reads, QStringList({"00002", "00003"}));  // the first stayed cached
    EXPECT_EQ(index.size(), 3);
    EXPECT_EQ(index.mostSimilar("第一题：计算一加一等于几").value_or(SimilarMatch{}).number, "00001");
}

TEST_F(TextCacheTest, AReadOnlyBankIsReadWithoutACache) {
    QFile::setPermissions(app.bankPath(), QFileDevice::ReadOwner);
    if (QFileInfo(app.bankPath()).isWritable())
        GTEST_SKIP() << "running as a user who can write read-only files";
    EXPECT_EQ(questionTexts(app.bankPath(), reader()).size(), 3);
    EXPECT_EQ(questionTexts(app.bankPath(), reader()).size(), 3);
    EXPECT_EQ(reads.size(), 6);  // nothing could be cached
    QFile::setPermissions(app.bankPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
