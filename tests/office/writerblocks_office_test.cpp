// Reading a document block by block and copying ranges of it into documents
// of their own, through the real LibreOffice, read back after saving.

#include "office/libreoffice.h"
#include "questions/similarity.h"
#include "support/testsupport.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::TempFolder;

namespace {

QString makePicture(const TempFolder& folder) {
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 10; y < 30; ++y)
        for (int x = 20; x < 40; ++x)
            image.setPixel(x, y, qRgb(0, 0, 200));
    const QString path = folder.file("图.png");
    image.save(path);
    return path;
}

// A small paper: a heading, a question with a picture, a formula and a table,
// a second question, and a line of short answers.
QString writePaper(const TempFolder& folder, const QString& name) {
    const auto word = test::office().startWord();
    const auto doc = word->newDocument();
    doc->append("一、选择题（每小题3分）");
    doc->append("\r1．如图，求x的值。");
    doc->append("\r ");
    doc->appendPicture(makePicture(folder), 15);
    doc->append("\r（1）已知 ");
    doc->appendFormula("x^2 = 4");
    doc->append("，求x。");
    doc->appendTable({{"甲", "乙"}, {"1", "2"}});
    doc->append("2．第二题的题干。");
    doc->append("\r1．C　2．B");
    const QString path = folder.file(name);
    doc->saveAs(path);
    doc->close();
    return path;
}

QString trimmedText(WordDocument& doc) {
    QString text = doc.text();
    while (text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

}  // namespace

TEST(WriterBlocksOffice, BlocksTellParagraphsTablesPicturesAndFormulasInDocAndDocx) {
    TempFolder folder;
    for (const QString& name : {QStringLiteral("卷.doc"), QStringLiteral("卷.docx")}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = writePaper(folder, name);
        const auto word = test::office().startWord();
        const auto doc = word->open(path);
        const QList<DocumentBlock> blocks = doc->blocks();
        ASSERT_EQ(blocks.size(), 7);
        EXPECT_EQ(blocks[0].text, "一、选择题（每小题3分）");
        EXPECT_EQ(blocks[1].text, "1．如图，求x的值。");
        EXPECT_EQ(blocks[2].pictures, 1);
        EXPECT_EQ(blocks[1].pictures, 0);
        EXPECT_TRUE(blocks[3].text.startsWith("（1）已知"));
        ASSERT_EQ(blocks[3].formulas.size(), 1);
        EXPECT_EQ(formulaWords(blocks[3].formulas[0]), "x^2=4") << blocks[3].formulas[0].toStdString();
        EXPECT_TRUE(blocks[4].table);
        EXPECT_EQ(blocks[4].text, "甲\t乙\r1\t2");
        EXPECT_FALSE(blocks[5].table);
        EXPECT_EQ(blocks[5].text, "2．第二题的题干。");
        EXPECT_EQ(blocks[6].text, "1．C　2．B");
    }
}

TEST(WriterBlocksOffice, ARangeCopiedOutKeepsPicturesFormulasAndTables) {
    TempFolder folder;
    const QString path = writePaper(folder, "卷.docx");
    const auto word = test::office().startWord();
    const auto paper = word->open(path);

    // The first question without its number "1．".
    const QString question = folder.file("题目.doc");
    paper->saveRangeAs({1, 2, 4, -1}, question);
    {
        const auto doc = word->open(question);
        const QList<DocumentBlock> blocks = doc->blocks();
        ASSERT_EQ(blocks.size(), 5) << trimmedText(*doc).toStdString();
        EXPECT_EQ(blocks[0].text, "如图，求x的值。");
        EXPECT_EQ(blocks[1].pictures, 1);
        ASSERT_EQ(blocks[2].formulas.size(), 1);
        EXPECT_TRUE(blocks[3].table);
        EXPECT_EQ(blocks[3].text, "甲\t乙\r1\t2");
        EXPECT_EQ(blocks[4].text, "");      // the paragraph a table is followed by
        EXPECT_EQ(doc->pictureCount(), 2);  // the picture and the formula object
    }

    // One short answer out of a line of them; the paper itself is unchanged.
    const QString answer = folder.file("答案.doc");
    paper->saveRangeAs({6, 2, 6, 3}, answer);
    {
        const auto doc = word->open(answer);
        EXPECT_EQ(trimmedText(*doc), "C");
        EXPECT_EQ(doc->blocks().size(), 1);
    }
    EXPECT_EQ(paper->blocks().size(), 7);

    // A question of plain paragraphs only, into the office's own format.
    const QString second = folder.file("第二题.odt");
    paper->saveRangeAs({5, 2, 5, -1}, second);
    EXPECT_EQ(trimmedText(*word->open(second)), "第二题的题干。");
}

TEST(WriterBlocksOffice, RangesOutsideTheDocumentAreRefused) {
    TempFolder folder;
    const QString path = writePaper(folder, "卷.doc");
    const auto word = test::office().startWord();
    const auto paper = word->open(path);
    EXPECT_THROW(paper->saveRangeAs({5, 0, 9, -1}, folder.file("x.doc")), OfficeError);
    EXPECT_THROW(paper->saveRangeAs({3, 0, 2, -1}, folder.file("x.doc")), OfficeError);
    EXPECT_THROW(paper->saveRangeAs({4, 0, 5, -1}, folder.file("x.doc")), OfficeError);  // starts at a table
    EXPECT_FALSE(QFileInfo::exists(folder.file("x.doc")));
}
