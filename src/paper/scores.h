#pragma once

#include "paper/spectable.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace zs {

class Bank;

// Scores are whole tenths of a point: 3分 is 30, 2.5分 is 25.

// The score a teacher typed: a positive number with at most one decimal (3,
// 2.5, "3分", full-width digits too), at most 1000; nothing for anything else.
std::optional<int> parseScore(const QString& text);
// "3", "2.5".
QString scoreText(int tenths);
// What a teacher is told about a score that is not one.
inline const QString kScoreRule = QStringLiteral("分值要填写一个正数，最多一位小数，例如 3 或 2.5。");

// The score of each question type, set once per bank (table 题型分值).
class TypeScores {
public:
    // The bank's types in their stored order, with the scores set for them.
    static TypeScores load(Bank& bank);
    // Replaces the stored scores by these; types without a score are removed.
    void save(Bank& bank) const;

    const QStringList& types() const { return types_; }
    std::optional<int> of(const QString& type) const;
    void set(const QString& type, std::optional<int> tenths);
    bool isEmpty() const { return scores_.isEmpty(); }

private:
    QStringList types_;
    QMap<QString, int> scores_;
};

// The score of a data row: that of its 分值 cell when it holds one, else its
// type's; nothing for a row without a question.
std::optional<int> rowScore(const SpecTable& table, int row, const TypeScores& types);
// A copy of the table whose 分值 cells hold each row's score (empty where it
// has none): what the workbook and the paper are written from.
SpecTable withScores(const SpecTable& table, const TypeScores& types);
// Gives the question of `row` a score on every row that holds it; an empty
// text gives it back its type's score.
void setQuestionScore(SpecTable& table, int row, const std::optional<int>& tenths);

// The scores of a paper: the 分值 cells of its placed rows (see withScores).
struct PaperScores {
    QVector<std::optional<int>> scores;  // of each placed question, in paper order
    int total = 0;                       // tenths
    int scored() const;
    bool any() const { return scored() > 0; }
    bool all() const { return scored() == scores.size(); }
    // Paper numbers (1, 2, …) of the questions without a score.
    QVector<int> unscored() const;
};
PaperScores paperScores(const SpecTable& scoredTable);
// The score in points of each placed question in paper order (index 0 is
// question 1), from a table as withScores makes it; 0 for a question without
// one, and an empty list when the paper has no scores at all.
QVector<double> placedScores(const SpecTable& scoredTable);

}  // namespace zs
