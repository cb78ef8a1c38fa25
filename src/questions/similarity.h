#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zs {

struct DocumentBlock;
class WordInstance;

// How alike two questions must be to be flagged: the Jaccard similarity of
// their texts' character shingles.
inline constexpr double kSimilarThreshold = 0.9;

// The shingles of a text: every three consecutive characters of the text
// without blanks and punctuation (full-width forms folded, letters lower case),
// hashed, sorted, each once. Texts of fewer than five such characters (an empty
// question document, a bare "计算：") have none and are never flagged.
std::vector<quint64> textShingles(const QString& text);

// |a ∩ b| / |a ∪ b| of two sorted shingle sets (0 when both are empty).
double jaccard(const std::vector<quint64>& a, const std::vector<quint64>& b);

// A similarity as the teacher reads it: whole percent, rounded down.
int similarityPercent(double similarity);

// A question of the bank that a text is like.
struct SimilarMatch {
    QString number;
    int percent = 0;
    double similarity = 0;
};

// "与 00123 相似度 94%"
QString similarityMark(const SimilarMatch& match);
// The question put to the teacher when a question being entered is like one
// of the bank, and when one being imported from another bank is.
QString similarEntryQuestion(const SimilarMatch& match);
QString similarImportQuestion(const QString& code, const SimilarMatch& match);

// Two questions of the bank that are alike.
struct SimilarPair {
    QString first, second;  // question numbers, first < second
    int percent = 0;
    double similarity = 0;
};

// The shingle sets of many questions, for finding the ones at least
// kSimilarThreshold alike exactly. Shingles are ranked from the rarest; a pair
// that reaches the threshold must share one of the first few rarest shingles
// of each (prefix filtering), so only those are indexed and only pairs sharing
// one are compared in full.
class SimilarityIndex {
public:
    explicit SimilarityIndex(double threshold = kSimilarThreshold);

    // Adds a question; its text's start is kept as its excerpt.
    void add(const QString& number, const QString& text);
    void addShingles(const QString& number, std::vector<quint64> shingles);
    // The start of a question's text, on one line (empty when unknown).
    QString excerpt(const QString& number) const { return excerpts_.value(number); }
    int size() const { return int(numbers_.size()); }
    double threshold() const { return threshold_; }

    // The question most like the text (at least the threshold), other than
    // `except`; none when no question is that alike.
    std::optional<SimilarMatch> mostSimilar(const QString& text, const QString& except = {}) const;
    std::optional<SimilarMatch> mostSimilar(const std::vector<quint64>& shingles, const QString& except = {}) const;

    // Every pair of indexed questions at least the threshold alike, most alike
    // first, then by number.
    QList<SimilarPair> similarPairs() const;

private:
    void prepare() const;  // ranks and prefix index, after additions
    int prefixLength(int size) const;
    std::vector<int> ranked(const std::vector<quint64>& shingles) const;

    double threshold_;
    std::vector<QString> numbers_;
    std::vector<std::vector<quint64>> shingles_;
    QHash<QString, QString> excerpts_;
    // Built by prepare().
    mutable bool prepared_ = false;
    mutable std::vector<std::vector<int>> ranks_;          // per question, ascending (rarest first)
    mutable std::vector<std::pair<quint64, int>> rankOf_;  // shingle → rank, sorted by shingle
    mutable std::vector<std::vector<int>> postings_;       // rank → questions with it in their prefix
};

// A formula's text without what its file format adds (font sizes, braces,
// quotes, blanks): "size 12{x rSup{size 8{2}} = 4}" and "{x}^{2}=\"4\"" both
// give "x^2=4".
QString formulaWords(const QString& formula);

// The plain text of a document's blocks as similarity reads it: paragraph and
// table texts, each followed by the formulas in it (formulaWords).
QString plainTextOf(const QList<DocumentBlock>& blocks);

// The plain text of a document file, read through the office.
QString documentPlainText(WordInstance& word, const QString& path);

// Whether a document file holds nothing a question could be: no text but
// blanks, no table, picture, drawing, formula or other object.
bool documentIsBlank(WordInstance& word, const QString& path);

}  // namespace zs
