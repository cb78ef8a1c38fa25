#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <QVector>

namespace zs::demo {

// A white drawing surface for the figures of exam questions: black lines,
// italic serif letters, Chinese captions. Figures are drawn in world units;
// by default one unit is one pixel with y pointing down, setWorld() maps a
// mathematical window (y up) onto the picture instead.
class Canvas {
public:
    Canvas(int width, int height);

    // Maps the world window [x0, x1] × [y0, y1] (y up) onto the picture, leaving
    // `margin` pixels around it; charts may stretch the axes differently.
    void setWorld(double x0, double x1, double y0, double y1, double margin = 40, bool equalScale = true);

    QPointF px(QPointF world) const;  // world → pixel
    double scale() const { return sx_; }

    enum class Stroke { Solid, Dashed, Dotted };

    void line(QPointF a, QPointF b, double width = 2.5, Stroke stroke = Stroke::Solid);
    // A line with an arrowhead at b.
    void arrow(QPointF a, QPointF b, double width = 2.5, Stroke stroke = Stroke::Solid);
    // An arrowhead at b pointing away from a, without the shaft.
    void arrowHead(QPointF a, QPointF b, double size = 16);
    void polyline(const QVector<QPointF>& points, double width = 2.5, Stroke stroke = Stroke::Solid);
    void polygon(const QVector<QPointF>& points, double width = 2.5, QColor fill = Qt::transparent);
    void dot(QPointF p, double radius = 4.5);
    void circle(QPointF centre, double radiusPx, double width = 2.5, QColor fill = Qt::transparent);
    // An arc around a world centre with a radius in pixels, angles in degrees
    // counter-clockwise from the positive x direction of the picture.
    void arc(QPointF centre, double radiusPx, double startDeg, double spanDeg, double width = 2);
    // The arc of an angle at a vertex between the directions to a and to b, with
    // an optional label placed in the middle of the arc.
    void angleMark(QPointF vertex, QPointF a, QPointF b, double radiusPx, const QString& label = {});
    void rightAngleMark(QPointF vertex, QPointF a, QPointF b, double sizePx = 14);
    // Short strokes below (or beside) a surface from a to b: ground, wall, mirror back.
    void hatch(QPointF a, QPointF b, bool below = true, double spacingPx = 12);
    // A filled rectangle in pixel coordinates of the world rectangle.
    void fillRect(QPointF a, QPointF b, QColor colour);

    // A label near a world point, displaced by (dx, dy) pixels; letters are
    // italic serif, anything else upright.
    void label(QPointF p, const QString& text, double dx = 0, double dy = 0, int sizePx = 26);
    void text(QPointF p, const QString& text, double dx = 0, double dy = 0, int sizePx = 24);

    // Light grid lines on every whole unit of the world window.
    void grid(QColor colour = QColor(190, 190, 190));
    // Axes through the origin with arrows, unit ticks and numbers every `step`.
    void axes(const QString& xName = QStringLiteral("x"), const QString& yName = QStringLiteral("y"), int step = 1,
              bool numbers = true);

    QPainter& painter() { return painter_; }
    QImage finish();

private:
    void setPen(double width, Stroke stroke, QColor colour = Qt::black);
    void drawTextAt(QPointF pixel, const QString& text, const QFont& font);

    QImage image_;
    QPainter painter_;
    double x0_ = 0, y0_ = 0, sx_ = 1, sy_ = 1, ox_ = 0, oy_ = 0;
    bool yUp_ = false;
    double wx0_ = 0, wx1_ = 0, wy0_ = 0, wy1_ = 0;
};

}  // namespace zs::demo
