#pragma once

#include "paper/paperrecord.h"
#include "results/roster.h"
#include "results/scoresheet.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

namespace zs {

class Office;

// One counted student of a score check, as the sheet names them.
struct StudentScores {
    QString examNumber, name, className;
    QVector<double> scores;  // per question of the paper
};

// The students a check counted, named by the sheet's 考号/姓名/班级 columns
// where it has them.
QVector<StudentScores> sheetStudents(const ScoreSheet& sheet, const ScoreCheck& check);

// The class of every student: the roster's for a known 考号 (when it names
// one), else the sheet's, else kNoClass.
QStringList studentClasses(const QVector<StudentScores>& students, const QVector<Student>& roster);
// The part of a check that the students of one class make (`classes` as
// studentClasses gives them, in the check's order).
ScoreCheck checkOfClass(const ScoreCheck& check, const QStringList& classes, const QString& className);

// A student's line of the class results.
struct StudentResult {
    QString examNumber, name, className;
    QVector<double> scores;
    double total = 0;
    int classRank = 0;  // 1 for the best of the class; equal totals share a rank
    int yearRank = 0;   // the same over every student of the paper
};

// What a teacher hands back: every student with total and ranks, the
// classes' averages and the distribution of totals.
struct ClassResults {
    QVector<double> fullMarks;  // per question
    double fullTotal = 0;
    QVector<StudentResult> students;  // by class, then rank in the class
    QStringList classes;              // in order
    // Per class (in `classes` order) the mean score of every question and of
    // the total; the last line is every student together.
    QVector<QVector<double>> questionMeans;
    QVector<double> totalMeans;
    // The number of totals per ten per cent of the full total, from "0-9" to
    // "90-100" (the full total counts in the last band), per class and over all.
    QVector<QVector<int>> bands;
    QStringList bandNames;
    // 考号 the roster does not know, and 考号 given twice (the later rows of
    // a number are left out).
    QStringList problems;
};

// Fills in names and classes from the roster (a sheet's own name and class
// stay where the roster has none), leaves out repeated 考号 and computes the
// ranks, means and bands. A student without a class is put in "未分班".
ClassResults classResults(const QVector<StudentScores>& students, const QVector<double>& fullMarks,
                          const QVector<Student>& roster);

// The knowledge points a student lost most on: the points of the paper's
// questions with the points lost on them (full mark − score), most lost
// first; a question's loss counts for each of its points.
struct LostPoint {
    QString point;
    double lost = 0;
    double full = 0;
};
QVector<LostPoint> lostPoints(const PaperRecord& paper, const QVector<double>& fullMarks,
                              const QVector<double>& scores);

// "班级成绩-<stamp>-琢石-试题库.xls"
QString classWorkbookName(const QDateTime& when);
// Writes the class results as a workbook into the folder: sheet "学生成绩"
// (考号, 姓名, 班级, score per question, 总分, 班级排名, 年级排名), sheet
// "班级平均" (each class's mean per question and total) and sheet "分数段"
// (students per band and class). Returns its path; throws OfficeError or
// StoreError (a folder that is not there).
QString exportClassWorkbook(Office& office, const ClassResults& results, const QString& title, const QString& folder,
                            const QDateTime& when);

// The rows of the three sheets, for the workbook and the tests.
QList<QStringList> studentSheetRows(const ClassResults& results);
QList<QStringList> classMeanRows(const ClassResults& results);
QList<QStringList> bandRows(const ClassResults& results);

}  // namespace zs
