#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace zs {

class Bank;

// Questions whose rows composition cannot use until they are corrected on the
// browse screen (查看修改): a 难度 that is none of the bank's levels ("2.5",
// "abc"; an empty one is left alone), and a 题目编号 that rows of different
// questions (different 试题识别码) share, whose documents can belong to only one
// of them.
struct UnusableQuestions {
    QHash<QString, QString> badDifficulty;    // number → the 难度 its rows carry
    QHash<QString, QStringList> sharedCodes;  // number → the codes of the questions sharing it

    bool isEmpty() const { return badDifficulty.isEmpty() && sharedCodes.isEmpty(); }
    bool contains(const QString& number) const {
        return badDifficulty.contains(number) || sharedCodes.contains(number);
    }
    // Why a number is left out (empty when it is not).
    QString reason(const QString& number) const;
};

UnusableQuestions unusableQuestions(Bank& bank);

// What the start tells the teacher, and the numbers for its 详细信息; empty
// when nothing is wrong.
QString unusableQuestionsMessage(const UnusableQuestions& unusable);
QString unusableQuestionsDetails(const UnusableQuestions& unusable);

// The condition (" and (…)", in the bank's dialect) that leaves such rows out
// of a statement on 试题库.
QString usableQuestionsCondition();

// What the picker says about a question it does not place.
QString unusableQuestionRefusal(const UnusableQuestions& unusable, const QString& number);

// Gives the question with identification code `code` that shares `number` with
// other questions a number of its own: the next number no row, reservation or
// document carries. Its rows move to the new number and its documents start
// as copies of the shared number's (the teacher checks them). In one
// transaction; returns the new number.
QString renumberSharedQuestion(Bank& bank, const QString& number, const QString& code);

}  // namespace zs
