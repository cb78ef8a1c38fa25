#pragma once

#include "paper/spectable.h"

#include <QList>
#include <QString>

namespace zs {

struct DisplayedQuestion;
class ResultSet;

// One question scope as the specification table takes it.
struct PickedRow {
    QString number;
    QString code;
    QString type;
    QString difficulty;
    QString scope;
    QString knowledgeList;  // "|"-joined; the table cell gets one point per line
};

// The scope records of the question on display, one row each, in stored order.
QList<PickedRow> pickedRowsOf(const DisplayedQuestion& question);
// Every row of a result set, in its order.
QList<PickedRow> pickedRowsOf(const ResultSet& results);

// Puts a question into the table in place of data row `row`: that row goes and
// one row per record opens there; the rows after it keep their order.
void placeQuestion(SpecTable& table, int row, const QList<PickedRow>& records);

// Drops the trailing data rows that hold no question (no identification code),
// then appends the rows and numbers every row.
void appendQuestions(SpecTable& table, const QList<PickedRow>& rows);

// The questions of `records` that already stand in `other` (the other paper
// of an A/B pair), each number once, in the order of `records`.
QStringList questionsAlreadyIn(const SpecTable& other, const QList<PickedRow>& records);

}  // namespace zs
