#include "ui/start/Form_zjm.h"

#include "app/accounts.h"
#include "app/runstate.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverlocation.h"
#include "ui/catalogue/Form_cshtmbh.h"
#include "ui/catalogue/Form_jcsz.h"
#include "ui/catalogue/Form_tysz.h"
#include "ui/common/screens.h"
#include "ui/common/widgetevents.h"
#include "ui/compose/Form_sdzj.h"
#include "ui/compose/Form_znzj.h"
#include "ui/questions/Form_stckxg.h"
#include "ui/questions/Form_stlr.h"
#include "ui/results/Form_drcj.h"
#include "ui/sharing/Form_drsj.h"
#include "ui/sharing/Form_tkfx.h"
#include "ui/start/Form_czmm.h"
#include "ui/start/Form_lxzz.h"
#include "ui/start/Form_yhgm.h"
#include "ui/start/Form_yhzc.h"
#include "ui_Form_zjm.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

namespace zs {

namespace {}

Form_zjm::Form_zjm(RunState& state, QWidget* parent)
    : QMainWindow(parent), Timer1(new QTimer(this)), state_(state), ui(std::make_unique<Ui::Form_zjm>()) {
    ui->setupUi(this);

    connect(ui->Command_jcsz, &QPushButton::clicked, this, &Form_zjm::Command_jcsz_Click);
    connect(ui->Command_tysz, &QPushButton::clicked, this, &Form_zjm::Command_tysz_Click);
    connect(ui->Command_tccx, &QPushButton::clicked, this, &Form_zjm::Command_tccx_Click);
    connect(ui->Command_tkfx, &QPushButton::clicked, this, &Form_zjm::Command_tkfx_Click);
    connect(ui->Command_stlr, &QPushButton::clicked, this, &Form_zjm::Command_stlr_Click);
    connect(ui->Command_stckxg, &QPushButton::clicked, this, &Form_zjm::Command_stckxg_Click);
    connect(ui->Command_drsj, &QPushButton::clicked, this, &Form_zjm::Command_drsj_Click);
    connect(ui->Command_sdzj, &QPushButton::clicked, this, &Form_zjm::Command_sdzj_Click);
    connect(ui->Command_znzj, &QPushButton::clicked, this, &Form_zjm::Command_znzj_Click);
    connect(ui->Command_drcj, &QPushButton::clicked, this, &Form_zjm::Command_drcj_Click);
    connect(ui->jcsz, &QAction::triggered, this, &Form_zjm::jcsz_Click);
    connect(ui->yhzc, &QAction::triggered, this, &Form_zjm::yhzc_Click);
    connect(ui->yhgm, &QAction::triggered, this, &Form_zjm::yhgm_Click);
    connect(ui->czmm, &QAction::triggered, this, &Form_zjm::czmm_Click);
    connect(ui->tcdl, &QAction::triggered, this, &Form_zjm::tcdl_Click);
    connect(ui->stlr, &QAction::triggered, this, &Form_zjm::stlr_Click);
    connect(ui->stckyxg, &QAction::triggered, this, &Form_zjm::stckyxg_Click);
    connect(ui->drsj, &QAction::triggered, this, &Form_zjm::drsj_Click);
    connect(ui->znzj, &QAction::triggered, this, &Form_zjm::znzj_Click);
    connect(ui->sdzj, &QAction::triggered, this, &Form_zjm::sdzj_Click);
    connect(ui->drcj, &QAction::triggered, this, &Form_zjm::drcj_Click);
    connect(ui->sybz, &QAction::triggered, this, &Form_zjm::sybz_Click);
    connect(ui->lxzz, &QAction::triggered, this, &Form_zjm::lxzz_Click);
    onClick(ui->Image_logo, [this] { Image_logo_Click(); });

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(800);
    connect(Timer1, &QTimer::timeout, this, &Form_zjm::Timer1_Timer);

    Form_Load();
}

Form_zjm::~Form_zjm() = default;

Form_zjm* Form_zjm::showNew(RunState& state) {
    auto* menu = new Form_zjm(state);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->show();
    return menu;
}

void Form_zjm::Form_Load() {
    const QString texts[3] = {QStringLiteral("当前用户：") + state_.CurrentUserName, QStringLiteral("级别：元老级用户"),
                              QStringLiteral("软件版本：1.0")};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(texts[i], ui->StatusBar1);
        panels_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panels_[i]->setContentsMargins(6, 0, 6, 0);
        if (i == 0)
            ui->StatusBar1->addWidget(panels_[i], 1);
        else
            ui->StatusBar1->addPermanentWidget(panels_[i]);
    }
    // Connected to a school bank: a fourth panel names it.
    if (!state_.SchoolBank.isEmpty()) {
        auto* bank =
            new QLabel(QStringLiteral("题库：") + ServerLocation::parse(state_.SchoolBank).shown(), ui->StatusBar1);
        bank->setObjectName(QStringLiteral("Panel_tk"));
        bank->setContentsMargins(6, 0, 6, 0);
        ui->StatusBar1->addPermanentWidget(bank);
        // The teacher's own level; a 元老级用户 of the school bank resets other
        // teachers' passwords.
        QString level;
        try {
            level = accountLevel(state_.SchoolBank, state_.CurrentUserName);
        } catch (const StoreError&) {
            // The bank cannot be read now: the entry stays hidden.
        }
        panels_[1]->setText(QStringLiteral("级别：") + (level.isEmpty() ? QStringLiteral("暂时无法读取") : level));
        ui->czmm->setVisible(level == kElderLevel && !state_.CurrentUserName.isEmpty());
    }
    Timer1->start();
    resize(sizeHint().expandedTo(QSize(600, 0)));
    centreOnScreen(*this);
}

QString Form_zjm::panelText(int panel) const {
    return panels_[panel - 1]->text();
}

void Form_zjm::Timer1_Timer() {
    const QString title = windowTitle();
    if (!title.isEmpty())
        setWindowTitle(title.mid(1) + title.left(1));
}

// ---- the screens the main menu opens

void Form_zjm::openCatalogue() {
    Form_jcsz screen(state_, this);
    showModal(state_, screen);
}

void Form_zjm::openSources() {
    Form_tysz screen(state_, this);
    showModal(state_, screen);
}

void Form_zjm::openSharing() {
    Form_tkfx screen(state_, this);
    showModal(state_, screen);
}

void Form_zjm::openNumberMaintenance() {
    Form_cshtmbh numbers(state_, this);
    showModal(state_, numbers);
    openQuestionEntry();
}

void Form_zjm::openQuestionEntry() {
    Form_stlr screen(state_, this);
    showModal(state_, screen);
}

void Form_zjm::openBrowse() {
    Form_stckxg screen(state_, this);
    showModal(state_, screen);
}

void Form_zjm::openPaperImport() {
    Form_drsj screen(state_, this);
    // A screen that refused when it opened (and said why) is not shown.
    if (!screen.refusal().isEmpty())
        return;
    showModal(state_, screen);
}

void Form_zjm::openManualComposition() {
    Form_sdzj screen(state_, this);
    screen.restoreKeptPair();
    showModal(state_, screen);
}

void Form_zjm::openIntelligentComposition() {
    Form_znzj screen(state_, this);
    showModal(state_, screen);
}

void Form_zjm::openResults() {
    Form_drcj screen(state_, this);
    showModal(state_, screen);
}

// ---- the buttons

void Form_zjm::Command_jcsz_Click() {
    openCatalogue();
}

void Form_zjm::Command_tysz_Click() {
    openSources();
}

void Form_zjm::Command_tccx_Click() {
    endProgram(state_);
}

void Form_zjm::Command_tkfx_Click() {
    openSharing();
}

void Form_zjm::Command_stlr_Click() {
    // Number maintenance refills the free numbers and goes on to question
    // entry; the main menu waits hidden and never stays hidden afterwards.
    hide();
    openNumberMaintenance();
    show();
}

void Form_zjm::Command_stckxg_Click() {
    if (!guarded(state_, [&] { state_.startSharedWordInstance(); }))
        return;
    openBrowse();
}

void Form_zjm::Command_drsj_Click() {
    openPaperImport();
}

void Form_zjm::Command_sdzj_Click() {
    openManualComposition();
}

void Form_zjm::Command_znzj_Click() {
    openIntelligentComposition();
}

void Form_zjm::Command_drcj_Click() {
    openResults();
}

// ---- the menu

void Form_zjm::jcsz_Click() {
    openCatalogue();
}

void Form_zjm::yhzc_Click() {
    Form_yhzc screen(state_, this);
    showModal(state_, screen);
}

void Form_zjm::yhgm_Click() {
    Form_yhgm screen(state_, this);
    showModal(state_, screen);
}

void Form_zjm::czmm_Click() {
    Form_czmm screen(state_, this, state_.CurrentUserName);
    showModal(state_, screen);
}

void Form_zjm::tcdl_Click() {
    if (state_.showSplashScreen)
        state_.showSplashScreen();
    close();
}

void Form_zjm::stlr_Click() {
    // Question entry writes its documents through the shared word processor.
    if (!guarded(state_, [&] { state_.ensureSharedWordInstance(); }))
        return;
    openQuestionEntry();
}

void Form_zjm::stckyxg_Click() {
    openBrowse();
}

void Form_zjm::drsj_Click() {
    openPaperImport();
}

void Form_zjm::znzj_Click() {
    openIntelligentComposition();
}

void Form_zjm::sdzj_Click() {
    openManualComposition();
}

void Form_zjm::drcj_Click() {
    openResults();
}

void Form_zjm::sybz_Click() {
    // The tutorial lies beside the bank; a bank opened from elsewhere has none,
    // so the program's own copy serves then.
    QString path = QDir(bankFolderOf(state_.BankPath)).filePath(kHelpDocumentName);
    if (!QFileInfo::exists(path) && QFileInfo::exists(state_.appFile(kHelpDocumentName)))
        path = state_.appFile(kHelpDocumentName);
    if (!QFileInfo::exists(path)) {
        state_.prompts.message(QStringLiteral("找不到使用帮助文件：\r") + QDir::toNativeSeparators(path), Buttons::Ok,
                               Icon::Exclamation);
        return;
    }
    state_.desktop.openFile(path);
}

void Form_zjm::lxzz_Click() {
    Form_lxzz screen(state_, this);
    showModal(state_, screen);
}

void Form_zjm::Image_logo_Click() {
    state_.desktop.openUrl(state_.homePage());
}

}  // namespace zs
