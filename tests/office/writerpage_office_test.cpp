// Pages of Word documents through the real LibreOffice: page size and
// columns, footers with page fields, boxes and lines on odd pages, tables,
// copies in other formats; read back from the saved files and their PDFs.

#include "office/libreoffice.h"
#include "support/testsupport.h"

#include <QPdfDocument>
#include <QPdfSelection>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::TempFolder;

namespace {

QStringList pdfPageTexts(const QString& pdf) {
    QPdfDocument document;
    if (document.load(pdf) != QPdfDocument::Error::None)
        return {};
    QStringList pages;
    for (int p = 0; p < document.pageCount(); ++p)
        pages << document.getAllText(p).text();
    return pages;
}

// Without blanks and line breaks, as text pulled from a PDF comes.
QString squeezed(QString s) {
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

PageSetup a3TwoColumns() {
    PageSetup page;
    page.widthMm = 420;
    page.heightMm = 297;
    page.leftMm = 35;
    page.rightMm = 15;
    page.topMm = 15;
    page.bottomMm = 15;
    page.columns = 2;
    page.columnGapMm = 20;
    return page;
}

PageDecoration sealingStrip() {
    PageDecoration d;
    PageTextBox fields;
    fields.text = QStringLiteral("学校：________  姓名：________");
    fields.xMm = 4;
    fields.yMm = 15;
    fields.widthMm = 9;
    fields.heightMm = 267;
    fields.vertical = true;
    PageTextBox words;
    words.text = QStringLiteral("密　封　线");
    words.xMm = 15;
    words.yMm = 60;
    words.widthMm = 6;
    words.heightMm = 150;
    words.vertical = true;
    d.boxes = {fields, words};
    PageLine line;
    line.xMm = 23;
    line.yMm = 15;
    line.lengthMm = 267;
    d.lines = {line};
    return d;
}

}  // namespace

TEST(WriterPageOffice, PageSizeColumnsFooterAndOddPageStripSurviveTheDocRoundTrip) {
    TempFolder folder;
    const auto word = test::office().startWord();
    const QString path = folder.file("两栏.doc");
    {
        const auto doc = word->newDocument();
        doc->setPageSetup(a3TwoColumns());
        doc->setFooter(QStringLiteral("第 {PAGE} 页 共 {NUMPAGES} 页"), 10.5);
        doc->setOddPageDecoration(sealingStrip());
        QString body;
        for (int i = 1; i <= 300; ++i)
            body += QStringLiteral("%1．第%1题的题目内容，用来填满两栏的版面。\r").arg(i);
        doc->append(body);
        doc->saveAs(path);
        doc->close();
    }
    const auto doc = word->open(path);
    const PageSetup page = doc->pageSetup();
    EXPECT_NEAR(page.widthMm, 420, 0.5);
    EXPECT_NEAR(page.heightMm, 297, 0.5);
    EXPECT_TRUE(page.landscape());
    EXPECT_NEAR(page.leftMm, 35, 0.5);
    EXPECT_EQ(page.columns, 2);
    EXPECT_EQ(doc->footer(), "第 {PAGE} 页 共 {NUMPAGES} 页");

    const PageDecoration odd = doc->oddPageDecoration();
    ASSERT_EQ(odd.boxes.size(), 2);
    QStringList texts;
    for (const PageTextBox& box : odd.boxes) {
        texts << box.text;
        EXPECT_TRUE(box.vertical) << box.text.toStdString();
    }
    texts.sort();
    EXPECT_EQ(texts.join('|'), "学校：________  姓名：________|密　封　线");
    ASSERT_EQ(odd.lines.size(), 1);
    EXPECT_TRUE(odd.lines[0].dashed);
    EXPECT_TRUE(odd.lines[0].vertical);
    EXPECT_NEAR(odd.lines[0].xMm, 23, 0.5);
    EXPECT_NEAR(odd.lines[0].lengthMm, 267, 1);
    EXPECT_TRUE(doc->evenPageDecoration().isEmpty());

    // As printed: the strip on page 1 and 3 only, the page numbers on every page.
    const int pages = doc->pageCount();
    ASSERT_GE(pages, 3);
    const QString pdf = folder.file("两栏.pdf");
    doc->exportPdf(pdf);
    const QStringList printed = pdfPageTexts(pdf);
    ASSERT_EQ(printed.size(), pages);
    for (int p = 0; p < pages; ++p) {
        const QString text = squeezed(printed[p]);
        EXPECT_TRUE(text.contains(QStringLiteral("第%1页共%2页").arg(p + 1).arg(pages))) << p << text.toStdString();
        EXPECT_EQ(text.contains(QStringLiteral("密封线")), p % 2 == 0) << p;
        EXPECT_EQ(text.contains(QStringLiteral("学校")), p % 2 == 0) << p;
    }
}

TEST(WriterPageOffice, TablesGoInAtTheEndAndTheTextGoesOnAfterThem) {
    TempFolder folder;
    const auto word = test::office().startWord();
    const QString path = folder.file("表格.doc");
    {
        const auto doc = word->newDocument();
        doc->append(QStringLiteral("考号：\r"));
        TableLook grid;
        grid.widthMm = 60;
        grid.rowHeightsMm = {7, 5, 5};
        doc->appendTable({{"", "", ""}, {"[0]", "[0]", "[0]"}, {"[1]", "[1]", "[1]"}}, grid);
        doc->append(QStringLiteral("一、解答题\r"));
        TableLook area;
        area.centred = false;
        area.rowHeightsMm = {60};
        doc->appendTable({{QStringLiteral("17．（8分）")}}, area);
        doc->append(QStringLiteral("完"));
        doc->saveAs(path);
        doc->close();
    }
    const auto doc = word->open(path);
    const QList<QList<QStringList>> tables = doc->tables();
    ASSERT_EQ(tables.size(), 2);
    EXPECT_EQ(tables[0], (QList<QStringList>{{"", "", ""}, {"[0]", "[0]", "[0]"}, {"[1]", "[1]", "[1]"}}));
    EXPECT_EQ(tables[1], (QList<QStringList>{{"17．（8分）"}}));
    const QStringList paragraphs = doc->text().split(u'\r');
    EXPECT_EQ(paragraphs.first(), "考号：");
    EXPECT_TRUE(paragraphs.contains("一、解答题")) << doc->text().toStdString();
    EXPECT_EQ(paragraphs.last(), "完");
}

TEST(WriterPageOffice, CopiesInOtherFormatsOpenWithTheirPagesAndTheDocumentKeepsItsPath) {
    TempFolder folder;
    const auto word = test::office().startWord();
    const QString path = folder.file("试卷.doc");
    const auto doc = word->newDocument();
    doc->append(QStringLiteral("标题\r"));
    doc->setPageSetup(a3TwoColumns());
    QString body;
    for (int i = 1; i <= 200; ++i)
        body += QStringLiteral("%1．一道题。\r").arg(i);
    doc->append(body);
    doc->saveAs(path);
    doc->saveCopyAs(folder.file("试卷.docx"));
    doc->saveCopyAs(folder.file("试卷.pdf"));
    EXPECT_EQ(doc->path(), path);
    const int pages = doc->pageCount();
    EXPECT_GE(pages, 2);

    const auto docx = word->open(folder.file("试卷.docx"));
    EXPECT_EQ(docx->pageCount(), pages);
    EXPECT_EQ(docx->pageSetup().columns, 2);
    EXPECT_TRUE(docx->text().startsWith("标题\r1．一道题。"));
    EXPECT_EQ(pdfPageTexts(folder.file("试卷.pdf")).size(), pages);

    // Clearing leaves nothing of the text.
    doc->clear();
    EXPECT_EQ(doc->text(), "");
}
