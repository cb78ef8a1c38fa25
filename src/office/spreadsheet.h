#pragma once

#include "office/officeerror.h"

#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace zs {

// The four edges of a cell as read back: true where a continuous line is drawn.
struct CellBorders {
    bool left = false, top = false, bottom = false, right = false;
    bool all() const { return left && top && bottom && right; }
};

// The extent of a sheet's content: rows and columns counted from A1.
struct CellArea {
    int rows = 0;
    int columns = 0;
};

// How a sheet prints.
struct PrintLayout {
    bool landscape = false;
    int pagesWide = 0;  // scaled to fit this many pages across; 0: not scaled
    int pagesTall = 0;  // with pagesWide: 0 for as many pages down as needed
    int titleRows = 0;  // rows 1 to titleRows are repeated on every page
};

// One open workbook. Sheets by name, cells by (row, column) counted from 1.
class Workbook {
public:
    virtual ~Workbook() = default;

    virtual QString path() const = 0;
    virtual void saveAs(const QString& path) = 0;  // .xls: Excel 97 format
    virtual void save() = 0;
    virtual void close() = 0;  // without saving

    virtual QStringList sheetNames() = 0;
    virtual bool hasSheet(const QString& sheet) = 0;

    virtual QString cellText(const QString& sheet, int row, int column) = 0;
    // Stores the text unchanged (never read as a number or formula).
    virtual void setCellText(const QString& sheet, int row, int column, const QString& text) = 0;

    virtual std::optional<QRgb> cellBackground(const QString& sheet, int row, int column) = 0;
    virtual void setCellBackground(const QString& sheet, int row, int column, std::optional<QRgb> color) = 0;
    virtual double fontSize(const QString& sheet, int row, int column) = 0;
    virtual void setFontSize(const QString& sheet, int row, int column, double points) = 0;
    virtual CellBorders borders(const QString& sheet, int row, int column) = 0;
    virtual void setContinuousBorders(const QString& sheet, int row, int column) = 0;
    virtual double rowHeight(const QString& sheet, int row) = 0;  // points
    virtual void setRowHeight(const QString& sheet, int row, double points) = 0;
    virtual double columnWidth(const QString& sheet, int column) = 0;  // points
    // Fits the columns of a letter range such as "b:g" to their content.
    virtual void fitColumns(const QString& sheet, const QString& letterRange) = 0;
    virtual void setColumnWidth(const QString& sheet, int column, double points) = 0;
    virtual void mergeCells(const QString& sheet, int row, int firstColumn, int lastColumn) = 0;
    virtual void setBold(const QString& sheet, int row, int column, bool bold) = 0;

    // Blocks of cells, for writing many at once: texts row by row from (row,
    // column) on, stored unchanged; and the look of the rectangle from
    // (firstRow, firstColumn) to (lastRow, lastColumn).
    virtual void setCellTexts(const QString& sheet, int row, int column, const QList<QStringList>& rows) = 0;
    virtual QList<QStringList> cellTexts(const QString& sheet, int row, int column, int rows, int columns) = 0;
    // The rows and columns from A1 to the last cell that holds anything.
    virtual CellArea usedArea(const QString& sheet) = 0;
    virtual void setRangeBackground(const QString& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn,
                                    std::optional<QRgb> color) = 0;
    virtual void setRangeFontSize(const QString& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn,
                                  double points) = 0;
    // Every cell of the rectangle gets a continuous line on its four edges.
    virtual void setRangeBorders(const QString& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn) = 0;
    virtual void setRowHeights(const QString& sheet, int firstRow, int lastRow, double points) = 0;

    // Text wrapped inside the cells of a rectangle (line breaks shown).
    virtual bool isWrapped(const QString& sheet, int row, int column) = 0;
    virtual void setRangeWrapped(const QString& sheet, int firstRow, int firstColumn, int lastRow, int lastColumn) = 0;
    // Fits the heights of the rows to what their cells show, never below
    // `minimumPoints`.
    virtual void fitRowHeights(const QString& sheet, int firstRow, int lastRow, double minimumPoints) = 0;

    virtual PrintLayout printLayout(const QString& sheet) = 0;
    virtual void setPrintLayout(const QString& sheet, const PrintLayout& layout) = 0;
    // A hidden sheet stays in the workbook (and readable) but is neither shown
    // nor printed.
    virtual bool isSheetVisible(const QString& sheet) = 0;
    virtual void setSheetVisible(const QString& sheet, bool visible) = 0;

    virtual void addSheet(const QString& sheet) = 0;
    // A column chart of the rectangle from (firstRow, firstColumn) to
    // (lastRow, lastColumn): its first row names the series, its first column
    // the categories. Placed at (leftMm, topMm) of the sheet, widthMm ×
    // heightMm, with a title.
    virtual void addColumnChart(const QString& sheet, const QString& name, int firstRow, int firstColumn, int lastRow,
                                int lastColumn, double leftMm, double topMm, double widthMm, double heightMm,
                                const QString& title) = 0;
    // The names of the charts on a sheet (a saved .xls names them itself:
    // "Object 1" …).
    virtual QStringList chartNames(const QString& sheet) = 0;
    virtual void renameSheet(const QString& from, const QString& to) = 0;
    virtual void activateSheet(const QString& sheet) = 0;
    virtual QString activeSheet() = 0;
};

// A spreadsheet instance. Each use starts its own; showing a workbook means
// opening its saved file with the desktop's default application.
class SpreadsheetInstance {
public:
    virtual ~SpreadsheetInstance() = default;
    virtual std::unique_ptr<Workbook> newWorkbook() = 0;
    // Opens a workbook (.xls, .xlsx, .ods) or a comma-separated text file
    // (.csv, read as UTF-8 or, when it is not valid UTF-8, as GB 18030).
    virtual std::unique_ptr<Workbook> open(const QString& path) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual void quit() = 0;  // closes every workbook still open through it
};

}  // namespace zs
