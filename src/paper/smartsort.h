#pragma once

#include "paper/spectable.h"

#include <QString>
#include <QStringList>

namespace zs {

class Bank;

// The fixed type order of the smart sort.
const QStringList& smartSortTypeOrder();

// Groups the rows by type in the fixed order (rows of other types after them)
// and orders each group by its difficulty text, compared as plain text. The
// rows of one question (one question number) move together and end up next
// to each other, in their former order.
void smartSort(SpecTable& table);

// How the smart sort was started: by its button ("Click", asks first), by
// another operation ("ZhiNengZuJuan", no question); anything else does nothing.
inline const QString kSortByClick = QStringLiteral("Click");
inline const QString kSortAfterLoading = QStringLiteral("ZhiNengZuJuan");

// Special training for one table row: the knowledge points of the row, each
// reduced to the text after its last "-".
QStringList specialTrainingPoints(const QString& knowledgeCell);
// "select * from 试题库 where 知识点 like '%a%' and 知识点 like '%b%'"; empty
// when there are no points.
QString specialTrainingQuery(const QStringList& points);

// The count the teacher typed for a special training: a whole number between 1
// and `available`, or the refusal to show.
struct TrainingCount {
    int count = 0;
    QString refusal;
};
TrainingCount readTrainingCount(const QString& answer, int available);

// Rebuilds the table from the found question rows (n rows, in order).
class RowSet;
void fillTableFromRows(SpecTable& table, const RowSet& rows, int count, int firstRow = 0);

}  // namespace zs
