#pragma once

#include "paper/papersettings.h"

#include <QString>
#include <QVector>
#include <optional>

namespace zs {

class WordDocument;

// The documents of a paper.
enum class PaperDocument { Paper, Answers, Review, AnswerSheet };

// Writes the exam header at the top of a document whose text was cleared: the
// title and subtitle, then for the paper the time and full mark and, on an A4
// paper, the student line; the answer key, the review paper and the answer
// sheet name themselves under the title. Ends on an empty body paragraph.
void writeExamHeader(WordDocument& doc, PaperDocument kind, const PaperSettings& settings, std::optional<int> fullMark);

// How an answer sheet takes the answer of a question type.
enum class AnswerKind {
    Choice,     // a row of option boxes [A] [B] [C] [D]
    TrueFalse,  // [√] [×]
    Blank,      // a numbered line
    Area,       // a framed area with the number and the score
};
AnswerKind answerKindOf(const QString& type);
// Height of the framed area of a type (millimetres).
double answerAreaHeightMm(const QString& type);
// The option boxes of a question, as the sheet writes them.
QString optionBoxes(AnswerKind kind);

struct SheetQuestion {
    int number = 0;
    QString type;
    std::optional<int> score;
};
struct SheetSection {
    QString heading;  // as in the paper, without the final line break
    QVector<SheetQuestion> questions;
};

// The body of an answer sheet after its header: the 考号 grid, the notes for
// the student, then every section with its heading and one answer place per
// question, numbered as in the paper.
void writeAnswerSheet(WordDocument& doc, const QVector<SheetSection>& sections);

// Digits of the 考号 grid.
inline constexpr int kExamNumberDigits = kExamDigitsDefault;

}  // namespace zs
