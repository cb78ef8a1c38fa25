#include "shots/screens.h"

#include "app/runstate.h"
#include "doubles/formdriver.h"
#include "doubles/pencil.h"
#include "doubles/scriptedprompts.h"
#include "paper/answercard.h"
#include "paper/papergeneration.h"
#include "paper/paperrecord.h"
#include "paper/smartsort.h"
#include "paperimport/paperimport.h"
#include "questions/questiontexts.h"
#include "results/classresults.h"
#include "results/roster.h"
#include "results/studentreport.h"
#include "scan/scanstore.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/statement.h"
#include "ui/catalogue/Form_cshtmbh.h"
#include "ui/catalogue/Form_jcsz.h"
#include "ui/catalogue/Form_tysz.h"
#include "ui/common/documentview.h"
#include "ui/common/scopetreewidget.h"
#include "ui/common/widgets.h"
#include "ui/compose/Form_fzsz.h"
#include "ui/compose/Form_sdzj.h"
#include "ui/compose/Form_stszckxg.h"
#include "ui/compose/Form_znzj.h"
#include "ui/paper/Form_scsjjm.h"
#include "ui/paper/Form_sjsz.h"
#include "ui/questions/Form_stckxg.h"
#include "ui/questions/Form_stlr.h"
#include "ui/questions/Form_xsst.h"
#include "ui/results/Form_drcj.h"
#include "ui/results/Form_smyj.h"
#include "ui/results/Form_xsmd.h"
#include "ui/results/Form_yj.h"
#include "ui/sharing/Form_drsj.h"
#include "ui/sharing/Form_tkfx.h"
#include "ui/start/Form_czmm.h"
#include "ui/start/Form_ljxxtk.h"
#include "ui/start/Form_qdjm.h"
#include "ui/start/Form_yhdl.h"
#include "ui/start/Form_zjm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPdfDocument>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <random>

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
    test::child<QLineEdit>(&screen, QStringLiteral("Text_smyhm"))->setText(QStringLiteral("张老师"));
    test::child<QLineEdit>(&screen, QStringLiteral("Text_mm"))->setText(QStringLiteral("123456"));
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
    clickItem(test::child<QListWidget>(&screen, QStringLiteral("List_km")), 0);
    clickItem(test::child<QListWidget>(&screen, QStringLiteral("List_z")), 1);
    clickItem(test::child<QListWidget>(&screen, QStringLiteral("List_j")), 1);
    return grabShown(screen);
}

QImage sources(RunState& state) {
    Form_tysz screen(state);
    return grabShown(screen);
}

QImage numbers(RunState& state) {
    // The refill itself is over in a moment; the picture shows it half way.
    Form_cshtmbh screen(state);
    test::child<QProgressBar>(&screen, QStringLiteral("ProgressBar1"))->setValue(30);
    test::child<QLabel>(&screen, QStringLiteral("Label_WanChengBaiFenBi"))->setText(QStringLiteral("60%"));
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
    auto* tree = test::child<ScopeTreeWidget>(&screen, QStringLiteral("TreeView1"));
    const QString section = sectionWithQuestions(state);
    const int node = tree->model().findByPath(section);
    if (node >= 0) {
        for (int n = tree->model().node(node).parent; n >= 0; n = tree->model().node(n).parent)
            tree->itemOf(n)->setExpanded(true);
        test::tick(tree, section);
        screen.TreeView1_Click();
        screen.Timer1_Timer();
        auto* candidates = test::child<QListWidget>(&screen, QStringLiteral("List_dxzsd"));
        if (candidates->count() > 1)
            screen.List_dxzsd_Click(candidates->item(1));
        screen.Timer1_Timer();
    }
    setComboText(test::child<QComboBox>(&screen, QStringLiteral("Combo_tx")), QStringLiteral("单选题"));
    setComboText(test::child<QComboBox>(&screen, QStringLiteral("Combo_nd")), QStringLiteral("0.3"));
    setComboText(test::child<QComboBox>(&screen, QStringLiteral("Combo_stly")), QStringLiteral("3-课后练习"));
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
        test::child<DocumentView>(&screen, QString::fromLatin1(name))->refresh();
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
    Form_stszckxg screen(state, table, 3, table.cell(3, SpecTable::Code));
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
    Form_sdzj screen(state);
    fillTable(state, screen.table());
    screen.showTable();
    screen.show();
    screen.Form_Activate();
    screen.SortTrigger = kSortAfterLoading;
    screen.ZhiNengPaiXu();
    screen.MSFlexGrid1_Click(5);
    test::child<QRadioButton>(&screen, QStringLiteral("Option_bbc"))->setChecked(true);
    settle(300);
    QImage image = screen.grab().toImage();
    if (withMenu) {
        // The context menu is a window of its own: draw it where it opens.
        QTableWidget* grid = test::child<QTableWidget>(&screen, QStringLiteral("MSFlexGrid1"));
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
    tickPath(test::child<ScopeTreeWidget>(&screen, QStringLiteral("TreeView_kcfw")), kVolume);
    // A/B papers of half the size: the demo volume holds two such papers.
    for (const auto& [type, count] : {qMakePair(0, 8), qMakePair(2, 4), qMakePair(4, 4), qMakePair(6, 4)}) {
        screen.Check_tx[type]->click();
        screen.Text_ts[type]->setText(QString::number(pair ? count / 2 : count));
    }
    const int tens[5] = {2, 3, 3, 1, 1};
    for (int k = 0; k < 5; ++k)
        screen.HScroll_ndbl[k]->setValue(tens[k]);
    if (pair)
        test::child<QCheckBox>(&screen, QStringLiteral("Check_tsscabj"))->setChecked(true);
    settle(200);
    QImage image = screen.grab().toImage();
    if (result)
        test::child<QPushButton>(&screen, QStringLiteral("Command_jszyfa"))->click();
    state.modalHook = nullptr;
    screen.hide();
    return result ? table : image;
}

QImage sharing(RunState& state, bool import) {
    Form_tkfx screen(state);
    screen.show();
    screen.resize(1000, 720);
    if (import) {
        test::child<QTabWidget>(&screen, QStringLiteral("SSTab_tkfx"))->setCurrentIndex(1);
        static_cast<zs::ScriptedPrompts&>(state.prompts).type(state.BankPath);
        screen.Command_dkwbtk_Click();
        tickPath(test::child<ScopeTreeWidget>(&screen, QStringLiteral("TreeView_tkdr")),
                 kVolume + QStringLiteral("\\1-第一章 有理数\\1-1.1 正数和负数"));
        test::child<QRadioButton>(&screen, QStringLiteral("Option_jstk_tkdr"))->setChecked(true);
    } else {
        tickPath(test::child<ScopeTreeWidget>(&screen, QStringLiteral("TreeView_tkdc")),
                 kVolume + QStringLiteral("\\1-第一章 有理数"));
        test::child<QRadioButton>(&screen, QStringLiteral("Option_stkandjcsz_tkdc"))->setChecked(true);
    }
    settle(200);
    QImage image = screen.grab().toImage();
    screen.hide();
    return image;
}

QImage generation(RunState& state) {
    SpecTable table(1);
    Form_scsjjm screen(state, table, false);
    test::child<QProgressBar>(&screen, QStringLiteral("ProgressBar1"))->setMaximum(21);
    test::child<QProgressBar>(&screen, QStringLiteral("ProgressBar1"))->setValue(12);
    test::child<QLabel>(&screen, QStringLiteral("Label5"))->setText(QStringLiteral("已完成57%"));
    return grabUnshown(screen);
}

QImage paperSettings(RunState& state) {
    PaperScores scores;
    scores.scores = {30, 30, 30, 40, 40, 100};
    scores.total = 270;
    Form_sjsz screen(state, scores);
    test::child<QLineEdit>(&screen, QStringLiteral("Text_bt"))
        ->setText(QStringLiteral("2026—2027学年第一学期期中考试"));
    test::child<QLineEdit>(&screen, QStringLiteral("Text_fbt"))->setText(QStringLiteral("七年级数学试卷"));
    test::child<QLineEdit>(&screen, QStringLiteral("Text_kssj"))->setText(QStringLiteral("120"));
    test::child<QLineEdit>(&screen, QStringLiteral("Text_ydzf"))->setText(QStringLiteral("30"));
    test::child<QComboBox>(&screen, QStringLiteral("Combo_bs"))->setCurrentIndex(1);
    test::child<QCheckBox>(&screen, QStringLiteral("Check_dtk"))->setChecked(true);
    test::child<QCheckBox>(&screen, QStringLiteral("Check_pdf"))->setChecked(true);
    return grabUnshown(screen);
}

QImage typeScores(RunState& state) {
    Form_fzsz screen(state);
    auto* grid = test::child<QTableWidget>(&screen, QStringLiteral("Grid_txfz"));
    const QStringList values = {QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("2")};
    for (int r = 0; r < grid->rowCount() && r < values.size(); ++r)
        grid->item(r, 1)->setText(values[r]);
    return grabUnshown(screen);
}

// A teacher's old paper: two sections, a figure, a formula, the answers at the
// end, and one question that the bank already holds.
QString writeOldPaper(RunState& state, const QString& folder) {
    QImage figure(240, 160, QImage::Format_RGB32);
    figure.fill(Qt::white);
    {
        QPainter p(&figure);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(20, 80, 220, 80);
        for (int x = 40; x <= 200; x += 40)
            p.drawLine(x, 74, x, 80);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(60, 80), 4, 4);
        p.drawText(52, 104, QStringLiteral("a"));
        p.drawEllipse(QPointF(180, 80), 4, 4);
        p.drawText(174, 104, QStringLiteral("b"));
    }
    const QString figurePath = QDir(folder).filePath(QStringLiteral("数轴.png"));
    figure.save(figurePath);

    // The text of a question of the bank, typed into the old paper once more.
    Bank bank(state.BankPath);
    const QString known = bank.query(QStringLiteral("select 题目编号 from 试题库 where 题型='单选题'")).text(0, 0);
    const auto word = state.office.startWord();
    QString knownText = documentPlainText(*word, questionDocumentPath(state.BankPath, known));

    const auto doc = word->newDocument();
    doc->append(QStringLiteral("七年级数学第一章单元测试"), songStyle(16, true, TextStyle::Align::Center));
    doc->append(QStringLiteral("\r一、选择题（每小题3分，共9分）"), songStyle(12, true, TextStyle::Align::Left));
    doc->append(QStringLiteral("\r1．") + knownText, songStyle(12, false, TextStyle::Align::Left));
    doc->append(QStringLiteral("\r2．数a、b在数轴上的位置如图所示，则下列结论正确的是（　　）"));
    doc->append(QStringLiteral("\r "));
    doc->appendPicture(figurePath, 50);
    doc->append(QStringLiteral("\rA．a＞b　　B．a＋b＜0　　C．ab＞0　　D．|a|＜|b|"));
    doc->append(QStringLiteral("\r3．−5的绝对值是（　　）\rA．5　　B．−5　　C．1/5　　D．−1/5"));
    doc->append(QStringLiteral("\r二、解答题"), songStyle(12, true, TextStyle::Align::Left));
    doc->append(QStringLiteral("\r4．（8分）已知 "));
    doc->appendFormula(QStringLiteral("|x| = 3"));
    doc->append(QStringLiteral("，求x的值。"));
    doc->append(QStringLiteral("\r5．（10分）计算：\r（1）(−3)×4−(−6)；\r（2）(−2)²÷(−1/2)。"));
    doc->append(QStringLiteral("\r参考答案"), songStyle(12, true, TextStyle::Align::Left));
    doc->append(QStringLiteral("\r1．D　2．D　3．A"));
    doc->append(QStringLiteral("\r4．x＝3或x＝−3。"));
    doc->append(QStringLiteral("\r5．（1）−6；（2）−8。"));
    const QString path = QDir(folder).filePath(QStringLiteral("第一章单元测试.docx"));
    doc->saveAs(path);
    doc->close();
    word->quit();
    return path;
}

QImage paperImport(RunState& state) {
    QTemporaryDir folder;
    const QString paper = writeOldPaper(state, folder.path());
    Form_drsj screen(state);
    screen.resize(1500, 900);
    screen.show();
    static_cast<zs::ScriptedPrompts&>(state.prompts).type(paper);
    screen.Command_xzsj_Click();
    screen.Command_cfsj_Click();
    auto* tree = test::child<ScopeTreeWidget>(&screen, QStringLiteral("TreeView1"));
    const QString section = kVolume + QStringLiteral("\\1-第一章 有理数\\2-1.2 有理数");
    const int node = tree->model().findByPath(section);
    if (node >= 0) {
        for (int n = tree->model().node(node).parent; n >= 0; n = tree->model().node(n).parent)
            tree->itemOf(n)->setExpanded(true);
        tree->selectNode(node);
        tree->itemOf(node)->setCheckState(0, Qt::Checked);
        screen.TreeView1_Click();
        screen.Timer1_Timer();
        auto* candidates = test::child<QListWidget>(&screen, QStringLiteral("List_dxzsd"));
        if (candidates->count() > 0)
            screen.List_dxzsd_Click(candidates->item(0));
        screen.Timer1_Timer();
    }
    setComboText(test::child<QComboBox>(&screen, QStringLiteral("Combo_nd")), QStringLiteral("0.3"));
    setComboText(test::child<QComboBox>(&screen, QStringLiteral("Combo_stly")), QStringLiteral("1-期中考试"));
    screen.Command_yydqb_Click();
    auto* list = test::child<QTreeWidget>(&screen, QStringLiteral("List_st"));
    if (list->topLevelItemCount() > 1)
        list->setCurrentItem(list->topLevelItem(1));
    waitForPreviews(screen);
    QImage image = screen.grab().toImage();
    static_cast<zs::ScriptedPrompts&>(state.prompts).answer(Answer::Ok);
    screen.close();
    return image;
}

QImage similar(RunState& state) {
    // A question entered twice: a copy of one of the bank under a new number.
    Bank bank(state.BankPath);
    const RowSet first = bank.query(QStringLiteral("select * from 试题库 where 题型='填空题'"));
    const QString original = first.text(0, QStringLiteral("题目编号"));
    const QString copy = QStringLiteral("09001");
    QFile::copy(questionDocumentPath(state.BankPath, original), questionDocumentPath(state.BankPath, copy));
    QFile::copy(answerDocumentPath(state.BankPath, original), answerDocumentPath(state.BankPath, copy));
    bank.addRow(QStringLiteral("试题库"), {{QStringLiteral("题目编号"), copy},
                                           {QStringLiteral("考查范围"), first.value(0, QStringLiteral("考查范围"))},
                                           {QStringLiteral("题型"), first.value(0, QStringLiteral("题型"))},
                                           {QStringLiteral("难度"), first.value(0, QStringLiteral("难度"))},
                                           {QStringLiteral("知识点"), first.value(0, QStringLiteral("知识点"))},
                                           {QStringLiteral("试题识别码"), QStringLiteral("李老师-09001")}});
    const auto word = state.office.startWord();
    const SimilarityIndex index =
        bankSimilarityIndex(state.BankPath, [&](const QString& path) { return documentPlainText(*word, path); });
    word->quit();
    Form_xsst screen(state, index.similarPairs(), index);
    screen.resize(860, 420);
    return grabShown(screen);
}

// A paper of the demo bank taken by two classes of 45: its score sheet
// imported; `tab` names the page shown ("" for the class figures).
QImage results(RunState& state, const QString& tab = {}) {
    SpecTable table;
    fillTable(state, table);
    QTemporaryDir folder;
    recordGeneratedPaper(state.BankPath, table, placedRows(table), state.now(), folder.path(),
                         QDir(folder.path()).filePath(QStringLiteral("试卷.doc")));
    const int questions = int(placedRows(table).size());
    QStringList lines;
    QStringList header{QStringLiteral("考号"), QStringLiteral("姓名"), QStringLiteral("班级")};
    for (int q = 1; q <= questions; ++q)
        header << QStringLiteral("%1(%2分)").arg(q).arg(q <= 8 ? 3 : 10);
    lines << header.join(u',');
    std::mt19937 random(2026);
    for (int s = 1; s <= 90; ++s) {
        QStringList row{QString::number(20260000 + s), QStringLiteral("学生%1").arg(s),
                        s <= 45 ? QStringLiteral("七(1)班") : QStringLiteral("七(2)班")};
        const double ability = std::uniform_real_distribution<double>(0.3, 1.0)(random);
        for (int q = 1; q <= questions; ++q) {
            const double ease = 1.0 - 0.04 * (q % 9);
            row << QString::number(std::binomial_distribution<int>(q <= 8 ? 3 : 10, ability * ease)(random));
        }
        lines << row.join(u',');
    }
    const QString sheet = QDir(folder.path()).filePath(QStringLiteral("小题分.csv"));
    QFile file(sheet);
    if (file.open(QIODevice::WriteOnly))
        file.write((lines.join(u'\n') + u'\n').toUtf8());
    file.close();

    Form_drcj screen(state);
    screen.show();
    screen.resize(1040, 720);
    static_cast<zs::ScriptedPrompts&>(state.prompts).type(sheet);
    screen.Command_xzcjb_Click();
    if (!tab.isEmpty())
        test::child<QTabWidget>(&screen, QStringLiteral("Tab_fx"))
            ->setCurrentWidget(test::child<QWidget>(&screen, tab));
    settle(300);
    QImage image = screen.grab().toImage();
    screen.hide();
    return image;
}

// One student's page of a class of 45 that took a paper of the demo bank.
QImage studentReport(RunState& state) {
    SpecTable table;
    fillTable(state, table);
    QTemporaryDir folder;
    recordGeneratedPaper(state.BankPath, table, placedRows(table), state.now(), folder.path(),
                         QDir(folder.path()).filePath(QStringLiteral("试卷.doc")));
    PaperRecord paper;
    {
        Bank bank(state.BankPath);
        paper = paperRecords(bank).constFirst();
    }
    paper.title = QStringLiteral("七年级数学期中考试");
    QVector<double> fullMarks;
    for (int q = 1; q <= paper.questions.size(); ++q)
        fullMarks << (q <= 8 ? 3 : 10);
    std::mt19937 random(7);
    QVector<StudentScores> students;
    for (int s = 1; s <= 45; ++s) {
        const double ability = std::uniform_real_distribution<double>(0.3, 1.0)(random);
        QVector<double> scores;
        for (int q = 0; q < fullMarks.size(); ++q)
            scores << std::binomial_distribution<int>(int(fullMarks[q]), ability * (1.0 - 0.04 * (q % 9)))(random);
        students.push_back({QString::number(20260000 + s),
                            s == 12 ? QStringLiteral("张小明") : QStringLiteral("学生%1").arg(s),
                            QStringLiteral("七(1)班"), scores});
    }
    const ClassResults results = classResults(students, fullMarks, {});
    QVector<StudentReport> reports;
    {
        Bank bank(state.BankPath, Bank::Mode::ReadOnly);
        reports = studentReports(bank, paper, results);
    }
    const auto chosen = std::find_if(reports.cbegin(), reports.cend(),
                                     [](const StudentReport& r) { return r.student.name == QStringLiteral("张小明"); });
    const QString path = QDir(folder.path()).filePath(QStringLiteral("report.pdf"));
    writeStudentReport(*chosen, path);
    QPdfDocument pdf;
    pdf.load(path);
    const QSizeF size = pdf.pagePointSize(0);
    QImage page = pdf.render(0, QSize(794, int(794 * size.height() / size.width())));
    QImage image(page.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).drawImage(0, 0, page);
    return image;
}

// The roster of two classes, as a school's list gives it.
QImage roster(RunState& state) {
    static const QStringList family{"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
    static const QStringList given{"小明", "华", "静", "伟", "芳", "磊", "婷", "强", "敏", "洋", "丽", "杰"};
    QVector<Student> students;
    for (int s = 1; s <= 90; ++s)
        students.push_back({s <= 45 ? QStringLiteral("七(1)班") : QStringLiteral("七(2)班"),
                            QString::number(20260000 + s), family[s % 10] + given[(s * 7) % 12],
                            s % 2 ? QStringLiteral("男") : QStringLiteral("女"), QString()});
    {
        Bank bank(state.BankPath);
        saveStudents(bank, students);
    }
    Form_xsmd screen(state);
    screen.resize(640, 480);
    return grabShown(screen);
}

// A paper of the demo bank with its machine-readable answer sheet, recorded
// in the bank: 8 单选 and 2 多选 with keys, 2 填空 and 3 解答.
PaperRecord scannablePaper(RunState& state, CardLayout& layout) {
    QVector<CardSection> sections(3);
    const auto add = [&](int section, int number, const QString& type, const QString& key, int tenths) {
        sections[section].questions << cardQuestionOf(number, type, tenths, key);
    };
    sections[0].heading = QStringLiteral("一、单选题");
    for (int n = 1; n <= 8; ++n)
        add(0, n, QStringLiteral("单选题"), QString(QChar(u'A' + (n * 3) % 4)), 30);
    sections[1].heading = QStringLiteral("二、多选题");
    add(1, 9, QStringLiteral("多选题"), QStringLiteral("AB"), 40);
    add(1, 10, QStringLiteral("多选题"), QStringLiteral("ACD"), 40);
    sections[2].heading = QStringLiteral("三、解答题");
    add(2, 11, QStringLiteral("填空题"), {}, 40);
    add(2, 12, QStringLiteral("填空题"), {}, 40);
    for (int n = 13; n <= 15; ++n)
        add(2, n, QStringLiteral("解答题"), {}, 100);
    layout = layoutAnswerCard(newCardKey(), QStringLiteral("七年级数学期中考试"), sections, PaperLayout::A4Portrait);
    PaperRecord paper;
    paper.generated = state.now();
    paper.title = QStringLiteral("数学（15题）");
    Bank bank(state.BankPath);
    // The written questions are questions of the demo bank: marking shows them with their answers.
    QHash<QString, QStringList> numbers;
    for (const QString& type : {QStringLiteral("填空题"), QStringLiteral("解答题")}) {
        const RowSet found = bank.query(QStringLiteral("select distinct 题目编号 from 试题库 where 题型='") + type +
                                        QStringLiteral("' and 考查范围 like '1-初中数学%'"));
        for (int r = 0; r < found.count(); ++r)
            numbers[type] << found.text(r, 0);
    }
    for (const CardQuestion& q : layout.questions)
        paper.questions << PaperQuestion{q.number,
                                         numbers[q.type].isEmpty() ? QString() : numbers[q.type].takeFirst(),
                                         QString(),
                                         q.type,
                                         QStringLiteral("0.5"),
                                         QString(),
                                         QString::number(*q.score / 10)};
    paper.cardLayout = layout.toJson();
    savePaperRecord(bank, paper);
    return paper;
}

QHash<int, QString> studentAnswers(const CardLayout& layout, int student) {
    QHash<int, QString> answers;
    for (const CardQuestion& q : layout.questions)
        if (isObjective(q.kind))
            answers[q.number] = (student + q.number) % 4 ? q.key : QString(QChar(u'A' + (q.number + 1) % 4));
    return answers;
}

// The first page of a student's filled sheet, as the copier gives it.
QImage answerCard(RunState& state) {
    CardLayout layout;
    scannablePaper(state, layout);
    QImage page = test::filledSheet(layout, QStringLiteral("20260012"), studentAnswers(layout, 12), 150, 12).first();
    QImage image(page.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).drawImage(0, 0, page);
    return image.scaledToWidth(900, Qt::SmoothTransformation);
}

// A class of twelve scanned, with the doubtful marks listed.
std::unique_ptr<Form_smyj> scannedClass(RunState& state, QTemporaryDir& folder, PaperRecord& paper) {
    CardLayout layout;
    paper = scannablePaper(state, layout);
    QVector<QImage> pages;
    for (int s = 1; s <= 12; ++s) {
        QHash<int, QString> answers = studentAnswers(layout, s);
        if (s == 3)
            answers[2] = QStringLiteral("BC");
        QVector<QImage> sheet = test::filledSheet(layout, QString::number(20260000 + s), answers, 150, quint32(s));
        if (s == 7) {
            QImage& first = sheet[0];
            test::PencilMark light;
            light.coverage = 0.35;
            for (const CardBubble* b : layout.bubblesOf(CardBubble::Role::Option, 5))
                if (b->value == u'C')
                    test::markBubble(first, b->rect, 150, light, 77);
        }
        for (QImage& page : sheet) {
            test::ScanLook look;
            look.angleDegrees = (s % 5 - 2) * 0.7;
            look.noise = 3;
            pages << test::scanOf(page, 150, look, quint32(s));
        }
    }
    const QString pdf = QDir(folder.path()).filePath(QStringLiteral("扫描0001.pdf"));
    test::writeScanPdf(pages, 150, pdf);
    auto screen = std::make_unique<Form_smyj>(state, paper);
    screen->resize(1120, 740);
    screen->show();
    static_cast<zs::ScriptedPrompts&>(state.prompts).type(pdf);
    test::child<QPushButton>(screen.get(), "Command_wj")->click();
    return screen;
}

QImage scanReview(RunState& state) {
    QTemporaryDir folder;
    PaperRecord paper;
    const auto screen = scannedClass(state, folder, paper);
    auto* list = test::child<QListWidget>(screen.get(), "List_dq");
    for (int r = 0; r < list->count(); ++r)
        if (list->item(r)->text().contains(QStringLiteral("第2题")))
            list->setCurrentRow(r);
    return grabShown(*screen);
}

QImage markingScans(RunState& state) {
    QTemporaryDir folder;
    PaperRecord paper;
    const auto screen = scannedClass(state, folder, paper);
    Bank bank(state.BankPath);
    const CardLayout layout = CardLayout::fromJson(paperCardLayout(bank, paper.id));
    const QVector<ScannedPage> pages = scannedPages(bank, paper.id);
    const auto source =
        std::make_shared<ScanAnswerSource>(QDir(state.appDir()).filePath(QStringLiteral("扫描答卷")), paper.id, layout,
                                           pages, gatherScans(pages, layout, loadRoster(bank)));
    Form_yj marking(state, paper, source);
    marking.resize(1180, 760);
    auto* list = test::child<QListWidget>(&marking, "List_tm");
    list->setCurrentRow(2);
    return grabShown(marking);
}

// The school bank screens are filled in as a teacher would before pressing a
// button: no server is needed for the picture.
QImage schoolBank(RunState& state) {
    Form_ljxxtk screen(state);
    const QList<QPair<QString, QString>> boxes = {{QStringLiteral("Text_fwq"), QStringLiteral("192.168.1.10")},
                                                  {QStringLiteral("Text_dk"), QStringLiteral("5432")},
                                                  {QStringLiteral("Text_sjk"), QStringLiteral("初中数学组")},
                                                  {QStringLiteral("Text_yhm"), QStringLiteral("张老师")},
                                                  {QStringLiteral("Text_mm"), QStringLiteral("123456")}};
    for (const auto& [name, value] : boxes)
        test::child<QLineEdit>(&screen, name)->setText(value);
    return grabShown(screen);
}

QImage passwordReset(RunState& state) {
    Form_czmm screen(state, nullptr, QStringLiteral("李校长"));
    const QList<QPair<QString, QString>> boxes = {{QStringLiteral("Text_yljmm"), QStringLiteral("123456")},
                                                  {QStringLiteral("Text_smyhm"), QStringLiteral("张老师")},
                                                  {QStringLiteral("Text_xmm"), QStringLiteral("654321")},
                                                  {QStringLiteral("Text_qqrxmm"), QStringLiteral("654321")}};
    for (const auto& [name, value] : boxes)
        test::child<QLineEdit>(&screen, name)->setText(value);
    return grabShown(screen);
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
        {QStringLiteral("type-scores"), QStringLiteral("分值设置"), typeScores},
        {QStringLiteral("paper-settings"), QStringLiteral("试卷设置"), paperSettings},
        {QStringLiteral("generation"), QStringLiteral("生成试卷"), generation},
        {QStringLiteral("tkfx-export"), QStringLiteral("题库导出"), [](RunState& s) { return sharing(s, false); }},
        {QStringLiteral("tkfx-import"), QStringLiteral("题库导入"), [](RunState& s) { return sharing(s, true); }},
        {QStringLiteral("paperimport"), QStringLiteral("导入试卷"), paperImport},
        {QStringLiteral("similar"), QStringLiteral("相似试题"), similar},
        {QStringLiteral("results"), QStringLiteral("导入成绩：小题分析"), [](RunState& s) { return results(s); }},
        {QStringLiteral("results-students"), QStringLiteral("导入成绩：学生成绩"),
         [](RunState& s) { return results(s, QStringLiteral("Page_xscj")); }},
        {QStringLiteral("roster"), QStringLiteral("学生名单"), roster},
        {QStringLiteral("student-report"), QStringLiteral("学生报告"), studentReport},
        {QStringLiteral("answer-card"), QStringLiteral("机读答题卡（学生填涂后）"), answerCard},
        {QStringLiteral("scan-review"), QStringLiteral("扫描阅卷：待确认"), scanReview},
        {QStringLiteral("marking-scans"), QStringLiteral("阅卷：扫描的解答题"), markingScans},
        {QStringLiteral("schoolbank"), QStringLiteral("连接学校题库"), schoolBank},
        {QStringLiteral("password-reset"), QStringLiteral("重设密码"), passwordReset},
    };
}

}  // namespace shots
