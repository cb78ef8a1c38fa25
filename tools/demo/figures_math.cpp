// Figures of the mathematics questions: number lines, triangles, grids and
// graphs as a teacher draws them on a paper.

#include "demo/canvas.h"
#include "demo/figures.h"

#include <QtMath>
#include <cmath>

namespace zs::demo {

namespace {

using P = QPointF;
using Stroke = Canvas::Stroke;

QString minusText(int n) {
    return QString::number(n).replace(u'-', QChar(0x2212));
}

// A number line from `from` to `to` with unit ticks and numbers below.
void numberLine(Canvas& c, int from, int to) {
    c.arrow({from - 0.6, 0}, {to + 0.7, 0}, 2.2);
    for (int x = from; x <= to; ++x) {
        c.line({double(x), 0}, {double(x), 0.12}, 2);
        c.label({double(x), 0}, minusText(x), 0, 24, 22);
    }
}

P polar(P origin, double length, double degrees) {
    const double r = qDegreesToRadians(degrees);
    return origin + P(length * std::cos(r), length * std::sin(r));
}

// Pixel-space polar point (y down, angles counter-clockwise as seen).
P screenPolar(P origin, double length, double degrees) {
    const double r = qDegreesToRadians(degrees);
    return origin + P(length * std::cos(r), -length * std::sin(r));
}

// The foot of the perpendicular from p to the line through a and b.
P foot(P p, P a, P b) {
    const P d = b - a;
    const double t = ((p.x() - a.x()) * d.x() + (p.y() - a.y()) * d.y()) / (d.x() * d.x() + d.y() * d.y());
    return a + d * t;
}

QImage numberLineAB() {
    Canvas c(720, 170);
    c.setWorld(-4.8, 3.9, -0.9, 0.9, 20);
    numberLine(c, -4, 3);
    c.dot({-2.5, 0});
    c.dot({1.5, 0});
    c.label({-2.5, 0}, "a", 0, -24);
    c.label({1.5, 0}, "b", 0, -24);
    return c.finish();
}

QImage segmentsAB() {
    Canvas c(520, 190);
    auto segment = [&](double y, double length, const QString& name) {
        c.line({60, y}, {60 + length, y});
        c.line({60, y - 8}, {60, y + 8}, 2);
        c.line({60 + length, y - 8}, {60 + length, y + 8}, 2);
        c.label({60 + length / 2, y}, name, 0, -22);
    };
    segment(70, 200, "a");
    segment(150, 130, "b");
    return c.finish();
}

QImage segmentsABAnswer() {
    Canvas c(620, 200);
    const double y = 110, a = 200, b = 130;
    const double xA = 40, xC = xA + a, xD = xA + 2 * a, xB = xD - b;
    c.line({xA, y}, {xD + 60, y});
    c.dot({xA, y}, 4);
    // The compass marks: a from A to C, a again from C to D, b back from D to B.
    c.arc({xA, y}, a, -9, 18, 1.8);
    c.arc({xC, y}, a, -9, 18, 1.8);
    c.arc({xD, y}, b, 171, 18, 1.8);
    c.dot({xB, y}, 4);
    c.label({xA, y}, "A", 0, 26);
    c.label({xC, y}, "C", 0, 26);
    c.label({xD, y}, "D", 0, 26);
    c.label({xB, y}, "B", 0, 26);
    c.text({xA + (xB - xA) / 2, y}, "线段AB即为所求", 0, 64, 22);
    return c.finish();
}

QImage intersecting() {
    Canvas c(520, 330);
    c.setWorld(-3.2, 3.2, -2, 2, 24);
    const P o(0, 0);
    const P a = polar(o, 3, 190), b = polar(o, 3, 10), cc = polar(o, 2.2, 150), d = polar(o, 2.2, 330);
    c.line(a, b);
    c.line(cc, d);
    c.label(a, "A", -14, -4);
    c.label(b, "B", 14, -4);
    c.label(cc, "C", -10, -14);
    c.label(d, "D", 10, 14);
    c.label(o, "O", 6, 26);
    c.angleMark(o, a, cc, 30, "1");
    c.angleMark(o, cc, b, 22, "2");
    return c.finish();
}

QImage parallelTransversal() {
    Canvas c(520, 330);
    c.setWorld(-3, 3, -2.1, 2.1, 20);
    const P p1(-0.7, 1), p2(0.7, -1);
    c.line({-2.6, 1}, {2.6, 1});
    c.line({-2.6, -1}, {2.6, -1});
    c.line({1.3, -1.857}, {-1.3, 1.857});
    c.label({2.6, 1}, "a", 14, 0);
    c.label({2.6, -1}, "b", 14, 0);
    c.label({-1.3, 1.857}, "c", -14, 6);
    c.angleMark(p1, {2, 1}, p2, 26, "1");
    c.angleMark(p2, {2, -1}, p1, 26, "2");
    return c.finish();
}

QImage parallelTriangle() {
    Canvas c(520, 300);
    const P a(110, 50), f(210, 150), e(310, 250), cc(69, 150);
    c.line({40, 50}, {480, 50});
    c.line(cc, {480, 150});
    c.line(a, e);
    c.line(cc, e);
    c.label(a, "A", -6, -20);
    c.label({480, 50}, "B", 0, -20);
    c.label(cc, "C", -18, -4);
    c.label({480, 150}, "D", 0, -20);
    c.label(f, "F", 18, -16);
    c.label(e, "E", 16, 10);
    c.angleMark(a, {200, 50}, e, 28);
    return c.finish();
}

void gridTriangle(Canvas& c, P a, P b, P cc, const QStringList& names, bool dashed = false) {
    c.polyline({a, b, cc, a}, 2.8, dashed ? Stroke::Dashed : Stroke::Solid);
    const P centre = (a + b + cc) / 3;
    for (int i = 0; i < 3; ++i) {
        const P p = i == 0 ? a : i == 1 ? b : cc;
        P away = p - centre;
        const double len = std::hypot(away.x(), away.y());
        away /= len;
        c.label(p, names[i], away.x() * 20, -away.y() * 20, 24);
    }
}

QImage gridTranslate(bool answer) {
    Canvas c(620, 460);
    c.setWorld(-6, 6, -4, 5, 30);
    c.grid();
    c.axes();
    gridTriangle(c, {-4, 1}, {-1, 1}, {-3, 3}, {"A", "B", "C"});
    if (answer)
        gridTriangle(c, {1, -2}, {4, -2}, {2, 0}, {"A₁", "B₁", "C₁"});
    return c.finish();
}

QImage numberLineAtMost3() {
    Canvas c(680, 170);
    c.setWorld(-2.8, 5.8, -0.9, 1.0, 20);
    numberLine(c, -2, 5);
    c.dot({3, 0}, 6);
    c.line({3, 0}, {3, 0.45}, 2.5);
    c.arrow({3, 0.45}, {-2.4, 0.45}, 2.5);
    return c.finish();
}

QImage histogram() {
    Canvas c(620, 440);
    c.setWorld(-1.4, 11.8, -2.6, 21.5, 20, false);
    const int counts[] = {6, 14, 18, 8, 4};
    for (int i = 0; i < 5; ++i) {
        const double x = 2 * i;
        c.fillRect({x, 0}, {x + 2, double(counts[i])}, QColor(200, 200, 200));
        c.polygon({{x, 0}, {x, double(counts[i])}, {x + 2, double(counts[i])}, {x + 2, 0}}, 2);
        c.label({x + 1, double(counts[i])}, QString::number(counts[i]), 0, -14, 20);
    }
    c.arrow({0, 0}, {11.5, 0}, 2);
    c.arrow({0, 0}, {0, 21.2}, 2);
    for (int x = 0; x <= 10; x += 2)
        c.label({double(x), 0}, QString::number(x), 0, 18, 20);
    for (int y = 2; y <= 20; y += 2) {
        c.line({-0.12, double(y)}, {0, double(y)}, 1.6);
        c.label({0, double(y)}, QString::number(y), -20, 0, 18);
    }
    c.text({0, 21.2}, "人数", 36, 6, 20);
    c.text({11.5, 0}, "时间/小时", -30, 40, 20);
    return c.finish();
}

QImage triangleExterior() {
    Canvas c(520, 290);
    const P a(190, 50), b(60, 250), cc(330, 250), d(480, 250);
    c.polygon({a, b, cc});
    c.line(cc, d);
    c.label(a, "A", 0, -20);
    c.label(b, "B", -16, 8);
    c.label(cc, "C", 0, 22);
    c.label(d, "D", 10, 20);
    c.angleMark(cc, d, a, 26);
    return c.finish();
}

QImage congruentSAS() {
    Canvas c(470, 300);
    const P b(60, 260), e(160, 260), cc(300, 260), f(400, 260), a(120, 80), d(220, 80);
    c.line(b, f);
    c.polygon({a, b, cc});
    c.polygon({d, e, f});
    c.label(a, "A", 0, -20);
    c.label(d, "D", 0, -20);
    c.label(b, "B", -4, 22);
    c.label(e, "E", -4, 22);
    c.label(cc, "C", 4, 22);
    c.label(f, "F", 4, 22);
    return c.finish();
}

QImage isoscelesMedian() {
    Canvas c(440, 320);
    const P a(220, 40), b(70, 280), cc(370, 280), d(220, 280);
    c.polygon({a, b, cc});
    c.line(a, d);
    c.label(a, "A", 0, -20);
    c.label(b, "B", -16, 8);
    c.label(cc, "C", 16, 8);
    c.label(d, "D", 0, 22);
    return c.finish();
}

QImage bisectorRight(bool answer) {
    Canvas c(360, 300);
    const P cc(60, 250), a(60, 70), b(300, 250), d(150, 250);
    c.polygon({a, b, cc});
    c.line(a, d);
    c.rightAngleMark(cc, a, b);
    c.label(a, "A", -16, -6);
    c.label(b, "B", 16, 6);
    c.label(cc, "C", -16, 8);
    c.label(d, "D", 0, 22);
    if (answer) {
        const P e = foot(d, a, b);
        c.line(d, e, 2.2, Stroke::Dashed);
        c.rightAngleMark(e, d, b, 12);
        c.label(e, "E", 8, -20);
    }
    return c.finish();
}

QImage angleAOB(bool answer) {
    Canvas c(520, 300);
    const P o(60, 260);
    const P a = screenPolar(o, 420, 0), b = screenPolar(o, 300, 50);
    c.line(o, a);
    c.line(o, b);
    c.label(o, "O", -14, 10);
    c.label(a, "A", 6, 20);
    c.label(b, "B", -4, -18);
    if (answer) {
        const double r1 = 130, r2 = 110;
        c.arc(o, r1, -6, 62, 1.8);
        const P m = screenPolar(o, r1, 0), n = screenPolar(o, r1, 50);
        // The bisector point: equally far (r2) from m and n, on the 25° ray.
        const double cosHalf = std::cos(qDegreesToRadians(25.0));
        const double t = r1 * cosHalf + std::sqrt(r1 * r1 * cosHalf * cosHalf - (r1 * r1 - r2 * r2));
        const P p = screenPolar(o, t, 25);
        auto towards = [](P from, P to) { return qRadiansToDegrees(std::atan2(from.y() - to.y(), to.x() - from.x())); };
        c.arc(m, r2, towards(m, p) - 13, 26, 1.8);
        c.arc(n, r2, towards(n, p) - 13, 26, 1.8);
        c.line(o, screenPolar(o, 430, 25), 2.5);
        c.label(m, "M", 8, 20, 22);
        c.label(n, "N", -16, -8, 22);
        c.label(p, "P", 4, -20, 22);
        c.label(screenPolar(o, 430, 25), "C", 14, 0);
    }
    return c.finish();
}

QImage gridReflect(bool answer) {
    Canvas c(620, 420);
    c.setWorld(-6, 6, -1.5, 6.5, 28);
    c.grid();
    c.axes();
    gridTriangle(c, {1, 4}, {4, 2}, {3, 5}, {"A", "B", "C"});
    if (answer)
        gridTriangle(c, {-1, 4}, {-4, 2}, {-3, 5}, {"A₁", "B₁", "C₁"});
    return c.finish();
}

QImage river(bool answer) {
    Canvas c(560, 330);
    c.setWorld(-1, 5.4, answer ? -1.5 : -0.8, 2.6, 24);
    c.line({-0.8, 0}, {5.2, 0}, 2.5);
    c.hatch({-0.8, 0}, {5.2, 0}, true, 14);
    c.label({5.2, 0}, "l", 10, -14);
    const P a(0, 1), b(4, 2);
    c.dot(a);
    c.dot(b);
    c.label(a, "A", -16, -12);
    c.label(b, "B", 14, -12);
    if (answer) {
        const P a2(0, -1), p(4.0 / 3.0, 0);
        c.line(a, a2, 2, Stroke::Dashed);
        c.dot(a2);
        c.label(a2, "A′", -20, 6);
        c.line(a2, p, 2, Stroke::Dashed);
        c.line(a, p);
        c.line(p, b);
        c.dot(p);
        c.label(p, "P", 2, -22);
    }
    return c.finish();
}

QImage ladder() {
    Canvas c(400, 360);
    c.setWorld(-0.5, 2.0, -0.35, 2.65, 24);
    c.line({0, -0.05}, {0, 2.6}, 2.5);
    c.hatch({0, -0.05}, {0, 2.6}, false, 14);
    c.line({-0.05, 0}, {1.9, 0}, 2.5);
    c.hatch({-0.05, 0}, {1.9, 0}, true, 14);
    c.line({0.7, 0}, {0, 2.4}, 5);
    c.line({1.5, 0}, {0, 2.0}, 3, Stroke::Dashed);
    c.label({0, 2.4}, "A", -18, 0);
    c.label({0.7, 0}, "B", 0, 22);
    c.label({0, 2.0}, "C", -18, 4);
    c.label({1.5, 0}, "D", 0, 22);
    c.label({0, 0}, "O", -18, 18);
    return c.finish();
}

QImage numberLineSqrt5() {
    Canvas c(620, 280);
    c.setWorld(-1.6, 3.8, -0.7, 1.5, 20);
    numberLine(c, -1, 3);
    const P o(0, 0), a(2, 0), b(2, 1), p(std::sqrt(5.0), 0);
    c.line(a, b);
    c.line(o, b);
    c.rightAngleMark(a, o, b, 12);
    const double r = std::sqrt(5.0) * c.scale();
    c.arc(o, r, 0, qRadiansToDegrees(std::atan2(1.0, 2.0)) + 2, 2);
    c.dot(p, 4);
    c.label(o, "O", -14, -18, 22);
    c.label(a, "A", -14, -18, 22);
    c.label(b, "B", 0, -20);
    c.label(p, "P", 14, -18, 22);
    return c.finish();
}

QImage quadABCD() {
    Canvas c(440, 400);
    c.setWorld(-1, 12.4, -0.9, 10.4, 24);
    const P a(0, 3), b(0, 0), cc(4, 0), d(11.2, 9.6);
    c.polygon({a, b, cc, d});
    c.rightAngleMark(b, a, cc);
    c.label(a, "A", -18, -4);
    c.label(b, "B", -16, 14);
    c.label(cc, "C", 10, 18);
    c.label(d, "D", 14, -8);
    return c.finish();
}

QImage parallelogramEF() {
    Canvas c(480, 280);
    const P a(110, 50), d(440, 50), b(40, 230), cc(370, 230), e(200, 50), f(280, 230);
    c.polygon({a, d, cc, b});
    c.line(b, e);
    c.line(d, f);
    c.label(a, "A", -10, -20);
    c.label(d, "D", 10, -20);
    c.label(b, "B", -12, 20);
    c.label(cc, "C", 12, 20);
    c.label(e, "E", 0, -20);
    c.label(f, "F", 0, 22);
    return c.finish();
}

QImage rectangleADCE() {
    Canvas c(440, 340);
    const P a(200, 100), b(80, 300), cc(320, 300), d(200, 300), e(320, 100);
    const P m = a + (a - b) * 0.38;
    c.polygon({a, b, cc});
    c.line(a, m);
    c.line(a, d);
    c.line(a, e);
    c.line(cc, e);
    c.rightAngleMark(e, a, cc, 14);
    c.label(a, "A", -18, -4);
    c.label(b, "B", -16, 10);
    c.label(cc, "C", 16, 10);
    c.label(d, "D", 0, 22);
    c.label(e, "E", 16, -8);
    c.label(m, "M", -16, -6);
    return c.finish();
}

QImage linearGraph() {
    Canvas c(520, 500);
    c.setWorld(-3.5, 4.5, -1.5, 5.8, 24);
    c.grid(QColor(215, 215, 215));
    c.axes();
    c.line({-3.2, -1.2}, {3.5, 5.5}, 2.8);
    c.line({2, 0}, {2, 4}, 1.8, Stroke::Dashed);
    c.line({0, 4}, {2, 4}, 1.8, Stroke::Dashed);
    c.dot({2, 4});
    c.dot({0, 2});
    c.label({2, 4}, "A", 18, 6);
    c.label({0, 2}, "B", -20, -8);
    return c.finish();
}

QImage twoLines() {
    Canvas c(540, 460);
    c.setWorld(-2.5, 4.5, -1.5, 4.6, 24);
    c.axes(QStringLiteral("x"), QStringLiteral("y"), 1, false);
    c.line({-2.3, -1.3}, {3.3, 4.3}, 2.8);
    c.line({-1.2, 4.2}, {4.3, -1.3}, 2.8);
    c.line({1, 0}, {1, 2}, 1.8, Stroke::Dashed);
    c.line({0, 2}, {1, 2}, 1.8, Stroke::Dashed);
    c.dot({1, 2});
    c.label({1, 2}, "P", 0, -24);
    c.label({3.3, 4.3}, "l₁", 20, 4);
    c.label({4.3, -1.3}, "l₂", 16, -14);
    c.label({1, 0}, "1", 10, 16, 20);
    c.label({0, 2}, "b", -14, -2, 22);
    return c.finish();
}

QImage obtuseTriangle(bool answer) {
    Canvas c(480, 300);
    const P cc(50, 250), b(220, 250), a(400, 70);
    c.polygon({a, b, cc});
    c.label(a, "A", 0, -20);
    c.label(b, "B", -4, 22);
    c.label(cc, "C", -16, 8);
    if (answer) {
        const P d(400, 250), e = (a + cc) / 2;
        c.line(b, d, 2, Stroke::Dashed);
        c.line(a, d, 2.5);
        c.rightAngleMark(d, a, b);
        c.line(b, e, 2.5);
        c.label(d, "D", 4, 22);
        c.label(e, "E", -8, -20);
    }
    return c.finish();
}

}  // namespace

void addMathFigures(QMap<QString, Figure>& out) {
    out.insert("数轴ab", {70, numberLineAB});
    out.insert("线段ab", {55, segmentsAB});
    out.insert("线段ab作图", {65, segmentsABAnswer});
    out.insert("相交线", {55, intersecting});
    out.insert("平行线截线", {55, parallelTransversal});
    out.insert("平行线与三角形", {55, parallelTriangle});
    out.insert("坐标平移", {65, [] { return gridTranslate(false); }});
    out.insert("坐标平移答案", {65, [] { return gridTranslate(true); }});
    out.insert("数轴解集", {70, numberLineAtMost3});
    out.insert("阅读时间直方图", {70, histogram});
    out.insert("三角形外角", {55, triangleExterior});
    out.insert("全等三角形SAS", {55, congruentSAS});
    out.insert("等腰三角形中线", {50, isoscelesMedian});
    out.insert("角平分线直角三角形", {45, [] { return bisectorRight(false); }});
    out.insert("角平分线直角三角形答案", {45, [] { return bisectorRight(true); }});
    out.insert("已知角", {55, [] { return angleAOB(false); }});
    out.insert("角平分线作图", {55, [] { return angleAOB(true); }});
    out.insert("坐标轴对称", {65, [] { return gridReflect(false); }});
    out.insert("坐标轴对称答案", {65, [] { return gridReflect(true); }});
    out.insert("饮水问题", {60, [] { return river(false); }});
    out.insert("饮水问题答案", {60, [] { return river(true); }});
    out.insert("梯子", {45, ladder});
    out.insert("数轴根号5", {65, numberLineSqrt5});
    out.insert("四边形ABCD", {50, quadABCD});
    out.insert("平行四边形BFDE", {55, parallelogramEF});
    out.insert("矩形ADCE", {50, rectangleADCE});
    out.insert("一次函数图象", {55, linearGraph});
    out.insert("两直线交点", {55, twoLines});
    out.insert("钝角三角形", {55, [] { return obtuseTriangle(false); }});
    out.insert("钝角三角形答案", {55, [] { return obtuseTriangle(true); }});
}

}  // namespace zs::demo
