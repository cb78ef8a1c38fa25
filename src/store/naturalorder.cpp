#include "store/naturalorder.h"

#include "store/textnumbers.h"

namespace zs {

NaturalKey NaturalKey::of(const QVariant& value) {
    NaturalKey key;
    if (value.isNull()) {
        key.rank = 0;
        return key;
    }
    key.text = value.toString();
    // Plain digits (question numbers) need no further parsing.
    bool digits = !key.text.isEmpty() && key.text.size() < 16;
    for (QChar c : key.text)
        digits = digits && c >= u'0' && c <= u'9';
    if (digits) {
        key.rank = 1;
        key.number = double(key.text.toLongLong());
        return key;
    }
    const int dash = key.text.indexOf(u'-');
    const QString prefix = dash >= 0 ? key.text.left(dash) : key.text;
    if (isNumericText(prefix)) {
        key.rank = 1;
        key.number = numericValue(prefix);
    } else {
        key.rank = 2;
    }
    return key;
}

bool NaturalKey::operator<(const NaturalKey& other) const {
    if (rank != other.rank)
        return rank < other.rank;
    if (rank == 1 && number != other.number)
        return number < other.number;
    return text < other.text;
}

bool naturalLess(const QString& a, const QString& b) {
    return NaturalKey::of(a) < NaturalKey::of(b);
}

}  // namespace zs
