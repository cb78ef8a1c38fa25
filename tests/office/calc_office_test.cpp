// Workbooks through the real LibreOffice, read back after saving.

#include "app/appfolder.h"
#include "support/testsupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zs;
using zs::test::TempFolder;

TEST(CalcOffice, AWorkbookWrittenFromTheTemplateReadsBack) {
    TempFolder folder;
    const QString templatePath = folder.file("命卷双向细目表模板.xls");
    AppFolder::writeWorkbookTemplate(test::office(), templatePath);

    const QString sheet = "命卷双向细目表";
    const QString out = folder.file("双向细目表.xls");
    {
        const auto calc = test::office().startSpreadsheet();
        calc->setVisible(true);
        const auto book = calc->open(templatePath);
        book->saveAs(out);
        const auto odd = book->cellBackground(sheet, 3, 2);
        const auto even = book->cellBackground(sheet, 4, 2);
        ASSERT_TRUE(odd && even);
        EXPECT_NE(*odd, *even);
        for (int i = 1; i <= 3; ++i) {
            const int row = i + 2;
            book->setCellText(sheet, row, 1, QString::number(i));
            book->setCellText(sheet, row, 2, "0001" + QString::number(i));
            book->setCellText(sheet, row, 7, "1-正数\n2-负数");
            for (int c = 1; c <= 7; ++c) {
                book->setCellBackground(sheet, row, c, book->cellBackground(sheet, i % 2 ? 3 : 4, c));
                book->setFontSize(sheet, row, c, 16);
                book->setContinuousBorders(sheet, row, c);
            }
            book->setRowHeight(sheet, row, 26.25);
        }
        book->fitColumns(sheet, "b:g");
        book->activateSheet(sheet);
        book->save();
        book->close();
    }

    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(8).startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
    file.close();

    const auto calc = test::office().startSpreadsheet();
    const auto book = calc->open(out);
    EXPECT_EQ(book->cellText("sheet2", 1, 1), "a");
    EXPECT_EQ(book->cellText(sheet, 3, 1), "1");
    EXPECT_EQ(book->cellText(sheet, 4, 2), "00012");  // a text stays text: leading zeros kept
    EXPECT_EQ(book->cellText(sheet, 5, 7), "1-正数\n2-负数");
    EXPECT_EQ(book->cellBackground(sheet, 3, 4), book->cellBackground(sheet, 5, 4));
    EXPECT_NE(book->cellBackground(sheet, 3, 4), book->cellBackground(sheet, 4, 4));
    EXPECT_DOUBLE_EQ(book->fontSize(sheet, 4, 3), 16);
    EXPECT_TRUE(book->borders(sheet, 5, 6).all());
    EXPECT_FALSE(book->borders(sheet, 6, 6).all());
    EXPECT_NEAR(book->rowHeight(sheet, 4), 26.25, 0.1);
    EXPECT_GT(book->columnWidth(sheet, 2), 20);
    EXPECT_EQ(book->activeSheet(), sheet);
}

TEST(CalcOffice, SheetsAreFoundWithoutRegardToCase) {
    TempFolder folder;
    const QString templatePath = folder.file("模板.xls");
    AppFolder::writeWorkbookTemplate(test::office(), templatePath);
    const auto calc = test::office().startSpreadsheet();
    const auto book = calc->open(templatePath);
    EXPECT_TRUE(book->hasSheet("Sheet2"));
    EXPECT_EQ(book->cellText("SHEET2", 1, 1), "a");
    EXPECT_FALSE(book->hasSheet("sheet3"));
    EXPECT_THROW(book->cellText("sheet3", 1, 1), OfficeError);
}
