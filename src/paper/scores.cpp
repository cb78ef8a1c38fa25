#include "paper/scores.h"

#include "paper/spectable.h"
#include "store/bank.h"

#include <QRegularExpression>

namespace zs {

std::optional<int> parseScore(const QString& text) {
    QString s = text.trimmed();
    // Full-width digits and points, as a Chinese input method types them.
    for (QChar& c : s) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            c = QChar(u'0' + (c.unicode() - 0xFF10));
        else if (c == QChar(0xFF0E) || c == QChar(0x3002))
            c = u'.';
    }
    if (s.endsWith(u'分'))
        s.chop(1);
    s = s.trimmed();
    static const QRegularExpression form(QStringLiteral("^(\\d{1,4})(?:\\.(\\d))?$"));
    const QRegularExpressionMatch m = form.match(s);
    if (!m.hasMatch())
        return std::nullopt;
    const int tenths = m.captured(1).toInt() * 10 + (m.captured(2).isEmpty() ? 0 : m.captured(2).toInt());
    if (tenths <= 0 || tenths > 10000)
        return std::nullopt;
    return tenths;
}

QString scoreText(int tenths) {
    const QString whole = QString::number(tenths / 10);
    return tenths % 10 == 0 ? whole : whole + u'.' + QString::number(tenths % 10);
}

TypeScores TypeScores::load(Bank& bank) {
    TypeScores out;
    out.types_ = bank.query(QStringLiteral("select 题型 from 题型")).texts();
    RowSet stored;
    try {
        stored = bank.query(QStringLiteral("select 题型, 分值 from 题型分值"));
    } catch (const StoreError&) {
        // A bank that could not be given the table yet (read-only, say) has
        // no scores set.
        return out;
    }
    for (int r = 0; r < stored.count(); ++r)
        if (const auto tenths = parseScore(stored.text(r, 1)))
            out.scores_[stored.text(r, 0)] = *tenths;
    return out;
}

void TypeScores::save(Bank& bank) const {
    bank.transaction([&] {
        bank.executeBound(QStringLiteral("DELETE FROM \"题型分值\""), {});
        for (auto it = scores_.cbegin(); it != scores_.cend(); ++it)
            bank.executeBound(QStringLiteral("INSERT INTO \"题型分值\" (\"题型\", \"分值\") VALUES (?, ?)"),
                              {it.key(), scoreText(it.value())});
    });
}

std::optional<int> TypeScores::of(const QString& type) const {
    const auto it = scores_.constFind(type);
    if (it == scores_.cend())
        return std::nullopt;
    return *it;
}

void TypeScores::set(const QString& type, std::optional<int> tenths) {
    if (tenths)
        scores_[type] = *tenths;
    else
        scores_.remove(type);
}

std::optional<int> rowScore(const SpecTable& table, int row, const TypeScores& types) {
    if (row < 1 || row >= table.rows() || table.cell(row, SpecTable::QuestionNumber).isEmpty())
        return std::nullopt;
    if (const auto own = parseScore(table.cell(row, SpecTable::Score)))
        return own;
    return types.of(table.cell(row, SpecTable::Type));
}

SpecTable withScores(const SpecTable& table, const TypeScores& types) {
    SpecTable out = table;
    for (int r = 1; r < out.rows(); ++r) {
        const auto score = rowScore(table, r, types);
        out.setCell(r, SpecTable::Score, score ? scoreText(*score) : QString());
    }
    return out;
}

void setQuestionScore(SpecTable& table, int row, const std::optional<int>& tenths) {
    if (row < 1 || row >= table.rows())
        return;
    const QString text = tenths ? scoreText(*tenths) : QString();
    const QString number = table.cell(row, SpecTable::QuestionNumber);
    if (number.isEmpty()) {
        table.setCell(row, SpecTable::Score, QString());
        return;
    }
    for (int r = 1; r < table.rows(); ++r)
        if (table.cell(r, SpecTable::QuestionNumber) == number)
            table.setCell(r, SpecTable::Score, text);
}

int PaperScores::scored() const {
    int n = 0;
    for (const auto& s : scores)
        n += s.has_value();
    return n;
}

QVector<int> PaperScores::unscored() const {
    QVector<int> out;
    for (int i = 0; i < scores.size(); ++i)
        if (!scores[i])
            out << i + 1;
    return out;
}

QVector<double> placedScores(const SpecTable& scoredTable) {
    const PaperScores scores = paperScores(scoredTable);
    QVector<double> out;
    if (!scores.any())
        return out;
    for (const auto& s : scores.scores)
        out << (s ? *s / 10.0 : 0.0);
    return out;
}

PaperScores paperScores(const SpecTable& scoredTable) {
    PaperScores out;
    for (int r : placedRows(scoredTable)) {
        const auto score = parseScore(scoredTable.cell(r, SpecTable::Score));
        out.scores << score;
        if (score)
            out.total += *score;
    }
    return out;
}

}  // namespace zs
