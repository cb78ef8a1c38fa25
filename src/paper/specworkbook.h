#pragma once

#include "paper/spectable.h"

#include <QDateTime>
#include <QString>

namespace zs {

class Bank;
class Office;

// The stamp of output names: "2024年03月05日-14时07分".
QString outputStamp(const QDateTime& when);

// "双向细目表-" + stamp + "-琢石-试题库.xls", as the documents are named; with a mark (A/B papers)
// "双向细目表-" + mark + "-" + stamp + "-琢石-试题库.xls".
QString specWorkbookName(const QDateTime& when, const QString& mark = {});

inline const QString kSpecSheet = QStringLiteral("命卷双向细目表");
inline const QString kMarkerSheet = QStringLiteral("sheet2");

// Writes the table into a copy of the workbook template in `folder` and returns
// the workbook's path. Table row i goes to sheet row i + 2 with the colours of
// template row 3 (odd i) or 4 (even i), font size 16, four borders and a row
// height of 26.25 points; columns b:g are fitted. For printing, cells wrap, rows
// grow to show every line, overlong 考查范围 and 知识点 columns are narrowed, the
// sheet prints landscape and one page wide, and the marker sheet is hidden.
// A table with scores (分值 cells, see withScores) gets them in column 8
// under the heading "分值".
// Throws OfficeError naming the file when the template is missing or the
// folder cannot be written.
QString ExportSpecWorkbook(Office& office, const SpecTable& table, const QString& templatePath, const QString& folder,
                           const QDateTime& when, const QString& mark = {});

// Reads a specification workbook into the table (which keeps its number of
// rows); question numbers are looked up in the bank by identification code, and
// a code the bank does not know leaves an empty number. Scores come from the
// "分值" column when the workbook has one. `refusal` is set (and
// the table left as it was) for a file that is not a specification workbook.
struct WorkbookImport {
    QString refusal;
};
WorkbookImport importSpecWorkbook(Office& office, Bank& bank, SpecTable& table, const QString& file);

}  // namespace zs
