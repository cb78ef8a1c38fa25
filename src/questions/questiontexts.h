#pragma once

#include "questions/similarity.h"

#include <QList>
#include <QPair>
#include <QString>
#include <functional>

namespace zs {

// Reads the plain text of a question document (through the office).
using DocumentTextReader = std::function<QString(const QString& documentPath)>;
// Told (done, total) while documents are read; returning false stops the
// reading (what was read so far stays cached).
using TextProgress = std::function<bool(int done, int total)>;

// The name of the bank table that caches the plain texts of the question
// documents, one row per question number with the size and modification time
// of the document it was read from. Made when it is first needed; a bank
// without it is an ordinary bank.
inline const QString kTextCacheTable = QStringLiteral("试题文本");

// The plain texts of the questions of a bank: every question number with a
// question document, in number order. Texts come from the cache when the
// document is unchanged (same size and modification time) and are read through
// `read` (and cached) otherwise. Cache rows of numbers the bank no longer has
// are dropped. A bank that cannot be written (another teacher's, read-only) is
// read without caching. Throws StoreError; a document the office cannot read
// counts as empty.
QList<QPair<QString, QString>> questionTexts(const QString& bankPath, const DocumentTextReader& read,
                                             const TextProgress& progress = {});

// A similarity index of the bank's questions (questionTexts).
SimilarityIndex bankSimilarityIndex(const QString& bankPath, const DocumentTextReader& read,
                                    const TextProgress& progress = {});

// The statement that finds every row of the given questions (a pair of
// similar questions shown in the browse screen).
QString questionsStatement(const QStringList& numbers);

}  // namespace zs
