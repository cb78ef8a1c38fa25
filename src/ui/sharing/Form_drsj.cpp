#include "ui/sharing/Form_drsj.h"

#include "app/runstate.h"
#include "office/wordprocessor.h"
#include "paperimport/paperimport.h"
#include "questions/questionrecord.h"
#include "questions/questiontexts.h"
#include "questions/scopeknowledge.h"
#include "store/bank.h"
#include "store/documentcheck.h"
#include "store/paths.h"
#include "store/textnumbers.h"
#include "ui/common/documentview.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/screens.h"
#include "ui/common/widgets.h"
#include "ui_Form_drsj.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>

namespace zs {

namespace {

const QString kType = QStringLiteral("题型");
const QString kDifficulty = QStringLiteral("难度");
const QString kSource = QStringLiteral("试题来源");
const QString kWordFilter = QStringLiteral("Word文档|*.doc;*.docx");

enum Column { Number, Type, Score, Difficulty, Scope, Marks, Text };

QString scopeSummary(const FilingSettings& settings) {
    if (settings.scopes.isEmpty())
        return {};
    const QString first = settings.scopes.first().first;
    QString text = first.mid(first.lastIndexOf(u'\\') + 1);
    if (settings.scopes.size() > 1)
        text += QStringLiteral(" 等%1处").arg(settings.scopes.size());
    return text;
}

QString textSummary(const ImportItem& item) {
    QString tags;
    if (item.pictures)
        tags += QStringLiteral("[图%1]").arg(item.pictures);
    if (item.formulas)
        tags += QStringLiteral("[式%1]").arg(item.formulas);
    if (item.tables)
        tags += QStringLiteral("[表%1]").arg(item.tables);
    QString text = item.text;
    text.replace(u'\r', u' ');
    return tags + text.simplified().left(80);
}

}  // namespace

Form_drsj::Form_drsj(RunState& state, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_drsj>()), state_(state) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    knowledge_ = std::make_unique<KnowledgePicker>(ui->TreeView1, ui->List_dxzsd, ui->List_yxzsd);
    ui->OLE_tm->setRunState(&state_);
    ui->OLE_da->setRunState(&state_);
    ui->OLE_xsst->setRunState(&state_);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    QHeaderView* header = ui->List_st->header();
    header->setStretchLastSection(true);
    for (int c : {Number, Type, Score, Difficulty})
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    header->resizeSection(Scope, 120);
    header->resizeSection(Marks, 150);

    connect(ui->Command_xzsj, &QPushButton::clicked, this, &Form_drsj::Command_xzsj_Click);
    connect(ui->Command_xzda, &QPushButton::clicked, this, &Form_drsj::Command_xzda_Click);
    connect(ui->Command_qcda, &QPushButton::clicked, this, &Form_drsj::Command_qcda_Click);
    connect(ui->Command_cfsj, &QPushButton::clicked, this, &Form_drsj::Command_cfsj_Click);
    connect(ui->List_st, &QTreeWidget::currentItemChanged, this, &Form_drsj::List_st_Click);
    connect(ui->List_st, &QTreeWidget::itemChanged, this, &Form_drsj::List_st_ItemChanged);
    connect(ui->Command_hbsyt, &QPushButton::clicked, this, &Form_drsj::Command_hbsyt_Click);
    connect(ui->Command_cf, &QPushButton::clicked, this, &Form_drsj::Command_cf_Click);
    connect(ui->Command_ydda, &QPushButton::clicked, this, &Form_drsj::Command_ydda_Click);
    connect(ui->Command_dagy, &QPushButton::clicked, this, &Form_drsj::Command_dagy_Click);
    connect(ui->Command_gwctx, &QPushButton::clicked, this, &Form_drsj::Command_gwctx_Click);
    connect(ui->Command_qx, &QPushButton::clicked, this, &Form_drsj::Command_qx_Click);
    connect(ui->Command_qbx, &QPushButton::clicked, this, &Form_drsj::Command_qbx_Click);
    connect(ui->TreeView1, &ScopeTreeWidget::clicked, this, &Form_drsj::TreeView1_Click);
    connect(ui->List_dxzsd, &QListWidget::itemClicked, this, &Form_drsj::List_dxzsd_Click);
    connect(ui->List_yxzsd, &QListWidget::itemClicked, this, &Form_drsj::List_yxzsd_Click);
    connect(ui->Command_yydsx, &QPushButton::clicked, this, &Form_drsj::Command_yydsx_Click);
    connect(ui->Command_yydqb, &QPushButton::clicked, this, &Form_drsj::Command_yydqb_Click);
    connect(ui->Command_qddr, &QPushButton::clicked, this, &Form_drsj::Command_qddr_Click);
    connect(ui->Command_fhzjm, &QPushButton::clicked, this, &Form_drsj::Command_fhzjm_Click);
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &Form_drsj::Timer1_Timer);
    Form_Load();
}

Form_drsj::~Form_drsj() {
    import_.reset();
    if (word_)
        word_->quit();
    removeWorkFolder();
}

void Form_drsj::removeWorkFolder() {
    if (!work_.isEmpty())
        QDir(work_).removeRecursively();
    work_.clear();
}

void Form_drsj::Form_Load() {
    state_.resetBankPath();
    // Questions whose documents are all gone: nothing may be imported beside
    // them (as entry refuses), and nothing is made.
    guarded(state_, [&] {
        Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
        refusal_ = lostDocumentsMessage(bank);
    });
    if (!refusal_.isEmpty()) {
        state_.prompts.message(refusal_, Buttons::Ok, Icon::Exclamation);
        for (QPushButton* button : findChildren<QPushButton*>())
            button->setEnabled(button == ui->Command_fhzjm);
        return;
    }
    guarded(state_, [&] {
        const BankChoices choices = readBankChoices(state_.BankPath);
        fillCombo(ui->Combo_tx, choices.types);
        fillCombo(ui->Combo_nd, choices.difficulties);
        fillCombo(ui->Combo_stly, choices.sources);
        Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
        ui->TreeView1->setModel(ScopeTreeModel::build(bank));
    });
    ui->ProgressBar1->reset();
    Timer1.start();
}

QDate Form_drsj::today() const {
    return state_.today();
}

bool Form_drsj::attempt(const std::function<void()>& work) {
    try {
        return guarded(state_, work);
    } catch (const PaperImportError& e) {
        state_.prompts.message(e.message(), Buttons::Ok, Icon::Exclamation);
    }
    return false;
}

WordInstance& Form_drsj::word() {
    if (!word_)
        word_ = state_.office.startWord();
    return *word_;
}

void Form_drsj::showProgress(int done, int total, const QString& what) {
    ui->ProgressBar1->setMaximum(std::max(total, 1));
    ui->ProgressBar1->setValue(std::min(done, std::max(total, 1)));
    ui->Label_jd->setText(QStringLiteral("%1 %2/%3").arg(what).arg(done).arg(total));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// ---------------------------------------------------------------- files

void Form_drsj::Command_xzsj_Click() {
    const QString file = state_.prompts.openFile(kWordFilter, QStringLiteral("选择要导入的试卷"));
    if (file.isEmpty())
        return;
    if (const QString problem = paperFileProblem(file); !problem.isEmpty()) {
        state_.prompts.message(problem, Buttons::Ok, Icon::Exclamation);
        return;
    }
    paperPath_ = file;
    ui->Text_sj->setText(QDir::toNativeSeparators(file));
    ui->Text_sj->setToolTip(ui->Text_sj->text());
}

void Form_drsj::Command_xzda_Click() {
    const QString file = state_.prompts.openFile(kWordFilter, QStringLiteral("选择试卷的答案文档"));
    if (file.isEmpty())
        return;
    if (const QString problem = paperFileProblem(file); !problem.isEmpty()) {
        state_.prompts.message(problem, Buttons::Ok, Icon::Exclamation);
        return;
    }
    answerPath_ = file;
    ui->Text_da->setText(QDir::toNativeSeparators(file));
    ui->Text_da->setToolTip(ui->Text_da->text());
}

void Form_drsj::Command_qcda_Click() {
    answerPath_.clear();
    ui->Text_da->clear();
    ui->Text_da->setToolTip(QString());
}

void Form_drsj::Command_cfsj_Click() {
    if (paperPath_.isEmpty()) {
        state_.prompts.show(QStringLiteral("请先选择要导入的试卷！"));
        return;
    }
    if (import_ && import_->count() > 0 &&
        state_.prompts.message(QStringLiteral("重新拆分试卷，列表中的试题和对它们所做的修改都将放弃。\r是否继续？"),
                               Buttons::OkCancel) != Answer::Ok)
        return;
    ui->OLE_tm->clear();
    ui->OLE_da->clear();
    import_.reset();
    showItems();
    ui->Label_zt->setText(QStringLiteral("正在拆分试卷，请稍候……"));

    QStringList types;
    const bool done = attempt([&] {
        types = readBankChoices(state_.BankPath).types;
        removeWorkFolder();
        work_ = makeSplitFolder(QDir::tempPath());
        if (work_.isEmpty())
            throw PaperImportError(QStringLiteral("无法建立临时文件夹，不能拆分试卷。"));
        auto paper = std::make_unique<PaperImport>(word(), work_);
        paper->open(paperPath_, answerPath_, types, [&](int n, int total) {
            showProgress(n, total, QStringLiteral("正在拆分试卷"));
            return true;
        });
        // Questions the bank already holds are flagged.
        const SimilarityIndex bank = bankSimilarityIndex(
            state_.BankPath, [&](const QString& path) { return documentPlainText(word(), path); },
            [&](int n, int total) {
                showProgress(n, total, QStringLiteral("正在读取试题库中的试题"));
                return true;
            });
        paper->checkSimilarity(bank);
        import_ = std::move(paper);
    });
    ui->ProgressBar1->reset();
    ui->Label_jd->clear();
    if (!done) {
        import_.reset();
        ui->Label_zt->setText(QStringLiteral("没有拆分出试题。"));
        return;
    }
    int similar = 0;
    for (const ImportItem& item : import_->items())
        similar += item.similar.has_value();
    QString summary =
        QStringLiteral("共识别出 %1 道试题，%2 个大题。").arg(import_->count()).arg(import_->layout().sections.size());
    if (similar > 0)
        summary += QStringLiteral("有 %1 道与试题库中的试题相似，没有勾选。").arg(similar);
    const QStringList notes = import_->notes();
    if (!notes.isEmpty())
        summary += notes.join(QString());
    ui->Label_zt->setText(summary);
    showItems();
    if (!import_->layout().strayAnswers.isEmpty())
        state_.prompts.message(notes.first(), Buttons::Ok, Icon::Exclamation);
}

// ---------------------------------------------------------------- the list

void Form_drsj::showItems(int current) {
    filling_ = true;
    ui->List_st->clear();
    if (import_) {
        for (int i = 0; i < import_->count(); ++i) {
            const ImportItem& item = import_->items()[i];
            auto* row = new QTreeWidgetItem(ui->List_st);
            row->setData(Number, Qt::UserRole, i);
            row->setCheckState(Number, item.included ? Qt::Checked : Qt::Unchecked);
            row->setText(Number, item.label);
            row->setText(Type, item.type.isEmpty() ? QStringLiteral("（未定）") : item.type);
            row->setText(Score, item.detected.score ? scoreText(*item.detected.score) : QString());
            row->setText(Difficulty, item.settings.difficulty);
            row->setText(Scope, scopeSummary(item.settings));
            row->setToolTip(Scope, [&] {
                QStringList paths;
                for (const auto& [path, knowledge] : item.settings.scopes)
                    paths << path + QStringLiteral("（") + knowledge + QStringLiteral("）");
                return paths.join(u'\n');
            }());
            const QStringList marks = item.marks();
            row->setText(Marks, marks.join(QStringLiteral("；")));
            if (!marks.isEmpty())
                row->setForeground(Marks, QColor(200, 0, 0));
            row->setText(Text, textSummary(item));
            row->setToolTip(Text, QString(item.text).replace(u'\r', u'\n'));
        }
    }
    filling_ = false;
    if (ui->List_st->topLevelItemCount() > 0) {
        const int row = std::clamp(current, 0, ui->List_st->topLevelItemCount() - 1);
        ui->List_st->setCurrentItem(ui->List_st->topLevelItem(row));
        showItem(row);
    } else {
        ui->Combo_cfwz->clear();
    }
}

void Form_drsj::showItem(int row) {
    ui->Combo_cfwz->clear();
    ui->Combo_dagy->clear();
    if (!import_ || row < 0 || row >= import_->count()) {
        ui->OLE_tm->clear();
        ui->OLE_da->clear();
        showSimilar(nullptr);
        return;
    }
    const ImportItem& item = import_->items()[row];
    ui->OLE_tm->bind(item.questionFile);
    ui->OLE_da->bind(item.answerFile);
    showSimilar(&item);
    // Its answer may go to a question that has none.
    for (int i = 0; i < import_->count(); ++i)
        if (i != row && !import_->items()[i].hasAnswer())
            ui->Combo_dagy->addItem(QStringLiteral("第 %1 题").arg(import_->items()[i].label), i);
    ui->Combo_dagy->setCurrentIndex(-1);
    const auto paragraphs = import_->paragraphsOf(row);
    for (int k = 1; k < paragraphs.size(); ++k) {
        QString text = paragraphs[k].second;
        text.replace(u'\r', u' ').replace(u'\t', u' ');
        text = text.simplified();
        if (text.isEmpty())
            text = QStringLiteral("（空段落或图片）");
        ui->Combo_cfwz->addItem(QStringLiteral("第%1段：%2").arg(k + 1).arg(text.left(40)), paragraphs[k].first);
    }
    ui->Combo_cfwz->setCurrentIndex(-1);
}

void Form_drsj::showSimilar(const ImportItem* item) {
    if (!item || !item->similar) {
        ui->OLE_xsst->clear();
        ui->Frame10->setVisible(false);
        return;
    }
    ui->Frame10->setTitle(
        QStringLiteral("试题库中的相似试题：%1（相似度 %2%）").arg(item->similar->number).arg(item->similar->percent));
    ui->OLE_xsst->bind(questionDocumentPath(state_.BankPath, item->similar->number));
    ui->Frame10->setVisible(true);
}

void Form_drsj::List_st_Click() {
    if (filling_)
        return;
    const QTreeWidgetItem* current = ui->List_st->currentItem();
    showItem(current ? current->data(Number, Qt::UserRole).toInt() : -1);
}

void Form_drsj::List_st_ItemChanged(QTreeWidgetItem* item, int column) {
    if (filling_ || column != Number || !import_)
        return;
    const int i = item->data(Number, Qt::UserRole).toInt();
    if (i >= 0 && i < import_->count())
        import_->item(i).included = item->checkState(Number) == Qt::Checked;
}

QList<int> Form_drsj::selectedItems() const {
    QList<int> out;
    for (const QTreeWidgetItem* item : ui->List_st->selectedItems())
        out << item->data(Number, Qt::UserRole).toInt();
    std::sort(out.begin(), out.end());
    return out;
}

void Form_drsj::Command_hbsyt_Click() {
    const QTreeWidgetItem* current = ui->List_st->currentItem();
    if (!import_ || !current) {
        state_.prompts.show(QStringLiteral("请先在列表中选择要与上一题合并的试题！"));
        return;
    }
    const int row = current->data(Number, Qt::UserRole).toInt();
    if (row == 0) {
        state_.prompts.show(QStringLiteral("第一道试题前面没有试题，不能与上一题合并！"));
        return;
    }
    ui->OLE_tm->clear();
    ui->OLE_da->clear();
    const bool merged = attempt([&] { import_->mergeWithPrevious(row); });
    showItems(merged ? row - 1 : row);
}

void Form_drsj::Command_cf_Click() {
    const QTreeWidgetItem* current = ui->List_st->currentItem();
    if (!import_ || !current) {
        state_.prompts.show(QStringLiteral("请先在列表中选择要拆分的试题！"));
        return;
    }
    if (ui->Combo_cfwz->currentIndex() < 0) {
        state_.prompts.show(QStringLiteral("请先在“拆分位置”中选择从哪一段起拆成新的一题！"));
        return;
    }
    const int row = current->data(Number, Qt::UserRole).toInt();
    const int block = ui->Combo_cfwz->currentData().toInt();
    ui->OLE_tm->clear();
    ui->OLE_da->clear();
    attempt([&] { import_->splitAt(row, block); });
    showItems(row);
}

void Form_drsj::Command_ydda_Click() {
    const QTreeWidgetItem* current = ui->List_st->currentItem();
    if (!import_ || !current) {
        state_.prompts.show(QStringLiteral("请先在列表中选择试题！"));
        return;
    }
    if (ui->Combo_cfwz->currentIndex() < 0) {
        state_.prompts.show(QStringLiteral("请先在“拆分位置”中选择从哪一段起移到答案！"));
        return;
    }
    const int row = current->data(Number, Qt::UserRole).toInt();
    const int block = ui->Combo_cfwz->currentData().toInt();
    ui->OLE_tm->clear();
    ui->OLE_da->clear();
    attempt([&] { import_->moveToAnswer(row, block); });
    showItems(row);
}

void Form_drsj::Command_dagy_Click() {
    const QTreeWidgetItem* current = ui->List_st->currentItem();
    if (!import_ || !current) {
        state_.prompts.show(QStringLiteral("请先在列表中选择试题！"));
        return;
    }
    if (ui->Combo_dagy->currentIndex() < 0) {
        state_.prompts.show(QStringLiteral("请先选择把答案移给哪一道试题！"));
        return;
    }
    const int row = current->data(Number, Qt::UserRole).toInt();
    const int to = ui->Combo_dagy->currentData().toInt();
    ui->OLE_tm->clear();
    ui->OLE_da->clear();
    attempt([&] { import_->giveAnswer(row, to); });
    showItems(row);
}

void Form_drsj::Command_gwctx_Click() {
    const QString type = comboText(ui->Combo_tx);
    if (type == kType) {
        state_.prompts.show(QStringLiteral("请先选择题型！"));
        return;
    }
    const QList<int> rows = selectedItems();
    if (!import_ || rows.isEmpty()) {
        state_.prompts.show(QStringLiteral("请先在列表中选择试题！"));
        return;
    }
    for (int i : rows)
        import_->item(i).type = type;
    const QTreeWidgetItem* current = ui->List_st->currentItem();
    showItems(current ? current->data(Number, Qt::UserRole).toInt() : 0);
}

void Form_drsj::setAllTicked(bool ticked) {
    if (!import_)
        return;
    for (int i = 0; i < import_->count(); ++i)
        import_->item(i).included = ticked;
    const QTreeWidgetItem* current = ui->List_st->currentItem();
    showItems(current ? current->data(Number, Qt::UserRole).toInt() : 0);
}

void Form_drsj::Command_qx_Click() {
    setAllTicked(true);
}

void Form_drsj::Command_qbx_Click() {
    setAllTicked(false);
}

// ---------------------------------------------------------------- filing

void Form_drsj::TreeView1_Click() {
    knowledge_->ListsStale = true;
    if (knowledge_->undoCoarseTicks())
        state_.prompts.show(kFinerScopeMessage);
    ScopeTreeModel& tree = ui->TreeView1->model();
    guarded(state_, [&] {
        for (int n : tree.checkedNodes()) {
            const QString path = tree.node(n).fullPath;
            if (knowledge_->table.find(path))
                continue;
            if (!reachesSection(path)) {
                // Here the tick is only undone: nothing of the import is lost.
                tree.setChecked(n, false);
                ui->TreeView1->syncChecks();
                state_.prompts.show(incompleteCatalogueMessage(false));
                continue;
            }
            Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
            knowledge_->table.add(path, loadSectionKnowledgePoints(bank, path));
        }
    });
}

void Form_drsj::List_dxzsd_Click(QListWidgetItem* item) {
    knowledge_->pick(item);
}

void Form_drsj::List_yxzsd_Click(QListWidgetItem* item) {
    knowledge_->unpick(item);
}

void Form_drsj::Timer1_Timer() {
    if (inTimer_)
        return;
    inTimer_ = true;
    if (knowledge_->undoCoarseTicks())
        state_.prompts.show(kFinerScopeMessage);
    knowledge_->refreshLists();
    inTimer_ = false;
}

bool Form_drsj::panelSettings(FilingSettings& settings, bool& scopesSet) {
    QuestionDraft draft;
    draft.tickedPaths = ui->TreeView1->model().checkedPaths();
    draft.knowledge = &knowledge_->table;
    for (const QString& path : draft.tickedPaths) {
        const ScopeKnowledgeRow* row = knowledge_->table.find(path);
        if (!row || !row->anySelected()) {
            state_.prompts.show(missingKnowledgeMessage(path));
            return false;
        }
    }
    scopesSet = !draft.tickedPaths.isEmpty();
    settings.scopes = draftScopes(draft);
    settings.difficulty = comboText(ui->Combo_nd) == kDifficulty ? QString() : comboText(ui->Combo_nd);
    settings.source = comboText(ui->Combo_stly) == kSource ? QString() : comboText(ui->Combo_stly);
    return true;
}

void Form_drsj::applySettings(const QList<int>& rows) {
    FilingSettings panel;
    bool scopesSet = false;
    if (!panelSettings(panel, scopesSet))
        return;
    if (!scopesSet && panel.difficulty.isEmpty() && panel.source.isEmpty()) {
        state_.prompts.show(QStringLiteral("请先在“入库参数”中勾选考查范围并选择知识点，或者选择难度、试题来源！"));
        return;
    }
    for (int i : rows) {
        FilingSettings& s = import_->item(i).settings;
        if (scopesSet)
            s.scopes = panel.scopes;
        if (!panel.difficulty.isEmpty())
            s.difficulty = panel.difficulty;
        if (!panel.source.isEmpty())
            s.source = panel.source;
    }
    const QTreeWidgetItem* current = ui->List_st->currentItem();
    showItems(current ? current->data(Number, Qt::UserRole).toInt() : 0);
    ui->Label_jd->setText(QStringLiteral("入库参数已应用到 %1 道试题。").arg(rows.size()));
}

void Form_drsj::Command_yydsx_Click() {
    const QList<int> rows = selectedItems();
    if (!import_ || rows.isEmpty()) {
        state_.prompts.show(QStringLiteral("请先在列表中选择试题！"));
        return;
    }
    applySettings(rows);
}

void Form_drsj::Command_yydqb_Click() {
    if (!import_ || import_->count() == 0) {
        state_.prompts.show(QStringLiteral("请先选择试卷并拆分！"));
        return;
    }
    QList<int> rows;
    for (int i = 0; i < import_->count(); ++i)
        rows << i;
    applySettings(rows);
}

// ---------------------------------------------------------------- import

void Form_drsj::Command_qddr_Click() {
    if (!import_ || import_->count() == 0) {
        state_.prompts.show(QStringLiteral("请先选择试卷并拆分！"));
        return;
    }
    if (const QString complaint = importComplaints(import_->items()); !complaint.isEmpty()) {
        state_.prompts.show(complaint);
        return;
    }
    int identical = 0;
    for (const ImportItem& item : import_->items())
        identical += item.included && item.similar && item.similar->percent >= 100;
    if (identical > 0 &&
        state_.prompts.message(QStringLiteral("勾选的试题中有 %1 道与试题库中的试题完全相同（相似度 100%）。\r\r"
                                              "是否仍然导入它们？")
                                   .arg(identical),
                               Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    int withoutAnswer = 0;
    for (const ImportItem& item : import_->items())
        withoutAnswer += item.included && !item.hasAnswer();
    if (withoutAnswer > 0 &&
        state_.prompts.message(QStringLiteral("勾选的试题中有 %1 道没有找到答案，将以空白的答案文档导入，"
                                              "以后可以在<查看修改>中补上。\r\r是否继续导入？")
                                   .arg(withoutAnswer),
                               Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;

    // The scores of the paper, for the types the bank has none for yet.
    QMap<QString, double> scores;
    guarded(state_, [&] { scores = typeScoresToOffer(import_->items(), state_.BankPath); });
    ui->Command_qddr->setEnabled(false);
    QStringList numbers;
    const bool written = attempt([&] {
        numbers = writeImportedQuestions(import_->items(), state_.BankPath, state_.FreeNumberPool,
                                         state_.CurrentUserName, today(), [&](int n, int total) {
                                             showProgress(n, total, QStringLiteral("正在写入试题库"));
                                             return true;
                                         });
    });
    ui->Command_qddr->setEnabled(true);
    ui->ProgressBar1->reset();
    ui->Label_jd->clear();
    if (!written)
        return;
    // The questions are in the bank; the list is done with.
    ui->OLE_tm->clear();
    ui->OLE_da->clear();
    import_.reset();
    showItems();
    ui->Label_zt->setText(QStringLiteral("已导入 %1 道试题。可以选择下一份试卷。").arg(numbers.size()));
    state_.prompts.show(paperImportedMessage(numbers));
    offerTypeScores(scores);
}

void Form_drsj::offerTypeScores(const QMap<QString, double>& scores) {
    if (scores.isEmpty())
        return;
    QStringList parts;
    for (auto it = scores.cbegin(); it != scores.cend(); ++it)
        parts << QStringLiteral("%1 %2 分").arg(it.key(), scoreText(it.value()));
    if (state_.prompts.message(QStringLiteral("试卷中每小题的分值：%1。\r试题库还没有给这些题型设置分值，"
                                              "是否把它们记为题型的分值（分值设置）？\r\r"
                                              "分值与此不同的试题各自保留试卷中的分值。")
                                   .arg(parts.join(QStringLiteral("，"))),
                               Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    guarded(state_, [&] { saveTypeScores(state_.BankPath, scores); });
}

// ---------------------------------------------------------------- leaving

void Form_drsj::Command_fhzjm_Click() {
    close();
}

void Form_drsj::closeEvent(QCloseEvent* event) {
    if (leaving_) {
        event->accept();
        return;
    }
    if (import_ && import_->count() > 0 &&
        state_.prompts.message(QStringLiteral("识别出的试题还没有导入！\r是否放弃导入并《返回主界面》？"),
                               Buttons::OkCancel) != Answer::Ok) {
        event->ignore();
        return;
    }
    leave();
    event->accept();
    if (isModal() || testAttribute(Qt::WA_DeleteOnClose))
        done(QDialog::Accepted);
}

void Form_drsj::reject() {
    close();
}

void Form_drsj::leave() {
    leaving_ = true;
    Timer1.stop();
    ui->OLE_tm->clear();
    ui->OLE_da->clear();
    import_.reset();
    if (word_) {
        word_->quit();
        word_.reset();
    }
    ui->OLE_xsst->clear();
    removeWorkFolder();
    hide();
    if (QWidget* menu = parentWidget()) {
        menu->show();
        menu->activateWindow();
    }
}

}  // namespace zs
