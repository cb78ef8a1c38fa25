#include "demo/documents.h"

#include "demo/figures.h"

#include <QStringList>

namespace zs::demo {

namespace {

const QString kFigureOpen = QStringLiteral("[图:");

bool isFigureLine(const QString& line) {
    return line.startsWith(kFigureOpen) && line.endsWith(u']');
}

QString figureName(const QString& line) {
    return line.mid(kFigureOpen.size(), line.size() - kFigureOpen.size() - 1);
}

TextStyle bodyStyle(bool bold, TextStyle::Align align = TextStyle::Align::Left) {
    TextStyle s;
    s.bold = bold;
    s.fontName = QStringLiteral("宋体");
    s.pointSize = 12;
    s.align = align;
    return s;
}

}  // namespace

QStringList figuresOf(const QString& text) {
    QStringList out;
    for (const QString& line : text.split(u'\n'))
        if (isFigureLine(line))
            out << figureName(line);
    return out;
}

void writeDocument(WordInstance& word, const QString& text, const QString& path, FigureFiles& figures) {
    const auto doc = word.newDocument();
    bool first = true;
    for (const QString& line : text.split(u'\n')) {
        const QString breakBefore = first ? QString() : QStringLiteral("\r");
        first = false;
        if (isFigureLine(line)) {
            const QString name = figureName(line);
            // A centred paragraph of its own holds the picture.
            doc->append(breakBefore + u' ', bodyStyle(false, TextStyle::Align::Center));
            doc->appendPicture(figures.path(name), figures.widthMm(name));
            continue;
        }
        const qsizetype close = line.startsWith(u'【') ? line.indexOf(u'】') : -1;
        if (close > 0) {
            doc->append(breakBefore + line.left(close + 1), bodyStyle(true));
            if (close + 1 < line.size())
                doc->append(line.mid(close + 1), bodyStyle(false));
        } else {
            doc->append(breakBefore + line, bodyStyle(false));
        }
    }
    doc->saveAs(path);
    doc->close();
}

}  // namespace zs::demo
