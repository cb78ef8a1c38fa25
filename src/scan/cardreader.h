#pragma once

#include "paper/answercard.h"

#include <QImage>
#include <QPointF>
#include <QString>
#include <QVector>
#include <functional>

namespace zs {

// Reading one scanned or photographed page of an answer sheet. The page is
// found by its QR code, aligned by its four corner marks onto the sheet's own
// geometry, and every bubble measured. Doubtful is a state of its own: a mark
// between the thresholds, two marks where one is allowed, a 考号 digit not
// filled, are said so and never guessed.

enum class MarkState { Blank, Filled, Doubtful };

// What a bubble's inside holds, above what the page's empty bubbles hold:
// its mean darkness (0 white, 1 black) and the part of it covered by pencil
// (pixels darker than mid grey). A fill is dark enough and covers most of
// the bubble; a blank holds next to nothing; a light fill, a fill of half the
// bubble, a tick, a cross or an erasure is between the two, and doubtful.
struct BubbleInk {
    double darkness = 0;
    double cover = 0;
};
inline constexpr double kFilledDarkness = 0.28;
inline constexpr double kFilledCover = 0.62;
inline constexpr double kBlankDarkness = 0.10;
inline constexpr double kBlankCover = 0.10;
MarkState markStateOf(const BubbleInk& ink);

// What one objective question reads.
struct QuestionReading {
    int question = 0;
    QString answer;  // the options filled, in order ("B", "ACD"); empty: none
    bool doubtful = false;
    QString why;             // why it is doubtful
    QVector<double> marks;   // each option's darkness, in the order of its bubbles
    bool confirmed = false;  // the teacher looked at it and said what it is
};

struct PageReading {
    // The page as found: empty when no QR code of a sheet was read.
    CardIdentity identity;
    // Why the page could not be read at all (no QR code, a sheet this bank
    // does not know, corner marks missing); empty when it was read.
    QString problem;
    QString examNumber;  // digits read; '?' where a digit is doubtful or missing
    bool examDoubtful = false;
    QString examWhy;
    bool absent = false;
    bool absentDoubtful = false;
    QVector<QuestionReading> questions;  // the objective questions on this page
    // The page turned and stretched onto the sheet's geometry at kAlignedDpi,
    // grey; crops of areas are cut from it.
    QImage aligned;

    bool read() const { return problem.isEmpty(); }
    // Anything on the page that needs the teacher's eye.
    bool doubtful() const;
};

// Dots per inch of the aligned page.
inline constexpr double kAlignedDpi = 200;

// The QR code of a sheet on a picture; an invalid identity when there is none.
CardIdentity findCardIdentity(const QImage& picture);

// Reads one picture. `layoutOf` gives the layout of a sheet key, or nullptr
// when the bank knows no such sheet.
PageReading readCardPage(const QImage& picture, const std::function<const CardLayout*(const QString& key)>& layoutOf);

// Reads the bubbles of an already aligned page (a kept page read again).
void readAlignedPage(PageReading& reading, const CardLayout& layout);

// The decision on one objective question from the darkness of its bubbles.
QuestionReading readQuestion(const CardQuestion& question, const QVector<BubbleInk>& ink);

// A rectangle of the layout (millimetres) cut from an aligned page, with a
// margin around it.
QImage cropAligned(const QImage& aligned, const QRectF& rectMm, double marginMm = 2);

}  // namespace zs
