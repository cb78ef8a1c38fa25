#include "ui/compose/Form_stszckxg.h"

#include "app/runstate.h"
#include "paper/questionpick.h"
#include "paper/spectable.h"
#include "questions/questionsearch.h"
#include "questions/rowcheck.h"
#include "store/bank.h"
#include "store/textnumbers.h"
#include "ui/common/screens.h"
#include "ui_Form_stszckxg.h"

#include <limits>

namespace zs {

namespace {
const QString kNotSearched = QStringLiteral("你还没有执行搜索，以致于，你更没有选定任何题目！");
}

Form_stszckxg::Form_stszckxg(RunState& state, SpecTable& table, int targetRow, QString targetCode, QWidget* parent)
    : BrowseScreen(state, parent), ui(std::make_unique<Ui::Form_stszckxg>()), table_(table), PickerTargetRow(targetRow),
      PickerTargetCode(std::move(targetCode)) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    bindControls();
    connect(ui->Command_xdct, &QPushButton::clicked, this, &Form_stszckxg::Command_xdct_Click);
    connect(ui->Command_xdssddqbtm, &QPushButton::clicked, this, &Form_stszckxg::Command_xdssddqbtm_Click);
    Form_Load();
}

Form_stszckxg::~Form_stszckxg() = default;

void Form_stszckxg::DWDZhiDingTiHao() {
    state_.resetBankPath();
    if (PickerTargetCode.isEmpty()) {
        state_.prompts.show(QStringLiteral("请先执行<搜索>或者<定位到指定题号>，然后才能选择某一道题！"));
        return;
    }
    knowledge_->table.clear();
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            browser_.results.load(bank, questionByCodeQuery(PickerTargetCode));
            browser_.SearchDone = !browser_.results.isEmpty();
        }))
        return;
    ShowCurrentQuestion();
}

void Form_stszckxg::setOtherPaper(const SpecTable* other, const QString& thisMark, const QString& otherMark) {
    other_ = other;
    thisMark_ = thisMark;
    otherMark_ = otherMark;
}

bool Form_stszckxg::mayShare(const QList<PickedRow>& records) {
    if (!other_)
        return true;
    const QStringList shared = questionsAlreadyIn(*other_, records);
    if (shared.isEmpty())
        return true;
    const QString which = shared.size() == 1 ? QStringLiteral("题目【%1】").arg(shared.first())
                                             : QStringLiteral("其中 %1 道题目（%2）")
                                                   .arg(shared.size())
                                                   .arg(shared.mid(0, 10).join(QStringLiteral("、")) +
                                                        (shared.size() > 10 ? QStringLiteral("……") : QString()));
    return state_.prompts.message(which + QStringLiteral("已经在%1中了，放进%2后两份试卷会有相同的题目。\r"
                                                         "仍然要放进%2吗？")
                                              .arg(otherMark_, thisMark_),
                                  Buttons::YesNo, Icon::Exclamation, {}, 1) == Answer::Yes;
}

void Form_stszckxg::Command_xdct_Click() {
    if (!browser_.SearchDone) {
        state_.prompts.show(kNotSearched);
        return;
    }
    const QList<PickedRow> records = pickedRowsOf(displayed_);
    if (!browser_.results.hasCurrent() || records.isEmpty()) {
        state_.prompts.show(QStringLiteral("你没有选定任何题目！"));
        return;
    }
    // A question whose rows wait for a correction stays out of the paper.
    UnusableQuestions unusable;
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            unusable = unusableQuestions(bank);
        }))
        return;
    if (unusable.contains(displayed_.number)) {
        state_.prompts.message(unusableQuestionRefusal(unusable, displayed_.number), Buttons::Ok, Icon::Exclamation);
        return;
    }
    if (!mayShare(records))
        return;
    const int number = SpecTable::numberValue(displayed_.number);
    placedNumber_ = qint16(qBound(0, number, int(std::numeric_limits<qint16>::max())));
    placeQuestion(table_, PickerTargetRow, records);
    done(QDialog::Accepted);
}

void Form_stszckxg::Command_xdssddqbtm_Click() {
    if (!browser_.SearchDone) {
        state_.prompts.show(kNotSearched);
        return;
    }
    if (browser_.results.isEmpty()) {
        state_.prompts.show(QStringLiteral("没有搜索到任何试题，暂不能执行此操作~~"));
        return;
    }
    UnusableQuestions unusable;
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            unusable = unusableQuestions(bank);
        }))
        return;
    QList<PickedRow> rows;
    QStringList left;
    for (const PickedRow& row : pickedRowsOf(browser_.results))
        if (!unusable.contains(row.number))
            rows << row;
        else if (!left.contains(row.number))
            left << row.number;
    if (!left.isEmpty()) {
        QStringList reasons;
        for (const QString& n : left)
            reasons << n + QStringLiteral("：") + unusable.reason(n);
        state_.prompts.messageWithDetails(
            QStringLiteral("找到的试题中有 %1 道需要先在<查看修改>中改正，没有放进试卷（题目编号见详细信息）。")
                .arg(left.size()),
            reasons.join(u'\n'), Icon::Exclamation);
        if (rows.isEmpty())
            return;
    }
    if (!mayShare(rows))
        return;
    appendQuestions(table_, rows);
    placedAll_ = true;
    done(QDialog::Accepted);
}

void Form_stszckxg::deleteDisplayed(const QString& number) {
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            deleteQuestion(bank, number);
        }))
        return;
    state_.prompts.show(QStringLiteral("您已成功删除已选试题！"));
    // The found rows stay as they were, less the deleted question's.
    browser_.results.dropNumber(number);
    ShowCurrentQuestion();
}

}  // namespace zs
