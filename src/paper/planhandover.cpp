#include "paper/planhandover.h"

namespace zs {

QStringList tableCells(const Candidate& c) {
    QString knowledge = c.knowledge;
    knowledge.replace(u'|', u'\r');
    return {c.number, c.code, c.type, c.difficulty, c.scope, knowledge};
}

void writePlanIntoTable(SpecTable& table, const PlanRows& rows) {
    table.setRows(int(rows.size()) + 1);
    for (int i = 0; i < int(rows.size()); ++i) {
        const QStringList cells = tableCells(rows[i]);
        table.clearRow(i + 1);  // a score given to the row's former question goes too
        for (int c = 0; c < cells.size(); ++c)
            table.setCell(i + 1, c + 1, cells[c]);
    }
}

}  // namespace zs
