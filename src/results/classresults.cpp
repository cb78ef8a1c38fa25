#include "results/classresults.h"

#include "office/office.h"
#include "paper/specworkbook.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace zs {

namespace {

const QString kStudentSheet = QStringLiteral("学生成绩");
const QString kClassMeanSheet = QStringLiteral("班级平均");
const QString kBandSheet = QStringLiteral("分数段");
constexpr int kBandCount = 10;

// A score as a teacher writes it: "7", "7.5", "7.25".
QString scoreText(double value) {
    return QString::number(std::round(value * 100) / 100, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

QString meanText(double value) {
    return QString::number(value, 'f', 2);
}

// Spreadsheet column letters of a column counted from 1: "a" … "z", "aa" ….
QString columnLetters(int column) {
    QString letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.prepend(QChar(u'a' + (column - 1) % 26));
    return letters;
}

int bandOf(double total, double fullTotal) {
    if (fullTotal <= 0)
        return 0;
    const int band = int(std::floor(total / fullTotal * kBandCount + 1e-9));
    return std::clamp(band, 0, kBandCount - 1);
}

// Competition ranks ("1, 2, 2, 4") of the students at `members`, by total.
void rank(QVector<StudentResult>& students, const QVector<int>& members, int StudentResult::*field) {
    QVector<int> order = members;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return students[a].total > students[b].total; });
    for (int i = 0; i < order.size(); ++i) {
        const bool tied = i > 0 && std::abs(students[order[i]].total - students[order[i - 1]].total) < 1e-9;
        students[order[i]].*field = tied ? students[order[i - 1]].*field : i + 1;
    }
}

// Class names with their numbers compared as numbers: "七(2)班" before "七(10)班".
bool classNameLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            const qlonglong x = a.mid(i, ei - i).toLongLong(), y = b.mid(j, ej - j).toLongLong();
            if (x != y)
                return x < y;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

}  // namespace

QVector<StudentScores> sheetStudents(const ScoreSheet& sheet, const ScoreCheck& check) {
    int examColumn = -1, nameColumn = -1, classColumn = -1;
    for (int c = 0; c < sheet.headers.size(); ++c) {
        const QString field = rosterField(sheet.headers[c]);
        if (field == QStringLiteral("考号") && examColumn < 0)
            examColumn = c;
        else if (field == QStringLiteral("姓名") && nameColumn < 0)
            nameColumn = c;
        else if (field == QStringLiteral("班级") && classColumn < 0)
            classColumn = c;
    }
    QVector<StudentScores> students;
    for (int i = 0; i < check.students(); ++i) {
        const QStringList& row = sheet.rows.value(check.studentRows.value(i));
        auto cell = [&](int column) { return column >= 0 ? row.value(column).trimmed() : QString(); };
        students.push_back({cell(examColumn), cell(nameColumn), cell(classColumn), check.scores[i]});
    }
    return students;
}

QStringList studentClasses(const QVector<StudentScores>& students, const QVector<Student>& roster) {
    QHash<QString, QString> classOf;
    for (const Student& s : roster)
        if (!s.className.isEmpty())
            classOf.insert(s.examNumber, s.className);
    QStringList classes;
    for (const StudentScores& s : students) {
        QString c = s.examNumber.isEmpty() ? QString() : classOf.value(s.examNumber);
        if (c.isEmpty())
            c = s.className;
        classes << (c.isEmpty() ? kNoClass : c);
    }
    return classes;
}

ScoreCheck checkOfClass(const ScoreCheck& check, const QStringList& classes, const QString& className) {
    ScoreCheck part = check;
    part.scores.clear();
    part.studentRows.clear();
    for (QVector<QString>& answers : part.options)
        answers.clear();
    for (int i = 0; i < check.students(); ++i) {
        if (classes.value(i) != className)
            continue;
        part.scores << check.scores[i];
        part.studentRows << check.studentRows.value(i);
        for (int q = 0; q < check.options.size(); ++q)
            if (i < check.options[q].size())
                part.options[q] << check.options[q][i];
    }
    if (part.scores.isEmpty() && part.refusal.isEmpty())
        part.refusal = QStringLiteral("%1没有学生的成绩。").arg(className);
    return part;
}

ClassResults classResults(const QVector<StudentScores>& students, const QVector<double>& fullMarks,
                          const QVector<Student>& roster) {
    ClassResults out;
    out.fullMarks = fullMarks;
    for (double mark : fullMarks)
        out.fullTotal += mark;
    QHash<QString, const Student*> known;
    for (const Student& s : roster)
        known.insert(s.examNumber, &s);

    QSet<QString> seen;
    for (const StudentScores& s : students) {
        StudentResult r{s.examNumber, s.name, s.className, s.scores, 0, 0, 0};
        r.scores.resize(fullMarks.size());
        if (!s.examNumber.isEmpty()) {
            if (seen.contains(s.examNumber)) {
                out.problems << QStringLiteral("考号 %1 出现了不止一次，只计第一次的成绩。").arg(s.examNumber);
                continue;
            }
            seen.insert(s.examNumber);
            if (const Student* k = known.value(s.examNumber)) {
                r.name = k->name;
                if (!k->className.isEmpty())
                    r.className = k->className;
            } else if (!roster.isEmpty()) {
                out.problems << QStringLiteral("考号 %1（%2）不在学生名单中。").arg(s.examNumber, s.name);
            }
        }
        if (r.className.isEmpty())
            r.className = kNoClass;
        for (double score : r.scores)
            r.total += score;
        out.students.push_back(r);
    }

    // Classes in natural order of their names ("七(2)班" before "七(10)班").
    for (const StudentResult& r : out.students)
        if (!out.classes.contains(r.className))
            out.classes << r.className;
    std::sort(out.classes.begin(), out.classes.end(), classNameLess);

    QVector<int> everyone;
    QVector<QVector<int>> members(out.classes.size());
    for (int i = 0; i < out.students.size(); ++i) {
        everyone << i;
        members[out.classes.indexOf(out.students[i].className)] << i;
    }
    rank(out.students, everyone, &StudentResult::yearRank);
    for (const QVector<int>& m : members)
        rank(out.students, m, &StudentResult::classRank);

    members << everyone;
    for (const QVector<int>& m : members) {
        QVector<double> means(fullMarks.size(), 0.0);
        double total = 0;
        QVector<int> bands(kBandCount, 0);
        for (int i : m) {
            for (int q = 0; q < means.size(); ++q)
                means[q] += out.students[i].scores[q];
            total += out.students[i].total;
            ++bands[bandOf(out.students[i].total, out.fullTotal)];
        }
        if (!m.isEmpty()) {
            for (double& mean : means)
                mean /= m.size();
            total /= m.size();
        }
        out.questionMeans << means;
        out.totalMeans << total;
        out.bands << bands;
    }
    for (int b = 0; b < kBandCount; ++b)
        out.bandNames << (b + 1 < kBandCount ? QStringLiteral("%1-%2").arg(b * 10).arg(b * 10 + 9)
                                             : QStringLiteral("90-100"));

    std::stable_sort(out.students.begin(), out.students.end(), [&](const StudentResult& a, const StudentResult& b) {
        const int ca = int(out.classes.indexOf(a.className)), cb = int(out.classes.indexOf(b.className));
        return ca != cb ? ca < cb : a.classRank < b.classRank;
    });
    return out;
}

QVector<LostPoint> lostPoints(const PaperRecord& paper, const QVector<double>& fullMarks,
                              const QVector<double>& scores) {
    QVector<LostPoint> points;
    QHash<QString, int> index;
    for (int q = 0; q < paper.questions.size() && q < fullMarks.size(); ++q) {
        if (fullMarks[q] <= 0)
            continue;
        const double lost = std::max(0.0, fullMarks[q] - scores.value(q));
        for (const QString& raw : paper.questions[q].knowledge.split(u'|', Qt::SkipEmptyParts)) {
            const QString point = raw.trimmed();
            if (point.isEmpty())
                continue;
            if (!index.contains(point)) {
                index.insert(point, int(points.size()));
                points.push_back({point, 0, 0});
            }
            LostPoint& p = points[index.value(point)];
            p.lost += lost;
            p.full += fullMarks[q];
        }
    }
    std::stable_sort(points.begin(), points.end(), [](const LostPoint& a, const LostPoint& b) {
        return a.lost != b.lost ? a.lost > b.lost : a.point < b.point;
    });
    return points;
}

QString classWorkbookName(const QDateTime& when) {
    return QStringLiteral("班级成绩-") + outputStamp(when) + QStringLiteral("-琢石-试题库.xls");
}

QList<QStringList> studentSheetRows(const ClassResults& results) {
    QStringList header{QStringLiteral("考号"), QStringLiteral("姓名"), QStringLiteral("班级")};
    for (int q = 0; q < results.fullMarks.size(); ++q)
        header << QStringLiteral("第%1题（%2分）").arg(q + 1).arg(scoreText(results.fullMarks[q]));
    header << QStringLiteral("总分") << QStringLiteral("班级排名") << QStringLiteral("年级排名");
    QList<QStringList> rows{header};
    for (const StudentResult& s : results.students) {
        QStringList row{s.examNumber, s.name, s.className};
        for (double score : s.scores)
            row << scoreText(score);
        row << scoreText(s.total) << QString::number(s.classRank) << QString::number(s.yearRank);
        rows << row;
    }
    return rows;
}

QList<QStringList> classMeanRows(const ClassResults& results) {
    QStringList header{QStringLiteral("班级"), QStringLiteral("人数")};
    for (int q = 0; q < results.fullMarks.size(); ++q)
        header << QStringLiteral("第%1题").arg(q + 1);
    header << QStringLiteral("总分");
    QList<QStringList> rows{header};
    for (int c = 0; c <= results.classes.size(); ++c) {
        int count = 0;
        for (int b : results.bands.value(c))
            count += b;
        QStringList row{c < results.classes.size() ? results.classes[c] : QStringLiteral("全体"),
                        QString::number(count)};
        for (double mean : results.questionMeans.value(c))
            row << meanText(mean);
        row << meanText(results.totalMeans.value(c));
        rows << row;
    }
    return rows;
}

QList<QStringList> bandRows(const ClassResults& results) {
    QStringList header{QStringLiteral("分数段（占满分的百分比）")};
    header << results.classes << QStringLiteral("全体");
    QList<QStringList> rows{header};
    for (int b = 0; b < results.bandNames.size(); ++b) {
        QStringList row{results.bandNames[b]};
        for (const QVector<int>& bands : results.bands)
            row << QString::number(bands.value(b));
        rows << row;
    }
    return rows;
}

QString exportClassWorkbook(Office& office, const ClassResults& results, const QString& title, const QString& folder,
                            const QDateTime& when) {
    if (!QFileInfo(folder).isDir())
        throw OfficeError(QStringLiteral("找不到保存班级成绩的文件夹：\r%1").arg(QDir::toNativeSeparators(folder)));
    const QString path = QDir(folder).filePath(classWorkbookName(when));
    const auto calc = office.startSpreadsheet();
    calc->setVisible(false);
    const auto book = calc->newWorkbook();
    book->renameSheet(book->sheetNames().value(0), kStudentSheet);
    book->addSheet(kClassMeanSheet);
    book->addSheet(kBandSheet);
    for (const auto& [sheet, rows] :
         {qMakePair(kStudentSheet, studentSheetRows(results)), qMakePair(kClassMeanSheet, classMeanRows(results)),
          qMakePair(kBandSheet, bandRows(results))}) {
        // A title line above the table names the paper.
        book->setCellTexts(sheet, 1, 1, {{title + QStringLiteral(" ") + sheet}});
        book->setBold(sheet, 1, 1, true);
        book->setCellTexts(sheet, 2, 1, rows);
        const int columns = int(rows.first().size());
        for (int c = 1; c <= columns; ++c)
            book->setBold(sheet, 2, c, true);
        book->setRangeBorders(sheet, 2, 1, int(rows.size()) + 1, columns);
        book->fitColumns(sheet, QStringLiteral("a:") + columnLetters(columns));
    }
    // The bands as columns, every class beside the whole year, below the table.
    const int bandLines = int(results.bandNames.size()) + 1;
    book->addColumnChart(kBandSheet, QStringLiteral("分数段"), 2, 1, 1 + bandLines, int(results.classes.size()) + 2, 10,
                         8.0 * (bandLines + 3), 160, 90, title + QStringLiteral(" 分数段（人数）"));
    book->activateSheet(kStudentSheet);
    book->saveAs(path);
    book->close();
    calc->quit();
    return path;
}

}  // namespace zs
