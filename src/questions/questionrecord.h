#pragma once

#include "questions/scopeknowledge.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace zs {

class Bank;

// What a question screen holds when the teacher confirms: the ticked scopes in
// tree order with their knowledge points, the three settings and the two
// documents.
struct QuestionDraft {
    QStringList tickedPaths;
    const ScopeKnowledgeTable* knowledge = nullptr;
    bool typeChosen = false;
    bool difficultyChosen = false;
    bool sourceChosen = false;
    bool checkSource = true;  // the question picker does not ask for a source
    bool questionBound = false;
    bool answerBound = false;
};

// The outcome of checking a draft: the per-scope messages shown at once while
// the ticked scopes are walked, then one complaint message (empty: none).
struct DraftCheck {
    QStringList scopeMessages;
    QString complaint;
    bool passed() const { return complaint.isEmpty(); }
};

DraftCheck checkDraft(const QuestionDraft& draft);

// The message naming a ticked scope without knowledge points.
QString missingKnowledgeMessage(const QString& scopePath);

// An identification code: the entering teacher's name, "-", the number.
QString makeIdentificationCode(const QString& user, const QString& number);

// One question as stored: one row per scope.
struct QuestionRecord {
    QString number;
    QString code;
    QString type;
    QString difficulty;
    std::optional<QString> source;  // not written when empty
    QDate date;
    QString teacher;
    QList<QPair<QString, QString>> scopes;  // scope path, knowledge-point list
    // On a server bank, the revision of the rows the change was made on (the
    // value of their column 修订号 when they were read); none for new questions.
    std::optional<qlonglong> revision;
};

// The scopes of a draft that have knowledge rows, tree order, with their lists.
QList<QPair<QString, QString>> draftScopes(const QuestionDraft& draft);

// The refusals of a server bank when two teachers meet on one question.
inline const QString kChangedByOtherMessage = QStringLiteral("该题已被其他老师修改，请重新搜索后再修改。");
QString numberTakenMessage(const QString& number);

// Writes all rows of a new question in one transaction. On a server bank the
// number is locked for the transaction and refused (numberTakenMessage) when
// rows already carry it; its reservation ends with the rows stored.
void addQuestion(Bank& bank, const QuestionRecord& record);
// Replaces every row of `record.number` by the record's rows, in one transaction.
// The question keeps what its rows held about its history: the entry date and
// the entering teacher (the record's date and teacher are used only when the
// rows had none), the last use and the use count. On a server bank a record
// made on rows that another teacher changed or deleted since (their revision is
// not `record.revision`) is refused with kChangedByOtherMessage and nothing
// changes; the new rows get the next revision, which is returned (0 for a
// file bank).
qlonglong replaceQuestion(Bank& bank, const QuestionRecord& record);

// The revision of a question's rows in a result (the server bank's column
// 修订号), none for a file bank.
std::optional<qlonglong> revisionOf(const QVariant& value);

// Locks one question number on a server bank until the transaction ends, so
// that the writes of two teachers on one number follow each other.
void lockQuestionNumber(Bank& bank, const QString& number);

// Whether any row of the bank carries the question number.
bool hasRows(Bank& bank, const QString& number);

// The lists the question screens choose from, in the bank's order.
struct QuestionChoices {
    QStringList types;         // 题型
    QStringList difficulties;  // 难度
    QStringList sources;       // 试题来源
};
QuestionChoices questionChoices(Bank& bank);

// Counters of the entry screen.
int countQuestions(Bank& bank);
int countQuestionsEnteredOn(Bank& bank, const QDate& day);

}  // namespace zs
