#pragma once

#include "questions/scopeknowledge.h"
#include "store/bank.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace zs {

class ScopeTreeModel;

// Caption words of the search combos: the first item of each, meaning any value.
inline const QString kAnyType = QStringLiteral("题型");
inline const QString kAnyDifficulty = QStringLiteral("难度");
inline const QString kAnySource = QStringLiteral("试题来源");
inline const QString kAnyAuthor = QStringLiteral("作者");

// What the search part of a browse screen holds.
struct SearchConditions {
    QString scopePath;  // the last ticked path of the search tree, empty when none is ticked
    QString type = kAnyType;
    QString difficulty = kAnyDifficulty;
    QString source = kAnySource;
    QString author = kAnyAuthor;
    QString knowledge;  // knowledge points separated by "|"
};

// The last ticked node's full path in tree order, or an empty text.
QString lastTickedPath(const ScopeTreeModel& tree);

// The search statement: the scope condition (always present, a prefix match on
// the path), then type, difficulty, source, author and one containment
// condition per "|"-part of the trimmed knowledge text.
QString BuildSearchQuery(const SearchConditions& conditions);

// The rows of the last search or go-to, in the order the store returned them,
// with a 1-based current position: 0 stands before the first row, count() + 1
// after the last. A question met by several scope rows is met once per row.
class ResultSet {
public:
    void load(Bank& bank, const QString& statement);
    void clear();

    const QString& statement() const { return statement_; }
    const RowSet& rows() const { return rows_; }
    int count() const { return rows_.count(); }
    bool isEmpty() const { return rows_.isEmpty(); }
    int position() const { return position_; }
    bool hasCurrent() const { return position_ >= 1 && position_ <= count(); }
    // Moves to a row (clamped to 0 … count() + 1).
    void moveTo(int position);

    // A column of the current row (empty text / null without a current row).
    QString text(const QString& column) const { return rows_.text(position_ - 1, column); }
    bool isNull(const QString& column) const { return rows_.isNull(position_ - 1, column); }

    // Drops every row of a question number without running the statement again;
    // the current position keeps its number, so it now names the row after the
    // dropped ones (or lies after the last row).
    void dropNumber(const QString& number);

private:
    QString statement_;
    RowSet rows_;
    int position_ = 0;
};

// The search, paging, jump and go-to rules of the browse screens. Each command
// returns the message refusing it, or an empty text when the position moved.
class QuestionBrowser {
public:
    bool SearchDone = false;
    ResultSet results;

    // Runs a search statement and stands on its first row.
    void search(Bank& bank, const QString& statement);

    QString previous();
    QString next();

    struct JumpOutcome {
        QString refusal;         // empty: moved
        bool clearText = false;  // the jump box is emptied
    };
    JumpOutcome jump(const QString& text);

    // The go-to answer as the search formats it: a number is zero-padded to five
    // digits (rounded to a whole number), other text stays as typed.
    static QString formatAnswer(const QString& answer);
    // Replaces the result set with the whole bank and stands on the first row
    // whose number equals the formatted answer or whose code contains it upper-
    // cased. Returns the message for an empty answer or a miss (then the result
    // set and its position stay as they were), or an empty text.
    QString goTo(Bank& bank, const QString& answer);

    // Why a change or a deletion cannot act now (not searched, nothing on
    // display), or an empty text.
    QString changeRefusal() const;
    QString deletionRefusal() const;
    // The refusal for a displayed row that carries no question number.
    static QString withoutNumberRefusal(const QString& action);

    // After a deletion: runs the statement again; stands on the old position when
    // it is less than the new count, otherwise on the first row.
    void repositionAfterDeletion(Bank& bank, int oldPosition);
};

// The question on display: the current row's values and the question's scope
// records (all rows of its number, in stored order).
struct DisplayedQuestion {
    QString number;
    QString code;
    QString type;
    QString difficulty;
    std::optional<QString> source;          // none when the row has no source
    QList<QPair<QString, QString>> scopes;  // 考查范围, 知识点 of each record
    std::optional<qlonglong> revision;      // of its rows when searched (server banks)
};

// The teachers the author box of a search offers: the registered users and
// everyone who entered a question.
QStringList authorChoices(Bank& bank);

// The statement of the rows of the question with this identification code.
QString questionByCodeQuery(const QString& code);

// The statement listing the scope records of a question number.
QString scopeRecordsQuery(const QString& number);

// Reads the question of the result set's current row.
DisplayedQuestion loadDisplayedQuestion(Bank& bank, const ResultSet& results);

// The question's own knowledge points for one of its scopes, in stored order
// (none when the question is not filed under the scope).
QStringList storedKnowledgePoints(const DisplayedQuestion& question, const QString& scopePath);

// Adds the knowledge row of a ticked scope of the question on display: the
// section's catalogue points as candidates, the question's own points of that
// scope selected in stored order, and those removed from the candidates. The
// scope must reach a section (see reachesSection).
ScopeKnowledgeRow& addQuestionKnowledgeRow(Bank& bank, ScopeKnowledgeTable& table, const QString& scopePath,
                                           const DisplayedQuestion& question);

// Deletion of a question: both documents beside the bank (question first),
// then every row of the number.
QString deleteStatement(const QString& number);
void deleteQuestion(Bank& bank, const QString& number);
QString deletionQuestionText();
QString deletionQuestionTitle(const QString& number);
QString deletedMessage(const QString& number);

}  // namespace zs
