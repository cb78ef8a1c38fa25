// The specification workbook with the real LibreOffice: export, import and the
// round trip between them.

#include "app/appfolder.h"
#include "paper/specworkbook.h"
#include "support/testsupport.h"

#include <QPdfDocument>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zs;

namespace {

class WorkbookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new test::TempFolder;
        AppFolder::writeWorkbookTemplate(test::office(), templatePath());
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static QString templatePath() { return folder_->file("命卷双向细目表模板.xls"); }

    static SpecTable filled(int rows) {
        SpecTable t(rows);
        t.numberRows();
        for (int r = 1; r <= rows; ++r) {
            const QString n = QString::number(r).rightJustified(5, '0');
            t.fillRow(r, n, "张三-" + n, r % 2 ? "单选题" : "填空题", "0.5", "1-数学\\1-第一章\\1-第一节",
                      "1-正数|2-负数");
        }
        return t;
    }
    QString exportTable(const SpecTable& t, int minute) {
        return ExportSpecWorkbook(test::office(), t, templatePath(), out.path(),
                                  QDateTime(QDate(2026, 12, 8), QTime(9, minute)));
    }

    static test::TempFolder* folder_;
    test::TempFolder out;
    test::TestApp app;
};

test::TempFolder* WorkbookTest::folder_ = nullptr;

}  // namespace

TEST_F(WorkbookTest, ExportWritesRowsThreeOnWithAlternatingColours) {
    const QString path = exportTable(filled(24), 5);
    EXPECT_EQ(QFileInfo(path).fileName(), "双向细目表-2026年12月08日-09时05分-琢石-试题库.xls");
    const auto calc = test::office().startSpreadsheet();
    const auto book = calc->open(path);
    const QString sheet = "命卷双向细目表";
    EXPECT_EQ(book->cellText(sheet, 3, 1), "1");
    EXPECT_EQ(book->cellText(sheet, 26, 1), "24");
    EXPECT_EQ(book->cellText(sheet, 26, 2), "00024");
    EXPECT_EQ(book->cellText(sheet, 27, 1), "");
    EXPECT_EQ(book->cellText(sheet, 3, 7), "1-正数\n2-负数");
    EXPECT_EQ(book->cellText(sheet, 2, 3), "题目识别码");  // the heading rows stay
    const auto odd = book->cellBackground(sheet, 3, 2);
    const auto even = book->cellBackground(sheet, 4, 2);
    EXPECT_NE(odd, even);
    EXPECT_EQ(book->cellBackground(sheet, 5, 2), odd);
    EXPECT_EQ(book->cellBackground(sheet, 26, 7), even);
    EXPECT_DOUBLE_EQ(book->fontSize(sheet, 10, 4), 16);
    EXPECT_TRUE(book->borders(sheet, 26, 7).all());
    // 26.25 points at least; rows grow to show every line (two here).
    EXPECT_GT(book->rowHeight(sheet, 20), 26.25 + 10);
    EXPECT_EQ(book->activeSheet(), sheet);
    EXPECT_EQ(book->cellText("sheet2", 1, 1), "a");
}

TEST_F(WorkbookTest, TheTablePrintsLandscapeOnePageWideWithEveryLine) {
    SpecTable t = filled(24);
    const QString longScope =
        "1-初中数学\\1-人教版\\7-七年级\\1-上册\\2-第二章 整式的加减\\1-2.1 整式（单项式、多项式及其次数）";
    t.setCell(1, SpecTable::Knowledge, "1-正数");
    t.setCell(2, SpecTable::Knowledge, "1-正数\r2-负数\r3-有理数的分类与数轴上的点");
    t.setCell(3, SpecTable::Scope, longScope);
    const QString path = exportTable(t, 9);
    const QString sheet = "命卷双向细目表";
    {
        const auto calc = test::office().startSpreadsheet();
        const auto book = calc->open(path);
        const PrintLayout layout = book->printLayout(sheet);
        EXPECT_TRUE(layout.landscape);
        EXPECT_EQ(layout.pagesWide, 1);
        EXPECT_EQ(layout.pagesTall, 0);
        EXPECT_EQ(layout.titleRows, 2);
        EXPECT_TRUE(book->isWrapped(sheet, 4, 7));
        EXPECT_TRUE(book->isWrapped(sheet, 5, 6));
        EXPECT_NEAR(book->rowHeight(sheet, 3), 26.25, 0.1);  // one line
        EXPECT_GT(book->rowHeight(sheet, 4), 3 * 16);        // three lines of 16 points
        EXPECT_GT(book->rowHeight(sheet, 5), 26.25 + 10);    // the long scope wraps
        EXPECT_LE(book->columnWidth(sheet, 6), 301);
        // The marker sheet is hidden but still there for the import check.
        EXPECT_FALSE(book->isSheetVisible("sheet2"));
        EXPECT_TRUE(book->isSheetVisible(sheet));
        EXPECT_EQ(book->cellText("sheet2", 1, 1), "a");
    }
    SpecTable back(24);
    Bank bank(app.bankPath());
    EXPECT_TRUE(importSpecWorkbook(test::office(), bank, back, path).refusal.isEmpty());
    EXPECT_EQ(back.cell(3, SpecTable::Scope), longScope);

    // Printed: landscape pages, the table only, every scope whole.
    const QString pdf = out.file("细目表.pdf");
    test::office().exportPdf(path, pdf);
    QPdfDocument document;
    ASSERT_EQ(document.load(pdf), QPdfDocument::Error::None);
    EXPECT_GE(document.pageCount(), 1);
    EXPECT_LE(document.pageCount(), 3);
    for (int p = 0; p < document.pageCount(); ++p)
        EXPECT_GT(document.pagePointSize(p).width(), document.pagePointSize(p).height()) << p;
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput()).remove(' ');
    EXPECT_TRUE(printed.contains("多项式及其次数")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("有理数的分类与数轴上的点")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("张三-00024")) << printed.toStdString();
}

TEST_F(WorkbookTest, RoundTripTakesNumbersFromTheBankByCode) {
    Bank bank(app.bankPath());
    // In this bank question 张三-00002 has another number; 张三-00003 is unknown.
    bank.addRow("试题库", {{"题目编号", "00001"}, {"试题识别码", "张三-00001"}});
    bank.addRow("试题库", {{"题目编号", "00077"}, {"试题识别码", "张三-00002"}});
    const QString path = exportTable(filled(3), 6);

    SpecTable back(3);
    back.setCell(3, SpecTable::QuestionNumber, "stale");
    EXPECT_TRUE(importSpecWorkbook(test::office(), bank, back, path).refusal.isEmpty());
    EXPECT_EQ(back.cell(1, SpecTable::QuestionNumber), "00001");
    EXPECT_EQ(back.cell(2, SpecTable::QuestionNumber), "00077");
    EXPECT_EQ(back.cell(3, SpecTable::QuestionNumber), "");  // no stale number for an unknown code
    EXPECT_EQ(back.cell(2, SpecTable::Code), "张三-00002");
    EXPECT_EQ(back.cell(2, SpecTable::Type), "填空题");
    EXPECT_EQ(back.cell(2, SpecTable::Knowledge), "1-正数\r2-负数");
    EXPECT_EQ(back.cell(3, SpecTable::Number), "3");
}

TEST_F(WorkbookTest, TheTableKeepsItsSize) {
    Bank bank(app.bankPath());
    const QString thirty = exportTable(filled(30), 7);
    SpecTable t(24);
    importSpecWorkbook(test::office(), bank, t, thirty);
    EXPECT_EQ(t.dataRows(), 24);
    EXPECT_EQ(t.cell(24, SpecTable::Code), "张三-00024");

    const QString ten = exportTable(filled(10), 8);
    SpecTable full = filled(24);
    importSpecWorkbook(test::office(), bank, full, ten);
    EXPECT_EQ(full.cell(10, SpecTable::Code), "张三-00010");
    for (int r = 11; r <= 24; ++r)
        for (int c : {0, 2, 3, 4, 5, 6})
            EXPECT_TRUE(full.cell(r, c).isEmpty()) << r << "," << c;
}

TEST_F(WorkbookTest, AWorkbookWithoutTheMarkOrNoWorkbookIsRefused) {
    Bank bank(app.bankPath());
    const auto calc = test::office().startSpreadsheet();
    const QString plain = out.file("普通表格.xls");
    {
        const auto book = calc->newWorkbook();
        book->setCellText(book->sheetNames().first(), 1, 1, "x");
        book->saveAs(plain);
    }
    SpecTable t = filled(3);
    const WorkbookImport result = importSpecWorkbook(test::office(), bank, t, plain);
    EXPECT_EQ(result.refusal, " ~~这不是一个合法的双向细目表文件~~\r~~请重新选择一个合法的双向细目表文件~~");
    EXPECT_EQ(t.cell(1, SpecTable::Code), "张三-00001");

    const QString text = out.file("文本.xls");
    test::TestApp::touch(text);
    EXPECT_FALSE(importSpecWorkbook(test::office(), bank, t, text).refusal.isEmpty());
}

TEST_F(WorkbookTest, AMissingTemplateOrFolderIsNamed) {
    try {
        ExportSpecWorkbook(test::office(), filled(1), out.file("没有模板.xls"), out.path(),
                           QDateTime::currentDateTime());
        FAIL();
    } catch (const OfficeError& e) {
        EXPECT_TRUE(e.message().contains("没有模板.xls"));
    }
    EXPECT_THROW(ExportSpecWorkbook(test::office(), filled(1), templatePath(), "/没有/这个/文件夹",
                                    QDateTime::currentDateTime()),
                 OfficeError);
}
