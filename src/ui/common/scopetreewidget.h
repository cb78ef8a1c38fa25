#pragma once

#include "questions/scopetree.h"

#include <QColor>
#include <QTreeWidget>

namespace zs {

// A check-box tree showing a ScopeTreeModel. The model holds the ticks; the
// widget mirrors them and reports the teacher's ticks and clicks.
class ScopeTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit ScopeTreeWidget(QWidget* parent = nullptr);

    void setModel(ScopeTreeModel model);
    ScopeTreeModel& model() { return model_; }
    const ScopeTreeModel& model() const { return model_; }

    // Shows the model's ticks (after the logic changed them).
    void syncChecks();
    // The node of the selected (current) item, or -1.
    int selectedNode() const;
    void selectNode(int node);
    QTreeWidgetItem* itemOf(int node) const;
    void setNodeStyle(int node, const QColor& color, bool bold);

    // Wide enough to show every name down to the chapters whole (sections,
    // which can be longer, are reached by scrolling sideways).
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The teacher ticked or unticked a node; the model already holds the new tick.
    void nodeCheck(int node);
    // Any click in the tree, after a tick it made has been applied.
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void onItemChanged(QTreeWidgetItem* item, int column);
    int chapterWidth() const;

    ScopeTreeModel model_;
    QVector<QTreeWidgetItem*> items_;
    bool syncing_ = false;
};

}  // namespace zs
