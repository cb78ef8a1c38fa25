#include "questions/scopetree.h"

#include "store/bank.h"
#include "store/statement.h"

#include <QHash>
#include <functional>

namespace zs {

QString scopeLevelQuery(int level, const QStringList& upper) {
    auto v = [&](int i) { return sqlValue(upper.value(i)); };
    switch (level) {
    case 1:
        return QStringLiteral("select distinct 科目 from 教材设置");
    case 2:
        return QStringLiteral("select distinct 教材版本 from 教材设置 where 科目='") + v(0) + u'\'';
    case 3:
        return QStringLiteral("select distinct 年级 from 教材设置 where 科目='") + v(0) +
               QStringLiteral("' and 教材版本='") + v(1) + u'\'';
    case 4:
        return QStringLiteral("select distinct 上下册 from 教材设置 where 科目='") + v(0) +
               QStringLiteral("' and 教材版本='") + v(1) + QStringLiteral("' and 年级='") + v(2) + u'\'';
    case 5:
        return QStringLiteral("select distinct 章 from 教材设置 where 科目='") + v(0) + QStringLiteral("' and 年级='") +
               v(2) + QStringLiteral("' and 上下册='") + v(3) + QStringLiteral("' and 教材版本='") + v(1) + u'\'';
    case 6:
        return QStringLiteral("select distinct 节 from 教材设置 where 科目='") + v(0) + QStringLiteral("' and 年级='") +
               v(2) + QStringLiteral("' and 上下册='") + v(3) + QStringLiteral("' and 教材版本='") + v(1) +
               QStringLiteral("' and 章='") + v(4) + u'\'';
    default:
        return {};
    }
}

int ScopeTreeModel::add(const QString& text, int parent, KeyStyle keys) {
    ScopeNode n;
    n.text = text;
    n.parent = parent;
    if (parent < 0) {
        n.level = 1;
        n.key = text;
        n.fullPath = text;
    } else {
        const ScopeNode& p = nodes_[parent];
        n.level = p.level + 1;
        n.key = keys == KeyStyle::Joined ? p.key + u'\\' + text : p.key + text;
        n.fullPath = p.fullPath + u'\\' + text;
    }
    nodes_.push_back(n);
    const int index = int(nodes_.size()) - 1;
    if (parent >= 0)
        nodes_[parent].children.push_back(index);
    return index;
}

ScopeTreeModel ScopeTreeModel::build(Bank& bank, KeyStyle keys) {
    ScopeTreeModel model;
    // Depth first: each value's children are added before its next sibling.
    std::function<void(int, int, QStringList)> descend = [&](int level, int parent, QStringList upper) {
        if (level > 6)
            return;
        const RowSet rows = bank.query(scopeLevelQuery(level, upper));
        for (int r = 0; r < rows.count(); ++r) {
            const QVariant v = rows.value(r, 0);
            if (v.isNull())
                continue;
            const int node = model.add(v.toString(), parent, keys);
            QStringList below = upper;
            below << v.toString();
            descend(level + 1, node, below);
        }
    };
    descend(1, -1, {});
    return model;
}

ScopeTreeModel ScopeTreeModel::fromPaths(const QList<QStringList>& paths, KeyStyle keys) {
    ScopeTreeModel model;
    QHash<QString, int> byPath;
    for (const QStringList& path : paths) {
        int parent = -1;
        QString joined;
        for (const QString& value : path) {
            joined = parent < 0 ? value : joined + u'\\' + value;
            auto it = byPath.find(joined);
            if (it == byPath.end())
                it = byPath.insert(joined, model.add(value, parent, keys));
            parent = *it;
        }
    }
    return model;
}

QVector<int> ScopeTreeModel::roots() const {
    QVector<int> out;
    for (int i = 0; i < count(); ++i)
        if (nodes_[i].parent < 0)
            out << i;
    return out;
}

int ScopeTreeModel::findByPath(const QString& fullPath) const {
    for (int i = 0; i < count(); ++i)
        if (nodes_[i].fullPath == fullPath)
            return i;
    return -1;
}

void ScopeTreeModel::uncheckAll() {
    for (ScopeNode& n : nodes_)
        n.checked = false;
}

bool ScopeTreeModel::anyChecked() const {
    for (const ScopeNode& n : nodes_)
        if (n.checked)
            return true;
    return false;
}

QVector<int> ScopeTreeModel::checkedNodes() const {
    QVector<int> out;
    for (int i = 0; i < count(); ++i)
        if (nodes_[i].checked)
            out << i;
    return out;
}

QStringList ScopeTreeModel::checkedPaths() const {
    QStringList out;
    for (const ScopeNode& n : nodes_)
        if (n.checked)
            out << n.fullPath;
    return out;
}

QVector<int> ScopeTreeModel::checkGranularity() {
    QVector<int> unticked;
    for (int n = 0; n < count(); ++n) {
        if (!nodes_[n].checked)
            continue;
        for (int m = 0; m < count(); ++m) {
            if (nodes_[m].text == nodes_[n].text)
                continue;
            if (nodes_[m].fullPath.contains(nodes_[n].fullPath)) {
                nodes_[n].checked = false;
                unticked << n;
                break;
            }
        }
    }
    return unticked;
}

void ScopeTreeModel::tickPropagating(int i, bool checked) {
    const QString p = nodes_[i].fullPath;
    for (ScopeNode& n : nodes_)
        if (n.fullPath.contains(p))
            n.checked = checked;
    if (!checked)
        for (ScopeNode& n : nodes_)
            if (p.contains(n.fullPath))
                n.checked = false;
}

QStringList ScopeTreeModel::deepestCheckedPaths() const {
    QStringList out;
    const QVector<int> ticked = checkedNodes();
    for (int n : ticked) {
        bool covered = false;
        for (int m : ticked) {
            if (nodes_[m].text != nodes_[n].text && nodes_[m].fullPath.contains(nodes_[n].fullPath)) {
                covered = true;
                break;
            }
        }
        if (!covered)
            out << nodes_[n].fullPath;
    }
    return out;
}

}  // namespace zs
