#include "ui/questions/browsescreen.h"

#include "app/runstate.h"
#include "questions/questionrecord.h"
#include "questions/questiontexts.h"
#include "questions/rowcheck.h"
#include "questions/scopetree.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "ui/common/documentview.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/screens.h"
#include "ui/common/widgets.h"

#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <memory>

namespace zs {

namespace {

const QString kChooseType = QStringLiteral("选择题型");
const QString kChooseDifficulty = QStringLiteral("选择难度");
const QString kBankUnreadLabel = QStringLiteral("没有读到题库");
const QString kChooseSource = QStringLiteral("选择试题来源");
const QColor kTickedColour(255, 0, 0);

// A search combo: its caption word as the first item (any value), then the values.
void fillSearchCombo(QComboBox* combo, const QString& caption, const QStringList& values) {
    combo->clear();
    combo->addItem(caption);
    combo->addItems(values);
    combo->setCurrentIndex(0);
}

// A setting combo: the value, or nothing chosen (its caption shows) when empty.
void showSetting(QComboBox* combo, const QString& value) {
    if (value.isEmpty())
        combo->setCurrentIndex(-1);
    else
        setComboText(combo, value);
}

// Draws a selected item in its own text colour instead of the selection's.
class KeepColourDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant colour = index.data(Qt::ForegroundRole);
        if (colour.canConvert<QBrush>())
            option->palette.setBrush(QPalette::HighlightedText, colour.value<QBrush>());
    }
};

bool chosen(const QComboBox* combo, const QString& caption) {
    return combo->currentIndex() >= 0 && comboText(combo) != caption;
}

}  // namespace

BrowseScreen::BrowseScreen(RunState& state, QWidget* parent) : QDialog(parent), state_(state) {
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &BrowseScreen::Timer1_Timer);
}

BrowseScreen::~BrowseScreen() = default;

void BrowseScreen::bindControls() {
    TreeView1 = formControl<ScopeTreeWidget>(this, "TreeView1");
    TreeView2 = formControl<ScopeTreeWidget>(this, "TreeView2");
    Combo_tx_ss = formControl<QComboBox>(this, "Combo_tx_ss");
    Combo_nd_ss = formControl<QComboBox>(this, "Combo_nd_ss");
    Combo_stly_ss = formControl<QComboBox>(this, "Combo_stly_ss");
    Combo_zz_ss = formControl<QComboBox>(this, "Combo_zz_ss");
    Combo_tx_sz = formControl<QComboBox>(this, "Combo_tx_sz");
    Combo_nd_sz = formControl<QComboBox>(this, "Combo_nd_sz");
    Combo_stly_sz = formControl<QComboBox>(this, "Combo_stly_sz");
    Text_zsd = formControl<QLineEdit>(this, "Text_zsd");
    Text_tzd = formControl<QLineEdit>(this, "Text_tzd");
    List_dxzsd = formControl<QListWidget>(this, "List_dxzsd");
    List_yxzsd = formControl<QListWidget>(this, "List_yxzsd");
    Label_ssdts = formControl<QLabel>(this, "Label_ssdts");
    Label_dqtmsdjt = formControl<QLabel>(this, "Label_dqtmsdjt");
    Label_dqtmbh = formControl<QLabel>(this, "Label_dqtmbh");
    Label_dqtmsbm = formControl<QLabel>(this, "Label_dqtmsbm");
    OLE_tm = formControl<DocumentView>(this, "OLE_tm");
    OLE_da = formControl<DocumentView>(this, "OLE_da");
    OLE_tm->setRunState(&state_);
    OLE_da->setRunState(&state_);
    // A selected scope keeps its colour (red for the question's scopes) on a
    // light selection.
    for (ScopeTreeWidget* tree : {TreeView1, TreeView2}) {
        QPalette p = tree->palette();
        p.setColor(QPalette::Highlight, QColor(0xcc, 0xe4, 0xf7));
        p.setColor(QPalette::HighlightedText, Qt::black);
        tree->setPalette(p);
        tree->setItemDelegate(new KeepColourDelegate(tree));
    }
    // The two trees keep the width their chapter names need; the documents
    // take what the window has beyond that. The teacher can move the borders.
    if (auto* splitter = findChild<QSplitter*>(QStringLiteral("topSplitter"))) {
        splitter->setStretchFactor(0, 0);
        splitter->setStretchFactor(1, 0);
        splitter->setStretchFactor(2, 1);
    }

    // Enter belongs to the jump box; no button is pressed by it.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    auto button = [this](const char* name) { return formControl<QPushButton>(this, name); };
    connect(button("Command_ss"), &QPushButton::clicked, this, &BrowseScreen::Command_ss_Click);
    connect(button("Command_qksstj"), &QPushButton::clicked, this, &BrowseScreen::Command_qksstj_Click);
    connect(button("Command_dwdthsbm"), &QPushButton::clicked, this, &BrowseScreen::Command_dwdthsbm_Click);
    connect(button("Command_syt"), &QPushButton::clicked, this, &BrowseScreen::Command_syt_Click);
    connect(button("Command_xyt"), &QPushButton::clicked, this, &BrowseScreen::Command_xyt_Click);
    connect(button("Command_tz"), &QPushButton::clicked, this, &BrowseScreen::Command_tz_Click);
    connect(button("Command_qdxg"), &QPushButton::clicked, this, &BrowseScreen::Command_qdxg_Click);
    connect(button("Command_scct"), &QPushButton::clicked, this, &BrowseScreen::Command_scct_Click);
    connect(TreeView2, &ScopeTreeWidget::clicked, this, &BrowseScreen::TreeView2_Click);
    knowledge_ = std::make_unique<KnowledgePicker>(TreeView2, List_dxzsd, List_yxzsd);
    connect(List_dxzsd, &QListWidget::itemClicked, this, &BrowseScreen::List_dxzsd_Click);
    connect(List_yxzsd, &QListWidget::itemClicked, this, &BrowseScreen::List_yxzsd_Click);
    Text_tzd->installEventFilter(this);
    // Enter in the knowledge text searches, as the search button does.
    connect(Text_zsd, &QLineEdit::returnPressed, this, &BrowseScreen::Command_ss_Click);
}

bool BrowseScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text_tzd && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command_tz_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void BrowseScreen::Form_Load() {
    browser_ = QuestionBrowser();
    displayed_ = DisplayedQuestion();
    knowledge_->table.clear();
    state_.resetBankPath();
    Label_ssdts->clear();
    Label_dqtmsdjt->clear();
    Label_dqtmbh->clear();
    Label_dqtmsbm->clear();
    bankUnread_ = false;
    try {
        Bank bank(state_.BankPath);
        const QuestionChoices choices = questionChoices(bank);
        fillSearchCombo(Combo_tx_ss, kAnyType, choices.types);
        fillSearchCombo(Combo_nd_ss, kAnyDifficulty, choices.difficulties);
        fillSearchCombo(Combo_stly_ss, kAnySource, choices.sources);
        fillCombo(Combo_tx_sz, choices.types);
        fillCombo(Combo_nd_sz, choices.difficulties);
        fillCombo(Combo_stly_sz, choices.sources);
        fillSearchCombo(Combo_zz_ss, kAnyAuthor, authorChoices(bank));
        const ScopeTreeModel tree = ScopeTreeModel::build(bank);
        TreeView1->setModel(tree);
        TreeView2->setModel(tree);
        TreeView1->expandToDepth(3);  // down to the chapters
    } catch (const StoreError& e) {
        // An empty screen would look like an empty bank: it says why it is empty.
        bankUnread_ = true;
        Label_ssdts->setText(QStringLiteral("—"));
        Label_dqtmsbm->setText(kBankUnreadLabel);
        showStoreError(
            state_.prompts,
            StoreError(e.message() +
                           QStringLiteral("\r\r没有读到题库，所以这里显示不了任何试题（并不是题库中没有试题）。"
                                          "请在连接恢复后重新打开这个窗口。"),
                       e.details()));
    }
    Timer1.start();
}

// ---------------------------------------------------------------- searching

void BrowseScreen::runSearch(const QString& statement) {
    knowledge_->table.clear();
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            browser_.search(bank, statement);
        }))
        return;
    ShowCurrentQuestion();
}

void BrowseScreen::Command_ss_Click() {
    SearchConditions c;
    c.scopePath = lastTickedPath(TreeView1->model());
    c.type = comboText(Combo_tx_ss);
    c.difficulty = comboText(Combo_nd_ss);
    c.source = comboText(Combo_stly_ss);
    c.author = comboText(Combo_zz_ss);
    Text_zsd->setText(Text_zsd->text().trimmed());
    c.knowledge = Text_zsd->text();
    runSearch(BuildSearchQuery(c));
}

void BrowseScreen::Command_qksstj_Click() {
    TreeView1->model().uncheckAll();
    TreeView1->syncChecks();
    setComboText(Combo_tx_ss, kAnyType);
    setComboText(Combo_stly_ss, kAnySource);
    setComboText(Combo_nd_ss, kAnyDifficulty);
    setComboText(Combo_zz_ss, kAnyAuthor);
    Text_zsd->clear();
}

void BrowseScreen::Command_dwdthsbm_Click() {
    if (goToNeedsSearch() && !browser_.SearchDone) {
        state_.prompts.show(QStringLiteral("请先执行<搜索>操作"));
        return;
    }
    const QString answer =
        state_.prompts.input(QStringLiteral("请输入[题目编号]或[试题识别码]："), QStringLiteral("精确查找"));
    QString refusal;
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            refusal = browser_.goTo(bank, answer);
        }))
        return;
    if (!refusal.isEmpty()) {
        state_.prompts.show(refusal);
        return;
    }
    ShowCurrentQuestion();
}

// ---------------------------------------------------------------- paging

void BrowseScreen::Command_syt_Click() {
    const QString refusal = browser_.previous();
    if (!refusal.isEmpty()) {
        state_.prompts.show(refusal);
        return;
    }
    ShowCurrentQuestion();
}

void BrowseScreen::Command_xyt_Click() {
    const QString refusal = browser_.next();
    if (!refusal.isEmpty()) {
        state_.prompts.show(refusal);
        return;
    }
    ShowCurrentQuestion();
}

void BrowseScreen::Command_tz_Click() {
    const QuestionBrowser::JumpOutcome outcome = browser_.jump(Text_tzd->text());
    if (outcome.refusal.isEmpty()) {
        ShowCurrentQuestion();
        return;
    }
    state_.prompts.show(outcome.refusal);
    if (outcome.clearText)
        Text_tzd->clear();
}

// ---------------------------------------------------------------- the question on display

void BrowseScreen::clearQuestionTree() {
    TreeView2->model().uncheckAll();
    TreeView2->syncChecks();
    for (int i = 0; i < TreeView2->model().count(); ++i)
        TreeView2->setNodeStyle(i, Qt::black, false);
}

void BrowseScreen::restyleQuestionTree() {
    const ScopeTreeModel& tree = TreeView2->model();
    for (int i = 0; i < tree.count(); ++i) {
        const bool ticked = tree.isChecked(i);
        TreeView2->setNodeStyle(i, ticked ? kTickedColour : QColor(Qt::black), ticked);
    }
}

void BrowseScreen::showNotFound() {
    displayed_ = DisplayedQuestion();
    Label_ssdts->setText(QStringLiteral("0"));
    Label_dqtmsdjt->setText(QStringLiteral("0"));
    Label_dqtmbh->setText(QStringLiteral("00000"));
    Label_dqtmsbm->setText(QStringLiteral("AAAAAAAA"));
    knowledge_->clearLists();
    OLE_tm->clear();
    OLE_da->clear();
    // The scopes of the question shown before are no longer on display.
    clearQuestionTree();
    state_.prompts.show(QStringLiteral("未搜索到满足要求的题目！\r建议适当放宽搜索条件再重新搜索~~"));
}

bool BrowseScreen::addKnowledgeRows() {
    const ScopeTreeModel& tree = TreeView2->model();
    std::unique_ptr<Bank> bank;
    for (int n : tree.checkedNodes()) {
        const QString path = tree.node(n).fullPath;
        if (knowledge_->table.find(path))
            continue;
        if (!reachesSection(path)) {
            state_.prompts.show(incompleteCatalogueMessage(true));
            endProgram(state_);
            return false;
        }
        if (!bank)
            bank = std::make_unique<Bank>(state_.BankPath);
        addQuestionKnowledgeRow(*bank, knowledge_->table, path, displayed_);
    }
    return true;
}

void BrowseScreen::ShowCurrentQuestion() {
    knowledge_->table.clear();
    const ResultSet& results = browser_.results;
    Label_ssdts->setText(QString::number(results.count()));
    if (!results.hasCurrent()) {
        showNotFound();
        return;
    }
    Label_dqtmsdjt->setText(QString::number(results.position()));
    Label_dqtmbh->setText(results.text(QStringLiteral("题目编号")));
    Label_dqtmsbm->setText(results.text(QStringLiteral("试题识别码")));
    displayed_ = DisplayedQuestion();
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            displayed_ = loadDisplayedQuestion(bank, results);
            fetchDocuments(bank, {displayed_.number});
            // A change this screen made since the search raised the revision.
            if (const auto own = ownRevisions_.constFind(displayed_.number);
                own != ownRevisions_.cend() && displayed_.revision && *own > *displayed_.revision)
                displayed_.revision = *own;
        }))
        displayed_.number = results.text(QStringLiteral("题目编号"));

    OLE_tm->clear();
    OLE_da->clear();
    OLE_tm->bind(questionDocumentPath(state_.BankPath, displayed_.number));
    OLE_da->bind(answerDocumentPath(state_.BankPath, displayed_.number));

    // The question's scopes, ticked in red and bold, with their branches open.
    clearQuestionTree();
    TreeView2->collapseAll();
    ScopeTreeModel& tree = TreeView2->model();
    for (const auto& scope : displayed_.scopes) {
        const int node = tree.findByPath(scope.first);
        if (node < 0)
            continue;
        tree.setChecked(node, true);
        TreeView2->setNodeStyle(node, kTickedColour, true);
        for (QTreeWidgetItem* up = TreeView2->itemOf(node)->parent(); up; up = up->parent())
            up->setExpanded(true);
    }
    TreeView2->syncChecks();

    showSetting(Combo_tx_sz, displayed_.type);
    // A 难度 that is none of the levels is not offered as one: the teacher
    // chooses the right one.
    if (!displayed_.difficulty.isEmpty() && Combo_nd_sz->findText(displayed_.difficulty) < 0)
        Combo_nd_sz->setCurrentIndex(-1);
    else
        showSetting(Combo_nd_sz, displayed_.difficulty);
    if (displayed_.source && !displayed_.source->isEmpty()) {
        setComboText(Combo_stly_sz, *displayed_.source);
    } else {
        Combo_stly_sz->setPlaceholderText(kChooseSource);
        Combo_stly_sz->setCurrentIndex(-1);
    }

    if (!guarded(state_, [&] { addKnowledgeRows(); }))
        return;
    // The lists show the first scope of the question.
    const QVector<int> ticked = tree.checkedNodes();
    if (!ticked.isEmpty()) {
        TreeView2->selectNode(ticked.first());
        TreeView2->scrollToItem(TreeView2->itemOf(ticked.first()));
    }
    knowledge_->ListsStale = true;
}

// ---------------------------------------------------------------- scopes and knowledge points

void BrowseScreen::TreeView2_Click() {
    knowledge_->ListsStale = true;
    if (knowledge_->undoCoarseTicks())
        state_.prompts.show(kFinerScopeMessage);
    guarded(state_, [&] { addKnowledgeRows(); });
}

void BrowseScreen::List_dxzsd_Click(QListWidgetItem* item) {
    knowledge_->pick(item);
}

void BrowseScreen::List_yxzsd_Click(QListWidgetItem* item) {
    knowledge_->unpick(item);
}

void BrowseScreen::Timer1_Timer() {
    if (inTimer_)
        return;
    inTimer_ = true;
    if (knowledge_->undoCoarseTicks()) {
        knowledge_->ListsStale = true;
        state_.prompts.show(kFinerScopeMessage);
    }
    if (knowledge_->ListsStale)
        restyleQuestionTree();
    knowledge_->refreshLists();
    inTimer_ = false;
}

// ---------------------------------------------------------------- change and deletion

void BrowseScreen::Command_qdxg_Click() {
    const QString refusal = browser_.changeRefusal();
    if (!refusal.isEmpty()) {
        state_.prompts.show(refusal);
        return;
    }
    // A scope that the tree lacks (a question of another bank) could not be
    // written back: the change would lose it.
    for (const auto& scope : displayed_.scopes)
        if (TreeView2->model().findByPath(scope.first) < 0) {
            state_.prompts.message(QStringLiteral("这道题的考查范围“") + scope.first +
                                       QStringLiteral("”不在本程序的<教材设置>中，不能修改这道题！"),
                                   Buttons::Ok, Icon::Exclamation);
            return;
        }
    if (splitSharedNumber())
        return;
    QuestionDraft draft;
    draft.tickedPaths = TreeView2->model().checkedPaths();
    draft.knowledge = &knowledge_->table;
    draft.typeChosen = chosen(Combo_tx_sz, kChooseType);
    draft.difficultyChosen = chosen(Combo_nd_sz, kChooseDifficulty);
    draft.sourceChosen = chosen(Combo_stly_sz, kChooseSource);
    draft.checkSource = changeChecksSource();
    draft.questionBound = !OLE_tm->boundPath().isEmpty();
    draft.answerBound = !OLE_da->boundPath().isEmpty();
    const DraftCheck check = checkDraft(draft);
    for (const QString& message : check.scopeMessages)
        state_.prompts.show(message);
    if (!check.passed()) {
        state_.prompts.show(check.complaint);
        return;
    }

    QuestionRecord record;
    record.number = browser_.results.text(QStringLiteral("题目编号"));
    record.code = browser_.results.text(QStringLiteral("试题识别码"));
    record.type = comboText(Combo_tx_sz);
    record.difficulty = comboText(Combo_nd_sz);
    if (draft.sourceChosen)
        record.source = comboText(Combo_stly_sz);
    record.date = state_.today();
    record.teacher = state_.CurrentUserName;
    record.scopes = draftScopes(draft);
    record.revision = displayed_.revision;
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            const qlonglong revision = replaceQuestion(bank, record);
            if (displayed_.revision) {
                displayed_.revision = revision;
                ownRevisions_.insert(record.number, revision);
            }
        }))
        return;
    state_.prompts.show(QStringLiteral("已成功修改试题！\r\r题目编号为：") + record.number);
}

std::optional<QStringList> BrowseScreen::sharingCodes(const QString& number) {
    std::optional<QStringList> codes = QStringList();
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            codes = unusableQuestions(bank).sharedCodes.value(number);
        }))
        return std::nullopt;
    return codes;
}

bool BrowseScreen::splitSharedNumber() {
    const QString number = browser_.results.text(QStringLiteral("题目编号"));
    const QString code = browser_.results.text(QStringLiteral("试题识别码"));
    const std::optional<QStringList> codes = sharingCodes(number);
    if (!codes)
        return true;
    if (codes->size() < 2)
        return false;
    // The rows of the other questions would go with a change of this number.
    const Answer answer = state_.prompts.message(
        QStringLiteral("题目编号 %1 被 %2 道不同的试题共用（试题识别码：%3），这样修改会把它们混在一起。\r\r"
                       "是否给这道题（试题识别码：%4）换一个新的题目编号？它的题目和答案文档先复制一份，请换号后核对。")
            .arg(number)
            .arg(codes->size())
            .arg(codes->join(QStringLiteral("、")), code),
        Buttons::YesNo, Icon::Question, QStringLiteral("题目编号被共用"));
    if (answer != Answer::Yes)
        return true;
    QString fresh;
    if (!guarded(state_, [&] {
            Bank bank(state_.BankPath);
            fresh = renumberSharedQuestion(bank, number, code);
        }))
        return true;
    state_.prompts.show(QStringLiteral("已给这道题（试题识别码：%1）换了新的题目编号：%2。\r\r"
                                       "请核对两道题的题目和答案文档，有误的请改正。")
                            .arg(code, fresh));
    runSearch(questionsStatement({number, fresh}));
    return true;
}

void BrowseScreen::Command_scct_Click() {
    const QString refusal = browser_.deletionRefusal();
    if (!refusal.isEmpty()) {
        state_.prompts.show(refusal);
        return;
    }
    const QString number = browser_.results.text(QStringLiteral("题目编号"));
    // Deleting the number would delete every question that shares it.
    const std::optional<QStringList> codes = sharingCodes(number);
    if (!codes)
        return;
    if (codes->size() > 1) {
        state_.prompts.message(
            QStringLiteral(
                "题目编号 %1 被 %2 "
                "道不同的试题共用，删除会把它们都删掉。\r请先点<确定修改>给这道题换一个新的题目编号，再删除。")
                .arg(number)
                .arg(codes->size()),
            Buttons::Ok, Icon::Exclamation);
        return;
    }
    const Answer answer = state_.prompts.message(deletionQuestionText(), Buttons::YesNoCancel, Icon::None,
                                                 deletionQuestionTitle(number), 1);
    if (answer != Answer::Yes)
        return;
    OLE_tm->clear();
    OLE_da->clear();
    deleteDisplayed(number);
}

void BrowseScreen::deleteDisplayed(const QString& number) {
    const int position = browser_.results.position();
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        deleteQuestion(bank, number);
        state_.prompts.show(deletedMessage(number));
        browser_.repositionAfterDeletion(bank, position);
    });
    ShowCurrentQuestion();
}

}  // namespace zs
