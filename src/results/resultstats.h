#pragma once

#include "paper/paperrecord.h"
#include "results/scoresheet.h"
#include "store/bank.h"

#include <QDateTime>
#include <QPair>
#include <QString>
#include <QVector>

namespace zs {

class Bank;

// The figures of one question of a paper over the students that count.
struct QuestionResult {
    int number = 0;         // question number in the paper, from 1
    bool measured = false;  // false: no column or no full mark, nothing else is set
    int students = 0;
    double fullMark = 0;
    double mean = 0;
    double rate = 0;            // 得分率: mean ÷ full mark
    double discrimination = 0;  // (mean of the upper 27 % − mean of the lower 27 %) ÷ full mark
    QString difficulty;         // measured, on the bank's scale "0.1" … "1.0"
    // For a column of chosen options: each answer given ("A", "BD"; "未答"
    // for none) with its share of the students, in the answers' order.
    QVector<QPair<QString, double>> optionShares;
};

// 难度 = 1 − 得分率, rounded to the bank's steps of 0.1 and kept within
// "0.1" … "1.0".
QString measuredDifficulty(double rate);

// The upper and lower groups of the discrimination: 27 % of the students,
// rounded, at least one.
int groupSize(int students);

// The class's figures over the students that count: their totals over the
// measured questions.
struct ClassResult {
    int students = 0;
    double fullMark = 0;  // the sum of the measured questions' full marks
    double mean = 0, highest = 0, lowest = 0;
    double passRate = 0, excellentRate = 0;  // shares of the students at or above the lines
    double passLine = 0, excellentLine = 0;  // in points
    // 分数段: ten-point bands from 0 ("0-9", "10-19" …); the last band holds
    // the full mark ("90-100").
    QVector<QPair<QString, int>> bands;
};
// The lines are shares of the full mark (及格 60 %, 优秀 85 % unless the
// teacher sets others).
ClassResult classResult(const ScoreCheck& check, double passShare = 0.6, double excellentShare = 0.85);

// The figures of every question of the check. The groups of the
// discrimination are taken by the students' totals over the measured
// questions, highest first; students with equal totals keep the sheet's order.
QVector<QuestionResult> questionResults(const ScoreCheck& check);

// One knowledge point of the paper: its questions' mean scores over their full
// marks.
struct KnowledgeResult {
    QString point;  // as the catalogue names it ("3-重力")
    int questions = 0;
    double rate = 0;
};

// The knowledge points of the measured questions, weakest first (equal rates
// by name).
QVector<KnowledgeResult> knowledgeResults(const PaperRecord& paper, const QVector<QuestionResult>& results);

// The number of knowledge points shown as weakest.
inline constexpr int kWeakestPoints = 3;

// ---- the bank's difficulties from the results

struct DifficultyChange {
    QString questionNumber, code, before, after;
};
struct DifficultyUpdate {
    int measured = 0;                   // questions whose difficulty was written
    int missing = 0;                    // measured questions no longer in the bank
    QVector<DifficultyChange> changes;  // the questions whose level changed
};

// Stores the paper's results (replacing an earlier import of the same paper)
// and writes into every row of each measured question the difficulty of its
// results over every paper it was measured on, weighted by their numbers of
// students. Each replaced difficulty is kept in 难度历史. One transaction:
// on a failure the bank stays as it was.
DifficultyUpdate updateDifficulties(Bank& bank, const PaperRecord& paper, const QVector<QuestionResult>& results,
                                    const QDateTime& when);

// The difficulties a question has had, oldest first, one line each:
// "2026-03-09 10:05  0.5 → 0.3（试卷：2026-03-05 09:00  数学（4题））";
// empty when its difficulty was never changed by results.
QStringList difficultyHistory(Bank& bank, const QString& questionNumber);

// Whether the paper's last 更新难度 can still be undone (it changed some
// difficulty and was not undone since).
bool canUndoDifficultyUpdate(Bank& bank, int paperId);

// Undoes the paper's last 更新难度 in one transaction: every question it
// changed gets its former difficulty back, unless the difficulty was changed
// again since (those are counted and left), the paper's results go, and the
// undoing is written into 难度历史 too (as rows of the paper's number with a
// minus sign), so the history keeps both. Returns the number of questions
// restored and of those left.
struct DifficultyUndo {
    int restored = 0;
    int changedSince = 0;
};
DifficultyUndo undoDifficultyUpdate(Bank& bank, int paperId, const QDateTime& when);
QString difficultyUndoMessage(const DifficultyUndo& undo);

// "已经按成绩更新了 N 道题的难度，其中 M 道题的难度等级有变化。"
QString difficultyUpdateMessage(const DifficultyUpdate& update);

// ---- follow-up practice on the weakest points

// The questions of the bank on any of the points (each reduced to the text
// after its last "-"), without the numbers of the paper.
QString remedialQuery(const QStringList& points, const QStringList& excludedNumbers);

// The bank rows of the found questions in the order they are offered: one
// question of the first point, one of the second, … in turn, each question
// with all its rows (one per scope). Returns the row indexes of `rows`
// grouped by question.
QVector<QVector<int>> remedialQuestions(const RowSet& rows, const QStringList& points);

// Where the follow-up questions come from. The three weakest points first;
// when the bank holds no other question on them, the next weakest points that
// have some (up to three); when none of the paper's points has another
// question, the other questions of the paper's own sections.
struct RemedialSearch {
    QStringList points;   // the points used (empty when the sections are used)
    QStringList scopes;   // the sections used, when no point gave a question
    QStringList skipped;  // the weakest points that had no other question
    RowSet rows;
    QVector<QVector<int>> offered;
    // The sentence that asks how many to take: it names what was used.
    QString question() const;
    // Said when nothing at all was found.
    QString nothingFound() const;
};
RemedialSearch findRemedialQuestions(Bank& bank, const PaperRecord& paper, const QVector<KnowledgeResult>& points);

// Fills the table with the first `count` of the offered questions, every
// row of each.
void fillRemedialTable(SpecTable& table, const RowSet& rows, const QVector<QVector<int>>& questions, int count);

}  // namespace zs
