#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace zs {

class Bank;

// One catalogue node of a scope tree: a value of levels 科目 … 节.
struct ScopeNode {
    QString text;      // the node's own value
    QString key;       // as the screen builds it (see ScopeTreeModel::KeyStyle)
    QString fullPath;  // the texts from the root joined by "\"; a scope path for a 节
    int level = 1;     // 1 科目 … 6 节
    int parent = -1;
    QVector<int> children;
    bool checked = false;
};

// The check-box tree of catalogue paths built level by level from 教材设置.
// Nodes are kept in tree order (the order they were added: depth first), which
// is the order every "in tree order" walk uses.
class ScopeTreeModel {
public:
    // Keys: "\"-joined values (entry, browse, composition screens) or the plain
    // concatenation of the values (bank sharing).
    enum class KeyStyle { Joined, Concatenated };

    ScopeTreeModel() = default;

    // Builds the tree with the six "select distinct" queries, depth first, null
    // values skipped.
    static ScopeTreeModel build(Bank& bank, KeyStyle keys = KeyStyle::Joined);
    // Builds a tree from explicit rows of up to six values (for tests and tools).
    static ScopeTreeModel fromPaths(const QList<QStringList>& paths, KeyStyle keys = KeyStyle::Joined);

    int count() const { return int(nodes_.size()); }
    const ScopeNode& node(int i) const { return nodes_[i]; }
    QVector<int> roots() const;
    int findByPath(const QString& fullPath) const;  // -1 when absent

    bool isChecked(int i) const { return nodes_[i].checked; }
    void setChecked(int i, bool checked) { nodes_[i].checked = checked; }
    void uncheckAll();
    bool anyChecked() const;
    QVector<int> checkedNodes() const;  // tree order
    QStringList checkedPaths() const;   // full paths, tree order

    // Only leaves may stay ticked: every ticked node whose full path occurs inside
    // the full path of a node with another text is unticked. Returns the nodes
    // unticked (empty: the check passed).
    QVector<int> checkGranularity();

    // Ticking rule of the composition and export trees: ticking ticks every node
    // whose full path contains the node's path; unticking unticks those and every
    // node whose full path is contained in the node's path. Plain substring tests.
    void tickPropagating(int i, bool checked);

    // The full paths of the deepest ticked nodes, tree order: a ticked node stays
    // unless another ticked node with another text has a full path containing its
    // own.
    QStringList deepestCheckedPaths() const;

private:
    int add(const QString& text, int parent, KeyStyle keys);
    QVector<ScopeNode> nodes_;
};

// The catalogue statements of the scope trees, values between quotes.
QString scopeLevelQuery(int level, const QStringList& upper);

}  // namespace zs
