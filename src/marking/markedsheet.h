#pragma once

#include "marking/marks.h"
#include "paper/paperrecord.h"
#include "results/roster.h"
#include "results/scoresheet.h"

namespace zs {

class Bank;

// The name a sheet made from stored marks goes by on the results screen.
inline const QString kMarkedSheetName = QStringLiteral("（扫描和阅卷的成绩）");

// A score sheet made from the marks stored for a paper (read from scans and
// given on screen): one row per student with any mark, columns 考号, 姓名,
// 班级 (from the roster) and one per question headed "N(满分分)" (or "N" where
// the full mark is not known). A question not yet marked for a student, or
// set aside as a problem, stays empty, so the results name it instead of
// counting it. The results screen reads it like a typed sheet.
ScoreSheet markedSheet(const PaperRecord& paper, const QVector<Mark>& marks, const QVector<Student>& roster,
                       const QVector<double>& fullMarks);

// The full marks of a paper's questions: the paper's own scores, else what the
// teacher gave when marking (0 where none is known).
QVector<double> paperFullMarks(Bank& bank, const PaperRecord& paper);

// The setting that keeps a full mark the teacher gave while marking.
QString markingFullMarkSetting(int paperId, int question);

}  // namespace zs
