#include "ui/questions/Form_xsst.h"

#include "app/runstate.h"
#include "ui_Form_xsst.h"

#include <QHeaderView>

namespace zs {

Form_xsst::Form_xsst(RunState& state, const QList<SimilarPair>& pairs, const SimilarityIndex& index, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_xsst>()), state_(state), pairs_(pairs) {
    ui->setupUi(this);
    ui->Label1->setText(QStringLiteral("试题库中相似度不低于 %1% 的试题共 %2 对：")
                            .arg(similarityPercent(kSimilarThreshold))
                            .arg(pairs.size()));
    for (int i = 0; i < pairs.size(); ++i) {
        auto* row = new QTreeWidgetItem(ui->List_xsst);
        row->setText(0, pairs[i].first);
        row->setText(1, pairs[i].second);
        row->setText(2, QStringLiteral("%1%").arg(pairs[i].percent));
        row->setText(3, index.excerpt(pairs[i].first));
        row->setToolTip(3, pairs[i].first + QStringLiteral("：") + index.excerpt(pairs[i].first) + u'\n' +
                               pairs[i].second + QStringLiteral("：") + index.excerpt(pairs[i].second));
        row->setData(0, Qt::UserRole, i);
    }
    QHeaderView* header = ui->List_xsst->header();
    for (int c = 0; c < 3; ++c)
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    if (!pairs.isEmpty())
        ui->List_xsst->setCurrentItem(ui->List_xsst->topLevelItem(0));
    connect(ui->Command_ck, &QPushButton::clicked, this, &Form_xsst::Command_ck_Click);
    connect(ui->Command_fh, &QPushButton::clicked, this, &Form_xsst::Command_fh_Click);
    connect(ui->List_xsst, &QTreeWidget::itemDoubleClicked, this, &Form_xsst::Command_ck_Click);
}

Form_xsst::~Form_xsst() = default;

void Form_xsst::Command_ck_Click() {
    const QTreeWidgetItem* current = ui->List_xsst->currentItem();
    if (!current) {
        state_.prompts.show(QStringLiteral("请先选中一对相似试题！"));
        return;
    }
    chosen_ = pairs_[current->data(0, Qt::UserRole).toInt()];
    accept();
}

void Form_xsst::Command_fh_Click() {
    reject();
}

}  // namespace zs
