// Figures of the physics questions: instruments, light paths, forces and
// graphs of measurements.

#include "demo/canvas.h"
#include "demo/figures.h"

#include <QPainterPath>
#include <QtMath>
#include <cmath>

namespace zs::demo {

namespace {

using P = QPointF;
using Stroke = Canvas::Stroke;

const QColor kWater(205, 228, 246);

P screenPolar(P origin, double length, double degrees) {
    const double r = qDegreesToRadians(degrees);
    return origin + P(length * std::cos(r), -length * std::sin(r));
}

// A light ray from a to b with an arrowhead in its middle.
void ray(Canvas& c, P a, P b, double width = 2.5, Stroke stroke = Stroke::Solid) {
    c.line(a, b, width, stroke);
    const P mid = (a + b) / 2;
    c.arrowHead(a, mid + (b - a) * 0.04, 18);
}

QImage ruler() {
    Canvas c(800, 230);
    const double x0 = 60, cm = 110, top = 120, bottom = 200;
    c.painter().setPen(QPen(Qt::black, 2));
    c.painter().setBrush(QColor(250, 244, 225));
    c.painter().drawRect(QRectF(30, top, 740, bottom - top));
    c.painter().setBrush(Qt::NoBrush);
    for (int mm = 0; mm <= 60; ++mm) {
        const double x = x0 + mm * cm / 10;
        const double len = mm % 10 == 0 ? 28 : mm % 5 == 0 ? 20 : 12;
        c.line({x, top}, {x, top + len}, mm % 10 == 0 ? 2 : 1.4);
        if (mm % 10 == 0)
            c.label({x, top}, QString::number(mm / 10), 0, 48, 22);
    }
    c.text({x0 + 6.35 * cm, top}, "cm", 0, 56, 20);
    const double from = x0 + 1.00 * cm, to = x0 + 3.45 * cm;
    c.fillRect({from, 40}, {to, top}, QColor(200, 200, 200));
    c.polygon({{from, 40}, {to, 40}, {to, top}, {from, top}}, 2);
    return c.finish();
}

QImage stGraph() {
    Canvas c(560, 440);
    c.setWorld(-1.2, 9.6, -2.6, 24.5, 20, false);
    c.arrow({0, 0}, {9.4, 0}, 2);
    c.arrow({0, 0}, {0, 24}, 2);
    for (int t = 2; t <= 8; t += 2) {
        c.line({double(t), 0}, {double(t), 0.4}, 1.6);
        c.label({double(t), 0}, QString::number(t), 0, 18, 20);
    }
    for (int s = 4; s <= 20; s += 4) {
        c.line({0, double(s)}, {0.12, double(s)}, 1.6);
        c.label({0, double(s)}, QString::number(s), -20, 0, 20);
    }
    c.label({0, 0}, "O", -14, 14, 20);
    c.text({0, 24}, "s/m", 36, 6, 20);
    c.text({9.4, 0}, "t/s", -6, 24, 20);
    c.line({0, 0}, {4.4, 22}, 2.8);
    c.line({0, 0}, {8.6, 17.2}, 2.8);
    c.line({4, 0}, {4, 20}, 1.6, Stroke::Dashed);
    c.line({0, 20}, {4, 20}, 1.6, Stroke::Dashed);
    c.line({6, 0}, {6, 12}, 1.6, Stroke::Dashed);
    c.line({0, 12}, {6, 12}, 1.6, Stroke::Dashed);
    c.text({4.4, 22}, "甲", 22, 0, 22);
    c.text({8.6, 17.2}, "乙", 20, 4, 22);
    return c.finish();
}

QImage thermometer() {
    Canvas c(240, 520);
    const double x = 110, zero = 240, perDegree = 16;
    // Glass tube and bulb.
    c.painter().setPen(QPen(Qt::black, 2));
    c.painter().drawRoundedRect(QRectF(x - 11, 40, 22, 400), 10, 10);
    c.circle({x, 455}, 22, 2, QColor(180, 30, 30));
    const double level = zero + 4 * perDegree;  // −4 ℃
    c.fillRect({x - 5, level}, {x + 5, 450}, QColor(180, 30, 30));
    for (int t = -12; t <= 12; ++t) {
        const double y = zero - t * perDegree;
        const double len = t % 10 == 0 ? 30 : t % 5 == 0 ? 22 : 14;
        c.line({x + 14, y}, {x + 14 + len, y}, t % 5 == 0 ? 2 : 1.3);
        if (t % 10 == 0)
            c.label({x + 14, y}, QString::number(std::abs(t)), 48, 0, 22);
    }
    c.text({x, 40}, "℃", 62, -6, 22);
    return c.finish();
}

QImage meltingCurve() {
    Canvas c(580, 420);
    c.setWorld(-1.6, 14.6, 33, 61, 20, false);
    c.arrow({0, 36}, {14.3, 36}, 2);
    c.arrow({0, 36}, {0, 60.5}, 2);
    for (int t = 2; t <= 12; t += 2) {
        c.line({double(t), 36}, {double(t), 36.5}, 1.6);
        c.label({double(t), 36}, QString::number(t), 0, 18, 20);
    }
    for (int T = 40; T <= 56; T += 4) {
        c.line({0, double(T)}, {0.15, double(T)}, 1.6);
        c.label({0, double(T)}, QString::number(T), -22, 0, 20);
    }
    c.text({0, 60.5}, "温度/℃", 52, 8, 20);
    c.text({14.3, 36}, "时间/min", -20, 26, 20);
    const P a(0, 40), b(4, 48), cc(10, 48), d(12, 56);
    c.polyline({a, b, cc, d}, 3);
    c.line({4, 36}, b, 1.6, Stroke::Dashed);
    c.line({10, 36}, cc, 1.6, Stroke::Dashed);
    c.line({0, 48}, b, 1.6, Stroke::Dashed);
    c.label(a, "A", 18, 8, 22);
    c.label(b, "B", -6, -20, 22);
    c.label(cc, "C", 6, -20, 22);
    c.label(d, "D", 14, -6, 22);
    return c.finish();
}

QImage reflection(bool answer) {
    Canvas c(520, 320);
    const P o(260, 260);
    c.line({70, 260}, {450, 260}, 3);
    c.hatch({70, 260}, {450, 260}, true, 12);
    const P s = screenPolar(o, 230, 150);
    ray(c, s, o);
    c.angleMark(o, {120, 260}, s, 46, "30°");
    c.label(o, "O", 0, 30, 22);
    if (answer) {
        const P top(260, 40);
        c.line(o, top, 2, Stroke::Dashed);
        ray(c, o, screenPolar(o, 230, 30));
        c.angleMark(o, top, screenPolar(o, 230, 30), 60, "60°");
    }
    return c.finish();
}

QImage mirrorImage(bool answer) {
    Canvas c(520, 320);
    c.line({260, 30}, {260, 290}, 3);
    c.hatch({260, 30}, {260, 290}, true, 12);
    c.label({260, 30}, "M", -18, 0);
    c.label({260, 290}, "N", -18, 0);
    const P a(100, 90), b(170, 240);
    c.arrow(b, a, 2.8);
    c.label(a, "A", -16, -8);
    c.label(b, "B", -6, 20);
    if (answer) {
        const P a2(420, 90), b2(350, 240);
        c.arrow(b2, a2, 2.8, Stroke::Dashed);
        c.line(a, a2, 1.5, Stroke::Dotted);
        c.line(b, b2, 1.5, Stroke::Dotted);
        c.rightAngleMark({260, 90}, a2, {260, 30}, 10);
        c.rightAngleMark({260, 240}, b2, {260, 290}, 10);
        c.label(a2, "A′", 18, -8);
        c.label(b2, "B′", 8, 20);
    }
    return c.finish();
}

QImage refraction(bool answer) {
    Canvas c(520, 330);
    const P o(260, 150);
    c.fillRect({40, 150}, {480, 310}, kWater);
    c.line({40, 150}, {480, 150}, 2.5);
    c.text({70, 150}, "空气", 0, -24, 22);
    c.text({70, 150}, "水", 0, 28, 22);
    const P s = screenPolar(o, 190, 135);
    ray(c, s, o);
    c.label(o, "O", 16, -16, 22);
    if (answer) {
        c.line({260, 20}, {260, 300}, 2, Stroke::Dashed);
        ray(c, o, screenPolar(o, 190, 45));
        ray(c, o, screenPolar(o, 160, -58));
    }
    return c.finish();
}

void convexLens(Canvas& c, double x, double top, double bottom) {
    c.line({x, top + 4}, {x, bottom - 4}, 2.5);
    c.arrowHead({x, top + 30}, {x, top}, 16);
    c.arrowHead({x, bottom - 30}, {x, bottom}, 16);
}

QImage lensRays(bool answer) {
    Canvas c(600, 300);
    const double axis = 150, lens = 300;
    c.line({30, axis}, {570, axis}, 1.8);
    convexLens(c, lens, 30, 270);
    for (double x : {200.0, 400.0}) {
        c.dot({x, axis}, 4);
        c.label({x, axis}, "F", 0, 22, 22);
    }
    c.label({lens, axis}, "O", 14, 20, 22);
    const P ray1(70, 95), ray1End(lens, 95);
    const P ray2(90, 66);
    ray(c, ray1, ray1End);
    ray(c, ray2, {lens, axis});
    if (answer) {
        const P f(400, axis);
        const P d1 = f - ray1End;
        ray(c, ray1End, ray1End + d1 * 2.1);
        const P d2 = P(lens, axis) - ray2;
        ray(c, {lens, axis}, P(lens, axis) + d2 * 0.95);
    }
    return c.finish();
}

QImage lensBench() {
    Canvas c(700, 300);
    const double x0 = 40, perCm = 12, axis = 120;
    c.painter().setPen(QPen(Qt::black, 2));
    c.painter().setBrush(QColor(235, 235, 235));
    c.painter().drawRect(QRectF(x0 - 14, 240, 50 * perCm + 28, 26));
    c.painter().setBrush(Qt::NoBrush);
    for (int cm = 0; cm <= 50; ++cm) {
        const double x = x0 + cm * perCm;
        c.line({x, 240}, {x, 240.0 + (cm % 10 == 0 ? 14 : cm % 5 == 0 ? 10 : 6)}, cm % 10 == 0 ? 1.8 : 1.2);
        if (cm % 10 == 0)
            c.label({x, 266}, cm == 0 ? QStringLiteral("0cm") : QString::number(cm), 0, 16, 18);
    }
    const double lens = x0 + 30 * perCm, screen = x0 + 40 * perCm;
    QPainterPath shape;
    shape.addEllipse(QPointF(lens, axis), 10, 70);
    c.painter().setPen(QPen(Qt::black, 2));
    c.painter().setBrush(QColor(215, 235, 250));
    c.painter().drawPath(shape);
    c.painter().setBrush(Qt::NoBrush);
    c.line({lens, axis + 70}, {lens, 240}, 3);
    c.painter().setBrush(QColor(250, 250, 250));
    c.painter().drawRect(QRectF(screen - 5, axis - 75, 10, 150));
    c.painter().setBrush(Qt::NoBrush);
    c.line({screen, axis + 75}, {screen, 240}, 3);
    c.text({screen, axis - 75}, "光屏", 0, -18, 20);
    for (double dy : {-45.0, 0.0, 45.0}) {
        ray(c, {x0 + 40, axis + dy}, {lens, axis + dy}, 2);
        c.line({lens, axis + dy}, {screen, axis}, 2);
    }
    c.dot({screen, axis}, 5);
    return c.finish();
}

QImage cylinders() {
    Canvas c(440, 440);
    auto cylinder = [&](double x, double water, bool stone, const QString& name) {
        const double bottom = 380, perMl = 6, left = x - 36, right = x + 36;
        const double level = bottom - water * perMl;
        c.fillRect({left, level}, {right, bottom}, kWater);
        if (stone)
            c.polygon({{x - 20, bottom},
                       {x - 24, bottom - 28},
                       {x - 6, bottom - 44},
                       {x + 18, bottom - 36},
                       {x + 22, bottom - 10},
                       {x + 10, bottom}},
                      2, QColor(140, 140, 140));
        c.line({left, level}, {right, level}, 1.8);
        c.line({left, 60}, {left, bottom}, 2.5);
        c.line({right, 60}, {right, bottom}, 2.5);
        c.line({left - 16, bottom}, {right + 16, bottom}, 3);
        for (int ml = 2; ml <= 50; ml += 2) {
            const double y = bottom - ml * perMl;
            c.line({left, y}, {left + (ml % 10 == 0 ? 20 : 10), y}, ml % 10 == 0 ? 1.8 : 1.1);
            if (ml % 10 == 0)
                c.label({left, y}, QString::number(ml), -22, 0, 18);
        }
        c.text({x, 60}, "mL", 0, -20, 18);
        c.text({x, bottom}, name, 0, 28, 22);
    };
    cylinder(130, 20, false, "甲");
    cylinder(320, 30, true, "乙");
    return c.finish();
}

QImage incline(bool answer) {
    Canvas c(520, 300);
    const P low(40, 260), corner(480, 260), high(480, 90);
    c.polygon({low, corner, high}, 2.5, QColor(240, 240, 240));
    const double angle = qRadiansToDegrees(std::atan2(high.y() - low.y(), high.x() - low.x()));
    const P base = low + (high - low) * 0.52;
    QPainter& p = c.painter();
    p.save();
    p.translate(base);
    p.rotate(angle);
    p.setPen(QPen(Qt::black, 2.5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(-45, -56, 90, 56));
    p.restore();
    const P centre = base + screenPolar({0, 0}, 28, -angle + 90);
    c.label(centre, "A", -62, -34, 24);
    if (answer) {
        const P from = centre + P(0, 6);
        c.dot(from, 4);
        c.arrow(from, from + P(0, 120), 3);
        c.label(from + P(0, 120), "G＝10 N", 70, -14, 22);
    }
    return c.finish();
}

QImage springScale() {
    Canvas c(300, 560);
    const double x = 150, zero = 90, perNewton = 64;
    c.circle({x, 24}, 12, 2.5);
    c.line({x, 36}, {x, 50}, 2.5);
    c.painter().setPen(QPen(Qt::black, 2.5));
    c.painter().setBrush(QColor(245, 245, 245));
    c.painter().drawRoundedRect(QRectF(x - 60, 50, 120, 400), 10, 10);
    c.painter().setBrush(Qt::NoBrush);
    for (int i = 0; i <= 25; ++i) {
        const double y = zero + i * perNewton / 5;
        c.line({x - 20, y}, {x - (i % 5 == 0 ? 44 : 34), y}, i % 5 == 0 ? 2 : 1.3);
    }
    for (int n = 0; n <= 5; ++n)
        c.label({x + 20, zero + n * perNewton}, QString::number(n), 12, 0, 20);
    c.text({x, 50}, "N", 38, 22, 20);
    const double pointer = zero + 2.4 * perNewton;
    c.polygon({{x - 18, pointer}, {x - 2, pointer - 7}, {x - 2, pointer + 7}}, 1.5, Qt::black);
    c.line({x, 80}, {x, pointer}, 2);
    c.line({x, 450}, {x, 480}, 2.5);
    c.arc({x - 8, 488}, 8, 180, 180, 2.5);
    c.painter().setPen(QPen(Qt::black, 2.5));
    c.painter().setBrush(QColor(200, 200, 200));
    c.painter().drawRect(QRectF(x - 36, 500, 72, 46));
    c.painter().setBrush(Qt::NoBrush);
    return c.finish();
}

QImage frictionExperiment() {
    Canvas c(960, 250);
    const QStringList names = {"甲（木板表面）", "乙（木板表面）", "丙（毛巾表面）"};
    const QStringList readings = {"F₁＝1.2 N", "F₂＝1.8 N", "F₃＝2.0 N"};
    for (int i = 0; i < 3; ++i) {
        const double x = 20 + i * 315;
        c.polygon({{x, 150}, {x + 290, 150}, {x + 290, 168}, {x, 168}}, 2, QColor(230, 210, 170));
        if (i == 2)
            for (double t = x + 6; t < x + 288; t += 9)
                c.line({t, 150}, {t + 4, 144}, 1.4);
        c.polygon(
            {{x + 30, 100}, {x + 120, 100}, {x + 120, 150.0 - (i == 2 ? 6 : 0)}, {x + 30, 150.0 - (i == 2 ? 6 : 0)}},
            2.2, QColor(205, 205, 205));
        if (i == 1)
            c.polygon({{x + 55, 70}, {x + 95, 70}, {x + 95, 100}, {x + 55, 100}}, 2, QColor(120, 120, 120));
        const double y = 122 - (i == 2 ? 3 : 0);
        c.line({x + 120, y}, {x + 150, y}, 2);
        c.polygon({{x + 150, y - 12}, {x + 235, y - 12}, {x + 235, y + 12}, {x + 150, y + 12}}, 2,
                  QColor(250, 250, 250));
        for (int k = 0; k <= 10; ++k)
            c.line({x + 158 + k * 7, y - 12}, {x + 158 + k * 7, y - (k % 5 == 0 ? 2 : 6)}, 1);
        c.arrow({x + 235, y}, {x + 285, y}, 2.5);
        c.text({x + 192, y}, readings[i], 0, -34, 18);
        c.text({x + 145, 168}, names[i], 0, 34, 20);
    }
    return c.finish();
}

QImage containerDepth() {
    Canvas c(460, 340);
    const double left = 120, right = 340, bottom = 300, surface = 100;
    c.fillRect({left, surface}, {right, bottom}, kWater);
    c.polyline({{left, 60}, {left, bottom}, {right, bottom}, {right, 60}}, 3);
    c.line({left, surface}, {right, surface}, 1.8);
    const P a(230, 250);
    c.dot(a, 5);
    c.label(a, "A", 0, -20);
    // 40 cm from the surface to the bottom, on the right.
    c.line({right + 14, surface}, {right + 44, surface}, 1.2);
    c.line({right + 14, bottom}, {right + 44, bottom}, 1.2);
    c.arrow({right + 34, 200}, {right + 34, surface}, 1.6);
    c.arrow({right + 34, 200}, {right + 34, bottom}, 1.6);
    c.text({right + 34, 200}, "40 cm", 40, 0, 20);
    // 10 cm from A to the bottom, on the left.
    c.line({a.x(), a.y()}, {left - 44, a.y()}, 1.2, Stroke::Dashed);
    c.line({left - 44, bottom}, {left - 14, bottom}, 1.2);
    c.arrow({left - 34, 275}, {left - 34, a.y()}, 1.6);
    c.arrow({left - 34, 275}, {left - 34, bottom}, 1.6);
    c.text({left - 34, 275}, "10 cm", -46, 0, 20);
    return c.finish();
}

QImage springBlockWater() {
    Canvas c(560, 470);
    auto scale = [&](double x, double reading, const QString& text) {
        c.line({x, 10}, {x, 30}, 2.5);
        c.painter().setPen(QPen(Qt::black, 2.2));
        c.painter().setBrush(QColor(245, 245, 245));
        c.painter().drawRoundedRect(QRectF(x - 26, 30, 52, 170), 8, 8);
        c.painter().setBrush(Qt::NoBrush);
        for (int n = 0; n <= 6; ++n) {
            const double y = 45 + n * 24;
            c.line({x - 22, y}, {x - 8, y}, 1.4);
            c.label({x - 22, y}, QString::number(n), 42, 0, 16);
        }
        const double y = 45 + reading * 24;
        c.polygon({{x - 22, y}, {x - 8, y - 5}, {x - 8, y + 5}}, 1.2, Qt::black);
        c.line({x, 200}, {x, 250}, 2);
        c.text({x, 120}, text, 76, 0, 20);
    };
    auto block = [&](double x, double top) {
        c.polygon({{x - 30, top}, {x + 30, top}, {x + 30, top + 60}, {x - 30, top + 60}}, 2.2, QColor(170, 170, 170));
    };
    scale(120, 5.4, "5.4 N");
    block(120, 250);
    c.text({120, 430}, "甲", 0, 0, 22);
    scale(390, 3.4, "3.4 N");
    c.fillRect({300, 280}, {480, 410}, kWater);
    c.polyline({{300, 220}, {300, 410}, {480, 410}, {480, 220}}, 2.8);
    c.line({300, 280}, {480, 280}, 1.6);
    block(390, 300);
    c.text({390, 430}, "乙", 0, 0, 22);
    return c.finish();
}

QImage lever(bool answer) {
    Canvas c(540, 320);
    const P o(70, 220), a(470, 140);
    c.line(o, a, 6);
    c.polygon({o + P(0, 3), o + P(-18, 36), o + P(18, 36)}, 2, QColor(200, 200, 200));
    c.line(o + P(-40, 36), o + P(40, 36), 2.5);
    c.hatch(o + P(-40, 36), o + P(40, 36), true, 10);
    c.label(o, "O", -22, -12);
    c.label(a, "A", 16, 10);
    const P b = o + (a - o) / 3;
    c.arrow(b, b + P(0, 90), 2.8);
    c.label(b + P(0, 90), "F₂", 22, -6);
    const P tip = a + P(-60, -130);
    c.arrow(a, tip, 2.8);
    c.label(tip, "F₁", -20, 4);
    if (answer) {
        const P d = tip - a;
        const double t = ((o.x() - a.x()) * d.x() + (o.y() - a.y()) * d.y()) / (d.x() * d.x() + d.y() * d.y());
        const P h = a + d * t;
        c.line(o, h, 2, Stroke::Dashed);
        c.rightAngleMark(h, o, a, 12);
        c.label((o + h) / 2, "l₁", -10, -18);
    }
    return c.finish();
}

QImage movablePulley() {
    Canvas c(340, 420);
    const P centre(170, 250);
    const double r = 32;
    c.line({60, 40}, {300, 40}, 3);
    c.hatch({60, 40}, {300, 40}, false, 12);
    c.line({centre.x() - r, 40}, {centre.x() - r, centre.y()}, 2.2);
    c.arc(centre, r, 180, 180, 2.2);
    c.line({centre.x() + r, centre.y()}, {centre.x() + r, 110}, 2.2);
    c.arrow({centre.x() + r, 110}, {centre.x() + r, 70}, 2.5);
    c.label({centre.x() + r, 80}, "F", 20, 0);
    c.circle(centre, r, 2.5, QColor(235, 235, 235));
    c.dot(centre, 4);
    c.line(centre, centre + P(0, r + 36), 2.5);
    c.polygon({{centre.x() - 40, centre.y() + r + 36},
               {centre.x() + 40, centre.y() + r + 36},
               {centre.x() + 40, centre.y() + r + 96},
               {centre.x() - 40, centre.y() + r + 96}},
              2.5, QColor(190, 190, 190));
    c.label(centre + P(0, r + 66), "G", 0, 0);
    return c.finish();
}

}  // namespace

void addPhysicsFigures(QMap<QString, Figure>& out) {
    out.insert("刻度尺", {70, ruler});
    out.insert("s-t图像", {55, stGraph});
    out.insert("温度计", {22, thermometer});
    out.insert("熔化图像", {60, meltingCurve});
    out.insert("光的反射", {55, [] { return reflection(false); }});
    out.insert("光的反射答案", {55, [] { return reflection(true); }});
    out.insert("平面镜成像", {50, [] { return mirrorImage(false); }});
    out.insert("平面镜成像答案", {50, [] { return mirrorImage(true); }});
    out.insert("光的折射", {55, [] { return refraction(false); }});
    out.insert("光的折射答案", {55, [] { return refraction(true); }});
    out.insert("凸透镜光线", {65, [] { return lensRays(false); }});
    out.insert("凸透镜光线答案", {65, [] { return lensRays(true); }});
    out.insert("光具座", {70, lensBench});
    out.insert("量筒", {45, cylinders});
    out.insert("斜面物体", {55, [] { return incline(false); }});
    out.insert("斜面物体答案", {55, [] { return incline(true); }});
    out.insert("弹簧测力计", {25, springScale});
    out.insert("摩擦力实验", {120, frictionExperiment});
    out.insert("液体压强容器", {50, containerDepth});
    out.insert("称重法测浮力", {55, springBlockWater});
    out.insert("杠杆", {60, [] { return lever(false); }});
    out.insert("杠杆答案", {60, [] { return lever(true); }});
    out.insert("动滑轮", {35, movablePulley});
}

}  // namespace zs::demo
