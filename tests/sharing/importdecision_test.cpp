// Bank import with a decision per question (the similarity check asks the
// teacher): a question left out takes no number and leaves no documents.

#include "sharing/banksharing.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zs;

namespace {

const QString kA = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\1-正数和负数";
const QString kB = "1-数学\\1-人教版\\7-七年级\\1-上册\\1-第一章\\2-有理数";

void question(test::TestApp& app, const QString& teacher, const QString& number, const QStringList& scopes) {
    Bank bank(app.bankPath());
    for (const QString& s : scopes)
        bank.addRow("试题库", {{"题目编号", number},
                               {"考查范围", s},
                               {"题型", "单选题"},
                               {"难度", "0.3"},
                               {"试题识别码", teacher + "-" + number},
                               {"入库教师", teacher}});
    for (const QString& path :
         {questionDocumentPath(app.bankPath(), number), answerDocumentPath(app.bankPath(), number)}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(number.toUtf8());
    }
}

}  // namespace

TEST(ImportDecision, AQuestionLeftOutTakesNoNumberAndEachOfItsRowsIsCounted) {
    test::TestApp mine;
    question(mine, "张三", "00001", {kA});
    test::TestApp theirs;
    question(theirs, "李四", "00001", {kA, kB});  // filed under both sections
    question(theirs, "李四", "00002", {kA});

    QStringList asked;
    const ImportResult result =
        ImportQuestions(mine.bankPath(), theirs.bankPath(), {kA, kB},
                        [&](const QString& document, const QString& code, const QString& number) {
                            asked << QFileInfo(document).fileName() + " " + code + " " + number;
                            return code != "李四-00001";
                        });
    // Asked once per question, before its documents are copied.
    EXPECT_EQ(asked, QStringList({"00001-题目.doc 李四-00001 00002", "00002-题目.doc 李四-00002 00002"}));
    EXPECT_EQ(result.imported, 1);
    EXPECT_EQ(result.similarSkipped, 2);
    EXPECT_EQ(result.skipped, 0);
    const RowSet rows = Bank(mine.bankPath()).query("select * from 试题库 where 入库教师='李四'");
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.text(0, "题目编号"), "00002");
    EXPECT_EQ(rows.text(0, "试题识别码"), "李四-00002");
    EXPECT_EQ(QDir(mine.documents()).entryList(QDir::Files).size(), 4);
    EXPECT_EQ(questionsImportedMessage(result.imported, result.skipped, result.similarSkipped),
              "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 1\r\r"
              "因与已有试题相似、没有导入的<试题>记录数量为： 2");
    EXPECT_EQ(questionsImportedMessage(3), "勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为： 3");
}
