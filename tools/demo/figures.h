#pragma once

#include <QImage>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <functional>

namespace zs::demo {

// A figure of a question or answer: how to draw it and how wide it is printed.
struct Figure {
    double widthMm = 60;
    std::function<QImage()> draw;
};

// Every figure the demo questions use, by name.
const QMap<QString, Figure>& figures();
void addMathFigures(QMap<QString, Figure>& out);
void addPhysicsFigures(QMap<QString, Figure>& out);

// The figures drawn into PNG files, each once, in a temporary folder.
class FigureFiles {
public:
    FigureFiles();
    // The PNG of a figure; throws std::invalid_argument for an unknown name.
    QString path(const QString& name);
    double widthMm(const QString& name) const;

private:
    QTemporaryDir dir_;
    QMap<QString, QString> drawn_;
};

}  // namespace zs::demo
