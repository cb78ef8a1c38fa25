#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zs::demo {

// The sources of the demo bank, by their number ("1-期中考试" …).
enum Source { kMidterm = 1, kFinal = 2, kHomework = 3, kEntranceExam = 4 };
QStringList sourceNames();

// A section a question is filed under: the section's number in its textbook
// ("1.1") and the knowledge points it tests there, by name without prefix.
struct QuestionScope {
    QString section;
    QStringList points;
};

// One question of the demo bank with its question and answer text.
//
// Texts are paragraphs separated by "\n". A paragraph "[图:name]" is the named
// figure (figures.h); a leading "【…】" is printed bold, as exam answer keys do.
struct DemoQuestion {
    QString type;        // one of the eight types
    QString difficulty;  // "0.1" … "1.0"
    int source = kHomework;
    QList<QuestionScope> scopes;
    QString question;
    QString answer;
};

QList<DemoQuestion> mathQuestions();
QList<DemoQuestion> physicsQuestions();

}  // namespace zs::demo
