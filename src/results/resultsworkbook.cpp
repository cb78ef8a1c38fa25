#include "results/resultsworkbook.h"

#include "office/office.h"
#include "paper/specworkbook.h"

#include <QDir>
#include <QFileInfo>

namespace zs {

QString resultsWorkbookName(const QDateTime& when) {
    return QStringLiteral("成绩分析-") + outputStamp(when) + QStringLiteral("-琢石-试题库.xls");
}

QString percent(double share) {
    return QString::number(share * 100.0, 'f', 1) + u'%';
}

QString optionSharesText(const QVector<QPair<QString, double>>& shares) {
    QStringList parts;
    for (const auto& [answer, share] : shares)
        parts << answer + u' ' + percent(share);
    return parts.join(QStringLiteral("  "));
}

QList<QStringList> questionSheetRows(const PaperRecord& paper, const QVector<QuestionResult>& results) {
    QList<QStringList> rows;
    rows << QStringList{QStringLiteral("题号"),     QStringLiteral("题目编号"), QStringLiteral("试题识别码"),
                        QStringLiteral("题型"),     QStringLiteral("原难度"),   QStringLiteral("人数"),
                        QStringLiteral("满分"),     QStringLiteral("平均分"),   QStringLiteral("得分率"),
                        QStringLiteral("难度系数"), QStringLiteral("实测难度"), QStringLiteral("区分度"),
                        QStringLiteral("选项分布")};
    for (const QuestionResult& r : results) {
        const PaperQuestion q = paper.questions.value(r.number - 1);
        QStringList row{QString::number(r.number), q.questionNumber, q.code, q.type, q.difficulty};
        if (r.measured)
            row << QString::number(r.students) << QString::number(r.fullMark) << QString::number(r.mean, 'f', 2)
                << percent(r.rate) << QString::number(r.rate, 'f', 2) << r.difficulty
                << QString::number(r.discrimination, 'f', 2) << optionSharesText(r.optionShares);
        else
            row << QString() << QString() << QString() << QStringLiteral("未统计") << QString() << QString()
                << QString() << QString();
        rows << row;
    }
    return rows;
}

QList<QStringList> knowledgeSheetRows(const QVector<KnowledgeResult>& points) {
    QList<QStringList> rows;
    rows << QStringList{QStringLiteral("知识点"), QStringLiteral("题数"), QStringLiteral("得分率"),
                        QStringLiteral("备注")};
    for (int i = 0; i < points.size(); ++i)
        rows << QStringList{points[i].point, QString::number(points[i].questions), percent(points[i].rate),
                            i < kWeakestPoints ? QStringLiteral("薄弱") : QString()};
    return rows;
}

QString exportResultsWorkbook(Office& office, const PaperRecord& paper, const QVector<QuestionResult>& results,
                              const QVector<KnowledgeResult>& points, const QString& folder, const QDateTime& when) {
    if (!QFileInfo(folder).isDir())
        throw OfficeError(QStringLiteral("找不到保存成绩分析的文件夹：\r%1").arg(QDir::toNativeSeparators(folder)));
    const QString path = QDir(folder).filePath(resultsWorkbookName(when));
    const auto calc = office.startSpreadsheet();
    calc->setVisible(false);
    const auto book = calc->newWorkbook();
    const QString first = book->sheetNames().value(0);
    book->renameSheet(first, kQuestionSheet);
    book->addSheet(kKnowledgeSheet);
    for (const auto& [sheet, rows] : {qMakePair(kQuestionSheet, questionSheetRows(paper, results)),
                                      qMakePair(kKnowledgeSheet, knowledgeSheetRows(points))}) {
        book->setCellTexts(sheet, 1, 1, rows);
        const int columns = int(rows.first().size());
        for (int c = 1; c <= columns; ++c)
            book->setBold(sheet, 1, c, true);
        book->setRangeBorders(sheet, 1, 1, int(rows.size()), columns);
        book->fitColumns(sheet, QStringLiteral("a:") + QChar(u'a' + columns - 1));
    }
    // The weakest points stand out.
    for (int i = 0; i < points.size() && i < kWeakestPoints; ++i)
        book->setRangeBackground(kKnowledgeSheet, i + 2, 1, i + 2, 4, qRgb(255, 199, 206));
    book->activateSheet(kQuestionSheet);
    book->saveAs(path);
    book->close();
    calc->quit();
    return path;
}

}  // namespace zs
