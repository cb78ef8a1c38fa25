#pragma once

#include "paper/answercard.h"

#include <QHash>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

namespace zs::test {

// What stands in for the students' pencils, the copier and the phone: marks
// drawn into a rendered answer sheet as a hand would make them, then the page
// turned, scaled, blurred, thresholded or photographed. Every made page knows
// its truth, so the reader's answers can be checked.

struct PencilMark {
    enum class Shape { Fill, Tick, Cross, Erased };
    Shape shape = Shape::Fill;
    double coverage = 1.0;  // the part of the bubble the fill covers
    int grey = 55;          // the pencil's grey (0 black, 255 white)
};

// Draws a mark into a bubble of a page rendered at `dpi`.
void markBubble(QImage& page, const QRectF& bubbleMm, double dpi, const PencilMark& mark, quint32 seed);
// Fills the 考号 grid with `digits` ('?' or ' ' leaves a digit empty).
void markExamNumber(QImage& page, const CardLayout& layout, const QString& digits, double dpi, quint32 seed);
// Fills the options of a question ("B", "ACD").
void markAnswer(QImage& page, const CardLayout& layout, int question, const QString& answer, double dpi,
                const PencilMark& mark, quint32 seed);

// Every page of one student's sheet, rendered at `dpi` and filled in: the
// 考号, the objective answers (question → options) and, in the written
// answers' places, a line of writing.
QVector<QImage> filledSheet(const CardLayout& layout, const QString& examNumber, const QHash<int, QString>& answers,
                            double dpi, quint32 seed);

// A copier's scan-to-folder file of pictures taken at `dpi`: one PDF page per
// picture, or one multi-page TIFF.
void writeScanPdf(const QVector<QImage>& pages, double dpi, const QString& path);
void writeScanTiff(const QVector<QImage>& pages, const QString& path);

// How the page comes back from the copier or the phone.
struct ScanLook {
    double angleDegrees = 0;  // turned on the glass
    double scale = 1;         // the copier's zoom
    QPointF shiftMm;          // where it lay on the glass
    double noise = 0;         // grey noise, standard deviation in grey levels
    double blur = 0;          // Gaussian blur, pixels
    int jpegQuality = 0;      // 0: no JPEG artefacts
    bool blackAndWhite = false;
    bool upsideDown = false;
    double perspective = 0;  // 0 … 1: a photo up to 25° off the perpendicular
    double unevenLight = 0;  // 0 … 1: a shadow across the page
    double outputDpi = 0;    // 0: the page's own resolution
};
QImage scanOf(const QImage& page, double dpi, const ScanLook& look, quint32 seed);

}  // namespace zs::test
