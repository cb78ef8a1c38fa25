#include "demo/canvas.h"

#include <QPainterPath>
#include <QtMath>
#include <cmath>

namespace zs::demo {

namespace {

bool isLetterLabel(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x2E80)  // CJK and full-width forms
            return false;
    return true;
}

QPointF unit(QPointF v) {
    const double len = std::hypot(v.x(), v.y());
    return len == 0 ? QPointF() : v / len;
}

}  // namespace

Canvas::Canvas(int width, int height) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    wx1_ = width;
    wy1_ = height;
}

void Canvas::setWorld(double x0, double x1, double y0, double y1, double margin, bool equalScale) {
    yUp_ = true;
    wx0_ = x0;
    wx1_ = x1;
    wy0_ = y0;
    wy1_ = y1;
    const double w = image_.width() - 2 * margin;
    const double h = image_.height() - 2 * margin;
    sx_ = w / (x1 - x0);
    sy_ = h / (y1 - y0);
    if (equalScale)
        sx_ = sy_ = std::min(sx_, sy_);
    // Centre the window in the picture.
    ox_ = (image_.width() - sx_ * (x1 - x0)) / 2;
    oy_ = (image_.height() - sy_ * (y1 - y0)) / 2;
    x0_ = x0;
    y0_ = y1;  // the top of the window
}

QPointF Canvas::px(QPointF world) const {
    if (!yUp_)
        return world;
    return {ox_ + (world.x() - x0_) * sx_, oy_ + (y0_ - world.y()) * sy_};
}

void Canvas::setPen(double width, Stroke stroke, QColor colour) {
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (stroke == Stroke::Dashed)
        pen.setDashPattern({5, 3});
    else if (stroke == Stroke::Dotted)
        pen.setDashPattern({1.2, 2.5});
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
}

void Canvas::line(QPointF a, QPointF b, double width, Stroke stroke) {
    setPen(width, stroke);
    painter_.drawLine(px(a), px(b));
}

void Canvas::arrowHead(QPointF a, QPointF b, double size) {
    const QPointF pa = px(a), pb = px(b);
    const QPointF d = unit(pb - pa);
    const QPointF n(-d.y(), d.x());
    const QPointF base = pb - d * size;
    QPolygonF head({pb, base + n * size * 0.38, base - n * size * 0.38});
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(Qt::black);
    painter_.drawPolygon(head);
    painter_.setBrush(Qt::NoBrush);
}

void Canvas::arrow(QPointF a, QPointF b, double width, Stroke stroke) {
    const QPointF pa = px(a), pb = px(b);
    const QPointF d = unit(pb - pa);
    setPen(width, stroke);
    painter_.drawLine(pa, pb - d * 8);
    arrowHead(a, b);
}

void Canvas::polyline(const QVector<QPointF>& points, double width, Stroke stroke) {
    setPen(width, stroke);
    QPolygonF poly;
    for (const QPointF& p : points)
        poly << px(p);
    painter_.drawPolyline(poly);
}

void Canvas::polygon(const QVector<QPointF>& points, double width, QColor fill) {
    setPen(width, Stroke::Solid);
    painter_.setBrush(fill);
    QPolygonF poly;
    for (const QPointF& p : points)
        poly << px(p);
    painter_.drawPolygon(poly);
    painter_.setBrush(Qt::NoBrush);
}

void Canvas::dot(QPointF p, double radius) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(Qt::black);
    painter_.drawEllipse(px(p), radius, radius);
    painter_.setBrush(Qt::NoBrush);
}

void Canvas::circle(QPointF centre, double radiusPx, double width, QColor fill) {
    setPen(width, Stroke::Solid);
    painter_.setBrush(fill);
    painter_.drawEllipse(px(centre), radiusPx, radiusPx);
    painter_.setBrush(Qt::NoBrush);
}

void Canvas::arc(QPointF centre, double radiusPx, double startDeg, double spanDeg, double width) {
    setPen(width, Stroke::Solid);
    const QPointF c = px(centre);
    const QRectF box(c.x() - radiusPx, c.y() - radiusPx, 2 * radiusPx, 2 * radiusPx);
    painter_.drawArc(box, int(startDeg * 16), int(spanDeg * 16));
}

void Canvas::angleMark(QPointF vertex, QPointF a, QPointF b, double radiusPx, const QString& text) {
    const QPointF v = px(vertex);
    const QPointF da = px(a) - v, db = px(b) - v;
    // Qt angles run counter-clockwise with y down, hence the minus signs.
    double start = qRadiansToDegrees(std::atan2(-da.y(), da.x()));
    double end = qRadiansToDegrees(std::atan2(-db.y(), db.x()));
    double span = end - start;
    while (span <= -180)
        span += 360;
    while (span > 180)
        span -= 360;
    setPen(2, Stroke::Solid);
    const QRectF box(v.x() - radiusPx, v.y() - radiusPx, 2 * radiusPx, 2 * radiusPx);
    painter_.drawArc(box, int(start * 16), int(span * 16));
    if (!text.isEmpty()) {
        const double mid = qDegreesToRadians(start + span / 2);
        const double r = radiusPx + 16;
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPixelSize(22);
        drawTextAt(v + QPointF(std::cos(mid) * r, -std::sin(mid) * r), text, font);
    }
}

void Canvas::rightAngleMark(QPointF vertex, QPointF a, QPointF b, double sizePx) {
    const QPointF v = px(vertex);
    const QPointF ua = unit(px(a) - v) * sizePx, ub = unit(px(b) - v) * sizePx;
    setPen(1.8, Stroke::Solid);
    painter_.drawPolyline(QPolygonF({v + ua, v + ua + ub, v + ub}));
}

void Canvas::hatch(QPointF a, QPointF b, bool below, double spacingPx) {
    const QPointF pa = px(a), pb = px(b);
    const QPointF d = unit(pb - pa);
    QPointF n(-d.y(), d.x());
    if ((n.y() < 0) == below)
        n = -n;
    if (std::abs(d.y()) > 0.9)  // a wall: strokes to the side chosen by `below` (false: left)
        n = QPointF(below ? 1 : -1, 0);
    const double len = std::hypot(pb.x() - pa.x(), pb.y() - pa.y());
    setPen(1.6, Stroke::Solid);
    for (double t = 4; t < len; t += spacingPx) {
        const QPointF p = pa + d * t;
        painter_.drawLine(p, p + n * 10 - d * 8);
    }
}

void Canvas::fillRect(QPointF a, QPointF b, QColor colour) {
    painter_.fillRect(QRectF(px(a), px(b)).normalized(), colour);
}

void Canvas::drawTextAt(QPointF pixel, const QString& text, const QFont& font) {
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    const QRectF box(pixel.x() - 200, pixel.y() - 40, 400, 80);
    painter_.drawText(box, Qt::AlignCenter, text);
}

void Canvas::label(QPointF p, const QString& text, double dx, double dy, int sizePx) {
    QFont font(isLetterLabel(text) ? QStringLiteral("DejaVu Serif") : QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(sizePx);
    font.setItalic(isLetterLabel(text));
    drawTextAt(px(p) + QPointF(dx, dy), text, font);
}

void Canvas::text(QPointF p, const QString& text, double dx, double dy, int sizePx) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(sizePx);
    drawTextAt(px(p) + QPointF(dx, dy), text, font);
}

void Canvas::grid(QColor colour) {
    QPen pen(colour, 1.2);
    painter_.setPen(pen);
    for (int x = int(std::ceil(wx0_)); x <= int(std::floor(wx1_)); ++x)
        painter_.drawLine(px({double(x), wy0_}), px({double(x), wy1_}));
    for (int y = int(std::ceil(wy0_)); y <= int(std::floor(wy1_)); ++y)
        painter_.drawLine(px({wx0_, double(y)}), px({wx1_, double(y)}));
}

void Canvas::axes(const QString& xName, const QString& yName, int step, bool numbers) {
    arrow({wx0_, 0}, {wx1_, 0}, 2);
    arrow({0, wy0_}, {0, wy1_}, 2);
    label({wx1_, 0}, xName, -6, 22, 24);
    label({0, wy1_}, yName, 18, 6, 24);
    label({0, 0}, QStringLiteral("O"), -14, 16, 22);
    if (!numbers)
        return;
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(18);
    for (int x = int(std::ceil(wx0_)); x < int(std::floor(wx1_)); ++x) {
        if (x == 0 || x % step != 0)
            continue;
        line({double(x), 0}, {double(x), 0}, 1);
        drawTextAt(px({double(x), 0}) + QPointF(0, 16), QString::number(x).replace(u'-', QChar(0x2212)), font);
    }
    for (int y = int(std::ceil(wy0_)); y < int(std::floor(wy1_)); ++y) {
        if (y == 0 || y % step != 0)
            continue;
        drawTextAt(px({0, double(y)}) + QPointF(-18, 0), QString::number(y).replace(u'-', QChar(0x2212)), font);
    }
}

QImage Canvas::finish() {
    painter_.end();
    return image_;
}

}  // namespace zs::demo
