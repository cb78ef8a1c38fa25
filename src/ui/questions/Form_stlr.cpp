#include "ui/questions/Form_stlr.h"

#include "app/runstate.h"
#include "questions/questionrecord.h"
#include "questions/similarity.h"
#include "store/bank.h"
#include "store/documentcheck.h"
#include "store/paths.h"
#include "ui/catalogue/Form_cshtmbh.h"
#include "ui/common/screens.h"
#include "ui/common/widgets.h"
#include "ui/questions/similaritycheck.h"
#include "ui_Form_stlr.h"

#include <QCloseEvent>
#include <QDate>
#include <QFile>
#include <QFileInfo>

namespace zs {

namespace {
const QString kType = QStringLiteral("题型");
const QString kDifficulty = QStringLiteral("难度");
const QString kSource = QStringLiteral("试题来源");
}  // namespace

Form_stlr::Form_stlr(RunState& state, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_stlr>()), state_(state) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    knowledge_ = std::make_unique<KnowledgePicker>(ui->TreeView1, ui->List_dxzsd, ui->List_yxzsd);
    ui->OLE_tm->setRunState(&state_);
    ui->OLE_da->setRunState(&state_);
    connect(ui->TreeView1, &ScopeTreeWidget::clicked, this, &Form_stlr::TreeView1_Click);
    connect(ui->List_dxzsd, &QListWidget::itemClicked, this, &Form_stlr::List_dxzsd_Click);
    connect(ui->List_yxzsd, &QListWidget::itemClicked, this, &Form_stlr::List_yxzsd_Click);
    connect(ui->Command_qdlr, &QPushButton::clicked, this, &Form_stlr::Command_qdlr_Click);
    connect(ui->Command_fhzjm, &QPushButton::clicked, this, &Form_stlr::Command_fhzjm_Click);
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &Form_stlr::Timer1_Timer);
    Form_Load();
}

Form_stlr::~Form_stlr() = default;

void Form_stlr::Form_Load() {
    state_.resetBankPath();
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        const QuestionChoices choices = questionChoices(bank);
        fillCombo(ui->Combo_tx, choices.types);
        fillCombo(ui->Combo_nd, choices.difficulties);
        fillCombo(ui->Combo_stly, choices.sources);
        ui->TreeView1->setModel(ScopeTreeModel::build(bank));
    });
    Timer1.start();
}

void Form_stlr::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!prepared_)
        QTimer::singleShot(0, this, &Form_stlr::Form_Activate);
}

void Form_stlr::Form_Activate() {
    if (prepared_)
        return;
    prepared_ = true;
    if (!prepareQuestion() && refused_)
        leaveRefused();
}

QString Form_stlr::documentsRefusal() const {
    try {
        Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
        // A school bank keeps its documents in the bank itself.
        return bank.isServer() ? QString() : lostDocumentsMessage(bank);
    } catch (const StoreError&) {
        return {};  // storing the question will tell
    }
}

void Form_stlr::leaveRefused() {
    // Nothing was begun: no question to give up, no document to remove.
    leaving_ = true;
    Timer1.stop();
    hide();
    if (QWidget* menu = parentWidget()) {
        menu->show();
        menu->activateWindow();
    }
    done(QDialog::Rejected);
}

bool Form_stlr::prepareQuestion() {
    ui->Command_qdlr->setEnabled(false);
    knowledge_->table.clear();
    if (!TakeNextNumber())
        return false;
    BindDocuments();
    RefreshCounters();
    return true;
}

bool Form_stlr::TakeNextNumber() {
    CurrentNumber.clear();
    // The documents of the bank's questions gone (the folder moved away, or
    // emptied): no number is given out and no document written, so that
    // nothing, the office included, makes a new empty folder beside the loss.
    if (const QString lost = documentsRefusal(); !lost.isEmpty()) {
        QuestionDocPath.clear();
        AnswerDocPath.clear();
        refused_ = true;
        state_.prompts.message(lost, Buttons::Ok, Icon::Exclamation);
        return false;
    }
    bool refillRefused = false;
    // A number of the pool may have been used since the pool was filled (a bank
    // import numbers its questions from the documents folder): such a number is
    // passed over, and its documents are never written over. When the pool holds
    // no other number it is filled once more.
    for (int attempt = 0; attempt < 2 && CurrentNumber.isEmpty() && !refillRefused; ++attempt) {
        if (attempt > 0 || state_.FreeNumberPool.isEmpty(NumberPool::kSlots)) {
            Form_cshtmbh numbers(state_, this);
            showModal(state_, numbers);
            refillRefused = !numbers.result().message.isEmpty();
        }
        for (int i = 1; i <= NumberPool::kSlots && CurrentNumber.isEmpty(); ++i) {
            if (state_.FreeNumberPool.isEmpty(i))
                continue;
            const QString number = state_.FreeNumberPool.slot(i);
            state_.FreeNumberPool.setSlot(i, QString());
            if (!numberTaken(number))
                CurrentNumber = number;
        }
    }
    if (CurrentNumber.isEmpty()) {
        QuestionDocPath.clear();
        AnswerDocPath.clear();
        // A refused refill has told the teacher why already.
        if (!refillRefused)
            state_.prompts.message(QStringLiteral("没有可用的题目编号，暂时不能录入试题。"), Buttons::Ok,
                                   Icon::Exclamation);
        return false;
    }
    QuestionDocPath = questionDocumentPath(state_.BankPath, CurrentNumber);
    AnswerDocPath = answerDocumentPath(state_.BankPath, CurrentNumber);
    return guarded(state_, [&] {
        state_.ensureSharedWordInstance();
        for (const QString& path : {AnswerDocPath, QuestionDocPath}) {
            auto doc = state_.SharedWordInstance->newDocument();
            doc->saveAs(path);
            doc->close();
        }
    });
}

bool Form_stlr::numberTaken(const QString& number) const {
    if (QFileInfo::exists(questionDocumentPath(state_.BankPath, number)) ||
        QFileInfo::exists(answerDocumentPath(state_.BankPath, number)))
        return true;
    try {
        Bank bank(state_.BankPath);
        return hasRows(bank, number);
    } catch (const StoreError&) {
        return false;  // storing the question will tell
    }
}

void Form_stlr::BindDocuments() {
    if (QFileInfo::exists(QuestionDocPath))
        ui->OLE_tm->bind(QuestionDocPath);
    if (QFileInfo::exists(AnswerDocPath))
        ui->OLE_da->bind(AnswerDocPath);
    ui->Command_qdlr->setEnabled(true);
}

void Form_stlr::RefreshCounters() {
    // Each counter goes on after a failure of the one before it.
    try {
        Bank bank(state_.BankPath);
        ui->Label_stkzts->setText(QString::number(countQuestions(bank)));
    } catch (const StoreError&) {
    }
    try {
        Bank bank(state_.BankPath);
        ui->Label_jrlrzts->setText(QString::number(countQuestionsEnteredOn(bank, state_.today())));
    } catch (const StoreError&) {
    }
    ui->Label_zzlrstbh->setText(CurrentNumber.trimmed());
}

void Form_stlr::TreeView1_Click() {
    knowledge_->ListsStale = true;
    if (knowledge_->undoCoarseTicks())
        state_.prompts.show(kFinerScopeMessage);
    const ScopeTreeModel& tree = ui->TreeView1->model();
    guarded(state_, [&] {
        for (int n : tree.checkedNodes()) {
            const QString path = tree.node(n).fullPath;
            if (knowledge_->table.find(path))
                continue;
            if (!reachesSection(path)) {
                state_.prompts.show(incompleteCatalogueMessage(true));
                endProgram(state_);
                return;
            }
            Bank bank(state_.BankPath);
            knowledge_->table.add(path, loadSectionKnowledgePoints(bank, path));
        }
    });
}

void Form_stlr::List_dxzsd_Click(QListWidgetItem* item) {
    knowledge_->pick(item);
}

void Form_stlr::List_yxzsd_Click(QListWidgetItem* item) {
    knowledge_->unpick(item);
}

void Form_stlr::Timer1_Timer() {
    if (inTimer_)
        return;
    inTimer_ = true;
    if (knowledge_->undoCoarseTicks())
        state_.prompts.show(kFinerScopeMessage);
    knowledge_->refreshLists();
    inTimer_ = false;
}

void Form_stlr::Command_qdlr_Click() {
    QuestionDraft draft;
    draft.tickedPaths = ui->TreeView1->model().checkedPaths();
    draft.knowledge = &knowledge_->table;
    draft.typeChosen = comboText(ui->Combo_tx) != kType;
    draft.difficultyChosen = comboText(ui->Combo_nd) != kDifficulty;
    draft.sourceChosen = comboText(ui->Combo_stly) != kSource;
    draft.questionBound = !ui->OLE_tm->boundPath().isEmpty();
    draft.answerBound = !ui->OLE_da->boundPath().isEmpty();
    const DraftCheck check = checkDraft(draft);
    for (const QString& message : check.scopeMessages)
        state_.prompts.show(message);
    if (!check.passed()) {
        state_.prompts.show(check.complaint);
        return;
    }
    // A question document the teacher never filled is no question.
    bool blank = false;
    if (!guarded(state_, [&] {
            state_.ensureSharedWordInstance();
            blank = documentIsBlank(*state_.SharedWordInstance, QuestionDocPath);
        }))
        return;
    if (blank) {
        state_.prompts.message(QStringLiteral("题目文档是空的，不能录入！\r\r请先在题目文档中输入这道试题并保存，"
                                              "然后再点<确定录入>。"),
                               Buttons::Ok, Icon::Exclamation);
        return;
    }
    if (ui->Check_lrsjcxsst->isChecked() && !similarityAllows())
        return;

    ui->Command_qdlr->setEnabled(false);
    QuestionRecord record;
    record.number = CurrentNumber;
    record.code = makeIdentificationCode(state_.CurrentUserName, CurrentNumber);
    record.type = comboText(ui->Combo_tx);
    record.difficulty = comboText(ui->Combo_nd);
    record.source = comboText(ui->Combo_stly);
    record.date = state_.today();
    record.teacher = state_.CurrentUserName;
    record.scopes = draftScopes(draft);
    const bool written = guarded(state_, [&] {
        Bank bank(state_.BankPath);
        addQuestion(bank, record);
    });
    if (!written) {
        // Nothing was stored; the teacher keeps everything on the screen.
        ui->Command_qdlr->setEnabled(true);
        return;
    }
    if (similarity_ && ui->Check_lrsjcxsst->isChecked())
        similarity_->add(CurrentNumber, checkedText_);
    RefreshCounters();
    state_.prompts.show(QStringLiteral("已成功录入题目！\r\r题目编号为：") + CurrentNumber);

    ui->OLE_tm->clear();
    ui->OLE_da->clear();
    knowledge_->clearLists();
    knowledge_->table.clear();
    if (!ui->Check_gudingcanshu->isChecked()) {
        setComboText(ui->Combo_tx, kType);
        setComboText(ui->Combo_nd, kDifficulty);
        setComboText(ui->Combo_stly, kSource);
        ui->TreeView1->model().uncheckAll();
        ui->TreeView1->syncChecks();
    }
    if (!TakeNextNumber())
        return;
    BindDocuments();
    RefreshCounters();
    state_.prompts.show(QStringLiteral("已经为下一题的录入做好准备！\r\r题目编号为：") + CurrentNumber);
}

bool Form_stlr::similarityAllows() {
    std::optional<SimilarMatch> match;
    checkedText_.clear();
    bool cancelled = false;
    if (!guarded(state_, [&] {
            state_.ensureSharedWordInstance();
            WordInstance& word = *state_.SharedWordInstance;
            if (!similarity_)
                similarity_ = readBankSimilarity(state_, word, this);
            if (!similarity_) {
                cancelled = true;
                return;
            }
            checkedText_ = documentPlainText(word, QuestionDocPath);
            match = similarity_->mostSimilar(checkedText_, CurrentNumber);
        }))
        return false;
    // A cancelled reading checks nothing.
    if (cancelled || !match)
        return true;
    return state_.prompts.message(similarEntryQuestion(*match), Buttons::YesNo, Icon::Question, {}, 1) == Answer::Yes;
}

void Form_stlr::Command_fhzjm_Click() {
    close();
}

void Form_stlr::closeEvent(QCloseEvent* event) {
    if (leaving_) {
        event->accept();
        return;
    }
    // With no question begun (no number was given out) there is nothing to give up.
    if (!CurrentNumber.isEmpty()) {
        const Answer answer =
            state_.prompts.message(QStringLiteral("正在编辑的文档  <") + CurrentNumber +
                                       QStringLiteral(">  还没录入完毕！\r是否放弃录入并且《返回主界面》？"),
                                   Buttons::OkCancel);
        if (answer != Answer::Ok) {
            event->ignore();
            return;
        }
    }
    leaving_ = true;
    Timer1.stop();
    ui->OLE_tm->clear();
    ui->OLE_da->clear();
    if (!QuestionDocPath.isEmpty())
        QFile::remove(QuestionDocPath);
    if (!AnswerDocPath.isEmpty())
        QFile::remove(AnswerDocPath);
    hide();
    if (QWidget* menu = parentWidget()) {
        menu->show();
        menu->activateWindow();
    }
    state_.quitSharedWordInstance();
    event->accept();
    if (isModal() || testAttribute(Qt::WA_DeleteOnClose))
        done(QDialog::Accepted);
}

}  // namespace zs
