#include "ui/common/scopetreewidget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

namespace zs {

namespace {
// The deepest level shown whole without scrolling (章), and the most width
// that asks of the screen.
constexpr int kWholeLevel = 5;
constexpr int kMostWidth = 440;
}  // namespace

ScopeTreeWidget::ScopeTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(this, &QTreeWidget::itemChanged, this, &ScopeTreeWidget::onItemChanged);
}

void ScopeTreeWidget::setModel(ScopeTreeModel model) {
    syncing_ = true;
    clear();
    items_.clear();
    model_ = std::move(model);
    items_.resize(model_.count());
    for (int i = 0; i < model_.count(); ++i) {
        const ScopeNode& n = model_.node(i);
        QTreeWidgetItem* item = n.parent < 0 ? new QTreeWidgetItem(this) : new QTreeWidgetItem(items_[n.parent]);
        item->setText(0, n.text);
        item->setToolTip(0, n.fullPath);
        item->setData(0, Qt::UserRole, i);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, n.checked ? Qt::Checked : Qt::Unchecked);
        items_[i] = item;
    }
    syncing_ = false;
    updateGeometry();
}

int ScopeTreeWidget::chapterWidth() const {
    // Ticked nodes are drawn bold: measure in bold.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int box = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) + 12;
    int widest = 0;
    for (int i = 0; i < model_.count(); ++i) {
        const ScopeNode& n = model_.node(i);
        if (n.level <= kWholeLevel)
            widest = qMax(widest, indentation() * n.level + box + metrics.horizontalAdvance(n.text));
    }
    const int chrome = 2 * frameWidth() + verticalScrollBar()->sizeHint().width() + 4;
    return qMin(widest + chrome, kMostWidth);
}

QSize ScopeTreeWidget::sizeHint() const {
    const QSize base = QTreeWidget::sizeHint();
    return {qMax(base.width(), chapterWidth()), base.height()};
}

QSize ScopeTreeWidget::minimumSizeHint() const {
    const QSize base = QTreeWidget::minimumSizeHint();
    return {qMax(base.width(), chapterWidth()), base.height()};
}

void ScopeTreeWidget::syncChecks() {
    syncing_ = true;
    for (int i = 0; i < model_.count(); ++i) {
        const Qt::CheckState state = model_.isChecked(i) ? Qt::Checked : Qt::Unchecked;
        if (items_[i]->checkState(0) != state)
            items_[i]->setCheckState(0, state);
    }
    syncing_ = false;
}

int ScopeTreeWidget::selectedNode() const {
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

void ScopeTreeWidget::selectNode(int node) {
    if (node >= 0 && node < items_.size())
        setCurrentItem(items_[node]);
}

QTreeWidgetItem* ScopeTreeWidget::itemOf(int node) const {
    return node >= 0 && node < items_.size() ? items_[node] : nullptr;
}

void ScopeTreeWidget::setNodeStyle(int node, const QColor& color, bool bold) {
    QTreeWidgetItem* item = itemOf(node);
    if (!item)
        return;
    syncing_ = true;
    item->setForeground(0, color);
    QFont f = item->font(0);
    f.setBold(bold);
    item->setFont(0, f);
    syncing_ = false;
}

void ScopeTreeWidget::onItemChanged(QTreeWidgetItem* item, int column) {
    if (syncing_ || column != 0)
        return;
    const int node = item->data(0, Qt::UserRole).toInt();
    const bool checked = item->checkState(0) == Qt::Checked;
    if (model_.isChecked(node) == checked)
        return;
    model_.setChecked(node, checked);
    emit nodeCheck(node);
}

void ScopeTreeWidget::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    emit clicked();
}

void ScopeTreeWidget::keyReleaseEvent(QKeyEvent* event) {
    QTreeWidget::keyReleaseEvent(event);
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select)
        emit clicked();
}

}  // namespace zs
