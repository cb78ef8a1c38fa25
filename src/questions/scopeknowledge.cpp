#include "questions/scopeknowledge.h"

#include "store/bank.h"
#include "store/statement.h"

namespace zs {

ScopeKnowledgeRow::ScopeKnowledgeRow(QString path, const QStringList& candidates) : path_(std::move(path)) {
    for (const QString& c : candidates)
        slots_.push_back({c, false});
}

QStringList ScopeKnowledgeRow::candidates() const {
    QStringList out;
    for (const Slot& s : slots_)
        if (!s.isSelected && !s.point.isEmpty())
            out << s.point;
    return out;
}

QStringList ScopeKnowledgeRow::selected() const {
    QStringList out;
    for (const Slot& s : slots_)
        if (s.isSelected && !s.point.isEmpty())
            out << s.point;
    return out;
}

bool ScopeKnowledgeRow::anySelected() const {
    for (const Slot& s : slots_)
        if (s.isSelected && !s.point.isEmpty())
            return true;
    return false;
}

bool ScopeKnowledgeRow::select(const QString& point) {
    for (Slot& s : slots_)
        if (!s.isSelected && s.point == point) {
            s.isSelected = true;
            return true;
        }
    return false;
}

bool ScopeKnowledgeRow::deselect(const QString& point) {
    for (Slot& s : slots_)
        if (s.isSelected && s.point == point) {
            s.isSelected = false;
            return true;
        }
    return false;
}

void ScopeKnowledgeRow::addSelected(const QStringList& points) {
    for (const QString& p : points)
        slots_.push_back({p, true});
}

void ScopeKnowledgeRow::dropSelectedFromCandidates() {
    const QStringList chosen = selected();
    for (Slot& s : slots_)
        if (!s.isSelected && chosen.contains(s.point))
            s.point.clear();
}

ScopeKnowledgeRow* ScopeKnowledgeTable::find(const QString& path) {
    for (ScopeKnowledgeRow& r : rows_)
        if (r.path() == path)
            return &r;
    return nullptr;
}

const ScopeKnowledgeRow* ScopeKnowledgeTable::find(const QString& path) const {
    for (const ScopeKnowledgeRow& r : rows_)
        if (r.path() == path)
            return &r;
    return nullptr;
}

ScopeKnowledgeRow& ScopeKnowledgeTable::add(const QString& path, const QStringList& candidates) {
    rows_.push_back(ScopeKnowledgeRow(path, candidates));
    return rows_.back();
}

bool reachesSection(const QString& scopePath) {
    return scopePath.count(u'\\') >= 5;
}

QString sectionKnowledgeQuery(const QString& scopePath) {
    const QStringList v = scopePath.split(u'\\');
    auto at = [&](int i) { return sqlValue(v.value(i)); };
    return QStringLiteral("select distinct 知识点 from 教材设置 where 科目='") + at(0) +
           QStringLiteral("' and 年级='") + at(2) + QStringLiteral("' and 上下册='") + at(3) +
           QStringLiteral("' and 教材版本='") + at(1) + QStringLiteral("' and 章='") + at(4) +
           QStringLiteral("' and 节='") + at(5) + u'\'';
}

QStringList loadSectionKnowledgePoints(Bank& bank, const QString& scopePath) {
    return bank.query(sectionKnowledgeQuery(scopePath)).texts();
}

QString incompleteCatalogueMessage(bool programEnds) {
    QString text = QStringLiteral(
        "对不起，您所勾选的项目还没有将<教材设置>设置完整！\r请前往<教材设置>界面，将所在项目设置完善！");
    if (programEnds)
        text += QStringLiteral("\r\r程序即将退出！");
    return text;
}

}  // namespace zs
