#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

namespace zs {

// The two-way specification table (双向细目表): row 0 is the header, rows 1..N
// are data rows, one question scope per row. The seven columns of the table
// proper come first; the eighth, "分值", holds the score the teacher gave the
// row's question (empty: its type's score). Column 0 holds the row numbers;
// row commands act on columns 1 to 7, so a score stays with its question. A
// knowledge-point cell holds the points one per line (character 13 between
// them).
class SpecTable {
public:
    static constexpr int kColumns = 8;
    // The columns of the table proper, before the score.
    static constexpr int kTableColumns = 7;
    enum Column {
        Number = 0,
        QuestionNumber = 1,
        Code = 2,
        Type = 3,
        Difficulty = 4,
        Scope = 5,
        Knowledge = 6,
        Score = 7
    };

    explicit SpecTable(int dataRows = 24);

    static const QStringList& headers();

    // Rows including the header row (the grid's row count).
    int rows() const { return int(cells_.size()); }
    int dataRows() const { return rows() - 1; }
    // Sets the row count (header included); new rows are empty, rows beyond are dropped.
    void setRows(int rows);

    const QString& cell(int row, int column) const { return cells_[row][column]; }
    void setCell(int row, int column, const QString& text) { cells_[row][column] = text; }

    // Column 0 of every data row gets its row number.
    void numberRows();
    // Inserts `count` empty rows at `row`; the rows from `row` on move down.
    void insertEmptyRows(int row, int count);
    void appendRow();
    // Removes a data row: later rows move up (columns 1 to 7), the last row goes.
    void removeRow(int row);
    // Removes every data row whose question number has the value `number`;
    // keeps one empty data row when nothing would be left. Returns rows removed.
    int removeQuestion(int number);
    // Exchanges columns 1 to 7 of two rows.
    void swapRows(int a, int b);
    // The first and last row of the question that `row` belongs to: the run of
    // consecutive rows around it that hold the same question number (a row
    // without a number is a run of its own).
    QPair<int, int> questionRows(int row) const;
    // Exchanges the question at `row` (all rows of its run) with the run right
    // after it or right before it; the rows of both stay together. Nothing
    // happens at the ends of the table.
    void swapQuestionWithNext(int row);
    void swapQuestionWithPrevious(int row);
    void clearRow(int row);
    // Writes a question scope into a row: number, code, type, difficulty, scope
    // and the knowledge-point list ("|" becomes a line break). A score given
    // to the row's former question goes.
    void fillRow(int row, const QString& number, const QString& code, const QString& type, const QString& difficulty,
                 const QString& scope, const QString& knowledgeList);

    // The numeric value of a question-number cell (0 for empty or non-numeric).
    static int numberValue(const QString& cell);
    // "|" of a stored knowledge-point list → line breaks of a cell, and back.
    static QString knowledgeCell(const QString& knowledgeList);
    static QString knowledgeList(const QString& cell);

private:
    QVector<QVector<QString>> cells_;
};

// The rows of the table that put a question into the paper: the first row of
// every question number. Further rows of a question (its other scopes, or the
// same question entered again further down) are skipped, so each question
// stands in the paper once.
QVector<int> placedRows(const SpecTable& table);

// "一" … "十" for sections 1 to 10, empty otherwise.
QString sectionNumeral(int section);

}  // namespace zs
