#pragma once

#include "office/wordprocessor.h"
#include "paper/scores.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zs {

class Bank;

// The 考号 of a school: this many digits unless the teacher sets others.
inline constexpr int kExamDigitsDefault = 8;
inline constexpr int kExamDigitsMin = 4;
inline constexpr int kExamDigitsMax = 14;

// How a paper is printed.
enum class PaperLayout {
    A4Portrait,    // A4 portrait, one column: the templates' own page
    A3TwoColumns,  // A3 landscape, two columns, a sealing line on odd pages
    K8TwoColumns,  // 8K (368 × 260 mm) landscape, two columns, a sealing line
};

// What the teacher sets for one paper before it is generated. The defaults
// give the paper the program always wrote: the templates' own title block and
// page, no answer sheet, Word 97 documents only.
struct PaperSettings {
    QString school;                    // a line above the title (remembered per bank)
    QString title;                     // empty: the templates' own title block
    QString subtitle;                  // a second line under the title (subject, class)
    int minutes = 0;                   // time allowed; 0: not stated
    std::optional<int> intendedTotal;  // the full mark the teacher means, tenths
    PaperLayout layout = PaperLayout::A4Portrait;
    bool answerSheet = false;
    // Digits of the 考号 the school gives (the filling grid of the
    // machine-readable answer sheet); set once per bank.
    int examDigits = kExamDigitsDefault;
    bool docx = false;  // a Word 2007 copy of every document
    bool pdf = false;   // a PDF of every document

    bool twoColumns() const { return layout != PaperLayout::A4Portrait; }
    // The program writes the exam header and page numbers itself: a title was
    // given or a two-column layout chosen.
    bool examForm() const { return !title.isEmpty() || !school.isEmpty() || twoColumns(); }

    // The settings the teacher last generated a paper with (remembered in the
    // bank), or the defaults.
    static PaperSettings load(Bank& bank);
    void save(Bank& bank) const;
};

// The title of one paper of an A/B pair: "期中考试（A卷）", or the mark alone
// when the teacher gave no title.
QString markedTitle(const QString& title, const QString& mark);

// The captions of the layouts, in the order of PaperLayout.
const QStringList& layoutCaptions();

// What the settings screen reads: the texts and choices as the teacher left them.
struct PaperSettingsInput {
    QString title, subtitle, minutes, intendedTotal, school;
    int layout = 0;
    bool answerSheet = false, docx = false, pdf = false;
    int examDigits = kExamDigitsDefault;
};
// The settings of the input, or the complaints about it (one line each,
// nothing is taken while any stands). `scores` are the paper's.
struct PaperSettingsCheck {
    PaperSettings settings;
    QStringList complaints;
    // Set when the scores' total is not the intended full mark.
    QString totalWarning;
};
PaperSettingsCheck checkPaperSettings(const PaperSettingsInput& input, const PaperScores& scores);
// "各题分值合计95分，与预定总分100分不一致。" or empty.
QString totalMismatch(const PaperScores& scores, std::optional<int> intendedTotal);

// ----------------------------------------------------------------- the paper's texts

// The section heading: with scores for every question of the section
// "一、单选题（本题共10小题，每小题3分，共30分）" or, when they differ,
// "（本题共3小题，共14分）"; without, "一、单选题（共有N道小题）" with N the
// type's questions in the whole paper. Ends with character 13.
QString sectionHeading(int section, const QString& type, int paperCount, const QVector<std::optional<int>>& scores);
// "3." or, with a score, "3.（4分）".
QString questionLabel(int number, std::optional<int> score);
// The student information line of an A4 paper and an answer sheet, its
// blanks as long as one line of `widthMm` (0: any width) allows in text of
// `pointSize`.
QString studentLine(bool withExamNumber = true, double widthMm = 0, double pointSize = 12);
// "考试时间：120分钟　满分：100分" (each part only when set), or empty.
QString timeAndMarkLine(int minutes, std::optional<int> fullMark);

// The page of each layout (nothing for A4: the templates' own page).
std::optional<PageSetup> paperPage(PaperLayout layout);
// The sealing line of a two-column layout: the student fields, "密 封 线 内 不
// 要 答 题" and a dashed line down the left margin.
PageDecoration sealingLine(PaperLayout layout);
// The footer of an exam paper.
inline const QString kPageNumberFooter = QStringLiteral("第 {PAGE} 页 共 {NUMPAGES} 页");

}  // namespace zs
