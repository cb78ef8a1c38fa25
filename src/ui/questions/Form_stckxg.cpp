#include "ui/questions/Form_stckxg.h"

#include "app/runstate.h"
#include "questions/questiontexts.h"
#include "results/resultstats.h"
#include "store/bank.h"
#include "ui/common/screens.h"
#include "ui/questions/Form_xsst.h"
#include "ui/questions/similaritycheck.h"
#include "ui_Form_stckxg.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

namespace zs {

Form_stckxg::Form_stckxg(RunState& state, QWidget* parent)
    : BrowseScreen(state, parent), ui(std::make_unique<Ui::Form_stckxg>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    bindControls();
    connect(ui->Command_dkwbstk, &QPushButton::clicked, this, &Form_stckxg::Command_dkwbstk_Click);
    connect(ui->Command_fhzjm, &QPushButton::clicked, this, &Form_stckxg::Command_fhzjm_Click);
    connect(ui->Command_xsst, &QPushButton::clicked, this, &Form_stckxg::Command_xsst_Click);
    connect(ui->Command_ndls, &QPushButton::clicked, this, &Form_stckxg::Command_ndls_Click);
    Form_Load();
    showBankPath();
}

Form_stckxg::~Form_stckxg() = default;

void Form_stckxg::showBankPath() {
    ui->Label6->setText(QStringLiteral("当前<试题库>路径为：") + QDir::toNativeSeparators(state_.BankPath));
    ui->Label6->setToolTip(ui->Label6->text());
}

void Form_stckxg::showEvent(QShowEvent* event) {
    BrowseScreen::showEvent(event);
    if (!activated_)
        QTimer::singleShot(0, this, &Form_stckxg::Form_Activate);
}

void Form_stckxg::Form_Activate() {
    if (activated_)
        return;
    activated_ = true;
    if (!bankUnread())
        Command_ss_Click();
}

void Form_stckxg::Command_dkwbstk_Click() {
    const QString file = state_.prompts.openFile(QStringLiteral("Access文件|*.mdb;*.mdb"));
    if (file.isEmpty()) {
        state_.prompts.show(QStringLiteral("对不起！你没有选择任何文件！"));
        return;
    }
    // Only a real bank replaces the current one.
    const QString problem = Bank::problemWith(file);
    if (!problem.isEmpty()) {
        state_.prompts.message(problem, Buttons::Ok, Icon::Critical);
        return;
    }
    if (!guarded(state_, [&] { Bank bank(file); }))
        return;
    state_.BankPath = file;
    showBankPath();
    Command_ss_Click();
}

void Form_stckxg::Command_xsst_Click() {
    QList<SimilarPair> pairs;
    std::optional<SimilarityIndex> index;
    const bool done = guarded(state_, [&] {
        state_.ensureSharedWordInstance();
        index = readBankSimilarity(state_, *state_.SharedWordInstance, this);
        if (index)
            pairs = index->similarPairs();
    });
    if (!done || !index)
        return;
    if (pairs.isEmpty()) {
        state_.prompts.show(
            QStringLiteral("试题库中没有相似度达到 %1% 的试题。").arg(similarityPercent(kSimilarThreshold)));
        return;
    }
    Form_xsst screen(state_, pairs, *index, this);
    showModal(state_, screen);
    if (const auto& pair = screen.chosen())
        runSearch(questionsStatement({pair->first, pair->second}));
}

void Form_stckxg::Command_ndls_Click() {
    const QString number = ui->Label_dqtmbh->text();
    if (number.isEmpty() || number == QStringLiteral("00000")) {
        state_.prompts.show(QStringLiteral("请先找到一道试题，再看它的难度历史。"));
        return;
    }
    guarded(state_, [&] {
        QStringList lines;
        {
            Bank bank(state_.BankPath);
            lines = difficultyHistory(bank, number);
        }
        if (lines.isEmpty())
            state_.prompts.show(QStringLiteral("第 %1 题的难度还没有按考试成绩改过。").arg(number),
                                QStringLiteral("难度历史"));
        else
            state_.prompts.show(QStringLiteral("第 %1 题的难度历史：\r\r").arg(number) + lines.join(u'\r'),
                                QStringLiteral("难度历史"));
    });
}

void Form_stckxg::Command_fhzjm_Click() {
    reject();
}

void Form_stckxg::reject() {
    if (leaving_)
        return;
    leaving_ = true;
    Timer1.stop();
    BrowseScreen::reject();
    if (QWidget* menu = parentWidget()) {
        menu->show();
        menu->activateWindow();
    }
    QCoreApplication::processEvents();
    state_.quitSharedWordInstance();
}

}  // namespace zs
