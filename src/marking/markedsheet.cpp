#include "marking/markedsheet.h"

#include "store/bank.h"

#include <QHash>
#include <QMap>

namespace zs {

QString markingFullMarkSetting(int paperId, int question) {
    return QStringLiteral("阅卷满分-%1-%2").arg(paperId).arg(question);
}

QVector<double> paperFullMarks(Bank& bank, const PaperRecord& paper) {
    QVector<double> marks;
    for (int q = 0; q < paper.questions.size(); ++q) {
        double mark = 0;
        if (!scoreValue(paper.questions[q].score, &mark) || mark <= 0)
            if (!scoreValue(bank.setting(markingFullMarkSetting(paper.id, q + 1)), &mark) || mark <= 0)
                mark = 0;
        marks << mark;
    }
    return marks;
}

ScoreSheet markedSheet(const PaperRecord& paper, const QVector<Mark>& marks, const QVector<Student>& roster,
                       const QVector<double>& fullMarks) {
    ScoreSheet sheet;
    sheet.path = kMarkedSheetName;
    sheet.headerRow = 1;
    sheet.headers << QStringLiteral("考号") << QStringLiteral("姓名") << QStringLiteral("班级");
    const int questions = int(paper.questions.size());
    for (int q = 1; q <= questions; ++q) {
        const double full = fullMarks.value(q - 1);
        sheet.headers << (full > 0 ? QStringLiteral("%1(%2分)").arg(q).arg(QString::number(full, 'g', 6))
                                   : QString::number(q));
    }
    QHash<QString, const Student*> known;
    for (const Student& s : roster)
        known.insert(s.examNumber, &s);
    // Students in the order of their 考号.
    QMap<QString, QStringList> rows;
    for (const Mark& m : marks) {
        if (m.question < 1 || m.question > questions || m.examNumber.isEmpty())
            continue;
        QStringList& row = rows[m.examNumber];
        if (row.isEmpty()) {
            const Student* s = known.value(m.examNumber);
            row << m.examNumber << (s ? s->name : QString()) << (s ? s->className : QString());
            for (int q = 0; q < questions; ++q)
                row << QString();
        }
        if (!m.problem)
            row[2 + m.question] = QString::number(m.score, 'g', 6);
    }
    for (const QStringList& row : rows)
        sheet.rows << row;
    return sheet;
}

}  // namespace zs
