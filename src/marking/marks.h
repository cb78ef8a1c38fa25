#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace zs {

class Bank;

// The scores given on screen to the written answers of a paper, one row per
// student and question (program table 阅卷得分). A score is stored the moment
// it is given, by one statement of its own, so a killed program loses
// nothing and two teachers marking other questions of one paper never touch
// each other's rows.
inline const QString kMarkTable = QStringLiteral("阅卷得分");

struct Mark {
    QString examNumber;  // 考号
    int question = 0;    // the question's number in the paper, from 1
    double score = 0;
    // Set aside to look at again ("问题卷"): the answer counts as not marked
    // yet, and its score (if any) as provisional.
    bool problem = false;
    QString marker;  // the teacher who gave it
    QDateTime when;
};

void ensureMarkTables(Bank& bank);

// Stores one score (replacing an earlier one of the same student and question).
void storeMark(Bank& bank, int paperId, const Mark& mark);
// Removes the score of one student and question (the teacher took it back).
void removeMark(Bank& bank, int paperId, const QString& examNumber, int question);

// The scores of one question of a paper, by 考号.
QHash<QString, Mark> questionMarks(Bank& bank, int paperId, int question);
// Every score of a paper.
QVector<Mark> paperMarks(Bank& bank, int paperId);

// Reads what the teacher typed as a score: a number from 0 to the full mark
// in steps of `step` ("7", "7.5", "７．５"); the reason it is refused otherwise.
struct ScoreEntry {
    std::optional<double> score;
    QString refusal;
};
ScoreEntry readScoreEntry(const QString& text, double fullMark, double step = 0.5);

// One question's marking: the students in the order their answers are shown,
// where the teacher stands, and what is marked.
class MarkingQueue {
public:
    // `order` seeds the anonymous order of the students (the same for every
    // teacher of one paper and question, so two teachers see one sequence).
    MarkingQueue(QStringList examNumbers, QHash<QString, Mark> marks, quint32 order = 0);

    int size() const { return int(students_.size()); }
    int position() const { return position_; }
    // The student shown now; empty when there is none.
    QString current() const { return students_.value(position_); }
    const QStringList& students() const { return students_; }
    std::optional<Mark> markOf(const QString& examNumber) const;

    // Records a score (or a problem) for a student and moves on to the next
    // answer that still needs a score, after the current one and round again
    // (problems come back after the others); stays when none needs one.
    void give(const Mark& mark);
    // Forgets the score of a student (after it was taken back).
    void forget(const QString& examNumber);
    // One back, one on (the teacher revisits earlier answers).
    bool back();
    bool forward();
    void moveTo(int position);
    // The first student without a score from the start; false when all are marked.
    bool toFirstUnmarked();

    // Marked: a score that is not a problem.
    bool needsMark(const QString& examNumber) const;
    int marked() const;
    int problems() const;
    // How many students got each score, in ascending order of score (problems
    // left out, as in the mean).
    QVector<QPair<double, int>> distribution() const;
    double mean() const;

private:
    QStringList students_;
    QHash<QString, Mark> marks_;
    int position_ = 0;
};

}  // namespace zs
