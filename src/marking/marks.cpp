#include "marking/marks.h"

#include "store/bank.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace zs {

void ensureMarkTables(Bank& bank) {
    bank.executeBound(QStringLiteral("CREATE TABLE IF NOT EXISTS \"阅卷得分\" (\"试卷编号\" INTEGER, \"考号\" TEXT, "
                                     "\"题号\" INTEGER, \"得分\" REAL, \"问题卷\" INTEGER, \"阅卷人\" TEXT, "
                                     "\"阅卷时间\" TEXT)"),
                      {});
    bank.executeBound(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS \"阅卷得分_学生题目\" ON \"阅卷得分\" "
                                     "(\"试卷编号\", \"考号\", \"题号\")"),
                      {});
}

void storeMark(Bank& bank, int paperId, const Mark& mark) {
    // One statement: another teacher's rows of the same paper stay as they are.
    bank.executeBound(
        QStringLiteral("INSERT INTO \"阅卷得分\" (\"试卷编号\", \"考号\", \"题号\", \"得分\", \"问题卷\", \"阅卷人\", "
                       "\"阅卷时间\") VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (\"试卷编号\", \"考号\", \"题号\") "
                       "DO UPDATE SET \"得分\" = excluded.\"得分\", \"问题卷\" = excluded.\"问题卷\", "
                       "\"阅卷人\" = excluded.\"阅卷人\", \"阅卷时间\" = excluded.\"阅卷时间\""),
        {paperId, mark.examNumber, mark.question, mark.score, mark.problem ? 1 : 0, mark.marker,
         mark.when.toString(Qt::ISODate)});
}

void removeMark(Bank& bank, int paperId, const QString& examNumber, int question) {
    bank.executeBound(
        QStringLiteral("DELETE FROM \"阅卷得分\" WHERE \"试卷编号\" = ? AND \"考号\" = ? AND \"题号\" = ?"),
        {paperId, examNumber, question});
}

namespace {

QVector<Mark> marksWhere(Bank& bank, const QString& condition) {
    const RowSet rows = bank.query(
        QStringLiteral("select 考号, 题号, 得分, 问题卷, 阅卷人, 阅卷时间 from 阅卷得分 where ") + condition);
    QVector<Mark> marks;
    marks.reserve(rows.count());
    for (int r = 0; r < rows.count(); ++r)
        marks.push_back({rows.text(r, 0), rows.value(r, 1).toInt(), rows.value(r, 2).toDouble(),
                         rows.value(r, 3).toInt() != 0, rows.text(r, 4),
                         QDateTime::fromString(rows.text(r, 5), Qt::ISODate)});
    return marks;
}

}  // namespace

QHash<QString, Mark> questionMarks(Bank& bank, int paperId, int question) {
    QHash<QString, Mark> out;
    for (const Mark& m : marksWhere(bank, QStringLiteral("试卷编号 = %1 and 题号 = %2").arg(paperId).arg(question)))
        out.insert(m.examNumber, m);
    return out;
}

QVector<Mark> paperMarks(Bank& bank, int paperId) {
    return marksWhere(bank, QStringLiteral("试卷编号 = %1").arg(paperId));
}

ScoreEntry readScoreEntry(const QString& text, double fullMark, double step) {
    QString t = text.trimmed();
    // Full-width digits and points, as a Chinese input method types them.
    for (QChar& c : t) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            c = QChar(u'0' + (c.unicode() - 0xFF10));
        else if (c == u'．' || c == u'。')
            c = u'.';
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    auto points = [](double v) { return QString::number(v, 'g', 6); };
    if (t.isEmpty() || !ok || !std::isfinite(value))
        return {std::nullopt, QStringLiteral("“%1”不是分数。").arg(text.trimmed())};
    if (value < 0 || value > fullMark + 1e-9)
        return {std::nullopt, QStringLiteral("分数要在 0 到 %1 分之间。").arg(points(fullMark))};
    if (step > 0) {
        const double steps = value / step;
        if (std::abs(steps - std::round(steps)) > 1e-6)
            return {std::nullopt, QStringLiteral("分数要按 %1 分一档给。").arg(points(step))};
    }
    return {value, {}};
}

MarkingQueue::MarkingQueue(QStringList examNumbers, QHash<QString, Mark> marks, quint32 order)
    : students_(std::move(examNumbers)), marks_(std::move(marks)) {
    std::sort(students_.begin(), students_.end());
    students_.erase(std::unique(students_.begin(), students_.end()), students_.end());
    if (order != 0) {
        std::mt19937 random(order);
        std::shuffle(students_.begin(), students_.end(), random);
    }
    toFirstUnmarked();
}

std::optional<Mark> MarkingQueue::markOf(const QString& examNumber) const {
    const auto found = marks_.constFind(examNumber);
    return found == marks_.cend() ? std::nullopt : std::optional<Mark>(*found);
}

void MarkingQueue::give(const Mark& mark) {
    marks_.insert(mark.examNumber, mark);
    for (int i = 1; i <= size(); ++i) {
        const int next = (position_ + i) % size();
        if (needsMark(students_[next])) {
            position_ = next;
            return;
        }
    }
    // Every answer is marked: stay on the last one given.
}

void MarkingQueue::forget(const QString& examNumber) {
    marks_.remove(examNumber);
}

bool MarkingQueue::back() {
    if (position_ <= 0)
        return false;
    --position_;
    return true;
}

bool MarkingQueue::forward() {
    if (position_ + 1 >= size())
        return false;
    ++position_;
    return true;
}

void MarkingQueue::moveTo(int position) {
    if (position >= 0 && position < size())
        position_ = position;
}

bool MarkingQueue::toFirstUnmarked() {
    for (int i = 0; i < size(); ++i)
        if (needsMark(students_[i])) {
            position_ = i;
            return true;
        }
    return false;
}

bool MarkingQueue::needsMark(const QString& examNumber) const {
    const auto m = marks_.constFind(examNumber);
    return m == marks_.cend() || m->problem;
}

int MarkingQueue::marked() const {
    int n = 0;
    for (const QString& s : students_)
        n += !needsMark(s);
    return n;
}

int MarkingQueue::problems() const {
    int n = 0;
    for (const QString& s : students_)
        if (const auto m = marks_.constFind(s); m != marks_.cend())
            n += m->problem;
    return n;
}

QVector<QPair<double, int>> MarkingQueue::distribution() const {
    std::map<double, int> counts;
    for (const QString& s : students_)
        if (const auto m = marks_.constFind(s); m != marks_.cend() && !m->problem)
            ++counts[m->score];
    QVector<QPair<double, int>> out;
    for (const auto& [score, count] : counts)
        out.push_back({score, count});
    return out;
}

double MarkingQueue::mean() const {
    double sum = 0;
    int n = 0;
    for (const QString& s : students_)
        if (const auto m = marks_.constFind(s); m != marks_.cend() && !m->problem) {
            sum += m->score;
            ++n;
        }
    return n > 0 ? sum / n : 0;
}

}  // namespace zs
