#include "scan/cardreader.h"

#define ZX_USE_UTF8 1
#include <QHash>
#include <QPainter>
#include <ZXing/ReadBarcode.h>
#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <qrencode.h>

namespace zs {

namespace {

constexpr double kPxPerMm = kAlignedDpi / 25.4;

cv::Mat greyMat(const QImage& picture) {
    QImage flat = picture;
    if (picture.hasAlphaChannel()) {
        // A rendered PDF page is transparent where nothing is printed: paper is white.
        flat = QImage(picture.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, picture);
    }
    const QImage grey =
        flat.format() == QImage::Format_Grayscale8 ? flat : flat.convertToFormat(QImage::Format_Grayscale8);
    return cv::Mat(grey.height(), grey.width(), CV_8UC1, const_cast<uchar*>(grey.constBits()),
                   size_t(grey.bytesPerLine()))
        .clone();
}

QImage greyImage(const cv::Mat& m) {
    return QImage(m.data, m.cols, m.rows, int(m.step), QImage::Format_Grayscale8).copy();
}

struct FoundQr {
    QString text;
    std::array<cv::Point2f, 4> corners;  // the symbol's own top left, top right, bottom right, bottom left
};

std::optional<FoundQr> decodeQr(const cv::Mat& grey, bool harder) {
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(harder);
    hints.setTryRotate(true);
    hints.setTryDownscale(true);
    const ZXing::ImageView view(grey.data, grey.cols, grey.rows, ZXing::ImageFormat::Lum, int(grey.step));
    for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints)) {
        if (!result.isValid())
            continue;
        const QString text = QString::fromStdString(result.text());
        if (!readCardIdentity(text).valid())
            continue;
        const auto& p = result.position();
        FoundQr found{text,
                      {cv::Point2f(p.topLeft().x, p.topLeft().y), cv::Point2f(p.topRight().x, p.topRight().y),
                       cv::Point2f(p.bottomRight().x, p.bottomRight().y),
                       cv::Point2f(p.bottomLeft().x, p.bottomLeft().y)}};
        return found;
    }
    return std::nullopt;
}

std::optional<FoundQr> findQr(const cv::Mat& grey) {
    if (std::optional<FoundQr> found = decodeQr(grey, true))
        return found;
    // A small code (a photo from afar, a low resolution): each corner of the
    // picture, where the code stands however the page lies, looked at twice
    // as large.
    const int w = grey.cols * 9 / 20, h = grey.rows * 3 / 10;
    for (const cv::Point& at : {cv::Point(grey.cols - w, 0), cv::Point(0, grey.rows - h), cv::Point(0, 0),
                                cv::Point(grey.cols - w, grey.rows - h)}) {
        cv::Mat corner;
        cv::resize(grey(cv::Rect(at.x, at.y, w, h)), corner, cv::Size(), 2, 2, cv::INTER_CUBIC);
        if (std::optional<FoundQr> found = decodeQr(corner, true)) {
            for (cv::Point2f& p : found->corners)
                p = p * 0.5f + cv::Point2f(float(at.x), float(at.y));
            return found;
        }
    }
    return std::nullopt;
}

// The symbol's corners on the sheet (millimetres), as drawn: inside a quiet
// zone of four modules.
std::array<cv::Point2f, 4> qrSymbolOnSheet(const CardLayout& layout, int page) {
    int modules = 25;
    if (QRcode* code = QRcode_encodeString(layout.qrText(page).toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1)) {
        modules = code->width;
        QRcode_free(code);
    }
    const QRectF r = layout.qrRect();
    const double module = r.width() / (modules + 8);
    const QRectF s = r.adjusted(4 * module, 4 * module, -4 * module, -4 * module);
    return {cv::Point2f(s.left(), s.top()), cv::Point2f(s.right(), s.top()), cv::Point2f(s.right(), s.bottom()),
            cv::Point2f(s.left(), s.bottom())};
}

// The solid square nearest to `expected` within `radius` pixels whose side is
// about `side` pixels; its centre.
std::optional<cv::Point2f> findMark(const cv::Mat& grey, cv::Point2f expected, double side, double radius,
                                    const std::vector<cv::Point2f>& keepOut) {
    const cv::Rect window =
        cv::Rect(int(expected.x - radius), int(expected.y - radius), int(2 * radius), int(2 * radius)) &
        cv::Rect(0, 0, grey.cols, grey.rows);
    if (window.width < side || window.height < side)
        return std::nullopt;
    // Dark against its surroundings: a shadow or the table beyond the page's
    // edge does not join the mark.
    cv::Mat binary;
    const int block = int(side * 3) | 1;
    cv::adaptiveThreshold(grey(window), binary, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY_INV, block, 30);
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(binary, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    std::optional<cv::Point2f> best;
    double bestDistance = radius * 2;
    const double expectedArea = side * side;
    for (const auto& contour : contours) {
        const double area = cv::contourArea(contour);
        if (area < 0.55 * expectedArea || area > 2.8 * expectedArea)
            continue;
        const cv::RotatedRect box = cv::minAreaRect(contour);
        const double w = box.size.width, h = box.size.height;
        // Square and solid: a filled bubble is an ellipse half as high again as wide.
        if (w < 1 || h < 1 || w / h < 0.68 || w / h > 1.47 || area / (w * h) < 0.8)
            continue;
        const cv::Moments m = cv::moments(contour);
        if (m.m00 <= 0)
            continue;
        const cv::Point2f centre(float(m.m10 / m.m00) + window.x, float(m.m01 / m.m00) + window.y);
        // The QR code's finder patterns are solid squares too.
        if (cv::pointPolygonTest(keepOut, centre, false) >= 0)
            continue;
        const double distance = cv::norm(centre - expected);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = centre;
        }
    }
    return best;
}

// The paper's own brightness, evened out: shadows of a photo and a copier's
// grey background count as white.
cv::Mat evenOut(const cv::Mat& aligned) {
    cv::Mat small, background;
    cv::resize(aligned, small, cv::Size(), 0.25, 0.25, cv::INTER_AREA);
    cv::morphologyEx(small, small, cv::MORPH_CLOSE, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(13, 13)));
    cv::GaussianBlur(small, small, cv::Size(9, 9), 0);
    cv::resize(small, background, aligned.size(), 0, 0, cv::INTER_LINEAR);
    cv::max(background, 1, background);
    cv::Mat even;
    cv::divide(aligned, background, even, 255.0);
    return even;
}

// What the inside of a bubble holds, clear of its printed outline.
BubbleInk bubbleInk(const cv::Mat& even, const QRectF& rectMm) {
    const double cx = rectMm.center().x() * kPxPerMm, cy = rectMm.center().y() * kPxPerMm;
    const double ax = rectMm.width() / 2 * kPxPerMm * 0.72, ay = rectMm.height() / 2 * kPxPerMm * 0.66;
    const int x0 = std::max(0, int(cx - ax)), x1 = std::min(even.cols - 1, int(cx + ax) + 1);
    const int y0 = std::max(0, int(cy - ay)), y1 = std::min(even.rows - 1, int(cy + ay) + 1);
    double sum = 0;
    int count = 0, dark = 0;
    for (int y = y0; y <= y1; ++y) {
        const uchar* row = even.ptr<uchar>(y);
        const double dy = (y - cy) / ay;
        for (int x = x0; x <= x1; ++x) {
            const double dx = (x - cx) / ax;
            if (dx * dx + dy * dy > 1)
                continue;
            sum += 255 - row[x];
            dark += row[x] < 145;
            ++count;
        }
    }
    if (count == 0)
        return {};
    return {sum / count / 255.0, double(dark) / count};
}

}  // namespace

MarkState markStateOf(const BubbleInk& ink) {
    if (ink.darkness >= kFilledDarkness && ink.cover >= kFilledCover)
        return MarkState::Filled;
    if (ink.darkness <= kBlankDarkness && ink.cover <= kBlankCover)
        return MarkState::Blank;
    return MarkState::Doubtful;
}

bool PageReading::doubtful() const {
    return !read() || examDoubtful || absentDoubtful ||
           std::any_of(questions.cbegin(), questions.cend(),
                       [](const QuestionReading& q) { return q.doubtful && !q.confirmed; });
}

CardIdentity findCardIdentity(const QImage& picture) {
    const std::optional<FoundQr> qr = findQr(greyMat(picture));
    return qr ? readCardIdentity(qr->text) : CardIdentity{};
}

QuestionReading readQuestion(const CardQuestion& question, const QVector<BubbleInk>& ink) {
    QuestionReading reading;
    reading.question = question.number;
    for (const BubbleInk& i : ink)
        reading.marks << i.darkness;
    int filled = 0, unclear = 0;
    for (int i = 0; i < ink.size() && i < question.options.size(); ++i) {
        switch (markStateOf(ink[i])) {
        case MarkState::Filled:
            reading.answer += question.options[i];
            ++filled;
            break;
        case MarkState::Doubtful:
            ++unclear;
            break;
        case MarkState::Blank:
            break;
        }
    }
    if (unclear > 0) {
        reading.doubtful = true;
        reading.why = filled > 0 ? QStringLiteral("另有选项涂得不清楚") : QStringLiteral("选项涂得不清楚");
    } else if (filled > 1 && question.kind != CardKind::Multiple) {
        reading.doubtful = true;
        reading.why = QStringLiteral("涂了不止一个选项");
    }
    return reading;
}

namespace {

// Reads the bubbles of a page already warped onto the sheet.
void readAligned(PageReading& reading, const CardLayout& layout, const cv::Mat& aligned) {
    const cv::Mat even = evenOut(aligned);
    const int page = reading.identity.page;

    // The empty bubbles of the page set the zero: printed letters, a
    // copier's grey.
    QVector<double> darknesses, covers;
    QHash<const CardBubble*, BubbleInk> inks;
    for (const CardBubble& b : layout.bubbles)
        if (b.page == page) {
            const BubbleInk ink = bubbleInk(even, b.rect);
            inks.insert(&b, ink);
            darknesses << ink.darkness;
            covers << ink.cover;
        }
    std::sort(darknesses.begin(), darknesses.end());
    std::sort(covers.begin(), covers.end());
    const double zeroDark = darknesses.isEmpty() ? 0 : std::min(0.2, darknesses[darknesses.size() / 3]);
    const double zeroCover = covers.isEmpty() ? 0 : std::min(0.2, covers[covers.size() / 3]);
    const auto level = [&](const CardBubble* b) {
        const BubbleInk ink = inks.value(b);
        return BubbleInk{std::max(0.0, ink.darkness - zeroDark), std::max(0.0, ink.cover - zeroCover)};
    };

    // The 考号, digit by digit, and 缺考.
    reading.examNumber.clear();
    reading.examDoubtful = false;
    reading.examWhy.clear();
    bool anyDigit = false;
    for (int d = 0; d < layout.examDigits; ++d) {
        const QVector<const CardBubble*> digits = layout.bubblesOf(CardBubble::Role::Digit, d);
        if (digits.isEmpty() || digits.first()->page != page)
            continue;
        QString filled;
        int unclear = 0;
        for (const CardBubble* b : digits) {
            const MarkState state = markStateOf(level(b));
            if (state == MarkState::Filled)
                filled += b->value;
            else if (state == MarkState::Doubtful)
                ++unclear;
        }
        anyDigit = anyDigit || !filled.isEmpty() || unclear > 0;
        if (filled.size() == 1 && unclear == 0) {
            reading.examNumber += filled;
            continue;
        }
        reading.examNumber += u'?';
        reading.examDoubtful = true;
        if (reading.examWhy.isEmpty())
            reading.examWhy = QStringLiteral("考号第%1位%2")
                                  .arg(d + 1)
                                  .arg(filled.size() > 1 ? QStringLiteral("涂了不止一个数字")
                                       : unclear > 0     ? QStringLiteral("涂得不清楚")
                                                         : QStringLiteral("没有填涂"));
    }
    if (!reading.examNumber.isEmpty() && !anyDigit)
        reading.examWhy = QStringLiteral("考号没有填涂");
    reading.absent = false;
    reading.absentDoubtful = false;
    for (const CardBubble* b : layout.bubblesOf(CardBubble::Role::Absent, 0)) {
        if (b->page != page)
            continue;
        const MarkState state = markStateOf(level(b));
        reading.absent = state == MarkState::Filled;
        reading.absentDoubtful = state == MarkState::Doubtful;
    }

    reading.questions.clear();
    for (const CardQuestion& q : layout.questions) {
        if (!isObjective(q.kind))
            continue;
        const QVector<const CardBubble*> bubbles = layout.bubblesOf(CardBubble::Role::Option, q.number);
        if (bubbles.isEmpty() || bubbles.first()->page != page)
            continue;
        QVector<BubbleInk> marks;
        for (const CardBubble* b : bubbles)
            marks << level(b);
        reading.questions << readQuestion(q, marks);
    }
}

}  // namespace

void readAlignedPage(PageReading& reading, const CardLayout& layout) {
    readAligned(reading, layout, greyMat(reading.aligned));
}

PageReading readCardPage(const QImage& picture, const std::function<const CardLayout*(const QString& key)>& layoutOf) {
    PageReading reading;
    const cv::Mat grey = greyMat(picture);
    const std::optional<FoundQr> qr = findQr(grey);
    if (!qr) {
        reading.problem = QStringLiteral("找不到答题卡的二维码（不是本程序的答题卡、空白页，或二维码被遮挡、污损）");
        return reading;
    }
    reading.identity = readCardIdentity(qr->text);
    const CardLayout* layout = layoutOf(reading.identity.key);
    if (!layout) {
        reading.problem = QStringLiteral("这张答题卡不属于所选的试卷（卡号 %1）").arg(reading.identity.key);
        return reading;
    }
    if (reading.identity.page >= layout->pages) {
        reading.problem = QStringLiteral("答题卡的页码不对（第 %1 页）").arg(reading.identity.page + 1);
        return reading;
    }

    // Sheet millimetres to picture pixels, first from the QR code alone.
    const std::array<cv::Point2f, 4> symbol = qrSymbolOnSheet(*layout, reading.identity.page);
    const cv::Point2f sheet3[3] = {symbol[0], symbol[1], symbol[3]};
    const cv::Point2f found3[3] = {qr->corners[0], qr->corners[1], qr->corners[3]};
    const cv::Mat rough = cv::getAffineTransform(sheet3, found3);
    const double scale = cv::norm(qr->corners[1] - qr->corners[0]) / cv::norm(symbol[1] - symbol[0]);

    // Then from the four corner marks: those near where the QR code puts
    // them, then the missing ones where the found marks put them (a photo's
    // perspective carries a corner far from the QR code's guess).
    const QVector<QRectF> marks = layout->cornerMarks();
    // The QR code and a little round it.
    std::vector<cv::Point2f> qrArea;
    const cv::Point2f qrCentre = (qr->corners[0] + qr->corners[1] + qr->corners[2] + qr->corners[3]) * 0.25f;
    for (const cv::Point2f& corner : qr->corners)
        qrArea.push_back(qrCentre + (corner - qrCentre) * 1.1f);
    std::array<std::optional<cv::Point2f>, 4> found;
    const auto centreOf = [&](int i) {
        return cv::Point2f(float(marks[i].center().x()), float(marks[i].center().y()));
    };
    // Each pass looks farther, guided by what the marks found so far say.
    for (const double radius : {28.0, 50.0, 90.0}) {
        std::vector<cv::Point2f> from, to;
        for (int i = 0; i < 4; ++i)
            if (found[i]) {
                from.push_back(centreOf(i));
                to.push_back(*found[i]);
            }
        if (from.size() == 4)
            break;
        const cv::Mat byMarks = from.size() == 3 ? cv::getAffineTransform(from.data(), to.data()) : rough;
        for (int i = 0; i < 4; ++i) {
            if (found[i])
                continue;
            const double* a = byMarks.ptr<double>(0);
            const double* b = byMarks.ptr<double>(1);
            const cv::Point2f c = centreOf(i);
            const cv::Point2f guess(float(a[0] * c.x + a[1] * c.y + a[2]), float(b[0] * c.x + b[1] * c.y + b[2]));
            found[i] = findMark(grey, guess, marks[i].width() * scale, radius * scale, qrArea);
        }
    }
    std::vector<cv::Point2f> onSheet, inPicture;
    for (int i = 0; i < 4; ++i)
        if (found[i]) {
            onSheet.emplace_back(float(marks[i].center().x() * kPxPerMm), float(marks[i].center().y() * kPxPerMm));
            inPicture.push_back(*found[i]);
        }
    cv::Mat toPicture;
    if (onSheet.size() == 4) {
        toPicture = cv::getPerspectiveTransform(onSheet, inPicture);
    } else if (onSheet.size() == 3) {
        toPicture = cv::Mat::eye(3, 3, CV_64F);
        cv::getAffineTransform(onSheet.data(), inPicture.data()).copyTo(toPicture.rowRange(0, 2));
    } else {
        reading.problem = QStringLiteral("找不到答题卡四角的定位标记（页面不完整或被裁切）");
        return reading;
    }
    cv::Mat aligned;
    const cv::Size size(int(layout->page.width() * kPxPerMm + 0.5), int(layout->page.height() * kPxPerMm + 0.5));
    cv::warpPerspective(grey, aligned, toPicture, size, cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_CONSTANT,
                        cv::Scalar(255));
    reading.aligned = greyImage(aligned);
    readAligned(reading, *layout, aligned);
    return reading;
}

QImage cropAligned(const QImage& aligned, const QRectF& rectMm, double marginMm) {
    const QRectF r = rectMm.adjusted(-marginMm, -marginMm, marginMm, marginMm);
    const QRect px(int(r.x() * kPxPerMm), int(r.y() * kPxPerMm), int(r.width() * kPxPerMm + 0.5),
                   int(r.height() * kPxPerMm + 0.5));
    const QRect inside = px.intersected(aligned.rect());
    return inside.isEmpty() ? QImage() : aligned.copy(inside);
}

}  // namespace zs
