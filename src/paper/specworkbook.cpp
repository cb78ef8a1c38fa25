#include "paper/specworkbook.h"

#include "office/office.h"
#include "paper/scores.h"
#include "store/bank.h"
#include "store/statement.h"

#include <QDir>
#include <QFileInfo>

namespace zs {

QString outputStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy年MM月dd日-hh时mm分"));
}

QString specWorkbookName(const QDateTime& when, const QString& mark) {
    const QString marked = mark.isEmpty() ? QStringLiteral("-") : u'-' + mark + u'-';
    return QStringLiteral("双向细目表") + marked + outputStamp(when) + QStringLiteral("-琢石-试题库.xls");
}

namespace {

// The widest the 考查范围 and 知识点 columns get; longer texts wrap.
constexpr double kWideColumnPoints = 300;

// Line breaks of a table cell (character 13) and of a spreadsheet cell (10).
QString toSheetText(const QString& cell) {
    QString s = cell;
    s.replace(u'\r', u'\n');
    return s;
}

QString fromSheetText(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    s.replace(u'\n', u'\r');
    return s;
}

}  // namespace

QString ExportSpecWorkbook(Office& office, const SpecTable& table, const QString& templatePath, const QString& folder,
                           const QDateTime& when, const QString& mark) {
    if (!QFileInfo::exists(templatePath))
        throw OfficeError(QStringLiteral("找不到双向细目表模板：\r%1").arg(QDir::toNativeSeparators(templatePath)));
    const QString output = QDir(folder).filePath(specWorkbookName(when, mark));
    if (!QFileInfo(folder).isDir() || !QFileInfo(folder).isWritable())
        throw OfficeError(
            QStringLiteral("无法在这个文件夹中保存双向细目表：\r%1").arg(QDir::toNativeSeparators(folder)));

    const auto calc = office.startSpreadsheet();
    calc->setVisible(true);
    const auto book = calc->open(templatePath);
    book->saveAs(output);
    const QString& sheet = kSpecSheet;
    const int n = table.dataRows();
    // The score column follows the seven when the paper has scores.
    bool scored = false;
    for (int i = 1; i <= n && !scored; ++i)
        scored = !table.cell(i, SpecTable::Score).isEmpty();
    const int columns = scored ? SpecTable::kColumns : SpecTable::kTableColumns;
    QVector<std::optional<QRgb>> odd, even;
    for (int c = 1; c <= SpecTable::kTableColumns; ++c) {
        odd << book->cellBackground(sheet, 3, c);
        even << book->cellBackground(sheet, 4, c);
    }
    if (scored) {
        // Its heading and colours are those of the column before it.
        odd << odd.last();
        even << even.last();
        const int head = SpecTable::kTableColumns;
        book->setCellText(sheet, 2, columns, SpecTable::headers()[SpecTable::Score]);
        book->setBold(sheet, 2, columns, true);
        book->setFontSize(sheet, 2, columns, book->fontSize(sheet, 2, head));
        book->setCellBackground(sheet, 2, columns, book->cellBackground(sheet, 2, head));
        book->setContinuousBorders(sheet, 2, columns);
    }
    if (n > 0) {
        QList<QStringList> rows;
        for (int i = 1; i <= n; ++i) {
            QStringList cells = {QString::number(i)};
            for (int j = 1; j < columns; ++j)
                cells << toSheetText(table.cell(i, j));
            rows << cells;
        }
        book->setCellTexts(sheet, 3, 1, rows);
        const int last = n + 2;
        book->setRowHeights(sheet, 3, last, 26.25);
        book->setRangeFontSize(sheet, 3, 1, last, columns, 16);
        book->setRangeBorders(sheet, 3, 1, last, columns);
        // Each table row takes the colours of template row 3 (odd) or 4 (even),
        // column by column; columns of one colour are painted together.
        for (int i = 1; i <= n; ++i) {
            const auto& colours = i % 2 ? odd : even;
            for (int c = 1; c <= columns;) {
                int end = c;
                while (end < columns && colours[end] == colours[c - 1])
                    ++end;
                book->setRangeBackground(sheet, i + 2, c, i + 2, end, colours[c - 1]);
                c = end + 1;
            }
        }
    }
    book->fitColumns(sheet, scored ? QStringLiteral("b:h") : QStringLiteral("b:g"));
    if (n > 0) {
        // For printing: the long 考查范围 and 知识点 columns wrap within a
        // width that leaves room for the others, every row is as high as its
        // lines need, and the table prints across one landscape page.
        for (int c : {SpecTable::Scope + 1, SpecTable::Knowledge + 1})
            if (book->columnWidth(sheet, c) > kWideColumnPoints)
                book->setColumnWidth(sheet, c, kWideColumnPoints);
        book->setRangeWrapped(sheet, 3, 1, n + 2, columns);
        book->fitRowHeights(sheet, 3, n + 2, 26.25);
    }
    book->setPrintLayout(sheet, PrintLayout{true, 1, 0, 2});
    // The marker stays for the import check but is not shown or printed.
    if (book->hasSheet(kMarkerSheet))
        book->setSheetVisible(kMarkerSheet, false);
    book->activateSheet(sheet);
    calc->setVisible(true);
    book->save();
    book->close();
    return output;
}

WorkbookImport importSpecWorkbook(Office& office, Bank& bank, SpecTable& table, const QString& file) {
    const WorkbookImport refused{
        QStringLiteral(" ~~这不是一个合法的双向细目表文件~~\r~~请重新选择一个合法的双向细目表文件~~")};
    const auto calc = office.startSpreadsheet();
    calc->setVisible(false);
    std::unique_ptr<Workbook> book;
    try {
        book = calc->open(file);
    } catch (const OfficeError&) {
        return refused;
    }
    if (!book->hasSheet(kMarkerSheet) || book->cellText(kMarkerSheet, 1, 1) != u"a" || !book->hasSheet(kSpecSheet)) {
        book->close();
        return refused;
    }
    const int n = table.dataRows();
    // Workbooks of papers with scores have them in an eighth column.
    const bool scored = book->cellText(kSpecSheet, 2, SpecTable::kColumns) == SpecTable::headers()[SpecTable::Score];
    const QList<QStringList> rows = book->cellTexts(kSpecSheet, 3, 1, n, SpecTable::kColumns);
    for (int i = 1; i <= n; ++i) {
        const QStringList cells = rows.value(i - 1);
        table.setCell(i, SpecTable::Number, cells.value(0));
        for (int j = 2; j < SpecTable::kTableColumns; ++j)
            table.setCell(i, j, fromSheetText(cells.value(j)));
        const auto score = scored ? parseScore(cells.value(SpecTable::Score)) : std::nullopt;
        table.setCell(i, SpecTable::Score, score ? scoreText(*score) : QString());
    }
    book->close();
    calc->quit();
    for (int i = 1; i <= n; ++i) {
        const RowSet found = bank.query(QStringLiteral("select 题目编号 from 试题库 where 试题识别码='") +
                                        sqlValue(table.cell(i, SpecTable::Code)) + u'\'');
        table.setCell(i, SpecTable::QuestionNumber, found.isEmpty() ? QString() : found.text(0, 0));
    }
    return {};
}

}  // namespace zs
