#include "compose/spectable.h"

#include "store/textnumbers.h"

namespace zs {

SpecTable::SpecTable(int dataRows) {
    setRows(dataRows + 1);
    for (int c = 0; c < kColumns; ++c)
        cells_[0][c] = headers()[c];
}

const QStringList& SpecTable::headers() {
    static const QStringList h = {"题号", "题目编号", "题目识别码", "题型", "难度", "考查范围", "知识点"};
    return h;
}

void SpecTable::setRows(int rows) {
    rows = qMax(rows, 1);
    cells_.resize(rows);
    for (auto& row : cells_)
        row.resize(kColumns);
}

void SpecTable::numberRows() {
    for (int r = 1; r < rows(); ++r)
        cells_[r][Number] = QString::number(r);
}

void SpecTable::clearRow(int row) {
    for (int c = 1; c < kColumns; ++c)
        cells_[row][c].clear();
}

void SpecTable::insertEmptyRows(int row, int count) {
    if (count <= 0 || row < 1)
        return;
    const int old = rows();
    setRows(old + count);
    for (int r = rows() - 1; r >= row + count; --r)
        for (int c = 1; c < kColumns; ++c)
            cells_[r][c] = cells_[r - count][c];
    for (int r = row; r < row + count && r < rows(); ++r)
        clearRow(r);
}

void SpecTable::appendRow() {
    setRows(rows() + 1);
}

void SpecTable::removeRow(int row) {
    if (row < 1 || row >= rows())
        return;
    for (int r = row; r < rows() - 1; ++r)
        for (int c = 1; c < kColumns; ++c)
            cells_[r][c] = cells_[r + 1][c];
    setRows(rows() - 1);
}

int SpecTable::removeQuestion(int number) {
    int removed = 0;
    int r = 1;
    while (r < rows()) {
        if (numberValue(cells_[r][QuestionNumber]) == number) {
            if (dataRows() == 1) {
                clearRow(r);  // the table keeps one (empty) data row
                ++removed;
                break;
            }
            removeRow(r);
            ++removed;
        } else {
            ++r;
        }
    }
    return removed;
}

void SpecTable::swapRows(int a, int b) {
    if (a < 1 || b < 1 || a >= rows() || b >= rows() || a == b)
        return;
    for (int c = 1; c < kColumns; ++c)
        std::swap(cells_[a][c], cells_[b][c]);
}

void SpecTable::fillRow(int row, const QString& number, const QString& code, const QString& type,
                        const QString& difficulty, const QString& scope, const QString& knowledgeList) {
    cells_[row][QuestionNumber] = number;
    cells_[row][Code] = code;
    cells_[row][Type] = type;
    cells_[row][Difficulty] = difficulty;
    cells_[row][Scope] = scope;
    cells_[row][Knowledge] = knowledgeCell(knowledgeList);
}

int SpecTable::numberValue(const QString& cell) {
    if (!isNumericText(cell))
        return 0;
    return int(numericValue(cell));
}

QString SpecTable::knowledgeCell(const QString& knowledgeList) {
    QString s = knowledgeList;
    s.replace(u'|', u'\r');
    return s;
}

QString SpecTable::knowledgeList(const QString& cell) {
    QString s = cell;
    s.replace(u'\r', u'|');
    return s;
}

}  // namespace zs
