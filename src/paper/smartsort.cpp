#include "paper/smartsort.h"

#include "store/bank.h"
#include "store/statement.h"
#include "store/textnumbers.h"

#include <QHash>
#include <QVector>
#include <cmath>
#include <utility>

namespace zs {

const QStringList& smartSortTypeOrder() {
    static const QStringList order = {"单选题", "多选题", "填空题", "判断题", "计算题", "作图题", "解答题", "作文题"};
    return order;
}

void smartSort(SpecTable& table) {
    // The rows of one question move as one unit, wherever they stood: every
    // row with a question number joins the first row that has that number.
    struct Unit {
        QString type, difficulty;
        QVector<int> rows;
    };
    QVector<Unit> units;
    QHash<QString, int> unitOf;
    for (int r = 1; r <= table.dataRows(); ++r) {
        const QString& number = table.cell(r, SpecTable::QuestionNumber);
        if (!number.isEmpty()) {
            const auto known = unitOf.constFind(number);
            if (known != unitOf.constEnd()) {
                units[*known].rows << r;
                continue;
            }
            unitOf.insert(number, int(units.size()));
        }
        units << Unit{table.cell(r, SpecTable::Type), table.cell(r, SpecTable::Difficulty), {r}};
    }

    const int n = int(units.size());
    // Grouping by exchanges: each listed type in turn is gathered at the front.
    int p = 0;
    for (const QString& type : smartSortTypeOrder()) {
        for (int k = 0; k < n; ++k) {
            if (units[k].type == type) {
                std::swap(units[k], units[p]);
                ++p;
            }
        }
    }
    // Ordering each group by difficulty with an exchange sort.
    for (const QString& type : smartSortTypeOrder()) {
        for (int k = 0; k < n; ++k) {
            if (units[k].type != type)
                continue;
            for (int m = k + 1; m < n; ++m) {
                if (units[m].type != type)
                    continue;
                if (units[m].difficulty < units[k].difficulty)
                    std::swap(units[k], units[m]);
            }
        }
    }

    // Columns 1 to 7 of the rows in their new order; column 0 stays.
    QVector<QStringList> before(table.rows());
    for (int r = 1; r < table.rows(); ++r)
        for (int c = 1; c < SpecTable::kColumns; ++c)
            before[r] << table.cell(r, c);
    int row = 1;
    for (const Unit& unit : units)
        for (int from : unit.rows) {
            for (int c = 1; c < SpecTable::kColumns; ++c)
                table.setCell(row, c, before[from][c - 1]);
            ++row;
        }
}

QStringList specialTrainingPoints(const QString& knowledgeCell) {
    QStringList out;
    if (knowledgeCell.isEmpty())
        return out;
    for (const QString& line : knowledgeCell.split(u'\r')) {
        const int dash = line.lastIndexOf(u'-');
        out << (dash >= 0 ? line.mid(dash + 1) : line);
    }
    return out;
}

QString specialTrainingQuery(const QStringList& points) {
    if (points.isEmpty())
        return {};
    QString sql = QStringLiteral("select * from 试题库 where ");
    for (const QString& s : points)
        sql += QStringLiteral("知识点 like '%") + sqlValue(s) + QStringLiteral("%'") + QStringLiteral(" and ");
    sql.chop(5);
    return sql;
}

TrainingCount readTrainingCount(const QString& answer, int available) {
    TrainingCount result;
    if (!isNumericText(answer)) {
        result.refusal = QStringLiteral("输入的不是一个正整数！输入无效");
        return result;
    }
    const double value = std::floor(numericValue(answer));
    if (value > available || value < 1) {
        result.refusal =
            QStringLiteral("输入的值不在 [0~") + QString::number(available) + QStringLiteral("] 之间！输入无效！");
        return result;
    }
    result.count = int(value);
    return result;
}

void fillTableFromRows(SpecTable& table, const RowSet& rows, int count, int firstRow) {
    table.setRows(count + 1);
    table.numberRows();
    for (int i = 1; i <= count; ++i) {
        const int r = firstRow + i - 1;
        table.fillRow(i, rows.text(r, QStringLiteral("题目编号")), rows.text(r, QStringLiteral("试题识别码")),
                      rows.text(r, QStringLiteral("题型")), rows.text(r, QStringLiteral("难度")),
                      rows.text(r, QStringLiteral("考查范围")), rows.text(r, QStringLiteral("知识点")));
    }
}

}  // namespace zs
