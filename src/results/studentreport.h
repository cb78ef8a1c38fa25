#pragma once

#include "paper/paperrecord.h"
#include "results/classresults.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace zs {

class Bank;

// A follow-up question offered to one student.
struct FollowUpQuestion {
    QString number, type, knowledge;
};

// What one student's page says.
struct StudentReport {
    QString title;  // the paper's title
    StudentResult student;
    int classSize = 0, yearSize = 0;
    double fullTotal = 0, classMean = 0;
    QVector<double> fullMarks, classMeans;  // per question
    QVector<LostPoint> weakest;             // the points lost most on, up to three
    QVector<FollowUpQuestion> followUp;     // up to five questions of the bank
};

// The questions offered for follow-up practice on a student's weakest points
// (as the class's follow-up practice chooses them), at most `count`.
QVector<FollowUpQuestion> followUpQuestions(Bank& bank, const PaperRecord& paper, const QVector<LostPoint>& lost,
                                            int count = 5);

// Every student's report of the class results.
QVector<StudentReport> studentReports(Bank& bank, const PaperRecord& paper, const ClassResults& results);

// "<考号>-<姓名>.pdf", with characters a file name cannot hold replaced.
QString studentReportName(const StudentResult& student);

// Writes one A4 page as PDF: the total against the class, the score of every
// question against the class's mean, the weakest points and the follow-up
// questions. Throws StoreError when the file cannot be written.
void writeStudentReport(const StudentReport& report, const QString& path);

// Writes the reports of all students into `folder` (made when missing);
// returns the paths written. `progress` is told after each.
QStringList writeStudentReports(const QVector<StudentReport>& reports, const QString& folder,
                                const std::function<void(int done, int total)>& progress = {});

}  // namespace zs
