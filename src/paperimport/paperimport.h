#pragma once

#include "paperimport/paperlayout.h"
#include "questions/similarity.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMap>
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
    QString questionFile, answerFile;       // its own two documents, in the work folder
    QByteArray questionStamp, answerStamp;  // their contents' digests as the split wrote them
    std::optional<SimilarMatch> similar;

    // Whether the teacher changed the document (编辑) since the split wrote it.
    bool questionEdited() const;
    bool answerEdited() const;
    // Whether it has an answer: one found in the paper, or one the teacher wrote.
    bool hasAnswer() const;

    // The notes of the review list: "无答案", "未定题型", "与 00123 相似度 94%".
    QStringList marks() const;
};

// The private folder one split works in, in `tempFolder`, named after this
// program's process so that a later start can tell it from a running
// program's. Empty when it cannot be made.
QString makeSplitFolder(const QString& tempFolder);
// Removes the split folders (with the copies of papers and the office's lock
// files in them) that programs killed before they could clean up left in
// `tempFolder`: only those whose program is no longer running. Returns the
// folders removed.
QStringList removeStaleSplitFolders(const QString& tempFolder);

// A paper opened for import: copied into the work folder (the teacher's own
// files are never opened), read through the office, split into questions
// whose documents are written into the work folder (where the review screen
// previews them), corrected by the teacher, then written into a bank. Every
// question owns its two documents from the split on.
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
    // Joins item i to the one before it (the paper between them included);
    // their answers are joined document to document, keeping what the teacher
    // changed in them. Throws PaperImportError when a question document of the
    // two was changed (编辑).
    void mergeWithPrevious(int i);
    // Makes the paragraphs of item i from `block` on a question of their own
    // (without an answer), after it. Throws PaperImportError when its question
    // document was changed.
    void splitAt(int i, int block);
    // Moves the paragraphs of item i's question from `block` on to the front
    // of its answer (a split that took the answer for part of the question).
    // Throws PaperImportError when its question document was changed.
    void moveToAnswer(int i, int block);
    // Gives item i's answer (its document as it is now) to item `to`, whose
    // own answer, when it has one, must be empty; item i is left without one.
    void giveAnswer(int i, int to);

    // Flags the items like a question of the bank; flagged items are unticked.
    void checkSimilarity(const SimilarityIndex& bank);

private:
    void refresh(ImportItem& item);  // texts, counts and documents from its passages
    QString newFile(const QString& kind);
    void writeQuestion(ImportItem& item);
    void writeAnswer(ImportItem& item);
    void refuseEdited(const ImportItem& item, const QString& what) const;
    const QList<DocumentBlock>& blocksOf(int document) const;
    WordDocument* documentOf(int document) const;

    WordInstance& word_;
    QString work_;
    std::unique_ptr<WordDocument> paper_, answers_;
    QList<DocumentBlock> paperBlocks_, answerBlocks_;
    PaperAnalysis layout_;
    QList<ImportItem> items_;
    QString blankDocument_;  // an empty document every question without an answer gets a copy of
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

// The score each type of the ticked items has in the paper, for the types the
// bank has no score for yet (the score most of them have), as 分值设置 keeps it.
QMap<QString, double> typeScoresToOffer(const QList<ImportItem>& items, const QString& bankPath);
// Sets these type scores in the bank.
void saveTypeScores(const QString& bankPath, const QMap<QString, double>& scores);

// The completion message of an import.
QString paperImportedMessage(const QStringList& numbers);

}  // namespace zs
