#pragma once

#include "office/wordprocessor.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zs {

// What the paragraphs of an exam paper are: section headings, numbered
// questions, the answer section and the answers in it. Works on the blocks
// the office reads from the paper (and from a separate answer document); the
// program never reads a Word file itself.

// The number at the start of a paragraph that opens a question or an answer:
// "1." "1．" "1、" "1)" "1）" (half- or full-width digits, blanks around).
// "3．4" (a full-width point) is the answer 4 of question 3; "11.0既不是正数"
// may be question 11 or a decimal, and counts as a question only where the
// numbering expects it.
struct NumberedStart {
    int number = 0;
    int length = 0;            // characters of the number, its mark and the blanks after it
    bool decimalLike = false;  // a half-width point followed by a digit
};
std::optional<NumberedStart> numberedStart(const QString& paragraph);

// Every numbered item inside a paragraph of short answers ("1．C　2．B　3．D"):
// the first at its start, the others after a blank, numbered one after another.
// One entry when the paragraph holds a single answer; none when it does not
// start with a number.
struct InlineItem {
    int number = 0;
    int start = 0;      // where the number starts
    int textStart = 0;  // where its text starts
};
QList<InlineItem> inlineItems(const QString& paragraph);

// A section heading: "一、选择题（每小题3分，共30分）", "第二部分 非选择题",
// or a short paragraph that starts with a question kind ("填空题（每空2分）").
bool isSectionHeading(const QString& paragraph);

// The type of the bank's type list a heading names: a type it contains, else
// the type its kind of question means (选择题 → 单选题 unless it says 多选 or
// 不定项 → 多选题, 简答题 → 解答题 …); empty when the list has none of them.
QString typeForHeading(const QString& heading, const QStringList& bankTypes);

// The heading of an answer section: "参考答案", "答案与解析", "答案",
// "四、参考答案及评分标准", "【参考答案】" …
bool isAnswerHeading(const QString& paragraph);

// The score of every question of a section as its heading states it
// ("每小题3分", or "共10小题，共30分"); none when it does not.
std::optional<double> headingScore(const QString& heading);
// The score of each blank when the heading counts by blanks ("每空2分").
std::optional<double> headingBlankScore(const QString& heading);
// The blanks a question leaves to fill: runs of underscores ("____"), at
// least one.
int blanksIn(const QString& questionText);
// The score a question states at its start ("（6分）", "本小题满分8分").
std::optional<double> questionScore(const QString& firstParagraph);
// A score as the review list shows it: "3", "2.5".
QString scoreText(double score);

// What a downloaded paper carries that belongs to no question: the headings
// of its parts ("第II卷（非选择题）") and their notes ("请点击修改第II卷的文字
// 说明"), the 评卷人/得分 boxes, 注意事项, the sealing-line text, page lines
// ("第1页，共4页") and the title line with the school and the school year.
bool isPaperFurniture(const DocumentBlock& block);

// Where a question or an answer lies.
struct Passage {
    enum Document { None = -1, Paper = 0, Answers = 1 };
    int document = None;
    BlockRange range;
    bool isValid() const { return document != None; }
};

struct PaperSection {
    int block = -1;  // the heading's block in the paper
    QString heading;
    QString type;  // from the heading; empty when it names none
    std::optional<double> score;
    std::optional<double> blankScore;  // "每空2分"
};

struct DetectedQuestion {
    int number = 0;    // as the paper numbers it
    int section = -1;  // index into PaperAnalysis::sections; -1 before any heading
    QString type;      // the section's type
    std::optional<double> score;
    Passage question;
    Passage answer;  // invalid when no answer was found
};

struct PaperAnalysis {
    QList<PaperSection> sections;
    QList<DetectedQuestion> questions;
    int answerSection = -1;   // block of the paper's answer heading (-1: none)
    QList<int> strayAnswers;  // numbers of answers that match no question
    // Paper furniture met among the questions and answers, left out of them.
    QStringList dropped;
};

// Splits a paper into questions and finds their answers: in `answers` (the
// blocks of a separate answer document) when it is not empty, else in the
// paper's own answer section. Questions are numbered one after another over
// the sections; a section may start again at 1. Paragraphs before the first
// question (title, notes) and between a heading and its first question
// (instructions) belong to no question; blank paragraphs at the end of a
// question or answer are left out. Answers are matched to questions by their
// number (the k-th answer numbered n to the k-th question numbered n).
// Where each question is followed by its own answer, the answer block runs
// from its first 【答案】/【解析】/【详解】/【分析】/【点睛】 paragraph to the next
// question; inside it only the next number at a paragraph's start, followed
// by text (not "4.5×2=9"), starts that question. Paper furniture
// (isPaperFurniture) ends a question or answer and is left out.
PaperAnalysis analysePaper(const QList<DocumentBlock>& paper, const QList<DocumentBlock>& answers,
                           const QStringList& bankTypes);

// The plain text of a passage, its paragraphs joined by character 13; with
// `formulas`, each paragraph followed by its formulas as similarity reads
// them (plainTextOf).
QString passageText(const QList<DocumentBlock>& blocks, const BlockRange& range, bool formulas = false);

// Whether a block has nothing in it: no text but blanks, no picture, no
// formula, no object, not a table.
bool isBlankBlock(const DocumentBlock& block);

}  // namespace zs
