#include "ui/common/knowledgepicker.h"

#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"

#include <QListWidget>

namespace zs {

KnowledgePicker::KnowledgePicker(ScopeTreeWidget* tree, QListWidget* candidates, QListWidget* selected)
    : tree_(tree), candidates_(candidates), selected_(selected) {}

QString KnowledgePicker::selectedPath() const {
    const int node = tree_->selectedNode();
    return node < 0 ? QString() : tree_->model().node(node).fullPath;
}

void KnowledgePicker::pick(const QListWidgetItem* item) {
    if (ScopeKnowledgeRow* row = table.find(selectedPath()))
        row->select(item->text());
    ListsStale = true;
}

void KnowledgePicker::unpick(const QListWidgetItem* item) {
    if (ScopeKnowledgeRow* row = table.find(selectedPath()))
        row->deselect(item->text());
    ListsStale = true;
}

void KnowledgePicker::clearLists() {
    candidates_->clear();
    selected_->clear();
}

bool KnowledgePicker::undoCoarseTicks() {
    if (tree_->model().checkGranularity().isEmpty())
        return false;
    tree_->syncChecks();
    return true;
}

bool KnowledgePicker::refreshLists() {
    if (!ListsStale)
        return false;
    clearLists();
    const int node = tree_->selectedNode();
    if (node >= 0 && tree_->model().isChecked(node)) {
        if (const ScopeKnowledgeRow* row = table.find(tree_->model().node(node).fullPath)) {
            fillList(candidates_, row->candidates());
            fillList(selected_, row->selected());
        }
    }
    ListsStale = false;
    return true;
}

}  // namespace zs
