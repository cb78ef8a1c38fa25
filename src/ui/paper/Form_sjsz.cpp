#include "ui/paper/Form_sjsz.h"

#include "app/runstate.h"
#include "store/bank.h"
#include "ui/common/screens.h"
#include "ui_Form_sjsz.h"

namespace zs {

Form_sjsz::Form_sjsz(RunState& state, const PaperScores& scores, QWidget* parent)
    : QDialog(parent), state_(state), scores_(scores), ui(std::make_unique<Ui::Form_sjsz>()) {
    ui->setupUi(this);
    ui->Combo_bs->addItems(layoutCaptions());
    connect(ui->Command_qd, &QPushButton::clicked, this, &Form_sjsz::Command_qd_Click);
    connect(ui->Command_qx, &QPushButton::clicked, this, &Form_sjsz::Command_qx_Click);
    connect(ui->Text_ydzf, &QLineEdit::textChanged, this, &Form_sjsz::showWarning);
    Form_Load();
}

Form_sjsz::~Form_sjsz() = default;

void Form_sjsz::Form_Load() {
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        settings_ = PaperSettings::load(bank);
    });
    ui->Text_xxmc->setText(settings_.school);
    ui->Text_bt->setText(settings_.title);
    ui->Text_fbt->setText(settings_.subtitle);
    ui->Text_kssj->setText(settings_.minutes > 0 ? QString::number(settings_.minutes) : QString());
    ui->Text_ydzf->setText(settings_.intendedTotal ? scoreText(*settings_.intendedTotal) : QString());
    ui->Combo_bs->setCurrentIndex(int(settings_.layout));
    ui->Check_dtk->setChecked(settings_.answerSheet);
    ui->Spin_khws->setValue(settings_.examDigits);
    ui->Check_docx->setChecked(settings_.docx);
    ui->Check_pdf->setChecked(settings_.pdf);
    if (scores_.any())
        ui->Label_zf->setText(QStringLiteral("%1分（各题分值合计）").arg(scoreText(scores_.total)));
    else
        ui->Label_zf->setText(QStringLiteral("各题没有设置分值（试卷中不写分值）"));
    showWarning();
}

PaperSettingsInput Form_sjsz::input() const {
    PaperSettingsInput in;
    in.title = ui->Text_bt->text();
    in.school = ui->Text_xxmc->text();
    in.subtitle = ui->Text_fbt->text();
    in.minutes = ui->Text_kssj->text();
    in.intendedTotal = ui->Text_ydzf->text();
    in.layout = ui->Combo_bs->currentIndex();
    in.answerSheet = ui->Check_dtk->isChecked();
    in.examDigits = ui->Spin_khws->value();
    in.docx = ui->Check_docx->isChecked();
    in.pdf = ui->Check_pdf->isChecked();
    return in;
}

void Form_sjsz::showWarning() {
    ui->Label_ts->setText(totalMismatch(scores_, parseScore(ui->Text_ydzf->text())));
}

void Form_sjsz::Command_qd_Click() {
    const PaperSettingsCheck check = checkPaperSettings(input(), scores_);
    if (!check.complaints.isEmpty()) {
        state_.prompts.message(check.complaints.join(u'\r'), Buttons::Ok, Icon::Exclamation,
                               QStringLiteral("试卷设置"));
        return;
    }
    if (!check.totalWarning.isEmpty()) {
        const Answer answer =
            state_.prompts.message(check.totalWarning + QStringLiteral("\r仍然按各题的分值生成试卷吗？"),
                                   Buttons::YesNo, Icon::Exclamation, QStringLiteral("试卷设置"), 1);
        if (answer != Answer::Yes)
            return;
    }
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            check.settings.save(bank);
        }))
        return;
    settings_ = check.settings;
    cancelled_ = false;
    accept();
}

void Form_sjsz::Command_qx_Click() {
    reject();
}

void Form_sjsz::reject() {
    cancelled_ = true;
    QDialog::reject();
}

}  // namespace zs
