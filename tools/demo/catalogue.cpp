#include "demo/catalogue.h"

#include <QSet>
#include <stdexcept>

namespace zs::demo {

namespace {

QString prefixed(int n, const QString& name) {
    return QString::number(n) + u'-' + name;
}

// The chapter number of a chapter: the number before the "." of its first section.
int chapterNumber(const TextbookChapter& chapter, int fallback) {
    if (chapter.sections.isEmpty())
        return fallback;
    bool ok = false;
    const int n = chapter.sections.first().title.section(u'.', 0, 0).toInt(&ok);
    return ok ? n : fallback;
}

QString stripPrefix(const QString& name) {
    return name.section(u'-', 1);
}

}  // namespace

QString chineseNumber(int n) {
    static const QString digits = QStringLiteral("零一二三四五六七八九");
    if (n < 10)
        return QString(digits[n]);
    const int tens = n / 10, ones = n % 10;
    QString out = tens == 1 ? QString() : QString(digits[tens]);
    out += u'十';
    if (ones)
        out += digits[ones];
    return out;
}

QString CatalogueSection::scopePath() const {
    return QStringList{subject, edition, grade, volume, chapter, section}.join(u'\\');
}

QString CatalogueSection::number() const {
    return stripPrefix(section).section(u' ', 0, 0);
}

void Catalogue::add(const Textbook& book) {
    int chapterIndex = 0;
    for (const TextbookVolume& volume : book.volumes)
        for (const TextbookChapter& chapter : volume.chapters) {
            ++chapterIndex;
            const QString chapterName = prefixed(chapterNumber(chapter, chapterIndex), chapter.title);
            for (int s = 0; s < chapter.sections.size(); ++s) {
                const TextbookSection& section = chapter.sections[s];
                CatalogueSection out{book.subject,
                                     book.edition,
                                     volume.grade,
                                     volume.volume,
                                     chapterName,
                                     prefixed(s + 1, section.title),
                                     {}};
                for (int p = 0; p < section.points.size(); ++p)
                    out.points << prefixed(p + 1, section.points[p]);
                sections << out;
            }
        }
}

int Catalogue::pointCount() const {
    int n = 0;
    for (const CatalogueSection& s : sections)
        n += int(s.points.size());
    return n;
}

const CatalogueSection* Catalogue::find(const QString& subject, const QString& number) const {
    for (const CatalogueSection& s : sections)
        if (s.subject == subject && s.number() == number)
            return &s;
    return nullptr;
}

QString Catalogue::prefixedPoint(const CatalogueSection& section, const QString& point) {
    for (const QString& p : section.points)
        if (stripPrefix(p) == point)
            return p;
    return {};
}

QList<QStringList> Catalogue::rows() const {
    QList<QStringList> out;
    QSet<QString> seen;
    for (const CatalogueSection& s : sections) {
        const QStringList names = {s.subject, s.edition, s.grade, s.volume, s.chapter, s.section};
        // The row of each level as the catalogue screen adds it, once.
        for (int level = 1; level <= names.size(); ++level) {
            QStringList row = names.mid(0, level);
            const QString key = row.join(u'\\');
            if (seen.contains(key))
                continue;
            seen.insert(key);
            while (row.size() < 7)
                row << QString();
            out << row;
        }
        for (const QString& point : s.points) {
            QStringList row = names;
            row << point;
            out << row;
        }
    }
    return out;
}

Catalogue syntheticCatalogue(Rng& rng) {
    const QStringList subjects = {"1-初中数学", "2-初中物理", "3-初中化学", "4-初中生物"};
    const QStringList editions = {"1-人教版", "2-北师大版"};
    const QStringList grades = {"7-七年级", "8-八年级", "9-九年级"};
    const QStringList volumes = {"1-上册", "2-下册"};
    Catalogue catalogue;
    for (const QString& subject : subjects)
        for (const QString& edition : editions) {
            Textbook book{subject, edition, {}};
            int chapter = 0;
            for (const QString& grade : grades)
                for (const QString& volume : volumes) {
                    TextbookVolume v{grade, volume, {}};
                    const int chapters = rng.between(4, 6);
                    for (int c = 0; c < chapters; ++c) {
                        ++chapter;
                        TextbookChapter ch{QStringLiteral("第%1章 第%1单元").arg(chineseNumber(chapter)), {}};
                        const int sections = rng.between(3, 5);
                        for (int s = 1; s <= sections; ++s) {
                            TextbookSection sec{QStringLiteral("%1.%2 第%2节").arg(chapter).arg(s), {}};
                            const int points = rng.between(3, 8);
                            for (int p = 1; p <= points; ++p)
                                sec.points << QStringLiteral("知识点%1.%2.%3").arg(chapter).arg(s).arg(p);
                            ch.sections << sec;
                        }
                        v.chapters << ch;
                    }
                    book.volumes << v;
                }
            catalogue.add(book);
        }
    return catalogue;
}

}  // namespace zs::demo
