#pragma once

#include "paperimport/paperlayout.h"
#include "questions/similarity.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace zs {

class NumberPool;
class WordDocument;
class WordInstance;

// Why a paper cannot be imported (or an import was given up), for the teacher.
class PaperImportError : public std::runtime_error {
public:
    explicit PaperImportError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Told (done, total) during long work; returning false gives the work up.
using ImportProgress = std::function<bool(int done, int total)>;

// Why a file cannot be read as a Word paper (missing, not .doc or .docx, not a
// Word file inside), or an empty text.
QString paperFileProblem(const QString& path);

// The lists a question is filed with: the bank's types, difficulties and
// sources, in the bank's order.
struct BankChoices {
    QStringList types, difficulties, sources;
};
BankChoices readBankChoices(const QString& bankPath);

// How a question is filed: its scopes with their knowledge points, its
// difficulty and source.
struct FilingSettings {
    QList<QPair<QString, QString>> scopes;  // scope path, knowledge-point list
    QString difficulty;
    QString source;
};

// One question of a paper on its way into the bank.
struct ImportItem {
    DetectedQuestion detected;  // where the question and its answer lie
    QString label;              // its number in the paper ("7", "7（续）" after a split)
    QString type;               // the bank's type, as the teacher leaves it
    bool included = true;       // ticked for import
    FilingSettings settings;
    QString text;        // plain text of the question
    QString plainText;   // the same with its formulas, as similarity reads it
    QString answerText;  // plain text of the answer
    int pictures = 0, formulas = 0, tables = 0;
    QString questionFile, answerFile;  // its two documents, in the work folder
    std::optional<SimilarMatch> similar;

    // The notes of the review list: "无答案", "未定题型", "与 00123 相似度 94%".
    QStringList marks() const;
};

// A paper opened for import: read through the office, split into questions
// whose documents are written into a work folder (where the review screen
// previews them), corrected by the teacher, then written into a bank.
class PaperImport {
public:
    // `word` reads the paper and writes the documents; `workFolder` must exist.
    PaperImport(WordInstance& word, QString workFolder);
    ~PaperImport();
    PaperImport(const PaperImport&) = delete;
    PaperImport& operator=(const PaperImport&) = delete;

    // Reads the paper (and a separate answer document, when given), splits it
    // and writes every question's documents. Throws PaperImportError (not a
    // Word file, no question found) or OfficeError.
    void open(const QString& paperPath, const QString& answerPath, const QStringList& bankTypes,
              const ImportProgress& progress = {});
    // Closes the paper and the answer document.
    void close();

    const QList<ImportItem>& items() const { return items_; }
    ImportItem& item(int i) { return items_[i]; }
    int count() const { return int(items_.size()); }
    const PaperAnalysis& layout() const { return layout_; }
    // Messages about the split as a whole (answers without a question).
    QStringList notes() const;

    // The paragraphs of a question's part of the paper: block and text.
    QList<QPair<int, QString>> paragraphsOf(int i) const;
    // Joins item i to the one before it (the paper between them included).
    void mergeWithPrevious(int i);
    // Makes the paragraphs of item i from `block` on a question of their own
    // (without an answer), after it.
    void splitAt(int i, int block);

    // Flags the items like a question of the bank; flagged items are unticked.
    void checkSimilarity(const SimilarityIndex& bank);

private:
    void refresh(ImportItem& item);  // texts, counts and documents from its passages
    QString newFile(const QString& kind);
    const QList<DocumentBlock>& blocksOf(int document) const;
    WordDocument* documentOf(int document) const;

    WordInstance& word_;
    QString work_;
    std::unique_ptr<WordDocument> paper_, answers_;
    QList<DocumentBlock> paperBlocks_, answerBlocks_;
    PaperAnalysis layout_;
    QList<ImportItem> items_;
    QString emptyAnswer_;
    int files_ = 0;
};

// Why the ticked items cannot be written yet (type, scopes, knowledge points,
// difficulty or source missing, or nothing ticked), or an empty text.
QString importComplaints(const QList<ImportItem>& items);

// `count` free question numbers: from the pool (refilled first when it holds
// fewer), then, when the pool cannot give them all, the next numbers that have
// neither rows nor documents. Throws StoreError (also past 32767).
QStringList takeQuestionNumbers(NumberPool& pool, const QString& bankPath, int count);

// Writes the ticked items into the bank: their documents under free numbers,
// then all rows in one transaction, each question's identification code made
// from `teacher` and its number. On any failure (also when `progress` gives
// up) the documents written are removed again and the bank is as before.
// Returns the new numbers in order.
QStringList writeImportedQuestions(const QList<ImportItem>& items, const QString& bankPath, NumberPool& pool,
                                   const QString& teacher, const QDate& day, const ImportProgress& progress = {});

// The completion message of an import.
QString paperImportedMessage(const QStringList& numbers);

}  // namespace zs
