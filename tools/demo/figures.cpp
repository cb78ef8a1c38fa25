#include "demo/figures.h"

#include <QDir>
#include <stdexcept>

namespace zs::demo {

const QMap<QString, Figure>& figures() {
    static const QMap<QString, Figure> all = [] {
        QMap<QString, Figure> out;
        addMathFigures(out);
        addPhysicsFigures(out);
        return out;
    }();
    return all;
}

FigureFiles::FigureFiles() {
    dir_.setAutoRemove(true);
}

QString FigureFiles::path(const QString& name) {
    if (const auto it = drawn_.constFind(name); it != drawn_.constEnd())
        return *it;
    const auto figure = figures().constFind(name);
    if (figure == figures().constEnd())
        throw std::invalid_argument("unknown figure: " + name.toStdString());
    const QString file = QDir(dir_.path()).filePath(QString::number(drawn_.size()) + QStringLiteral(".png"));
    if (!figure->draw().save(file, "PNG"))
        throw std::runtime_error("cannot write figure " + name.toStdString());
    drawn_.insert(name, file);
    return file;
}

double FigureFiles::widthMm(const QString& name) const {
    const auto figure = figures().constFind(name);
    return figure == figures().constEnd() ? 60 : figure->widthMm;
}

}  // namespace zs::demo
