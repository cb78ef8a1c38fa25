#pragma once

#include "demo/rng.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zs::demo {

// A textbook as it is printed: chapters, sections and the knowledge points a
// teacher lists for each section. Titles carry no "#-" prefix; the section
// titles start with their number ("1.1 正数和负数").
struct TextbookSection {
    QString title;
    QStringList points;
};

struct TextbookChapter {
    QString title;  // "第一章 有理数"
    QList<TextbookSection> sections;
};

struct TextbookVolume {
    QString grade;   // with its prefix, "7-七年级"
    QString volume;  // with its prefix, "1-上册"
    QList<TextbookChapter> chapters;
};

struct Textbook {
    QString subject;  // with its prefix, "1-初中数学"
    QString edition;  // with its prefix, "1-人教版"
    QList<TextbookVolume> volumes;
};

// The two textbooks of the demo bank (人教版 初中数学 and 初中物理).
Textbook mathTextbook();
Textbook physicsTextbook();

// One section of the catalogue as the bank stores it: the six names with their
// "#-" prefixes and the prefixed knowledge points in catalogue order.
struct CatalogueSection {
    QString subject, edition, grade, volume, chapter, section;
    QStringList points;

    // The six names joined by "\", as 考查范围 holds them.
    QString scopePath() const;
    // The section's number in its textbook ("1.1"), empty for made-up titles.
    QString number() const;
};

// The catalogue of a bank: its sections in the order a teacher would enter them.
class Catalogue {
public:
    QList<CatalogueSection> sections;

    // Adds a textbook, giving every chapter, section and knowledge point its
    // "#-" prefix: chapters by their number, sections and points by position.
    void add(const Textbook& book);

    int pointCount() const;
    // The section of a subject by its textbook number; nullptr when absent.
    const CatalogueSection* find(const QString& subject, const QString& number) const;
    // The prefixed name of a knowledge point of a section ("正数的概念" →
    // "1-正数的概念"); empty when the section has no such point.
    static QString prefixedPoint(const CatalogueSection& section, const QString& point);

    // The rows of 教材设置 (科目 … 知识点, empty texts for empty columns): one row
    // per item, as adding them level by level on the catalogue screen leaves them.
    QList<QStringList> rows() const;
};

// A large made-up catalogue for benchmark banks: four subjects, two editions,
// three grades, two volumes, 4–6 chapters of 3–5 sections with 3–8 points each.
Catalogue syntheticCatalogue(Rng& rng);

// Chinese numeral of 1 … 99 ("十二").
QString chineseNumber(int n);

}  // namespace zs::demo
