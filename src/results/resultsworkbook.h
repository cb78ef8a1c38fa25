#pragma once

#include "results/resultstats.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace zs {

class Office;

// "成绩分析-" + stamp + "-琢石-试题库.xls"
QString resultsWorkbookName(const QDateTime& when);

inline const QString kQuestionSheet = QStringLiteral("小题分析");
inline const QString kKnowledgeSheet = QStringLiteral("知识点分析");

// The cells of the two sheets, header row first: the figures of every
// question beside the paper's question, and the knowledge points weakest
// first (the weakest three marked "薄弱").
QList<QStringList> questionSheetRows(const PaperRecord& paper, const QVector<QuestionResult>& results);
QList<QStringList> knowledgeSheetRows(const QVector<KnowledgeResult>& points);

// "0.5" → "50.0%"
QString percent(double share);
// The option shares as "A 12.5%  B 80.0%  未答 7.5%".
QString optionSharesText(const QVector<QPair<QString, double>>& shares);

// Writes the analysis into a new workbook in `folder` and returns its path.
// Throws OfficeError naming the file when it cannot be written.
QString exportResultsWorkbook(Office& office, const PaperRecord& paper, const QVector<QuestionResult>& results,
                              const QVector<KnowledgeResult>& points, const QString& folder, const QDateTime& when);

}  // namespace zs
