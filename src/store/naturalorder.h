#pragma once

#include <QString>
#include <QVariant>

namespace zs {

// Natural order of catalogue-style names "#-text": the number before the first
// "-" compared as a number, then the whole text. Names without such a number
// come after the numbered ones; null values come first.
struct NaturalKey {
    int rank = 0;  // 0 null, 1 numbered, 2 other
    double number = 0;
    QString text;

    static NaturalKey of(const QVariant& value);
    bool operator<(const NaturalKey& other) const;
};

bool naturalLess(const QString& a, const QString& b);

}  // namespace zs
