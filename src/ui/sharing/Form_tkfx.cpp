#include "ui/sharing/Form_tkfx.h"

#include "app/runstate.h"
#include "office/wordprocessor.h"
#include "questions/similarity.h"
#include "sharing/exchangearchive.h"
#include "store/bank.h"
#include "ui/common/screens.h"
#include "ui/questions/similaritycheck.h"
#include "ui_Form_tkfx.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QTabBar>
#include <QTemporaryDir>

namespace zs {

Form_tkfx::Form_tkfx(RunState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui(std::make_unique<Ui::Form_tkfx>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    // On a small screen (1366×768) the window keeps inside it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(qMax(minimumWidth(), qMin(width(), area.width() - 20)),
               qMax(minimumHeight(), qMin(height(), area.height() - 60)));
    }
    QFont heading = ui->Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.6);
    heading.setBold(true);
    ui->Label1->setFont(heading);
    QFont tabs = ui->SSTab_tkfx->font();
    tabs.setBold(true);
    ui->SSTab_tkfx->tabBar()->setFont(tabs);

    connect(ui->TreeView_tkdc, &ScopeTreeWidget::nodeCheck, this, &Form_tkfx::TreeView_tkdc_NodeCheck);
    connect(ui->TreeView_tkdr, &ScopeTreeWidget::nodeCheck, this, &Form_tkfx::TreeView_tkdr_NodeCheck);
    connect(ui->Command_szdcwz, &QPushButton::clicked, this, &Form_tkfx::Command_szdcwz_Click);
    connect(ui->Command_dc, &QPushButton::clicked, this, &Form_tkfx::Command_dc_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_tkfx::Command_tc_Click);
    connect(ui->Command_dkwbtk, &QPushButton::clicked, this, &Form_tkfx::Command_dkwbtk_Click);
    connect(ui->Command_dr, &QPushButton::clicked, this, &Form_tkfx::Command_dr_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &Form_tkfx::Command2_Click);

    Form_Load();
}

Form_tkfx::~Form_tkfx() = default;

void Form_tkfx::Form_Load() {
    state_.resetBankPath();
    ui->SSTab_tkfx->setCurrentIndex(0);
    guarded(state_, [&] {
        Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
        ui->TreeView_tkdc->setModel(ScopeTreeModel::build(bank, ScopeTreeModel::KeyStyle::Concatenated));
    });
}

ShareContent Form_tkfx::chosen(QRadioButton* only, QRadioButton* catalogueOnly, QRadioButton* both) {
    if (only->isChecked())
        return ShareContent::Questions;
    if (catalogueOnly->isChecked())
        return ShareContent::Catalogue;
    if (both->isChecked())
        return ShareContent::Both;
    return ShareContent::None;
}

QStringList Form_tkfx::CollectExportScope() const {
    return ui->TreeView_tkdc->model().deepestCheckedPaths();
}

QStringList Form_tkfx::CollectImportScope() const {
    return ui->TreeView_tkdr->model().deepestCheckedPaths();
}

// ---------------------------------------------------------------- export

void Form_tkfx::TreeView_tkdc_NodeCheck(int node) {
    ScopeTreeModel& tree = ui->TreeView_tkdc->model();
    tree.tickPropagating(node, tree.isChecked(node));
    ui->TreeView_tkdc->syncChecks();
}

void Form_tkfx::TreeView_tkdr_NodeCheck(int node) {
    // A ticked chapter or volume takes everything filed under it.
    ScopeTreeModel& tree = ui->TreeView_tkdr->model();
    tree.tickPropagating(node, tree.isChecked(node));
    ui->TreeView_tkdr->syncChecks();
}

void Form_tkfx::Command_szdcwz_Click() {
    const QString file = state_.prompts.saveFile(QStringLiteral("Access数据库文件|*.mdb"));
    // The export always goes to the desktop; the choice is only shown.
    if (!file.isEmpty())
        state_.prompts.show(QDir::toNativeSeparators(file));
}

void Form_tkfx::Command_dc_Click() {
    const ShareContent content = chosen(ui->Option_jstk_tkdc, ui->Option_jjcsz_tkdc, ui->Option_stkandjcsz_tkdc);
    const QStringList scope = CollectExportScope();
    const bool archive = ui->Check_dczip->isChecked();
    guarded(state_, [&] { runExport(state_, content, scope, archive); });
}

void Form_tkfx::Command_tc_Click() {
    backToMainMenu();
}

// ---------------------------------------------------------------- import

void Form_tkfx::Command_dkwbtk_Click() {
    const QString file = state_.prompts.openFile(kExchangeFileFilter);
    if (file.isEmpty())
        return;  // cancelled: the tree keeps the bank opened before
    // The one-file form of an export is unpacked into a folder of its own,
    // which lives as long as the screen (or until another file is opened).
    std::unique_ptr<QTemporaryDir> unpacked;
    QString bankFile = file;
    if (isZipArchive(file)) {
        unpacked =
            std::make_unique<QTemporaryDir>(QDir(QDir::tempPath()).filePath(QStringLiteral("zhuoshi-share-XXXXXX")));
        if (!unpacked->isValid()) {
            state_.prompts.message(QStringLiteral("无法建立临时文件夹来解开压缩文件：\r") + unpacked->errorString(),
                                   Buttons::Ok, Icon::Exclamation);
            return;
        }
        try {
            bankFile = unpackExchange(file, unpacked->path());
        } catch (const StoreError& e) {
            state_.prompts.message(e.message(), Buttons::Ok, Icon::Exclamation);
            return;
        }
    }
    ScopeTreeModel tree;
    if (const QString problem = loadExternalTree(bankFile, tree); !problem.isEmpty()) {
        state_.prompts.message(problem, Buttons::Ok, Icon::Exclamation);
        return;
    }
    ExternalBankPath = bankFile;
    if (unpacked)
        unpacked_ = std::move(unpacked);
    ui->TreeView_tkdr->setModel(std::move(tree));
    const QString shown = QDir::toNativeSeparators(file);
    ui->Label_wbtk->setText(QStringLiteral("外部题库：") + shown);
    ui->Label_wbtk->setToolTip(shown);
}

void Form_tkfx::Command_dr_Click() {
    const ShareContent content = chosen(ui->Option_jstk_tkdr, ui->Option_jjcsz_tkdr, ui->Option_stkandjcsz_tkdr);
    const QStringList scope = CollectImportScope();
    // With "导入时检查相似试题": each question like one of the bank is put to
    // the teacher. The bank's texts are read before the import begins.
    std::unique_ptr<WordInstance> word;
    std::optional<SimilarityIndex> index;
    ImportDecision keep;
    const bool questions = content == ShareContent::Questions || content == ShareContent::Both;
    if (ui->Check_drsjcxsst->isChecked() && questions && !scope.isEmpty()) {
        const bool ready = guarded(state_, [&] {
            word = state_.office.startWord();
            index = readBankSimilarity(state_, *word, this);
        });
        if (!ready || !index) {
            if (word)
                word->quit();
            return;
        }
        keep = [&](const QString& document, const QString& code, const QString& number) {
            QString text;
            try {
                text = documentPlainText(*word, document);
            } catch (const OfficeError&) {
                // A document the office cannot read is like nothing.
            }
            const auto match = index->mostSimilar(text);
            const bool take = !match || state_.prompts.message(similarImportQuestion(code, *match), Buttons::YesNo,
                                                               Icon::Question, {}, 1) == Answer::Yes;
            if (take)
                index->add(number, text);
            return take;
        };
    }
    // The rows of the other bank as they are looked at; the bar goes once the
    // import is over.
    QProgressBar* bar = ui->ProgressBar_dr;
    bar->setValue(0);
    const auto progress = [bar](int done, int total) {
        bar->setVisible(true);
        bar->setMaximum(std::max(total, 1));
        bar->setValue(done);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    guarded(state_, [&] { runImport(state_, content, ExternalBankPath, scope, keep, progress); });
    bar->setVisible(false);
    if (word)
        word->quit();
}

void Form_tkfx::Command2_Click() {
    backToMainMenu();
}

void Form_tkfx::backToMainMenu() {
    close();
    if (QWidget* owner = parentWidget()) {
        QWidget* menu = owner->window();
        menu->show();
        menu->raise();
        menu->activateWindow();
    }
}

}  // namespace zs
