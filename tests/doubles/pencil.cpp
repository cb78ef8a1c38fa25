#include "doubles/pencil.h"

#include <QFile>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace zs::test {

namespace {

cv::Mat wrap(QImage& page) {
    Q_ASSERT(page.format() == QImage::Format_Grayscale8);
    return cv::Mat(page.height(), page.width(), CV_8UC1, page.bits(), size_t(page.bytesPerLine()));
}

QImage imageOf(const cv::Mat& m) {
    return QImage(m.data, m.cols, m.rows, int(m.step), QImage::Format_Grayscale8).copy();
}

}  // namespace

void markBubble(QImage& page, const QRectF& bubbleMm, double dpi, const PencilMark& mark, quint32 seed) {
    cv::Mat m = wrap(page);
    cv::RNG rng(seed);
    const double k = dpi / 25.4;
    const cv::Point2d c(bubbleMm.center().x() * k, bubbleMm.center().y() * k);
    const double ax = bubbleMm.width() / 2 * k, ay = bubbleMm.height() / 2 * k;
    const auto line = [&](double x0, double y0, double x1, double y1) {
        cv::line(m, cv::Point(int(c.x + x0 * ax), int(c.y + y0 * ay)),
                 cv::Point(int(c.x + x1 * ax), int(c.y + y1 * ay)), cv::Scalar(mark.grey), std::max(1, int(0.45 * k)),
                 cv::LINE_AA);
    };
    switch (mark.shape) {
    case PencilMark::Shape::Tick:
        line(-0.6, 0.1, -0.15, 0.7);
        line(-0.15, 0.7, 0.7, -0.7);
        return;
    case PencilMark::Shape::Cross:
        line(-0.7, -0.7, 0.7, 0.7);
        line(-0.7, 0.7, 0.7, -0.7);
        return;
    case PencilMark::Shape::Fill:
    case PencilMark::Shape::Erased:
        break;
    }
    const int grey = mark.shape == PencilMark::Shape::Erased ? 255 - int((255 - mark.grey) * 0.2) : mark.grey;
    // A pencil fills from the left, each stroke ending a little elsewhere.
    for (int y = int(c.y - ay); y <= int(c.y + ay); ++y) {
        if (y < 0 || y >= m.rows)
            continue;
        const double dy = (y - c.y) / ay;
        if (std::abs(dy) > 1)
            continue;
        const double half = ax * std::sqrt(1 - dy * dy) * 1.02;
        const double end = c.x - half + 2 * half * std::clamp(mark.coverage + rng.uniform(-0.04, 0.04), 0.0, 1.0);
        uchar* row = m.ptr<uchar>(y);
        for (int x = int(c.x - half); x <= int(end) && x < m.cols; ++x)
            if (x >= 0)
                row[x] = uchar(std::min<int>(row[x], std::clamp(grey + rng.uniform(-12, 13), 0, 255)));
    }
}

void markExamNumber(QImage& page, const CardLayout& layout, const QString& digits, double dpi, quint32 seed) {
    for (int d = 0; d < digits.size(); ++d)
        for (const CardBubble* b : layout.bubblesOf(CardBubble::Role::Digit, d))
            if (b->value == digits[d])
                markBubble(page, b->rect, dpi, {}, seed + quint32(d));
}

void markAnswer(QImage& page, const CardLayout& layout, int question, const QString& answer, double dpi,
                const PencilMark& mark, quint32 seed) {
    for (const CardBubble* b : layout.bubblesOf(CardBubble::Role::Option, question))
        if (answer.contains(b->value))
            markBubble(page, b->rect, dpi, mark, seed++);
}

QVector<QImage> filledSheet(const CardLayout& layout, const QString& examNumber, const QHash<int, QString>& answers,
                            double dpi, quint32 seed) {
    QVector<QImage> pages;
    for (int p = 0; p < layout.pages; ++p) {
        QImage page = renderAnswerCardPage(layout, p, dpi);
        if (p == 0)
            markExamNumber(page, layout, examNumber, dpi, seed);
        for (auto it = answers.cbegin(); it != answers.cend(); ++it) {
            const auto bubbles = layout.bubblesOf(CardBubble::Role::Option, it.key());
            if (!bubbles.isEmpty() && bubbles.first()->page == p)
                markAnswer(page, layout, it.key(), it.value(), dpi, {}, seed + quint32(it.key()) * 31);
        }
        // A line of writing in every written answer's place.
        QPainter painter(&page);
        painter.setRenderHint(QPainter::Antialiasing);
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPixelSize(int(4.5 * dpi / 25.4));
        painter.setFont(font);
        painter.setPen(QColor(40, 40, 70));
        for (const CardQuestion& q : layout.questions) {
            if (isObjective(q.kind))
                continue;
            const std::optional<CardArea> area = layout.areaOf(q.number);
            if (!area || area->page != p)
                continue;
            const double k = dpi / 25.4;
            const QRectF r(area->rect.x() * k, area->rect.y() * k, area->rect.width() * k, area->rect.height() * k);
            const QString text =
                q.kind == CardKind::Blank
                    ? QStringLiteral("x = %1").arg((seed + quint32(q.number)) % 9 + 1)
                    : QStringLiteral("解：由题意得 %1 + %2 = %3").arg(q.number).arg(seed % 7).arg(q.number + seed % 7);
            painter.drawText(r.adjusted(12 * k, 1 * k, -2 * k, -1 * k), Qt::AlignLeft | Qt::AlignVCenter, text);
        }
        painter.end();
        pages << page;
    }
    return pages;
}

void writeScanPdf(const QVector<QImage>& pages, double dpi, const QString& path) {
    QPdfWriter pdf(path);
    pdf.setResolution(int(dpi));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    for (int i = 0; i < pages.size(); ++i) {
        pdf.setPageSize(
            QPageSize(QSizeF(pages[i].width() / dpi * 25.4, pages[i].height() / dpi * 25.4), QPageSize::Millimeter));
        if (i == 0)
            painter.begin(&pdf);
        else
            pdf.newPage();
        painter.drawImage(QRectF(0, 0, pdf.width(), pdf.height()), pages[i]);
    }
    painter.end();
}

void writeScanTiff(const QVector<QImage>& pages, const QString& path) {
    std::vector<cv::Mat> frames;
    for (QImage page : pages) {
        page = page.convertToFormat(QImage::Format_Grayscale8);
        frames.push_back(wrap(page).clone());
    }
    cv::imwritemulti(QFile::encodeName(path).toStdString(), frames);
}

QImage scanOf(const QImage& page, double dpi, const ScanLook& look, quint32 seed) {
    cv::RNG rng(seed);
    QImage source = page.convertToFormat(QImage::Format_Grayscale8);
    cv::Mat m = wrap(source).clone();
    double k = dpi / 25.4;
    if (look.outputDpi > 0 && std::abs(look.outputDpi - dpi) > 1) {
        cv::resize(m, m, cv::Size(), look.outputDpi / dpi, look.outputDpi / dpi, cv::INTER_AREA);
        k = look.outputDpi / 25.4;
    }
    // On the glass: a margin round the page, turned, zoomed and shifted.
    const int margin = int(m.cols * 0.05);
    cv::copyMakeBorder(m, m, margin, margin, margin, margin, cv::BORDER_CONSTANT, cv::Scalar(255));
    const cv::Point2f centre(m.cols / 2.0f, m.rows / 2.0f);
    cv::Mat turn = cv::getRotationMatrix2D(centre, look.angleDegrees + (look.upsideDown ? 180 : 0), look.scale);
    turn.at<double>(0, 2) += look.shiftMm.x() * k;
    turn.at<double>(1, 2) += look.shiftMm.y() * k;
    cv::warpAffine(m, m, turn, m.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(255));
    if (look.perspective > 0) {
        const float w = float(m.cols), h = float(m.rows);
        const float s = float(look.perspective * 0.15);
        const cv::Point2f from[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
        // One side farther from the lens than the other, and a little tilt.
        const float near = float(rng.uniform(0.0, 1.0) < 0.5 ? 1 : -1);
        const cv::Point2f to[4] = {{w * s * (near > 0 ? 1.0f : 0.2f), h * s * 0.3f},
                                   {w * (1 - s * (near > 0 ? 0.2f : 1.0f)), 0},
                                   {w, h},
                                   {0, h * (1 - s * 0.3f)}};
        cv::warpPerspective(m, m, cv::getPerspectiveTransform(from, to), m.size(), cv::INTER_LINEAR,
                            cv::BORDER_CONSTANT, cv::Scalar(200));
    }
    if (look.unevenLight > 0) {
        cv::Mat f(m.size(), CV_32F);
        for (int y = 0; y < m.rows; ++y)
            for (int x = 0; x < m.cols; ++x)
                f.at<float>(y, x) = float(1 - look.unevenLight * 0.45 * (double(x) / m.cols + 0.3 * y / m.rows));
        m.convertTo(m, CV_32F);
        cv::multiply(m, f, m);
        m.convertTo(m, CV_8U);
    }
    if (look.blur > 0)
        cv::GaussianBlur(m, m, cv::Size(0, 0), look.blur);
    if (look.noise > 0) {
        cv::Mat noise(m.size(), CV_16S);
        rng.fill(noise, cv::RNG::NORMAL, 0, look.noise);
        cv::Mat wide;
        m.convertTo(wide, CV_16S);
        wide += noise;
        wide.convertTo(m, CV_8U);
    }
    if (look.blackAndWhite)
        cv::threshold(m, m, 140, 255, cv::THRESH_BINARY);
    if (look.jpegQuality > 0) {
        std::vector<uchar> bytes;
        cv::imencode(".jpg", m, bytes, {cv::IMWRITE_JPEG_QUALITY, look.jpegQuality});
        m = cv::imdecode(bytes, cv::IMREAD_GRAYSCALE);
    }
    return imageOf(m);
}

}  // namespace zs::test
