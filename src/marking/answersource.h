#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

namespace zs {

// Where the answers marked on screen come from: for each question of a paper
// that is marked by hand, the students who have an answer to it and the
// picture of each answer (the area cut from the student's scanned sheet).
class AnswerSource {
public:
    virtual ~AnswerSource() = default;
    // The question numbers (from 1) whose answers are marked on screen.
    virtual QVector<int> questions() = 0;
    // The 考号 of the students with an answer to the question.
    virtual QStringList students(int question) = 0;
    // The picture of one student's answer; a null image when it cannot be
    // read (the screen says so).
    virtual QImage answer(const QString& examNumber, int question) = 0;
};

}  // namespace zs
