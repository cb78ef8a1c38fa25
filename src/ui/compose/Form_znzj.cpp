#include "ui/compose/Form_znzj.h"

#include "app/runstate.h"
#include "paper/planhandover.h"
#include "paper/smartsort.h"
#include "plan/composition.h"
#include "plan/compositionsettings.h"
#include "store/bank.h"
#include "ui/common/screens.h"
#include "ui/common/widgetevents.h"
#include "ui/common/widgets.h"
#include "ui/compose/Form_sdzj.h"
#include "ui_Form_znzj.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>

namespace zs {

namespace {

// Captions of the type boxes: grey while never ticked, blue when ticked, a
// darker grey when ticked off again.
const QColor kTypeAtLoad(128, 128, 128);
const QColor kTypeTicked(0, 0, 255);
const QColor kTypeUnticked(100, 100, 100);
const QColor kShareTotalComplete(0, 0, 0);
const QColor kShareTotalIncomplete(255, 0, 0);

const QString kAuthorKey = QStringLiteral("作者:");
const QString kSourceKey = QStringLiteral("试题来源:");

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

template <typename T> T* control(QWidget* form, const char* name, int index) {
    return formControl<T>(form, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index));
}

}  // namespace

Form_znzj::Form_znzj(RunState& state, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_znzj>()), state_(state) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    // On a small screen (1366×768) the window keeps inside it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(qMax(minimumSizeHint().width(), qMin(width(), area.width() - 20)),
               qMax(minimumSizeHint().height(), qMin(height(), area.height() - 60)));
    }
    for (int i = 0; i < kTypeSlotCount; ++i) {
        Check_tx[i] = control<QCheckBox>(this, "Check_tx", i);
        Text_ts[i] = control<QLineEdit>(this, "Text_ts", i);
        Command_tsjian[i] = control<QPushButton>(this, "Command_tsjian", i);
        Command_tsjia[i] = control<QPushButton>(this, "Command_tsjia", i);
        connect(Check_tx[i], &QCheckBox::toggled, this, [this, i] { Check_tx_Click(i); });
        connect(Text_ts[i], &QLineEdit::textChanged, this, [this, i] { Text_ts_Change(i); });
        connect(Command_tsjian[i], &QPushButton::clicked, this, [this, i] { Command_tsjian_Click(i); });
        connect(Command_tsjia[i], &QPushButton::clicked, this, [this, i] { Command_tsjia_Click(i); });
    }
    for (int k = 0; k < kLevelCount; ++k) {
        HScroll_ndbl[k] = control<QScrollBar>(this, "HScroll_ndbl", k);
        Label_ndbl[k] = control<QLabel>(this, "Label_ndbl", k);
        connect(HScroll_ndbl[k], &QScrollBar::valueChanged, this, [this, k] { HScroll_ndbl_Change(k); });
        Label_ndsl[k] = control<QLabel>(this, "Label_ndsl", k);
    }
    for (int i = 0; i < kTypeSlotCount; ++i)
        Label_txsl[i] = control<QLabel>(this, "Label_txsl", i);
    // The counts follow every filter of the candidates.
    connect(ui->TreeView_zz, &QTreeWidget::itemChanged, this, &Form_znzj::ShowScopeCounts);
    connect(ui->TreeView_stly, &QTreeWidget::itemChanged, this, &Form_znzj::ShowScopeCounts);
    for (QCheckBox* box : {ui->Check_zzzq, ui->Check_zzzh, ui->Check_jtnyg})
        connect(box, &QCheckBox::toggled, this, &Form_znzj::ShowScopeCounts);
    for (QDateEdit* date : {ui->DTPicker_zzzq, ui->DTPicker_zzzh})
        connect(date, &QDateEdit::dateChanged, this, &Form_znzj::ShowScopeCounts);
    connect(ui->Text_jtnyg, &QSpinBox::valueChanged, this, &Form_znzj::ShowScopeCounts);
    connect(ui->Check_zzzq, &QCheckBox::toggled, this, &Form_znzj::Check_zzzq_Click);
    connect(ui->Check_zzzh, &QCheckBox::toggled, this, &Form_znzj::Check_zzzh_Click);
    connect(ui->Check_jtnyg, &QCheckBox::toggled, this, &Form_znzj::Check_jtnyg_Click);
    connect(ui->TreeView_kcfw, &ScopeTreeWidget::nodeCheck, this, &Form_znzj::TreeView_kcfw_NodeCheck);
    connect(ui->Command_jszyfa, &QPushButton::clicked, this, &Form_znzj::Command_jszyfa_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_znzj::Command_tc_Click);
    onClick(ui->Image_logo, [this] { Image_logo_Click(); });
    Form_Load();
}

Form_znzj::~Form_znzj() = default;

// ------------------------------------------------------------------ load

void Form_znzj::Form_Load() {
    const QDate today = state_.today();
    ui->DTPicker_zzzh->setDate(today);
    ui->DTPicker_zzzq->setDate(today);
    ui->DTPicker_zzzh->setEnabled(false);
    ui->DTPicker_zzzq->setEnabled(false);

    for (int i = 0; i < kTypeSlotCount; ++i) {
        const QSignalBlocker blockBox(Check_tx[i]);
        const QSignalBlocker blockCount(Text_ts[i]);
        Check_tx[i]->setText(typeSlotCaptions()[i]);
        Check_tx[i]->setChecked(false);
        Text_ts[i]->setText(QStringLiteral("0"));
        Command_tsjian[i]->setEnabled(false);
        Command_tsjia[i]->setEnabled(false);
        Text_ts[i]->setEnabled(false);
        setTextColour(Check_tx[i], kTypeAtLoad);
    }

    for (int k = 0; k < kLevelCount; ++k) {
        const QSignalBlocker block(HScroll_ndbl[k]);
        HScroll_ndbl[k]->setRange(0, kShareSteps);
        HScroll_ndbl[k]->setValue(0);
        Label_ndbl[k]->setText(QStringLiteral("00%"));
    }
    ui->Label_ztnd->setText(QStringLiteral("0.0"));
    ui->Label_tszj->setText(QStringLiteral("0"));
    ui->Label_blzj->setText(QStringLiteral("00%"));
    ShareTotal = 0;
    ColourShareTotal();

    state_.resetBankPath();
    guarded(state_, [&] {
        Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
        fillFilterTree(ui->TreeView_zz, kAuthorKey, questionAuthors(bank));
        fillFilterTree(ui->TreeView_stly, kSourceKey, questionSources(bank));
        ui->TreeView_kcfw->setModel(ScopeTreeModel::build(bank));
        savedRecentUse_ = loadRecentUseSetting(bank);
        const QSignalBlocker block(ui->Check_jtnyg);
        ui->Check_jtnyg->setChecked(savedRecentUse_.ticked);
        ui->Text_jtnyg->setValue(savedRecentUse_.days);
    });
    Check_jtnyg_Click();
    ShowScopeCounts();
}

void Form_znzj::fillFilterTree(QTreeWidget* tree, const QString& keyPrefix, const QStringList& values) {
    const QSignalBlocker block(tree);
    tree->clear();
    for (const QString& value : values) {
        auto* node = new QTreeWidgetItem(tree);
        node->setText(0, value);
        node->setData(0, Qt::UserRole, keyPrefix + value);
        node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        node->setCheckState(0, Qt::Checked);
    }
}

QStringList Form_znzj::tickedTexts(const QTreeWidget* tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->checkState(0) == Qt::Checked)
            texts << tree->topLevelItem(i)->text(0);
    return texts;
}

// ------------------------------------------------------------------ types and counts

void Form_znzj::Check_tx_Click(int i) {
    const bool ticked = Check_tx[i]->isChecked();
    setTextColour(Check_tx[i], ticked ? kTypeTicked : kTypeUnticked);
    Command_tsjian[i]->setEnabled(ticked);
    Command_tsjia[i]->setEnabled(ticked);
    Text_ts[i]->setEnabled(ticked);
    RecountTotal();
}

void Form_znzj::Command_tsjian_Click(int i) {
    Text_ts[i]->setText(countAfterMinus(Text_ts[i]->text()));
    RecountTotal();
}

void Form_znzj::Command_tsjia_Click(int i) {
    Text_ts[i]->setText(countAfterPlus(Text_ts[i]->text()));
    RecountTotal();
}

void Form_znzj::Text_ts_Change(int) {
    RecountTotal();
}

void Form_znzj::RecountTotal() {
    std::array<bool, kTypeSlotCount> ticked{};
    std::array<QString, kTypeSlotCount> counts;
    for (int i = 0; i < kTypeSlotCount; ++i) {
        ticked[i] = Check_tx[i]->isChecked();
        counts[i] = Text_ts[i]->text();
    }
    ui->Label_tszj->setText(zs::RecountTotal(ticked, counts));
    ColourScopeCounts();
}

// ------------------------------------------------------------------ shares

std::array<int, kLevelCount> Form_znzj::shareValues() const {
    std::array<int, kLevelCount> values{};
    for (int k = 0; k < kLevelCount; ++k)
        values[k] = HScroll_ndbl[k]->value();
    return values;
}

void Form_znzj::HScroll_ndbl_Change(int i) {
    // A setting past 100 % is taken back one step at a time, with the message
    // once for every step taken back.
    const ShareExcess excess = lowerShareExcess(shareValues(), i);
    QScrollBar* bar = HScroll_ndbl[i];
    if (excess.messages > 0) {
        // A bar held down (an arrow or the slider) would go on moving behind
        // the message box; disabling it for a moment lets it go. It keeps the
        // keyboard focus it had.
        const bool focused = bar->hasFocus();
        bar->setEnabled(false);
        bar->setEnabled(true);
        if (focused)
            bar->setFocus();
        const QSignalBlocker block(bar);
        bar->setValue(excess.value);
    }
    Label_ndbl[i]->setText(shareLabelText(bar->value()));
    ShowOverallDifficulty();
    ShowShareTotal();
    ColourShareTotal();
    ColourScopeCounts();
    for (int m = 0; m < excess.messages; ++m)
        state_.prompts.message(kShareExcessMessage, Buttons::Ok, Icon::Question);
}

void Form_znzj::ShowOverallDifficulty() {
    ui->Label_ztnd->setText(zs::ShowOverallDifficulty(shareValues()));
}

void Form_znzj::ShowShareTotal() {
    std::array<QString, kLevelCount> labels;
    for (int k = 0; k < kLevelCount; ++k)
        labels[k] = Label_ndbl[k]->text();
    const ShareSum total = zs::ShowShareTotal(labels);
    ShareTotal = qint16(total.total);
    ui->Label_blzj->setText(total.text);
}

void Form_znzj::ColourShareTotal() {
    setTextColour(ui->Label_blzj,
                  shareTotalIsComplete(ui->Label_blzj->text()) ? kShareTotalComplete : kShareTotalIncomplete);
}

// ------------------------------------------------------------------ dates and scope

void Form_znzj::Check_zzzq_Click() {
    ui->DTPicker_zzzq->setEnabled(ui->Check_zzzq->isChecked());
}

void Form_znzj::Check_zzzh_Click() {
    ui->DTPicker_zzzh->setEnabled(ui->Check_zzzh->isChecked());
}

void Form_znzj::Check_jtnyg_Click() {
    ui->Text_jtnyg->setEnabled(ui->Check_jtnyg->isChecked());
}

void Form_znzj::TreeView_kcfw_NodeCheck(int node) {
    ScopeTreeModel& tree = ui->TreeView_kcfw->model();
    tree.tickPropagating(node, tree.isChecked(node));
    ui->TreeView_kcfw->syncChecks();
    ShowScopeCounts();
}

// ------------------------------------------------------------------ what the scope holds

void Form_znzj::ShowScopeCounts() {
    const CompositionInputs in = inputs();
    scopeCounts_.reset();
    if (in.ScopePaths.isEmpty()) {
        ui->Label_kcfwsl->setText(QStringLiteral("尚未勾选考查范围"));
    } else if (in.AuthorFilter.isEmpty() || in.SourceFilter.isEmpty()) {
        // No teacher or no source ticked: no question is a candidate.
        scopeCounts_ = ScopeCounts{};
        ui->Label_kcfwsl->setText(QStringLiteral("所选范围内共 0 道题"));
    } else {
        try {
            Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
            scopeCounts_ = scopeCountsInBank(bank, zs::CollectParameters(in, QStringList()));
            ui->Label_kcfwsl->setText(QStringLiteral("所选范围内共 %1 道题").arg(scopeCounts_->questions));
        } catch (const StoreError&) {
            // Computing reports what is wrong with the bank; here only the count is missing.
            ui->Label_kcfwsl->setText(QStringLiteral("所选范围内的题数无法统计"));
        }
    }
    for (int i = 0; i < kTypeSlotCount; ++i)
        Label_txsl[i]->setText(scopeCounts_ ? QStringLiteral("有 %1 道").arg(scopeCounts_->types[i]) : QString());
    for (int k = 0; k < kLevelCount; ++k)
        Label_ndsl[k]->setText(scopeCounts_ ? QStringLiteral("有 %1 道").arg(scopeCounts_->levels[k]) : QString());
    ColourScopeCounts();
}

void Form_znzj::ColourScopeCounts() {
    const QColor enough(85, 85, 85), tooFew(255, 0, 0);
    const CompositionParameters asked = zs::CollectParameters(inputs(), QStringList());
    for (int i = 0; i < kTypeSlotCount; ++i)
        setTextColour(Label_txsl[i], scopeCounts_ && asked.TypeTargets[i] > scopeCounts_->types[i] ? tooFew : enough);
    for (int k = 0; k < kLevelCount; ++k)
        setTextColour(Label_ndsl[k], scopeCounts_ && asked.LevelTargets[k] > scopeCounts_->levels[k] ? tooFew : enough);
    setTextColour(ui->Label_kcfwsl, scopeCounts_ && asked.TotalWanted > scopeCounts_->questions ? tooFew : enough);
}

// ------------------------------------------------------------------ the plan

CompositionInputs Form_znzj::inputs() const {
    CompositionInputs in;
    in.ScopePaths = ui->TreeView_kcfw->model().deepestCheckedPaths();
    for (int i = 0; i < kTypeSlotCount; ++i) {
        in.typeTicked[i] = Check_tx[i]->isChecked();
        in.typeCounts[i] = Text_ts[i]->text();
    }
    in.totalText = ui->Label_tszj->text();
    for (int k = 0; k < kLevelCount; ++k)
        in.shareTexts[k] = Label_ndbl[k]->text();
    in.shareTotalText = ui->Label_blzj->text();
    in.AuthorFilter = tickedTexts(ui->TreeView_zz);
    in.SourceFilter = tickedTexts(ui->TreeView_stly);
    in.afterTicked = ui->Check_zzzh->isChecked();
    in.afterDate = ui->DTPicker_zzzh->date();
    in.beforeTicked = ui->Check_zzzq->isChecked();
    in.beforeDate = ui->DTPicker_zzzq->date();
    in.recentUseTicked = ui->Check_jtnyg->isChecked();
    in.recentUseDays = ui->Text_jtnyg->value();
    in.today = state_.today();
    return in;
}

bool Form_znzj::CollectParameters(CompositionParameters& parameters) {
    const CompositionInputs in = inputs();
    const bool read = guarded(state_, [&] {
        Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
        parameters = zs::CollectParameters(in, bank);
    });
    if (!read)
        return false;
    const ParameterCheck check = checkParameters(in, parameters);
    state_.prompts.show(check.message);
    return check.passed;
}

void Form_znzj::Command_jszyfa_Click() {
    saveRecentUse();
    CompositionParameters parameters;
    if (!CollectParameters(parameters))
        return;
    runSearch(parameters);
}

void Form_znzj::saveRecentUse() {
    const RecentUseSetting now{ui->Check_jtnyg->isChecked(), ui->Text_jtnyg->value()};
    if (now.ticked == savedRecentUse_.ticked && now.days == savedRecentUse_.days)
        return;
    // Tried once per change: a bank that cannot be written says so once.
    savedRecentUse_ = now;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        saveRecentUseSetting(bank, now);
    });
}

void Form_znzj::runSearch(const CompositionParameters& parameters) {
    ComposeOptions options;
    options.refine = ui->Check_jxyh->isChecked();
    // "精细优化" also proves the plan and tells the teacher how good it is.
    options.exact = options.refine;
    options.twoPapers = ui->Check_tsscabj->isChecked();
    std::optional<PreparedComposition> prepared;
    // The cursor is back before any message (a failing query included).
    if (!guarded(state_, [&] {
            const WaitCursor wait;
            prepared.emplace(state_.BankPath, CompositionRequest{parameters, options});
        }))
        return;
    // Types and levels the scope cannot fill are explained before the
    // search; the teacher may still ask for the closest plan.
    if (const QStringList shortfalls = prepared->shortfalls();
        !shortfalls.isEmpty() &&
        state_.prompts.message(shortfallQuestion(shortfalls), Buttons::OkCancel, Icon::Question) != Answer::Ok)
        return;
    Composition composition;
    if (!guarded(state_, [&] {
            const WaitCursor wait;
            composition = prepared->run(state_.random());
        }))
        return;
    const ComposeResult& result = composition.result;
    state_.prompts.show(result.message);
    if (!result.PlanReady())
        return;

    std::unique_ptr<Form_sdzj> table;
    {
        // Loading the screen starts the word processor (about a second).
        const WaitCursor wait;
        table = std::make_unique<Form_sdzj>(state_, this);
    }
    table->setWindowTitle(kSmartCompositionCaption);
    writePlanIntoTable(table->table(), composition.rows);
    if (options.twoPapers) {
        // The B paper waits sorted beside the A paper, which activation sorts.
        SpecTable second;
        writePlanIntoTable(second, composition.secondRows);
        second.numberRows();
        smartSort(second);
        table->setSecondPaper(std::move(second));
    }
    table->showTable();
    state_.prompts.show(kPlanHandOverMessage);
    table->arrangeOnActivate(true, true);
    showModal(state_, *table);
}

void Form_znzj::Command_tc_Click() {
    close();
}

void Form_znzj::Image_logo_Click() {
    state_.desktop.openUrl(state_.homePage());
}

}  // namespace zs
