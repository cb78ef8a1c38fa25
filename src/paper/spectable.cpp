#include "paper/spectable.h"

#include "store/textnumbers.h"

#include <QSet>
#include <algorithm>

namespace zs {

SpecTable::SpecTable(int dataRows) {
    setRows(dataRows + 1);
    for (int c = 0; c < kColumns; ++c)
        cells_[0][c] = headers()[c];
}

const QStringList& SpecTable::headers() {
    static const QStringList h = {"题号", "题目编号", "题目识别码", "题型", "难度", "考查范围", "知识点", "分值"};
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

QPair<int, int> SpecTable::questionRows(int row) const {
    if (row < 1 || row >= rows())
        return {row, row};
    const QString& number = cells_[row][QuestionNumber];
    int first = row, last = row;
    if (!number.isEmpty()) {
        while (first > 1 && cells_[first - 1][QuestionNumber] == number)
            --first;
        while (last + 1 < rows() && cells_[last + 1][QuestionNumber] == number)
            ++last;
    }
    return {first, last};
}

void SpecTable::swapQuestionWithNext(int row) {
    if (row < 1 || row >= rows())
        return;
    const auto [first, last] = questionRows(row);
    if (last + 1 >= rows())
        return;
    const int nextLast = questionRows(last + 1).second;
    // The later run moves in front of the earlier one; column 0 stays.
    QStringList numbers;
    for (int r = first; r <= nextLast; ++r)
        numbers << cells_[r][Number];
    std::rotate(cells_.begin() + first, cells_.begin() + last + 1, cells_.begin() + nextLast + 1);
    for (int r = first; r <= nextLast; ++r)
        cells_[r][Number] = numbers[r - first];
}

void SpecTable::swapQuestionWithPrevious(int row) {
    if (row < 1 || row >= rows())
        return;
    const int first = questionRows(row).first;
    if (first <= 1)
        return;
    swapQuestionWithNext(first - 1);
}

void SpecTable::fillRow(int row, const QString& number, const QString& code, const QString& type,
                        const QString& difficulty, const QString& scope, const QString& knowledgeList) {
    cells_[row][QuestionNumber] = number;
    cells_[row][Code] = code;
    cells_[row][Type] = type;
    cells_[row][Difficulty] = difficulty;
    cells_[row][Scope] = scope;
    cells_[row][Knowledge] = knowledgeCell(knowledgeList);
    cells_[row][Score].clear();
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

QVector<int> placedRows(const SpecTable& table) {
    QVector<int> rows;
    QSet<QString> placed;
    for (int r = 1; r < table.rows(); ++r) {
        const QString& number = table.cell(r, SpecTable::QuestionNumber);
        if (!number.isEmpty() && !placed.contains(number)) {
            placed.insert(number);
            rows << r;
        }
    }
    return rows;
}

QString sectionNumeral(int section) {
    static const QStringList numerals = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    return section >= 1 && section <= 10 ? numerals[section - 1] : QString();
}

}  // namespace zs
