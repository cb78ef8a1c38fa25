#pragma once

#include "questions/scopeknowledge.h"

#include <QString>

class QListWidget;
class QListWidgetItem;

namespace zs {

class ScopeTreeWidget;

// The knowledge points of the ticked scopes of a scope tree, shown in the two
// lists of a question screen ("待选知识点" and "已选知识点") for the scope
// selected in the tree. Clicks mark the lists stale; the screen's timer
// redraws them.
class KnowledgePicker {
public:
    KnowledgePicker(ScopeTreeWidget* tree, QListWidget* candidates, QListWidget* selected);

    ScopeKnowledgeTable table;  // the screen's ScopeKnowledgeTable
    bool ListsStale = false;

    // The full path of the tree's selected node (empty when none).
    QString selectedPath() const;
    // A click on a candidate moves it to the selected side of the same slot, and back.
    void pick(const QListWidgetItem* item);
    void unpick(const QListWidgetItem* item);
    void clearLists();
    // Unticks every ticked node that is not a leaf; true when one was unticked
    // (the screen then tells the teacher).
    bool undoCoarseTicks();
    // When the lists are stale: refills them from the row of the selected node
    // (if that node is ticked) and returns true.
    bool refreshLists();

private:
    ScopeTreeWidget* tree_;
    QListWidget* candidates_;
    QListWidget* selected_;
};

// The message of a tick above the leaves.
inline const QString kFinerScopeMessage = QStringLiteral("请勾选更详细的考查范围！");

}  // namespace zs
