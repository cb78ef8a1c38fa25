#include "ui/compose/Form_fzsz.h"

#include "app/runstate.h"
#include "store/bank.h"
#include "ui/common/screens.h"
#include "ui_Form_fzsz.h"

#include <QHeaderView>

namespace zs {

Form_fzsz::Form_fzsz(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_fzsz>()) {
    ui->setupUi(this);
    connect(ui->Command_bc, &QPushButton::clicked, this, &Form_fzsz::Command_bc_Click);
    connect(ui->Command_qx, &QPushButton::clicked, this, &Form_fzsz::Command_qx_Click);
    Form_Load();
}

Form_fzsz::~Form_fzsz() = default;

void Form_fzsz::Form_Load() {
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        scores_ = TypeScores::load(bank);
    });
    QTableWidget* grid = ui->Grid_txfz;
    grid->setColumnCount(2);
    grid->setHorizontalHeaderLabels({QStringLiteral("题型"), QStringLiteral("分值")});
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    grid->setRowCount(int(scores_.types().size()));
    for (int r = 0; r < scores_.types().size(); ++r) {
        const QString& type = scores_.types()[r];
        auto* name = new QTableWidgetItem(type);
        name->setFlags(Qt::ItemIsEnabled);
        grid->setItem(r, 0, name);
        const auto score = scores_.of(type);
        grid->setItem(r, 1, new QTableWidgetItem(score ? scoreText(*score) : QString()));
    }
}

void Form_fzsz::Command_bc_Click() {
    QTableWidget* grid = ui->Grid_txfz;
    TypeScores edited = scores_;
    for (int r = 0; r < grid->rowCount(); ++r) {
        const QString type = grid->item(r, 0)->text();
        const QString text = grid->item(r, 1) ? grid->item(r, 1)->text().trimmed() : QString();
        if (text.isEmpty()) {
            edited.set(type, std::nullopt);
            continue;
        }
        const auto score = parseScore(text);
        if (!score) {
            state_.prompts.message(QStringLiteral("<%1>的分值“%2”不对。\r").arg(type, text) + kScoreRule, Buttons::Ok,
                                   Icon::Exclamation);
            grid->setCurrentCell(r, 1);
            return;
        }
        edited.set(type, score);
    }
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            edited.save(bank);
        }))
        return;
    scores_ = edited;
    saved_ = true;
    accept();
}

void Form_fzsz::Command_qx_Click() {
    reject();
}

}  // namespace zs
