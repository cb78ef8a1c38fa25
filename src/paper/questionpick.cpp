#include "paper/questionpick.h"

#include "questions/questionsearch.h"

#include <QSet>

namespace zs {

QList<PickedRow> pickedRowsOf(const DisplayedQuestion& question) {
    QList<PickedRow> out;
    for (const auto& [scope, knowledge] : question.scopes)
        out << PickedRow{question.number, question.code, question.type, question.difficulty, scope, knowledge};
    return out;
}

QList<PickedRow> pickedRowsOf(const ResultSet& results) {
    QList<PickedRow> out;
    const RowSet& rows = results.rows();
    for (int r = 0; r < rows.count(); ++r)
        out << PickedRow{rows.text(r, QStringLiteral("题目编号")), rows.text(r, QStringLiteral("试题识别码")),
                         rows.text(r, QStringLiteral("题型")),     rows.text(r, QStringLiteral("难度")),
                         rows.text(r, QStringLiteral("考查范围")), rows.text(r, QStringLiteral("知识点"))};
    return out;
}

namespace {
void fill(SpecTable& table, int row, const PickedRow& p) {
    table.fillRow(row, p.number, p.code, p.type, p.difficulty, p.scope, p.knowledgeList);
}
}  // namespace

void placeQuestion(SpecTable& table, int row, const QList<PickedRow>& records) {
    if (row < 1 || row >= table.rows())
        return;
    table.removeRow(row);
    table.insertEmptyRows(row, int(records.size()));
    for (int i = 0; i < records.size(); ++i)
        fill(table, row + i, records[i]);
    table.numberRows();
}

void appendQuestions(SpecTable& table, const QList<PickedRow>& rows) {
    int last = table.rows() - 1;
    while (last > 0 && table.cell(last, SpecTable::Code).isEmpty())
        --last;
    table.setRows(last + 1);
    table.setRows(last + 1 + int(rows.size()));
    for (int i = 0; i < rows.size(); ++i)
        fill(table, last + 1 + i, rows[i]);
    table.numberRows();
}

QStringList questionsAlreadyIn(const SpecTable& other, const QList<PickedRow>& records) {
    QSet<QString> standing;
    for (int r = 1; r < other.rows(); ++r)
        if (const QString number = other.cell(r, SpecTable::QuestionNumber); !number.isEmpty())
            standing.insert(number);
    QStringList shared;
    for (const PickedRow& record : records)
        if (standing.contains(record.number) && !shared.contains(record.number))
            shared << record.number;
    return shared;
}

}  // namespace zs
