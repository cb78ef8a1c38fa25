#include "shots/screens.h"

#include "app/runstate.h"
#include "compose/smartsort.h"
#include "doubles/scriptedprompts.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/statement.h"
#include "ui/Form_cshtmbh.h"
#include "ui/Form_jcsz.h"
#include "ui/Form_qdjm.h"
#include "ui/Form_scsjjm.h"
#include "ui/Form_sdzj.h"
#include "ui/Form_stckxg.h"
#include "ui/Form_stlr.h"
#include "ui/Form_stszckxg.h"
#include "ui/Form_tkfx.h"
#include "ui/Form_tysz.h"
#include "ui/Form_yhdl.h"
#include "ui/Form_zjm.h"
#include "ui/Form_znzj.h"
#include "ui/documentview.h"
#include "ui/scopetreewidget.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace shots {

using namespace zs;

void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(10);
    }
}

namespace {

// Waits until the document views of a screen have drawn their previews.
void waitForPreviews(QWidget& screen) {
    // A view that changed its size draws its preview again a moment later.
    settle(600);
    for (int i = 0; i < 200; ++i) {
        bool busy = false;
        for (const DocumentView* view : screen.findChildren<DocumentView*>())
            busy = busy || view->isRendering() || (!view->boundPath().isEmpty() && view->preview().isNull());
        if (!busy)
            break;
        settle(50);
    }
    settle(200);
}

// A screen that starts its work when shown is drawn without being shown.
QImage grabUnshown(QWidget& screen) {
    screen.ensurePolished();
    if (screen.layout())
        screen.layout()->activate();
    screen.resize(screen.sizeHint().expandedTo(screen.size()));
    settle(100);
    return screen.grab().toImage();
}

QImage grabShown(QWidget& screen, int ms = 300) {
    screen.show();
    settle(ms);
    return screen.grab().toImage();
}

void clickItem(QListWidget* list, int row) {
    if (!list || row >= list->count())
        return;
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    settle(50);
}

// The first section path of the demo bank that holds questions of a chapter.
QString sectionWithQuestions(RunState& state) {
    Bank bank(state.BankPath);
    const RowSet rows = bank.query(QStringLiteral("select 考查范围 from 试题库"));
    return rows.isEmpty() ? QString() : rows.text(0, 0);
}

}  // namespace

// A table of about twenty questions of the demo bank, one row per scope.
void fillTable(RunState& state, SpecTable& table) {
    Bank bank(state.BankPath);
    const QList<QPair<QString, int>> wanted = {{QStringLiteral("单选题"), 8},
                                               {QStringLiteral("填空题"), 4},
                                               {QStringLiteral("计算题"), 4},
                                               {QStringLiteral("解答题"), 4}};
    QList<QStringList> rows;
    for (const auto& [type, count] : wanted) {
        const RowSet found = bank.query(QStringLiteral("select * from 试题库 where 题型='") + sqlValue(type) +
                                        QStringLiteral("' and 考查范围 like '1-初中数学%'"));
        QStringList numbers;
        for (int r = 0; r < found.count() && numbers.size() < count; ++r) {
            const QString number = found.text(r, QStringLiteral("题目编号"));
            if (numbers.contains(number) && numbers.last() != number)
                continue;
            if (!numbers.contains(number))
                numbers << number;
            rows << QStringList{number,
                                found.text(r, QStringLiteral("试题识别码")),
                                type,
                                found.text(r, QStringLiteral("难度")),
                                found.text(r, QStringLiteral("考查范围")),
                                found.text(r, QStringLiteral("知识点"))};
        }
    }
    table.setRows(int(rows.size()) + 1);
    table.numberRows();
    for (int i = 0; i < rows.size(); ++i)
        table.fillRow(i + 1, rows[i][0], rows[i][1], rows[i][2], rows[i][3], rows[i][4], rows[i][5]);
}

namespace {

QImage splash(RunState& state) {
    Form_qdjm screen(state);
    return grabShown(screen);
}

QImage login(RunState& state) {
    Form_yhdl screen(state);
    screen.findChild<QLineEdit*>(QStringLiteral("Text_smyhm"))->setText(QStringLiteral("张老师"));
    screen.findChild<QLineEdit*>(QStringLiteral("Text_mm"))->setText(QStringLiteral("123456"));
    return grabShown(screen);
}

QImage mainMenu(RunState& state) {
    Form_zjm screen(state);
    return grabShown(screen);
}

QImage catalogue(RunState& state) {
    Form_jcsz screen(state);
    screen.resize(1400, 700);
    screen.show();
    settle(100);
    clickItem(screen.findChild<QListWidget*>(QStringLiteral("List_km")), 0);
    clickItem(screen.findChild<QListWidget*>(QStringLiteral("List_z")), 1);
    clickItem(screen.findChild<QListWidget*>(QStringLiteral("List_j")), 1);
    return grabShown(screen);
}

QImage sources(RunState& state) {
    Form_tysz screen(state);
    return grabShown(screen);
}

QImage numbers(RunState& state) {
    // The refill itself is over in a moment; the picture shows it half way.
    Form_cshtmbh screen(state);
    screen.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->setValue(30);
    screen.findChild<QLabel*>(QStringLiteral("Label_WanChengBaiFenBi"))->setText(QStringLiteral("60%"));
    return grabUnshown(screen);
}

QImage entry(RunState& state) {
    state.modalHook = [](QObject* screen) {
        if (auto* numbers = qobject_cast<Form_cshtmbh*>(screen))
            numbers->Form_Activate();
    };
    Form_stlr screen(state);
    screen.resize(1420, 880);
    screen.show();
    screen.Form_Activate();
    auto* tree = screen.findChild<ScopeTreeWidget*>(QStringLiteral("TreeView1"));
    const int node = tree->model().findByPath(sectionWithQuestions(state));
    if (node >= 0) {
        for (int n = tree->model().node(node).parent; n >= 0; n = tree->model().node(n).parent)
            tree->itemOf(n)->setExpanded(true);
        tree->selectNode(node);
        tree->itemOf(node)->setCheckState(0, Qt::Checked);
        screen.TreeView1_Click();
        screen.Timer1_Timer();
        auto* candidates = screen.findChild<QListWidget*>(QStringLiteral("List_dxzsd"));
        if (candidates->count() > 1)
            screen.List_dxzsd_Click(candidates->item(1));
        screen.Timer1_Timer();
    }
    setComboText(screen.findChild<QComboBox*>(QStringLiteral("Combo_tx")), QStringLiteral("单选题"));
    setComboText(screen.findChild<QComboBox*>(QStringLiteral("Combo_nd")), QStringLiteral("0.3"));
    setComboText(screen.findChild<QComboBox*>(QStringLiteral("Combo_stly")), QStringLiteral("3-课后练习"));
    // The teacher has written the question and its answer: the documents of
    // the number being entered get the text of a question of the bank.
    Bank bank(state.BankPath);
    const QString example = bank.query(QStringLiteral("select 题目编号 from 试题库 where 题型='单选题'")).text(0, 0);
    const QString current = screen.currentNumber();
    for (const auto& [from, to] :
         {qMakePair(questionDocumentPath(state.BankPath, example), questionDocumentPath(state.BankPath, current)),
          qMakePair(answerDocumentPath(state.BankPath, example), answerDocumentPath(state.BankPath, current))}) {
        QFile::remove(to);
        QFile::copy(from, to);
    }
    for (const char* name : {"OLE_tm", "OLE_da"})
        screen.findChild<DocumentView*>(QString::fromLatin1(name))->refresh();
    waitForPreviews(screen);
    QImage image = screen.grab().toImage();
    screen.hide();
    state.modalHook = nullptr;
    return image;
}

// A question of the demo bank filed under two sections.
QString twoScopeQuestion(RunState& state) {
    Bank bank(state.BankPath);
    const RowSet rows = bank.query(QStringLiteral("select 题目编号 from 试题库 group by 题目编号 having count(*) = 2"));
    return rows.isEmpty() ? QStringLiteral("1") : rows.text(0, 0);
}

QImage browse(RunState& state) {
    Form_stckxg screen(state);
    screen.resize(1420, 900);
    screen.show();
    screen.Form_Activate();
    static_cast<zs::ScriptedPrompts&>(state.prompts).type(twoScopeQuestion(state));
    screen.Command_dwdthsbm_Click();
    settle(300);
    waitForPreviews(screen);
    QImage image = screen.grab().toImage();
    screen.hide();
    return image;
}

QImage picker(RunState& state) {
    SpecTable table;
    fillTable(state, table);
    state.PickerTargetRow = 3;
    state.PickerTargetCode = table.cell(3, SpecTable::Code);
    Form_stszckxg screen(state, table);
    screen.resize(1420, 900);
    screen.DWDZhiDingTiHao();
    screen.show();
    settle(300);
    waitForPreviews(screen);
    QImage image = screen.grab().toImage();
    screen.hide();
    return image;
}

QImage manualComposition(RunState& state, bool withMenu) {
    state.AutoSizeOnActivate = true;
    state.SortOnActivate = false;
    Form_sdzj screen(state);
    fillTable(state, screen.table());
    screen.showTable();
    screen.show();
    screen.Form_Activate();
    state.SortTrigger = kSortAfterLoading;
    screen.ZhiNengPaiXu();
    screen.MSFlexGrid1_Click(5);
    screen.findChild<QRadioButton*>(QStringLiteral("Option_bbc"))->setChecked(true);
    settle(300);
    QImage image = screen.grab().toImage();
    if (withMenu) {
        // The context menu is a window of its own: draw it where it opens.
        QTableWidget* grid = screen.findChild<QTableWidget*>(QStringLiteral("MSFlexGrid1"));
        const QRect cell = grid->visualItemRect(grid->item(5, 5));
        QMenu* menu = screen.popmenu();
        menu->adjustSize();
        const QImage menuImage = menu->grab().toImage();
        const QPoint at = grid->mapTo(&screen, cell.center()) + grid->viewport()->pos();
        QPainter painter(&image);
        painter.fillRect(QRect(at + QPoint(4, 4), menuImage.size()), QColor(0, 0, 0, 60));
        painter.drawImage(at, menuImage);
    }
    screen.TableModified = false;
    screen.close();
    return image;
}

void tickPath(ScopeTreeWidget* tree, const QString& path) {
    const int node = tree->model().findByPath(path);
    if (node < 0)
        return;
    for (int n = tree->model().node(node).parent; n >= 0; n = tree->model().node(n).parent)
        tree->itemOf(n)->setExpanded(true);
    tree->itemOf(node)->setExpanded(true);
    tree->itemOf(node)->setCheckState(0, Qt::Checked);
}

const QString kVolume = QStringLiteral("1-初中数学\\1-人教版\\7-七年级\\1-上册");

// The intelligent composition screen with a typical request; with `result`,
// the table it loads instead; with `pair`, A/B papers and the B paper's table.
QImage intelligent(RunState& state, bool result, bool pair = false) {
    QImage table;
    state.modalHook = [&](QObject* screen) {
        if (auto* composition = qobject_cast<Form_sdzj*>(screen)) {
            composition->show();
            composition->Form_Activate();
            if (pair)
                composition->showPaper(1);
            composition->MSFlexGrid1_Click(3);
            settle(300);
            table = composition->grab().toImage();
            composition->TableModified = false;
            composition->close();
        }
    };
    Form_znzj screen(state);
    screen.show();
    screen.resize(1300, 820);
    tickPath(screen.findChild<ScopeTreeWidget*>(QStringLiteral("TreeView_kcfw")), kVolume);
    // A/B papers of half the size: the demo volume holds two such papers.
    for (const auto& [type, count] : {qMakePair(0, 8), qMakePair(2, 4), qMakePair(4, 4), qMakePair(6, 4)}) {
        screen.Check_tx[type]->click();
        screen.Text_ts[type]->setText(QString::number(pair ? count / 2 : count));
    }
    const int tens[5] = {2, 3, 3, 1, 1};
    for (int k = 0; k < 5; ++k)
        screen.HScroll_ndbl[k]->setValue(tens[k]);
    if (pair)
        screen.findChild<QCheckBox*>(QStringLiteral("Check_tsscabj"))->setChecked(true);
    settle(200);
    QImage image = screen.grab().toImage();
    if (result)
        screen.findChild<QPushButton*>(QStringLiteral("Command_jszyfa"))->click();
    state.modalHook = nullptr;
    screen.hide();
    return result ? table : image;
}

QImage sharing(RunState& state, bool import) {
    Form_tkfx screen(state);
    screen.show();
    screen.resize(1000, 720);
    if (import) {
        screen.findChild<QTabWidget*>(QStringLiteral("SSTab_tkfx"))->setCurrentIndex(1);
        static_cast<zs::ScriptedPrompts&>(state.prompts).type(state.BankPath);
        screen.Command_dkwbtk_Click();
        tickPath(screen.findChild<ScopeTreeWidget*>(QStringLiteral("TreeView_tkdr")),
                 kVolume + QStringLiteral("\\1-第一章 有理数\\1-1.1 正数和负数"));
        screen.findChild<QRadioButton*>(QStringLiteral("Option_jstk_tkdr"))->setChecked(true);
    } else {
        tickPath(screen.findChild<ScopeTreeWidget*>(QStringLiteral("TreeView_tkdc")),
                 kVolume + QStringLiteral("\\1-第一章 有理数"));
        screen.findChild<QRadioButton*>(QStringLiteral("Option_stkandjcsz_tkdc"))->setChecked(true);
    }
    settle(200);
    QImage image = screen.grab().toImage();
    screen.hide();
    return image;
}

QImage generation(RunState& state) {
    SpecTable table(1);
    Form_scsjjm screen(state, table, false);
    screen.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->setMaximum(21);
    screen.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->setValue(12);
    screen.findChild<QLabel*>(QStringLiteral("Label5"))->setText(QStringLiteral("已完成57%"));
    return grabUnshown(screen);
}

}  // namespace

QList<Shot> allShots() {
    return {
        {QStringLiteral("splash"), QStringLiteral("启动画面"), splash},
        {QStringLiteral("login"), QStringLiteral("用户登录"), login},
        {QStringLiteral("mainmenu"), QStringLiteral("主界面"), mainMenu},
        {QStringLiteral("catalogue"), QStringLiteral("教材设置"), catalogue},
        {QStringLiteral("sources"), QStringLiteral("题源设置"), sources},
        {QStringLiteral("numbers"), QStringLiteral("准备试题编号"), numbers},
        {QStringLiteral("entry"), QStringLiteral("试题录入"), entry},
        {QStringLiteral("browse"), QStringLiteral("查看修改"), browse},
        {QStringLiteral("composition"), QStringLiteral("手动组卷：双向细目表"),
         [](RunState& s) { return manualComposition(s, false); }},
        {QStringLiteral("composition-menu"), QStringLiteral("双向细目表的快捷菜单"),
         [](RunState& s) { return manualComposition(s, true); }},
        {QStringLiteral("picker"), QStringLiteral("为一行选题"), picker},
        {QStringLiteral("znzj"), QStringLiteral("智能组卷"), [](RunState& s) { return intelligent(s, false); }},
        {QStringLiteral("znzj-result"), QStringLiteral("智能组卷得到的双向细目表"),
         [](RunState& s) { return intelligent(s, true); }},
        {QStringLiteral("znzj-ab"), QStringLiteral("同时生成A/B卷：B卷的双向细目表"),
         [](RunState& s) { return intelligent(s, true, true); }},
        {QStringLiteral("generation"), QStringLiteral("生成试卷"), generation},
        {QStringLiteral("tkfx-export"), QStringLiteral("题库导出"), [](RunState& s) { return sharing(s, false); }},
        {QStringLiteral("tkfx-import"), QStringLiteral("题库导入"), [](RunState& s) { return sharing(s, true); }},
    };
}

}  // namespace shots
