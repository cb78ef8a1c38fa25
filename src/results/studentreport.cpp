#include "results/studentreport.h"

#include "results/resultstats.h"
#include "store/bank.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <cmath>

namespace zs {

namespace {

QString scoreText(double value) {
    return QString::number(std::round(value * 100) / 100, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

// The point's name without its catalogue prefix ("3-重力" → "重力").
QString pointName(const QString& point) {
    const qsizetype dash = point.lastIndexOf(u'-');
    return dash >= 0 ? point.mid(dash + 1) : point;
}

// Draws the report on a page of `pageWidth` × `pageHeight` device units.
class ReportPainter {
public:
    ReportPainter(QPainter& painter, double unitsPerMm) : p_(painter), mm_(unitsPerMm) {}

    double mm(double value) const { return value * mm_; }

    void text(double xMm, double yMm, double wMm, double hMm, const QString& text, double points, bool bold = false,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPointSizeF(points);
        font.setBold(bold);
        p_.setFont(font);
        p_.drawText(QRectF(mm(xMm), mm(yMm), mm(wMm), mm(hMm)), int(align) | Qt::TextWordWrap, text);
    }

    void box(double xMm, double yMm, double wMm, double hMm, const QColor& fill = Qt::transparent) {
        p_.setPen(QPen(Qt::black, mm(0.2)));
        p_.setBrush(fill);
        p_.drawRect(QRectF(mm(xMm), mm(yMm), mm(wMm), mm(hMm)));
    }

private:
    QPainter& p_;
    double mm_;
};

void drawReport(QPainter& painter, double unitsPerMm, const StudentReport& r) {
    ReportPainter d(painter, unitsPerMm);
    const double left = 18, width = 174;
    double y = 15;
    d.text(left, y, width, 10, r.title + QStringLiteral(" 成绩报告"), 16, true, Qt::AlignCenter);
    y += 12;
    d.text(left, y, width, 7,
           QStringLiteral("姓名：%1　　考号：%2　　班级：%3")
               .arg(r.student.name, r.student.examNumber, r.student.className),
           11);
    y += 9;
    d.text(left, y, width, 7,
           QStringLiteral("总分：%1 / %2　　班级平均：%3　　班级排名：%4 / %5　　年级排名：%6 / %7")
               .arg(scoreText(r.student.total), scoreText(r.fullTotal), QString::number(r.classMean, 'f', 1))
               .arg(r.student.classRank)
               .arg(r.classSize)
               .arg(r.student.yearRank)
               .arg(r.yearSize),
           11, true);
    y += 11;

    // Every question: score against the class's mean, as a bar per question.
    d.text(left, y, width, 7, QStringLiteral("各题得分（深色：本人；浅色：班级平均）"), 11, true);
    y += 8;
    const int questions = int(r.fullMarks.size());
    const double rowHeight = std::clamp(110.0 / std::max(1, questions), 3.6, 6.0);
    const double labelWidth = 16, valueWidth = 34, barWidth = width - labelWidth - valueWidth - 2;
    const double textSize = std::min(9.0, rowHeight * 1.9);
    for (int q = 0; q < questions; ++q) {
        const double full = r.fullMarks[q];
        const double own = r.student.scores.value(q), mean = r.classMeans.value(q);
        d.text(left, y, labelWidth, rowHeight, QStringLiteral("第%1题").arg(q + 1), textSize);
        if (full > 0) {
            d.box(left + labelWidth, y + rowHeight * 0.15, barWidth * mean / full, rowHeight * 0.35,
                  QColor(200, 215, 235));
            d.box(left + labelWidth, y + rowHeight * 0.5, barWidth * own / full, rowHeight * 0.35, QColor(40, 80, 150));
        }
        d.text(left + labelWidth + barWidth + 2, y, valueWidth, rowHeight,
               QStringLiteral("%1 / %2（均 %3）").arg(scoreText(own), scoreText(full), QString::number(mean, 'f', 1)),
               textSize);
        y += rowHeight;
    }
    y += 5;

    d.text(left, y, width, 7, QStringLiteral("失分最多的知识点"), 11, true);
    y += 8;
    if (r.weakest.isEmpty()) {
        d.text(left + 4, y, width - 4, 6, QStringLiteral("没有失分的知识点。"), 10);
        y += 7;
    }
    for (const LostPoint& p : r.weakest) {
        d.text(left + 4, y, width - 4, 6,
               QStringLiteral("%1：失 %2 分（共 %3 分）").arg(pointName(p.point), scoreText(p.lost), scoreText(p.full)),
               10);
        y += 6.5;
    }
    y += 4;
    d.text(left, y, width, 7, QStringLiteral("补救练习（题库中的试题）"), 11, true);
    y += 8;
    if (r.followUp.isEmpty())
        d.text(left + 4, y, width - 4, 6, QStringLiteral("题库中没有可用于补救练习的其他试题。"), 10);
    for (const FollowUpQuestion& f : r.followUp) {
        QStringList points;
        for (const QString& k : f.knowledge.split(u'|', Qt::SkipEmptyParts))
            points << pointName(k.trimmed());
        d.text(left + 4, y, width - 4, 6,
               QStringLiteral("题目编号 %1　%2　%3").arg(f.number, f.type, points.join(QStringLiteral("、"))), 10);
        y += 6.5;
    }
}

}  // namespace

QVector<FollowUpQuestion> followUpQuestions(Bank& bank, const PaperRecord& paper, const QVector<LostPoint>& lost,
                                            int count) {
    QVector<KnowledgeResult> points;
    for (const LostPoint& p : lost)
        if (p.lost > 0 && p.full > 0)
            points.push_back({p.point, 0, 1.0 - p.lost / p.full});
    QVector<FollowUpQuestion> out;
    if (points.isEmpty())
        return out;
    const RemedialSearch search = findRemedialQuestions(bank, paper, points);
    QStringList wanted;
    for (const KnowledgeResult& p : points)
        wanted << pointName(p.point);
    for (const QVector<int>& rows : search.offered) {
        if (out.size() >= count || rows.isEmpty())
            break;
        // The question's points over all its rows; those it shares with the
        // student's weak points are named, else all of them.
        QStringList all, shared;
        for (int row : rows)
            for (const QString& k : search.rows.text(row, QStringLiteral("知识点")).split(u'|', Qt::SkipEmptyParts)) {
                const QString name = pointName(k.trimmed());
                if (name.isEmpty() || all.contains(name))
                    continue;
                all << name;
                // Matched as the bank's search matches them: by the text.
                if (std::any_of(wanted.cbegin(), wanted.cend(),
                                [&](const QString& w) { return !w.isEmpty() && name.contains(w); }))
                    shared << name;
            }
        const int first = rows.first();
        out.push_back({search.rows.text(first, QStringLiteral("题目编号")),
                       search.rows.text(first, QStringLiteral("题型")), (shared.isEmpty() ? all : shared).join(u'|')});
    }
    return out;
}

QVector<StudentReport> studentReports(Bank& bank, const PaperRecord& paper, const ClassResults& results) {
    QVector<StudentReport> reports;
    QHash<QString, QVector<FollowUpQuestion>> followUpOf;  // by the weakest points
    const int everyone = int(results.classes.size());
    for (const StudentResult& s : results.students) {
        StudentReport r;
        r.title = paper.title;
        r.student = s;
        r.fullMarks = results.fullMarks;
        r.fullTotal = results.fullTotal;
        const int c = int(results.classes.indexOf(s.className));
        r.classMeans = results.questionMeans.value(c);
        r.classMean = results.totalMeans.value(c);
        for (int b : results.bands.value(c))
            r.classSize += b;
        for (int b : results.bands.value(everyone))
            r.yearSize += b;
        QVector<LostPoint> lost = lostPoints(paper, results.fullMarks, s.scores);
        while (!lost.isEmpty() && lost.last().lost <= 0)
            lost.removeLast();
        r.weakest = lost.mid(0, kWeakestPoints);
        QStringList key;
        for (const LostPoint& p : r.weakest)
            key << p.point;
        const QString k = key.join(u'\n');
        if (!followUpOf.contains(k))
            followUpOf.insert(k, followUpQuestions(bank, paper, lost));
        r.followUp = followUpOf.value(k);
        reports.push_back(r);
    }
    return reports;
}

QString studentReportName(const StudentResult& student) {
    QString name = student.examNumber.isEmpty() ? student.name : student.examNumber + u'-' + student.name;
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\s]")), QStringLiteral("_"));
    return name + QStringLiteral(".pdf");
}

void writeStudentReport(const StudentReport& report, const QString& path) {
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(300);
        writer.setTitle(report.title + QStringLiteral(" 成绩报告 ") + report.student.name);
        writer.setCreator(QStringLiteral("琢石-试题库"));
        QPainter painter;
        if (!painter.begin(&writer))
            throw StoreError(QStringLiteral("无法写入文件：\r%1").arg(QDir::toNativeSeparators(path)));
        drawReport(painter, 300 / 25.4, report);
        painter.end();
    }
    if (QFileInfo(path).size() == 0)
        throw StoreError(QStringLiteral("无法写入文件：\r%1").arg(QDir::toNativeSeparators(path)));
}

QStringList writeStudentReports(const QVector<StudentReport>& reports, const QString& folder,
                                const std::function<void(int, int)>& progress) {
    if (!QDir().mkpath(folder))
        throw StoreError(QStringLiteral("无法建立文件夹：\r%1").arg(QDir::toNativeSeparators(folder)));
    QStringList paths;
    for (int i = 0; i < reports.size(); ++i) {
        const QString path = QDir(folder).filePath(studentReportName(reports[i].student));
        writeStudentReport(reports[i], path);
        paths << path;
        if (progress)
            progress(i + 1, int(reports.size()));
    }
    return paths;
}

}  // namespace zs
