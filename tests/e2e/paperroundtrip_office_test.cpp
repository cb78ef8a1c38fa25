// The round trip of a paper: a paper and answer key that this program wrote
// from the demo bank, imported into an empty bank, give back the same
// questions with the same texts, answers and types, read back through the
// office.

#include "demo/generator.h"
#include "paper/papergeneration.h"
#include "paperimport/paperimport.h"
#include "store/bank.h"
#include "store/paths.h"
#include "support/testsupport.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace zs;

namespace {

// A document's text as compared: blanks at line ends and empty lines at the
// end do not count.
QString comparable(const QString& text) {
    QStringList lines = text.split(u'\r');
    for (QString& line : lines)
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines.join(u'\r');
}

QString documentText(WordInstance& word, const QString& path) {
    const auto doc = word.open(path);
    return comparable(doc->text());
}

int pictures(WordInstance& word, const QString& path) {
    return word.open(path)->pictureCount();
}

}  // namespace

TEST(PaperRoundTrip, AGeneratedPaperImportedIntoAnEmptyBankGivesBackItsQuestions) {
    test::TempFolder demo;
    const demo::Summary summary = demo::writeDemoFolder(demo.path(), test::office(), {});
    const QString demoBank = QDir(demo.path()).filePath(kBankFileName);

    // Up to three questions of every type, in the order of the types.
    SpecTable table(0);
    QStringList numbers;
    {
        Bank bank(demoBank, Bank::Mode::ReadOnly);
        for (const QString& type : Bank::defaultTypes()) {
            const RowSet rows = bank.query("select * from 试题库 where 题型='" + type + "'");
            QStringList taken;
            for (int r = 0; r < rows.count() && taken.size() < 3; ++r) {
                const QString number = rows.text(r, "题目编号");
                if (taken.contains(number))
                    continue;
                taken << number;
                table.appendRow();
                table.fillRow(table.rows() - 1, number, rows.text(r, "试题识别码"), type, rows.text(r, "难度"),
                              rows.text(r, "考查范围"), rows.text(r, "知识点"));
            }
            numbers << taken;
        }
    }
    ASSERT_GE(numbers.size(), 16);

    test::TempFolder desktop;
    PaperGeneration generation(table, demo.path(), desktop.path(), QDateTime(QDate(2024, 11, 5), QTime(9, 30)));
    ASSERT_TRUE(generation.missingFiles().isEmpty());
    const auto word = test::office().startWord();
    generation.open(*word);
    generation.writeQuestions({});
    generation.finish();

    // Into an empty bank.
    test::TestApp app;
    test::TempFolder work;
    PaperImport paper(*word, work.path());
    paper.open(generation.files().paper, generation.files().answers, Bank::defaultTypes());
    ASSERT_EQ(paper.count(), numbers.size())
        << QString(word->open(generation.files().paper)->text()).replace(u'\r', u'\n').toStdString();
    EXPECT_TRUE(paper.layout().strayAnswers.isEmpty());
    for (int i = 0; i < paper.count(); ++i) {
        const ImportItem& item = paper.items()[i];
        SCOPED_TRACE(numbers[i].toStdString());
        EXPECT_EQ(item.label, QString::number(i + 1));
        EXPECT_EQ(item.type, table.cell(i + 1, SpecTable::Type));
        EXPECT_TRUE(item.detected.answer.isValid());
        FilingSettings& s = paper.item(i).settings;
        s.scopes = {
            {table.cell(i + 1, SpecTable::Scope), SpecTable::knowledgeList(table.cell(i + 1, SpecTable::Knowledge))}};
        s.difficulty = table.cell(i + 1, SpecTable::Difficulty);
        s.source = "1-期中考试";
    }
    NumberPool pool;
    const QStringList written =
        writeImportedQuestions(paper.items(), app.bankPath(), pool, "王老师", QDate(2024, 11, 6));
    ASSERT_EQ(written.size(), numbers.size());

    Bank bank(app.bankPath(), Bank::Mode::ReadOnly);
    EXPECT_EQ(bank.query("select distinct 题目编号 from 试题库").count(), numbers.size());
    for (int i = 0; i < numbers.size(); ++i) {
        SCOPED_TRACE(numbers[i].toStdString());
        const RowSet row = bank.query("select * from 试题库 where 题目编号='" + written[i] + "'");
        ASSERT_EQ(row.count(), 1);
        EXPECT_EQ(row.text(0, "题型"), table.cell(i + 1, SpecTable::Type));
        const QString original = questionDocumentPath(demoBank, numbers[i]);
        const QString imported = questionDocumentPath(app.bankPath(), written[i]);
        EXPECT_EQ(documentText(*word, imported), documentText(*word, original));
        EXPECT_EQ(pictures(*word, imported), pictures(*word, original));
        EXPECT_EQ(documentText(*word, answerDocumentPath(app.bankPath(), written[i])),
                  documentText(*word, answerDocumentPath(demoBank, numbers[i])));
    }
    EXPECT_GT(summary.questions, 100);
}
