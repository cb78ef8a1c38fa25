#include "questions/similarity.h"

#include "office/wordprocessor.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace zs {

namespace {

constexpr int kShingleLength = 3;
constexpr int kShortestCompared = 5;

// Whether compatibility folding can change the text: plain ASCII and the
// unified ideographs stay as they are.
bool needsFolding(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x80 && u < 0x3000) || (u >= 0x3100 && u < 0x3400) || u >= 0xA000)
            return true;
    }
    return false;
}

// The characters that similarity looks at.
QString comparedCharacters(const QString& text) {
    const QString folded = (needsFolding(text) ? text.normalized(QString::NormalizationForm_KC) : text).toCaseFolded();
    QString out;
    out.reserve(folded.size());
    for (const QChar c : folded) {
        if (c.isSpace() || c.isPunct())
            continue;
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format || category == QChar::Other_NotAssigned)
            continue;
        out += c;
    }
    return out;
}

// How many values two sorted lists without repeats have in common.
template <class T> int commonCount(const std::vector<T>& a, const std::vector<T>& b) {
    int common = 0;
    auto i = a.begin();
    auto j = b.begin();
    while (i != a.end() && j != b.end()) {
        if (*i < *j) {
            ++i;
        } else if (*j < *i) {
            ++j;
        } else {
            ++common;
            ++i;
            ++j;
        }
    }
    return common;
}

double similarityOf(int common, std::size_t a, std::size_t b) {
    const std::size_t together = a + b - std::size_t(common);
    return together == 0 ? 0.0 : double(common) / double(together);
}

}  // namespace

std::vector<quint64> textShingles(const QString& text) {
    const QString chars = comparedCharacters(text);
    std::vector<quint64> out;
    if (chars.size() < kShortestCompared)
        return out;
    out.reserve(std::size_t(chars.size()));
    for (qsizetype i = 0; i + kShingleLength <= chars.size(); ++i) {
        // Three UTF-16 units fit in 48 bits: the shingle is its own hash.
        quint64 s = 0;
        for (int k = 0; k < kShingleLength; ++k)
            s = (s << 16) | chars[i + k].unicode();
        out.push_back(s);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

double jaccard(const std::vector<quint64>& a, const std::vector<quint64>& b) {
    return similarityOf(commonCount(a, b), a.size(), b.size());
}

int similarityPercent(double similarity) {
    return int(std::floor(similarity * 100 + 1e-9));
}

QString similarityMark(const SimilarMatch& match) {
    return QStringLiteral("与 %1 相似度 %2%").arg(match.number).arg(match.percent);
}

QString similarEntryQuestion(const SimilarMatch& match) {
    return QStringLiteral("这道试题") + similarityMark(match) + QStringLiteral("。\r\r是否仍然录入这道试题？");
}

QString similarImportQuestion(const QString& code, const SimilarMatch& match) {
    return QStringLiteral("要导入的试题“%1”").arg(code) + similarityMark(match) +
           QStringLiteral("。\r\r是否仍然导入这道试题？");
}

// ---------------------------------------------------------------- index

SimilarityIndex::SimilarityIndex(double threshold) : threshold_(threshold) {}

void SimilarityIndex::add(const QString& number, const QString& text) {
    constexpr int kExcerpt = 60;
    QString line = text.left(kExcerpt * 2);
    line.replace(u'\r', u' ');
    excerpts_.insert(number, line.simplified().left(kExcerpt));
    addShingles(number, textShingles(text));
}

void SimilarityIndex::addShingles(const QString& number, std::vector<quint64> shingles) {
    numbers_.push_back(number);
    shingles_.push_back(std::move(shingles));
    prepared_ = false;
}

int SimilarityIndex::prefixLength(int size) const {
    if (size <= 0)
        return 0;
    const int needed = int(std::ceil(threshold_ * size - 1e-9));
    return std::clamp(size - needed + 1, 1, size);
}

void SimilarityIndex::prepare() const {
    if (prepared_)
        return;
    // How many questions hold each shingle; the rarest rank first.
    std::vector<quint64> all;
    for (const auto& s : shingles_)
        all.insert(all.end(), s.begin(), s.end());
    std::sort(all.begin(), all.end());
    std::vector<std::pair<int, quint64>> byFrequency;  // (questions holding it, shingle)
    for (std::size_t i = 0; i < all.size();) {
        std::size_t j = i;
        while (j < all.size() && all[j] == all[i])
            ++j;
        byFrequency.emplace_back(int(j - i), all[i]);
        i = j;
    }
    std::sort(byFrequency.begin(), byFrequency.end());
    rankOf_.clear();
    rankOf_.reserve(byFrequency.size());
    for (std::size_t r = 0; r < byFrequency.size(); ++r)
        rankOf_.emplace_back(byFrequency[r].second, int(r));
    std::sort(rankOf_.begin(), rankOf_.end());

    ranks_.assign(shingles_.size(), {});
    postings_.assign(byFrequency.size(), {});
    for (std::size_t q = 0; q < shingles_.size(); ++q) {
        ranks_[q] = ranked(shingles_[q]);
        const int prefix = prefixLength(int(ranks_[q].size()));
        for (int i = 0; i < prefix; ++i)
            postings_[std::size_t(ranks_[q][std::size_t(i)])].push_back(int(q));
    }
    prepared_ = true;
}

std::vector<int> SimilarityIndex::ranked(const std::vector<quint64>& shingles) const {
    std::vector<int> out;
    out.reserve(shingles.size());
    int unknown = 0;
    for (const quint64 s : shingles) {
        const auto it = std::lower_bound(rankOf_.begin(), rankOf_.end(), std::make_pair(s, 0),
                                         [](const auto& a, const auto& b) { return a.first < b.first; });
        // A shingle no indexed question holds matches nothing; it ranks before all others.
        out.push_back(it != rankOf_.end() && it->first == s ? it->second : -1 - unknown++);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::optional<SimilarMatch> SimilarityIndex::mostSimilar(const QString& text, const QString& except) const {
    return mostSimilar(textShingles(text), except);
}

std::optional<SimilarMatch> SimilarityIndex::mostSimilar(const std::vector<quint64>& shingles,
                                                         const QString& except) const {
    if (shingles.empty() || numbers_.empty())
        return std::nullopt;
    prepare();
    const std::vector<int> x = ranked(shingles);
    const double size = double(x.size());
    const int prefix = prefixLength(int(x.size()));
    std::vector<int> candidates;
    for (int i = 0; i < prefix; ++i) {
        const int r = x[std::size_t(i)];
        if (r >= 0)
            candidates.insert(candidates.end(), postings_[std::size_t(r)].begin(), postings_[std::size_t(r)].end());
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    std::optional<SimilarMatch> best;
    for (const int q : candidates) {
        const std::vector<int>& y = ranks_[std::size_t(q)];
        if (double(y.size()) < threshold_ * size - 1e-9 || threshold_ * double(y.size()) > size + 1e-9)
            continue;
        if (!except.isEmpty() && numbers_[std::size_t(q)] == except)
            continue;
        const double s = similarityOf(commonCount(x, y), x.size(), y.size());
        if (s + 1e-12 < threshold_)
            continue;
        if (!best || s > best->similarity || (s == best->similarity && numbers_[std::size_t(q)] < best->number))
            best = SimilarMatch{numbers_[std::size_t(q)], similarityPercent(s), s};
    }
    return best;
}

QList<SimilarPair> SimilarityIndex::similarPairs() const {
    prepare();
    std::vector<int> order;
    for (std::size_t q = 0; q < ranks_.size(); ++q)
        if (!ranks_[q].empty())
            order.push_back(int(q));
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return ranks_[std::size_t(a)].size() < ranks_[std::size_t(b)].size(); });

    // Questions are indexed in order of size, each after it has been compared
    // with the smaller ones already in the index.
    std::vector<std::vector<int>> postings(postings_.size());
    std::vector<int> seenBy(ranks_.size(), -1);
    QList<SimilarPair> pairs;
    for (const int x : order) {
        const std::vector<int>& xr = ranks_[std::size_t(x)];
        const int prefix = prefixLength(int(xr.size()));
        for (int i = 0; i < prefix; ++i) {
            for (const int y : postings[std::size_t(xr[std::size_t(i)])]) {
                if (seenBy[std::size_t(y)] == x)
                    continue;
                seenBy[std::size_t(y)] = x;
                const std::vector<int>& yr = ranks_[std::size_t(y)];
                if (double(yr.size()) < threshold_ * double(xr.size()) - 1e-9)
                    continue;
                const double s = similarityOf(commonCount(xr, yr), xr.size(), yr.size());
                if (s + 1e-12 < threshold_)
                    continue;
                SimilarPair pair;
                pair.first = numbers_[std::size_t(x)];
                pair.second = numbers_[std::size_t(y)];
                if (pair.second < pair.first)
                    std::swap(pair.first, pair.second);
                pair.similarity = s;
                pair.percent = similarityPercent(s);
                pairs << pair;
            }
        }
        for (int i = 0; i < prefix; ++i)
            postings[std::size_t(xr[std::size_t(i)])].push_back(x);
    }
    std::sort(pairs.begin(), pairs.end(), [](const SimilarPair& a, const SimilarPair& b) {
        if (a.similarity != b.similarity)
            return a.similarity > b.similarity;
        if (a.first != b.first)
            return a.first < b.first;
        return a.second < b.second;
    });
    return pairs;
}

// ---------------------------------------------------------------- texts

QString formulaWords(const QString& formula) {
    static const QRegularExpression size(QStringLiteral("\\bsize\\s*[0-9.]+"));
    static const QRegularExpression up(QStringLiteral("\\b(rSup|lSup|sup|csup)\\b"));
    static const QRegularExpression down(QStringLiteral("\\b(rSub|lSub|sub|csub)\\b"));
    static const QRegularExpression noise(QStringLiteral("[{}\"\\s]"));
    QString text = formula;
    text.remove(size);
    text.replace(up, QStringLiteral("^"));
    text.replace(down, QStringLiteral("_"));
    text.remove(noise);
    return text;
}

QString plainTextOf(const QList<DocumentBlock>& blocks) {
    QStringList paragraphs;
    for (const DocumentBlock& b : blocks) {
        QString text = b.text;
        for (const QString& formula : b.formulas)
            text += u' ' + formulaWords(formula);
        paragraphs << text;
    }
    return paragraphs.join(u'\r');
}

bool documentIsBlank(WordInstance& word, const QString& path) {
    const auto doc = word.open(path);
    bool blank = doc->floatingShapeCount() == 0 && doc->pictureCount() == 0;
    for (const DocumentBlock& block : doc->blocks())
        if (block.table || block.pictures > 0 || !block.formulas.isEmpty() || block.objects > 0 ||
            !block.text.mid(block.labelLength).trimmed().isEmpty()) {
            blank = false;
            break;
        }
    doc->close();
    return blank;
}

QString documentPlainText(WordInstance& word, const QString& path) {
    const auto doc = word.open(path);
    const QString text = plainTextOf(doc->blocks());
    doc->close();
    return text;
}

}  // namespace zs
