#include "results/resultstats.h"

#include "paper/smartsort.h"
#include "store/bank.h"
#include "store/statement.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

namespace zs {

QString measuredDifficulty(double rate) {
    const int level = std::clamp(int(std::lround((1.0 - rate) * 10.0)), 1, 10);
    return level == 10 ? QStringLiteral("1.0") : QStringLiteral("0.%1").arg(level);
}

int groupSize(int students) {
    return std::max(1, int(std::lround(students * 0.27)));
}

QVector<QuestionResult> questionResults(const ScoreCheck& check) {
    const int questions = int(check.fullMarks.size());
    const int n = check.students();
    QVector<QuestionResult> results(questions);

    QVector<double> totals(n, 0);
    for (int s = 0; s < n; ++s)
        for (int q = 0; q < questions; ++q)
            if (check.measured[q])
                totals[s] += check.scores[s][q];
    QVector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return totals[a] > totals[b]; });
    const int k = std::min(groupSize(n), n);

    for (int q = 0; q < questions; ++q) {
        QuestionResult& r = results[q];
        r.number = q + 1;
        if (!check.measured[q] || n == 0)
            continue;
        r.measured = true;
        r.students = n;
        r.fullMark = check.fullMarks[q];
        double sum = 0;
        for (int s = 0; s < n; ++s)
            sum += check.scores[s][q];
        r.mean = sum / n;
        r.rate = r.mean / r.fullMark;
        r.difficulty = measuredDifficulty(r.rate);
        double upper = 0, lower = 0;
        for (int i = 0; i < k; ++i) {
            upper += check.scores[order[i]][q];
            lower += check.scores[order[n - 1 - i]][q];
        }
        r.discrimination = n >= 2 ? (upper - lower) / k / r.fullMark : 0;

        if (!check.options[q].isEmpty()) {
            QMap<QString, int> counts;
            for (const QString& given : check.options[q]) {
                QString answer = given.normalized(QString::NormalizationForm_KC).toUpper();
                answer.remove(QRegularExpression(QStringLiteral("[\\s,，、]")));
                counts[answer.isEmpty() ? QStringLiteral("未答") : answer] += 1;
            }
            for (auto it = counts.begin(); it != counts.end(); ++it)
                if (it.key() != QStringLiteral("未答"))
                    r.optionShares << qMakePair(it.key(), double(it.value()) / n);
            if (counts.contains(QStringLiteral("未答")))
                r.optionShares << qMakePair(QStringLiteral("未答"), double(counts.value(QStringLiteral("未答"))) / n);
        }
    }
    return results;
}

QVector<KnowledgeResult> knowledgeResults(const PaperRecord& paper, const QVector<QuestionResult>& results) {
    struct Sum {
        int questions = 0;
        double scored = 0, full = 0;
    };
    QMap<QString, Sum> sums;
    for (const QuestionResult& r : results) {
        if (!r.measured || r.number < 1 || r.number > paper.questions.size())
            continue;
        for (const QString& point : paper.questions[r.number - 1].knowledge.split(u'|', Qt::SkipEmptyParts)) {
            Sum& s = sums[point];
            s.questions += 1;
            s.scored += r.mean;
            s.full += r.fullMark;
        }
    }
    QVector<KnowledgeResult> out;
    for (auto it = sums.begin(); it != sums.end(); ++it)
        out << KnowledgeResult{it.key(), it->questions, it->full > 0 ? it->scored / it->full : 0};
    std::stable_sort(out.begin(), out.end(),
                     [](const KnowledgeResult& a, const KnowledgeResult& b) { return a.rate < b.rate; });
    return out;
}

namespace {

// The rows of a question: by its identification code, or by its number when
// it has none.
QString questionCondition(const QString& code, const QString& number) {
    return code.isEmpty() ? QStringLiteral("题目编号='") + sqlValue(number) + u'\''
                          : QStringLiteral("试题识别码='") + sqlValue(code) + u'\'';
}

}  // namespace

DifficultyUpdate updateDifficulties(Bank& bank, const PaperRecord& paper, const QVector<QuestionResult>& results,
                                    const QDateTime& when) {
    ensurePaperTables(bank);
    DifficultyUpdate update;
    const QString time = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    bank.transaction([&] {
        bank.executeBound(QStringLiteral("DELETE FROM \"试卷成绩\" WHERE \"试卷编号\" = ?"), {paper.id});
        for (const QuestionResult& r : results) {
            if (!r.measured || r.number < 1 || r.number > paper.questions.size())
                continue;
            const PaperQuestion& q = paper.questions[r.number - 1];
            bank.executeBound(
                QStringLiteral("INSERT INTO \"试卷成绩\" (\"试卷编号\", \"题号\", \"题目编号\", "
                               "\"试题识别码\", \"人数\", \"满分\", \"平均分\", \"得分率\", \"导入时间\") "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {paper.id, r.number, q.questionNumber, q.code, r.students, r.fullMark, r.mean, r.rate, time});
        }
        // The questions in the order of their numbers, as every writer of
        // several questions' rows takes them: two teachers changing questions
        // the papers share at the same moment wait for each other instead of
        // locking each other out.
        QVector<const QuestionResult*> ordered;
        for (const QuestionResult& r : results)
            if (r.measured && r.number >= 1 && r.number <= paper.questions.size())
                ordered << &r;
        std::stable_sort(ordered.begin(), ordered.end(), [&](const QuestionResult* a, const QuestionResult* b) {
            const PaperQuestion& qa = paper.questions[a->number - 1];
            const PaperQuestion& qb = paper.questions[b->number - 1];
            return std::tie(qa.questionNumber, qa.code) < std::tie(qb.questionNumber, qb.code);
        });
        QSet<QString> done;
        for (const QuestionResult* result : ordered) {
            const QuestionResult& r = *result;
            const PaperQuestion& q = paper.questions[r.number - 1];
            const QString condition = questionCondition(q.code, q.questionNumber);
            if (done.contains(condition))
                continue;
            done.insert(condition);
            const RowSet rows = bank.query(QStringLiteral("select 题目编号, 难度 from 试题库 where ") + condition);
            if (rows.isEmpty()) {
                ++update.missing;
                continue;
            }
            // Every paper the question was measured on, weighted by its students.
            const RowSet measured = bank.query(QStringLiteral("select 人数, 得分率 from 试卷成绩 where ") + condition);
            double students = 0, weighted = 0;
            for (int i = 0; i < measured.count(); ++i) {
                const double n = measured.value(i, 0).toDouble();
                students += n;
                weighted += n * measured.value(i, 1).toDouble();
            }
            const QString after = measuredDifficulty(students > 0 ? weighted / students : r.rate);
            ++update.measured;
            QString before = rows.text(0, 1);
            bool differs = false;
            for (int i = 0; i < rows.count(); ++i)
                if (rows.text(i, 1) != after) {
                    differs = true;
                    before = rows.text(i, 1);
                    break;
                }
            if (!differs)
                continue;
            bank.executeBound(QStringLiteral("INSERT INTO \"难度历史\" (\"题目编号\", \"试题识别码\", \"原难度\", "
                                             "\"新难度\", \"试卷编号\", \"修改时间\") VALUES (?, ?, ?, ?, ?, ?)"),
                              {rows.text(0, 0), q.code, before, after, paper.id, time});
            bank.execute(QStringLiteral("update 试题库 set 难度='") + sqlValue(after) + QStringLiteral("' where ") +
                         condition);
            update.changes << DifficultyChange{rows.text(0, 0), q.code, before, after};
        }
    });
    return update;
}

QStringList difficultyHistory(Bank& bank, const QString& questionNumber) {
    ensurePaperTables(bank);
    const RowSet rows = bank.query(
        QStringLiteral(
            "select h.原难度, h.新难度, h.试卷编号, h.修改时间, p.生成时间, p.标题 from 难度历史 h left join "
            "试卷记录 p on p.试卷编号 = h.试卷编号 or p.试卷编号 = -h.试卷编号 where h.题目编号 = '") +
        sqlValue(questionNumber) + QStringLiteral("' order by h.修改时间"));
    QStringList lines;
    for (int r = 0; r < rows.count(); ++r) {
        const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
        const QDateTime when = QDateTime::fromString(rows.text(r, 3), format);
        const QDateTime generated = QDateTime::fromString(rows.text(r, 4), format);
        const QString paper = rows.text(r, 5).isEmpty() ? QStringLiteral("已删除的试卷")
                                                        : generated.toString(QStringLiteral("yyyy-MM-dd HH:mm")) +
                                                              QStringLiteral("  ") + rows.text(r, 5);
        const bool undo = rows.value(r, 2).toInt() < 0;
        lines << when.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral("  ") + rows.text(r, 0) +
                     QStringLiteral(" → ") + rows.text(r, 1) +
                     (undo ? QStringLiteral("（撤销按试卷：%1 的更新）") : QStringLiteral("（试卷：%1）")).arg(paper);
    }
    return lines;
}

namespace {

// The rows of the paper's last update, when it was not undone since.
RowSet lastUpdateRows(Bank& bank, int paperId) {
    const RowSet times = bank.query(QStringLiteral("select 试卷编号, 修改时间 from 难度历史 where 试卷编号 = %1 or "
                                                   "试卷编号 = %2 order by 修改时间 desc, 试卷编号")
                                        .arg(paperId)
                                        .arg(-paperId));
    if (times.isEmpty() || times.value(0, 0).toInt() != paperId)
        return {};
    return bank.query(
        QStringLiteral("select 题目编号, 试题识别码, 原难度, 新难度 from 难度历史 where 试卷编号 = %1 and "
                       "修改时间 = '%2' order by 题目编号")
            .arg(paperId)
            .arg(sqlValue(times.text(0, 1))));
}

}  // namespace

bool canUndoDifficultyUpdate(Bank& bank, int paperId) {
    return paperId > 0 && !lastUpdateRows(bank, paperId).isEmpty();
}

DifficultyUndo undoDifficultyUpdate(Bank& bank, int paperId, const QDateTime& when) {
    ensurePaperTables(bank);
    DifficultyUndo undo;
    const QString time = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    bank.transaction([&] {
        const RowSet rows = lastUpdateRows(bank, paperId);
        for (int r = 0; r < rows.count(); ++r) {
            const QString number = rows.text(r, 0), code = rows.text(r, 1);
            const QString before = rows.text(r, 2), after = rows.text(r, 3);
            const QString condition = questionCondition(code, number);
            const RowSet now = bank.query(QStringLiteral("select 难度 from 试题库 where ") + condition);
            bool untouched = !now.isEmpty();
            for (int i = 0; i < now.count(); ++i)
                untouched = untouched && now.text(i, 0) == after;
            if (!untouched) {
                ++undo.changedSince;
                continue;
            }
            bank.executeBound(QStringLiteral("INSERT INTO \"难度历史\" (\"题目编号\", \"试题识别码\", \"原难度\", "
                                             "\"新难度\", \"试卷编号\", \"修改时间\") VALUES (?, ?, ?, ?, ?, ?)"),
                              {number, code, after, before, -paperId, time});
            bank.execute(QStringLiteral("update 试题库 set 难度='") + sqlValue(before) + QStringLiteral("' where ") +
                         condition);
            ++undo.restored;
        }
        // The results go with the update: a later update of another paper
        // does not weigh them in.
        bank.executeBound(QStringLiteral("DELETE FROM \"试卷成绩\" WHERE \"试卷编号\" = ?"), {paperId});
    });
    return undo;
}

QString difficultyUndoMessage(const DifficultyUndo& undo) {
    QString text = QStringLiteral("已经撤销这份试卷的上一次更新难度：%1 道题恢复了原来的难度。").arg(undo.restored);
    if (undo.changedSince > 0)
        text += QStringLiteral("\r另有 %1 道题的难度此后又被修改过，保持现在的难度。").arg(undo.changedSince);
    return text;
}

QString difficultyUpdateMessage(const DifficultyUpdate& update) {
    QString text = QStringLiteral("已经按成绩更新了 %1 道题的难度，其中 %2 道题的难度等级有变化。")
                       .arg(update.measured)
                       .arg(update.changes.size());
    if (update.missing > 0)
        text += QStringLiteral("\r另有 %1 道题已经不在试题库中，没有更新。").arg(update.missing);
    return text;
}

QString remedialQuery(const QStringList& points, const QStringList& excludedNumbers) {
    QStringList conditions;
    for (const QString& point : points) {
        const QStringList reduced = specialTrainingPoints(point);
        if (!reduced.isEmpty() && !reduced.first().isEmpty())
            conditions << QStringLiteral("知识点 like '%") + sqlValue(reduced.first()) + QStringLiteral("%'");
    }
    if (conditions.isEmpty())
        return {};
    QString sql = QStringLiteral("select * from 试题库 where (") + conditions.join(QStringLiteral(" or ")) + u')';
    if (!excludedNumbers.isEmpty()) {
        QStringList quoted;
        for (const QString& n : excludedNumbers)
            quoted << u'\'' + sqlValue(n) + u'\'';
        sql += QStringLiteral(" and 题目编号 not in (") + quoted.join(u',') + u')';
    }
    return sql;
}

QVector<QVector<int>> remedialQuestions(const RowSet& rows, const QStringList& points) {
    // The questions in the bank's order, each with all its rows.
    QStringList numbers;
    QHash<QString, QVector<int>> rowsOf;
    QHash<QString, QString> knowledgeOf;
    for (int i = 0; i < rows.count(); ++i) {
        const QString number = rows.text(i, QStringLiteral("题目编号"));
        if (!rowsOf.contains(number))
            numbers << number;
        rowsOf[number] << i;
        knowledgeOf[number] += rows.text(i, QStringLiteral("知识点")) + u'|';
    }
    // One list per point, then taken in turn.
    QVector<QStringList> perPoint;
    for (const QString& point : points) {
        const QStringList reduced = specialTrainingPoints(point);
        const QString needle = reduced.isEmpty() ? point : reduced.first();
        QStringList list;
        for (const QString& n : numbers)
            if (knowledgeOf[n].contains(needle))
                list << n;
        perPoint << list;
    }
    QVector<QVector<int>> out;
    QSet<QString> taken;
    for (int round = 0;; ++round) {
        bool any = false;
        for (const QStringList& list : perPoint) {
            if (round >= list.size())
                continue;
            any = true;
            if (!taken.contains(list[round])) {
                taken.insert(list[round]);
                out << rowsOf[list[round]];
            }
        }
        if (!any)
            break;
    }
    return out;
}

ClassResult classResult(const ScoreCheck& check, double passShare, double excellentShare) {
    ClassResult c;
    for (int q = 0; q < check.fullMarks.size(); ++q)
        if (check.measured.value(q))
            c.fullMark += check.fullMarks[q];
    c.students = check.students();
    c.passLine = c.fullMark * passShare;
    c.excellentLine = c.fullMark * excellentShare;
    if (c.students == 0 || c.fullMark <= 0)
        return c;
    QVector<double> totals;
    for (const QVector<double>& scores : check.scores)
        totals << std::accumulate(scores.begin(), scores.end(), 0.0);
    // Half points add up exactly; a tiny tolerance keeps 59.999… at 60.
    const double eps = 1e-9;
    c.mean = std::accumulate(totals.begin(), totals.end(), 0.0) / c.students;
    c.highest = *std::max_element(totals.begin(), totals.end());
    c.lowest = *std::min_element(totals.begin(), totals.end());
    int pass = 0, excellent = 0;
    for (double t : totals) {
        pass += t + eps >= c.passLine;
        excellent += t + eps >= c.excellentLine;
    }
    c.passRate = double(pass) / c.students;
    c.excellentRate = double(excellent) / c.students;
    const int bandCount = std::max(1, int(std::ceil(c.fullMark / 10.0 - eps)));
    for (int b = 0; b < bandCount; ++b) {
        const bool last = b == bandCount - 1;
        const QString name = last ? QStringLiteral("%1-%2").arg(b * 10).arg(c.fullMark)
                                  : QStringLiteral("%1-%2").arg(b * 10).arg(b * 10 + 9);
        c.bands.append(qMakePair(name, 0));
    }
    for (double t : totals)
        ++c.bands[std::clamp(int(std::floor(t / 10.0 + eps)), 0, bandCount - 1)].second;
    return c;
}

QString RemedialSearch::question() const {
    const QString count =
        QStringLiteral("一共有  【") + QString::number(offered.size()) + QStringLiteral("】 道!\r你准备选择几道？");
    const QString none = QStringLiteral("题库中没有与薄弱知识点【") + skipped.join(QStringLiteral("、")) +
                         QStringLiteral("】有关的其他题目，");
    if (!points.isEmpty() && skipped.isEmpty())
        return QStringLiteral("与薄弱知识点【") + points.join(QStringLiteral("、")) +
               QStringLiteral("】有关的题目（本试卷的题除外）") + count;
    if (!points.isEmpty())
        return none + QStringLiteral("改用接下来较薄弱的知识点。\r\r与知识点【") + points.join(QStringLiteral("、")) +
               QStringLiteral("】有关的题目（本试卷的题除外）") + count;
    return none + QStringLiteral("本试卷其他知识点也没有。\r改用本试卷所在的章节。\r\r章节【") +
           scopes.join(QStringLiteral("、")) + QStringLiteral("】中的其他题目") + count;
}

QString RemedialSearch::nothingFound() const {
    return QStringLiteral("题库中没有与薄弱知识点【") + skipped.join(QStringLiteral("、")) +
           QStringLiteral("】有关的其他题目，本试卷的其他知识点和所在章节中也没有别的题目，无法生成补救练习。");
}

RemedialSearch findRemedialQuestions(Bank& bank, const PaperRecord& paper, const QVector<KnowledgeResult>& points) {
    RemedialSearch search;
    QStringList excluded;
    for (const PaperQuestion& q : paper.questions)
        excluded << q.questionNumber;
    auto tryPoints = [&](const QStringList& chosen) {
        const QString query = remedialQuery(chosen, excluded);
        if (query.isEmpty())
            return false;
        RowSet rows = bank.query(query);
        QVector<QVector<int>> offered = remedialQuestions(rows, chosen);
        if (offered.isEmpty())
            return false;
        search.points = chosen;
        search.rows = std::move(rows);
        search.offered = std::move(offered);
        return true;
    };
    QStringList weakest;
    for (int i = 0; i < std::min(int(points.size()), kWeakestPoints); ++i)
        weakest << points[i].point;
    if (tryPoints(weakest))
        return search;
    search.skipped = weakest;
    // The next weakest points, each that has another question, up to three.
    QStringList next;
    for (int i = kWeakestPoints; i < points.size() && next.size() < kWeakestPoints; ++i) {
        const QString query = remedialQuery({points[i].point}, excluded);
        if (!query.isEmpty() && !remedialQuestions(bank.query(query), {points[i].point}).isEmpty())
            next << points[i].point;
    }
    if (!next.isEmpty() && tryPoints(next))
        return search;
    // The paper's own sections.
    if (excluded.isEmpty())
        return search;
    QStringList quoted;
    for (const QString& n : excluded)
        quoted << u'\'' + sqlValue(n) + u'\'';
    const QString in = QStringLiteral(" in (") + quoted.join(u',') + u')';
    search.scopes = bank.query(QStringLiteral("select distinct 考查范围 from 试题库 where 题目编号") + in +
                               QStringLiteral(" order by 考查范围"))
                        .texts();
    if (search.scopes.isEmpty())
        return search;
    QStringList scopes;
    for (const QString& scope : search.scopes)
        scopes << u'\'' + sqlValue(scope) + u'\'';
    search.rows = bank.query(QStringLiteral("select * from 试题库 where 考查范围 in (") + scopes.join(u',') +
                             QStringLiteral(") and 题目编号 not") + in);
    // One question with all its rows, in the bank's order.
    QHash<QString, int> indexOf;
    for (int r = 0; r < search.rows.count(); ++r) {
        const QString number = search.rows.text(r, QStringLiteral("题目编号"));
        auto it = indexOf.find(number);
        if (it == indexOf.end()) {
            it = indexOf.insert(number, int(search.offered.size()));
            search.offered.append(QVector<int>());
        }
        search.offered[*it] << r;
    }
    // The sections as the teacher reads them: the last two levels.
    for (QString& scope : search.scopes) {
        const QStringList parts = scope.split(u'\\');
        scope = parts.mid(std::max(0, int(parts.size()) - 2)).join(QStringLiteral(" "));
    }
    return search;
}

void fillRemedialTable(SpecTable& table, const RowSet& rows, const QVector<QVector<int>>& questions, int count) {
    int total = 0;
    for (int i = 0; i < count && i < questions.size(); ++i)
        total += int(questions[i].size());
    table.setRows(total + 1);
    table.numberRows();
    int row = 1;
    for (int i = 0; i < count && i < questions.size(); ++i)
        for (int r : questions[i])
            table.fillRow(row++, rows.text(r, QStringLiteral("题目编号")), rows.text(r, QStringLiteral("试题识别码")),
                          rows.text(r, QStringLiteral("题型")), rows.text(r, QStringLiteral("难度")),
                          rows.text(r, QStringLiteral("考查范围")), rows.text(r, QStringLiteral("知识点")));
}

}  // namespace zs
