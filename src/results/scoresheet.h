#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

namespace zs {

class Office;

// The kinds of score sheet the results screen reads, each offered by its name.
inline const QString kScoreSheetFilter = QStringLiteral(
    "成绩表|*.xlsx;*.xls;*.csv|Excel 工作簿|*.xlsx|Excel 97-2003 工作簿|*.xls|CSV 文件（逗号分隔）|*.csv");

// A score sheet of a marking system (小题分): one row per student, one column
// per question, maybe columns of the chosen options, and columns that are no
// questions (考号, 姓名, 班级, 总分 …). Every cell is kept as its text.
struct ScoreSheet {
    QString path;
    int headerRow = 0;  // the sheet row of the headers, counted from 1; 0 for an empty sheet
    QStringList headers;
    QList<QStringList> rows;  // the rows below the headers, each as wide as the headers
    // The sheet row of a student row.
    int sheetRow(int studentRow) const { return headerRow + 1 + studentRow; }
};

// What a column header says: the question number (0: not a question), the
// full mark stated in it ("1(3分)"), and whether the column holds the chosen
// options rather than the score ("1选项", "第1题作答").
struct HeaderMeaning {
    int question = 0;
    double fullMark = 0;
    bool options = false;
};
HeaderMeaning readHeader(const QString& header);

// The headers are the first of the first ten rows that names two questions or
// more (the first row that holds anything when none does): a title row above
// them is passed over.
ScoreSheet scoreSheetFromCells(const QList<QStringList>& cells, const QString& path = {});

// The cells of the first sheet of a workbook (.xls, .xlsx, .ods) or a .csv,
// read through the office, as texts from A1 to the last cell used. Throws
// OfficeError when the file cannot be read.
QList<QStringList> firstSheetCells(Office& office, const QString& path);
// Reads the first sheet of a workbook (.xls, .xlsx, .ods) or a .csv through
// the office. Throws OfficeError when the file cannot be read.
ScoreSheet readScoreSheet(Office& office, const QString& path);

// Which sheet column (counted from 0; -1 for none) holds the score and the
// options of each question of the paper (index 0 for question 1), and the
// full marks (0 where none is known yet).
struct ScoreMapping {
    QVector<int> scoreColumn;
    QVector<int> optionColumn;
    QVector<double> fullMark;
};

// Maps the columns whose headers name a question to that question. Full marks
// come from the header, else from `paperScores` (the scores the paper states,
// empty texts where it states none).
ScoreMapping automaticMapping(const ScoreSheet& sheet, int questionCount, const QStringList& paperScores = {});

// How many questions the sheet has score columns for (the question numbers its
// headers name, each once; option columns aside).
int sheetQuestionCount(const ScoreSheet& sheet);
// What the teacher is told when the sheet's questions are not as many as the
// paper's: the mapping is a guess until the teacher has looked at it and
// confirmed it. Empty when the counts agree.
QString questionCountMismatch(int sheetQuestions, int paperQuestions);

// The scores of the students that count, checked against the mapping.
struct ScoreCheck {
    // What the teacher is told, in order: refusals first, then every cell
    // that is not a score (rows of those cells are left out of the figures).
    QStringList problems;
    // Set when nothing can be computed (an empty sheet, no question mapped,
    // no student left).
    QString refusal;
    QVector<double> fullMarks;          // per question; 0 for a question without a column or mark
    QVector<bool> measured;             // per question: it has a column and a full mark
    QVector<QVector<double>> scores;    // per counted student, per question (0 where not measured)
    QVector<QVector<QString>> options;  // per question, per counted student; empty without an option column
    QVector<int> studentRows;           // the student rows (of ScoreSheet::rows) that count
    int absent = 0;                     // rows without any score
    QSet<QPair<int, int>> badCells;     // (student row, sheet column) of every cell that is not a score
    int students() const { return int(scores.size()); }
};
ScoreCheck checkScores(const ScoreSheet& sheet, const ScoreMapping& mapping);

// A number as the sheet shows it: "3", "2.5", "３"; false for anything else.
bool scoreValue(const QString& text, double* value);

}  // namespace zs
