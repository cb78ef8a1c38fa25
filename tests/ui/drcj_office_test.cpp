// The results screen from the main menu, on a real bank (a file bank and a
// school bank) with a recorded paper and a score sheet read by the real
// LibreOffice.

#include "marking/markedsheet.h"
#include "marking/marks.h"
#include "paper/paperrecord.h"
#include "results/roster.h"
#include "store/bank.h"
#include "support/pgcluster.h"
#include "support/samplebank.h"
#include "support/testsupport.h"
#include "ui/common/qtprompts.h"
#include "ui/compose/Form_sdzj.h"
#include "ui/questions/Form_stckxg.h"
#include "ui/results/Form_drcj.h"
#include "ui/results/Form_xsmd.h"
#include "ui/start/Form_zjm.h"

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace zs;

namespace {

QString number(int i) {
    return QString::number(i).rightJustified(5, '0');
}

// Questions 1..8 in the bank: odd ones test 1-A, even ones 2-B; questions
// 1..4 stand in a generated paper whose folder is on the desktop. The bank is
// the application folder's or a school bank the teacher is connected to.
class ResultsScreen : public ::testing::TestWithParam<test::StoreKind> {
protected:
    void SetUp() override {
        if (GetParam() == test::StoreKind::Server) {
            const QString location = test::newBank(test::StoreKind::Server, serverFolder);
            if (location.isEmpty())
                GTEST_SKIP() << test::PostgresCluster::unavailableReason().toStdString();
            app.state().SchoolBank = location;
            app.state().resetBankPath();
        }
        bankPath = app.state().BankPath;
        Bank bank(bankPath);
        test::addSampleCatalogue(bank);
        SpecTable table(4);
        for (int q = 1; q <= 8; ++q) {
            const QString points = q % 2 ? "1-A" : "2-B";
            test::addSampleQuestion(
                bank, {number(q), "张三-" + number(q), "单选题", "0.5", {}, {{test::kSection11, points}}});
            if (q <= 4)
                table.fillRow(q, number(q), "张三-" + number(q), "单选题", "0.5", test::kSection11, points);
        }
        folder = QDir(app.desktopFolder.path()).filePath("试卷方案-琢石-试题库-2026年03月05日-09时00分");
        QDir().mkpath(folder);
        ASSERT_EQ(recordGeneratedPaper(bankPath, table, {1, 2, 3, 4}, QDateTime(QDate(2026, 3, 5), QTime(9, 0)), folder,
                                       folder + "/试卷.doc"),
                  "");
        // 20 students: question 1 (3 marks) goes well, question 2 badly,
        // question 4 is missing from the sheet, one student is absent and
        // one has text in a score cell.
        QStringList lines{"考号,姓名,1(3分),1选项,T2(4分),第3题"};
        for (int s = 0; s < 20; ++s)
            lines << QString("%1,学生%1,%2,%3,%4,%5")
                         .arg(s)
                         .arg(s < 18 ? 3 : 0)
                         .arg(s < 18 ? "B" : "C")
                         .arg(s % 5 == 0 ? 4 : 0)
                         .arg(s % 2 ? 2 : 1);
        lines << "20,缺考,,,,"
              << "21,乙,3,B,缺,1";
        sheet = app.folder.file("小题分.csv");
        QFile f(sheet);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((lines.join('\n') + '\n').toUtf8());
    }

    // The sheet names three of the paper's four questions: the teacher confirms the mapping.
    void confirmMapping(Form_drcj& screen) {
        auto* confirm = test::child<QPushButton>(&screen, "Command_qrdy");
        ASSERT_TRUE(confirm->isEnabled());
        confirm->click();
        ASSERT_FALSE(screen.results().isEmpty());
    }

    test::TempFolder serverFolder;
    test::TestApp app;
    QString bankPath, folder, sheet;
};

ZS_BOTH_STORES(ResultsScreen);

}  // namespace

TEST_P(ResultsScreen, TheMainMenuOpensIt) {
    Form_zjm menu(app.state());
    EXPECT_EQ(test::child<QPushButton>(&menu, "Command_drcj")->text(), "导入成绩");
    test::ModalScreens modal(app.state());
    int opened = 0;
    modal.on<Form_drcj>([&](Form_drcj& s) {
        ++opened;
        EXPECT_EQ(s.windowTitle(), "导入成绩");
        EXPECT_EQ(test::child<QComboBox>(&s, "Combo_sj")->itemText(0), "2026-03-05 09:00  数学（4题）");
    });
    test::child<QPushButton>(&menu, "Command_drcj")->click();
    test::child<QAction>(&menu, "drcj")->trigger();
    EXPECT_EQ(opened, 2);
}

TEST_P(ResultsScreen, ASheetIsMappedCheckedAndMeasured) {
    Form_drcj screen(app.state());
    screen.resize(1040, 680);
    app.prompts.type(sheet);
    test::child<QPushButton>(&screen, "Command_xzcjb")->click();
    // Every kind is offered by its name, and the dialog gets Qt's form of it.
    const PromptRecord dialog = [&] {
        for (auto r = app.prompts.records().crbegin(); r != app.prompts.records().crend(); ++r)
            if (!r->filter.isEmpty())
                return *r;
        return PromptRecord{};
    }();
    EXPECT_EQ(dialog.filter,
              "成绩表|*.xlsx;*.xls;*.csv|Excel 工作簿|*.xlsx|Excel 97-2003 工作簿|*.xls|CSV 文件（逗号分隔）|*.csv");
    EXPECT_EQ(QtPrompts::qtFilter(dialog.filter),
              "成绩表 (*.xlsx *.xls *.csv);;Excel 工作簿 (*.xlsx);;Excel 97-2003 工作簿 (*.xls);;"
              "CSV 文件（逗号分隔） (*.csv)");
    // A filter already in Qt's form passes unchanged (it used to become "All Files").
    EXPECT_EQ(QtPrompts::qtFilter("成绩表 (*.xls *.csv)"), "成绩表 (*.xls *.csv)");
    EXPECT_EQ(QtPrompts::qtFilter("Access数据库文件|*.mdb;*.Access"), "Access数据库文件 (*.mdb *.Access)");
    EXPECT_EQ(test::child<QLabel>(&screen, "Label_cjb")->text(), "成绩表：小题分.csv");
    EXPECT_EQ(test::child<QLabel>(&screen, "Label_xsrs")->text(), "学生人数：20（缺考 1）");
    // Three questions in the sheet, four in the paper: the mapping waits for the teacher.
    const QString mismatch =
        "成绩表中有 3 道小题的分数列，而这份试卷有 4 道题，对应关系不一定对。\r\r请在<对应关系>中核对每道"
        "题对应的列，确认无误后点<确认对应关系>，然后才能看统计结果和更新难度。";
    EXPECT_EQ(app.prompts.lastMessage(), mismatch);
    EXPECT_EQ(test::child<QLabel>(&screen, "Label_dyts")->text(), mismatch);
    EXPECT_EQ(test::child<QTabWidget>(&screen, "Tab_fx")->currentWidget()->objectName(), "Page_dygx");
    EXPECT_FALSE(test::child<QPushButton>(&screen, "Command_gxnd")->isEnabled());
    EXPECT_FALSE(test::child<QPushButton>(&screen, "Command_dcfx")->isEnabled());
    EXPECT_TRUE(screen.results().isEmpty());
    EXPECT_EQ(test::child<QTableWidget>(&screen, "MSFlexGrid_xtfx")->rowCount(), 0);
    confirmMapping(screen);
    EXPECT_TRUE(test::child<QLabel>(&screen, "Label_dyts")->text().isEmpty());
    EXPECT_FALSE(test::child<QPushButton>(&screen, "Command_qrdy")->isEnabled());

    auto* mapping = test::child<QTableWidget>(&screen, "MSFlexGrid_dygx");
    ASSERT_EQ(mapping->rowCount(), 4);
    EXPECT_EQ(test::child<QComboBox>(&screen, "Combo_cjl_2")->currentText(), "T2(4分)");
    EXPECT_EQ(test::child<QComboBox>(&screen, "Combo_xxl_1")->currentText(), "1选项");
    EXPECT_EQ(mapping->item(0, Form_drcj::MapFullMark)->text(), "3");
    EXPECT_EQ(mapping->item(2, Form_drcj::MapFullMark)->text(), "");  // the highest score seen counts
    EXPECT_EQ(mapping->item(3, Form_drcj::MapProblem)->text(), "没有对应的列");
    EXPECT_EQ(mapping->item(1, Form_drcj::MapProblem)->text(), "1 个无效的分数");
    const QStringList problems = [&] {
        QStringList out;
        auto* list = test::child<QListWidget>(&screen, "List_wt");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }();
    EXPECT_TRUE(problems.contains("第 4 题在成绩表中没有对应的列，不参加统计。")) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems.contains("第 23 行“T2(4分)”列：“缺”不是分数")) << problems.join('\n').toStdString();

    // The figures beside the paper's questions, and the chart.
    EXPECT_EQ(test::child<QTabWidget>(&screen, "Tab_fx")->currentWidget()->objectName(), "Page_bjgk");
    auto* figures = test::child<QTableWidget>(&screen, "MSFlexGrid_xtfx");
    ASSERT_EQ(figures->rowCount(), 4);
    EXPECT_EQ(figures->item(0, 1)->text(), "00001");
    EXPECT_EQ(figures->item(0, 8)->text(), "90.0%");  // 18 × 3 of 20 × 3
    EXPECT_EQ(figures->item(0, 9)->text(), "0.90");   // 难度系数: the share of points
    EXPECT_EQ(figures->item(0, 10)->text(), "0.1");   // the bank's measured difficulty
    EXPECT_EQ(figures->item(1, 8)->text(), "20.0%");  // 4 of 20 students, 4 marks each
    EXPECT_EQ(figures->item(1, 10)->text(), "0.8");
    EXPECT_EQ(figures->item(0, 12)->text(), "B 90.0%  C 10.0%");
    EXPECT_TRUE(test::child<QLabel>(&screen, "Label_ndsm")->text().startsWith("难度系数就是得分率"));

    // The class first: totals over questions 1-3 (9 marks) of the 20 students
    // that count, from 1 to 9, mean 5.
    EXPECT_EQ(test::child<QLabel>(&screen, "Label_bjgk")->text().toStdString(),
              "全班 20 人，满分 9 分\n平均分 5.0　　最高分 9　　最低分 1\n"
              "及格率 20.0%（5.4 分及以上）　　优秀率 20.0%（7.65 分及以上）");
    test::child<QSpinBox>(&screen, "Spin_yxx")->setValue(50);
    EXPECT_TRUE(test::child<QLabel>(&screen, "Label_bjgk")->text().endsWith("优秀率 55.0%（4.5 分及以上）"))
        << test::child<QLabel>(&screen, "Label_bjgk")->text().toStdString();
    auto* bands = screen.bandChart();
    ASSERT_EQ(bands->chart()->series().size(), 1);
    auto* bandBars = qobject_cast<QBarSeries*>(bands->chart()->series().first());
    ASSERT_NE(bandBars, nullptr);
    EXPECT_DOUBLE_EQ(bandBars->barSets().first()->at(0), 20.0);  // one band, 0-9
    EXPECT_EQ(figures->item(3, 8)->text(), "未统计");
    auto* chart = screen.findChild<QChartView*>("Chart_dfl");
    ASSERT_NE(chart, nullptr);
    ASSERT_EQ(chart->chart()->series().size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(chart->chart()->series().first());
    ASSERT_NE(bars, nullptr);
    EXPECT_DOUBLE_EQ(bars->barSets().first()->at(0), 90.0);
    auto* points = test::child<QTableWidget>(&screen, "MSFlexGrid_zsdfx");
    ASSERT_EQ(points->rowCount(), 2);
    EXPECT_EQ(points->item(0, 0)->text(), "2-B");  // question 2 only: 20 %
    EXPECT_EQ(points->item(0, 3)->text(), "薄弱");

    // A picture to look at.
    screen.show();
    QCoreApplication::processEvents();
    const QString shots = qEnvironmentVariable("ZS_SHOTS_DIR");
    if (!shots.isEmpty()) {
        screen.grab().save(QDir(shots).filePath("drcj-bjgk.png"));
        test::child<QTabWidget>(&screen, "Tab_fx")->setCurrentWidget(test::child<QWidget>(&screen, "Page_xtfx"));
        QCoreApplication::processEvents();
        screen.grab().save(QDir(shots).filePath("drcj-xtfx.png"));
        test::child<QTabWidget>(&screen, "Tab_fx")->setCurrentIndex(0);
        QCoreApplication::processEvents();
        screen.grab().save(QDir(shots).filePath("drcj-dygx.png"));
        test::child<QTabWidget>(&screen, "Tab_fx")->setCurrentIndex(3);
        QCoreApplication::processEvents();
        screen.grab().save(QDir(shots).filePath("drcj-zsdfx.png"));
    }

    // The teacher maps question 4 to the column of question 3 by hand.
    test::child<QComboBox>(&screen, "Combo_cjl_4")->setCurrentIndex(6);
    EXPECT_EQ(mapping->item(3, Form_drcj::MapProblem)->text(), "");
    EXPECT_EQ(figures->item(3, 8)->text(), figures->item(2, 8)->text());
    // and states a full mark that some scores exceed.
    mapping->item(3, Form_drcj::MapFullMark)->setText("1");
    EXPECT_EQ(mapping->item(3, Form_drcj::MapProblem)->text(), "10 个无效的分数");
    EXPECT_EQ(test::child<QLabel>(&screen, "Label_xsrs")->text(), "学生人数：10（缺考 1）");
}

TEST_P(ResultsScreen, TheBankIsUpdatedOnlyOnConfirmation) {
    Form_drcj screen(app.state());
    app.prompts.type(sheet);
    test::child<QPushButton>(&screen, "Command_xzcjb")->click();
    confirmMapping(screen);
    app.prompts.clear();
    app.prompts.answer(Answer::No);
    test::child<QPushButton>(&screen, "Command_gxnd")->click();
    EXPECT_EQ(
        app.prompts.records().first().text,
        "将按本次 20 名学生的成绩，把 3 道题的实测难度写入试题库，原来的难度保存在难度历史中。\r确定要更新难度吗？");
    auto difficulty = [&](int q) {
        return Bank(bankPath).query("select 难度 from 试题库 where 题目编号='" + number(q) + "'").text(0, 0);
    };
    EXPECT_EQ(difficulty(1), "0.5");

    app.prompts.answer(Answer::Yes);
    test::child<QPushButton>(&screen, "Command_gxnd")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已经按成绩更新了 3 道题的难度，其中 3 道题的难度等级有变化。");
    EXPECT_EQ(difficulty(1), "0.1");
    EXPECT_EQ(difficulty(2), "0.8");
    EXPECT_EQ(difficulty(3), "0.3");  // a mean of 1.5 over the highest score seen, 2
    EXPECT_EQ(difficulty(4), "0.5");  // not in the sheet
    EXPECT_EQ(Bank(bankPath).query("select * from 难度历史").count(), 3);

    // The update can be undone, once, after a question.
    auto* undo = test::child<QPushButton>(&screen, "Command_cxgxnd");
    EXPECT_TRUE(undo->isEnabled());
    app.prompts.clear();
    app.prompts.answer(Answer::Yes);
    undo->click();
    EXPECT_EQ(app.prompts.lastMessage(), "已经撤销这份试卷的上一次更新难度：3 道题恢复了原来的难度。");
    EXPECT_EQ(difficulty(1), "0.5");
    EXPECT_EQ(difficulty(2), "0.5");
    EXPECT_EQ(Bank(bankPath).query("select * from 难度历史").count(), 6);  // the history keeps both
    EXPECT_FALSE(undo->isEnabled());

    // 查看修改 shows a question's history.
    Form_stckxg browse(app.state());
    browse.Form_Activate();
    app.prompts.type("00002");
    browse.Command_dwdthsbm_Click();
    app.prompts.clear();
    test::child<QPushButton>(&browse, "Command_ndls")->click();
    const QString shown = app.prompts.lastMessage();
    EXPECT_TRUE(shown.startsWith("第 00002 题的难度历史：\r\r")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(" 0.5 → 0.8（试卷：2026-03-05 09:00  数学（4题））")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(" 0.8 → 0.5（撤销按试卷：")) << shown.toStdString();
}

TEST_P(ResultsScreen, FollowUpPracticeOnTheWeakPointsAndTheAnalysisWorkbook) {
    Form_drcj screen(app.state());
    app.prompts.type(sheet);
    test::child<QPushButton>(&screen, "Command_xzcjb")->click();
    confirmMapping(screen);

    test::ModalScreens modal(app.state());
    QStringList numbers;
    modal.on<Form_sdzj>([&](Form_sdzj& s) {
        for (int r = 1; r < s.table().rows(); ++r)
            numbers << s.table().cell(r, SpecTable::QuestionNumber);
    });
    app.prompts.clear();
    app.prompts.type("9");
    test::child<QPushButton>(&screen, "Command_scbjlx")->click();
    EXPECT_EQ(app.prompts.lastMessage(), "输入的值不在 [0~4] 之间！输入无效！");
    EXPECT_TRUE(numbers.isEmpty());
    EXPECT_EQ(app.prompts.records().first().text,
              "与薄弱知识点【2-B、1-A】有关的题目（本试卷的题除外）一共有  【4】 道!\r你准备选择几道？");

    app.prompts.type("3");
    test::child<QPushButton>(&screen, "Command_scbjlx")->click();
    // The weakest point first, then the points in turn; none of the paper's questions.
    EXPECT_EQ(numbers, QStringList({"00006", "00005", "00008"}));

    app.prompts.clear();
    test::child<QPushButton>(&screen, "Command_dcfx")->click();
    const QStringList files = QDir(folder).entryList({"成绩分析-*.xls"});
    ASSERT_EQ(files.size(), 1) << app.prompts.lastMessage().toStdString();
    EXPECT_EQ(app.desktop.openedFiles.last(), QDir(folder).filePath(files.first()));
    const auto calc = test::office().startSpreadsheet();
    const auto book = calc->open(QDir(folder).filePath(files.first()));
    EXPECT_EQ(book->cellText("知识点分析", 2, 1), "2-B");
    EXPECT_EQ(book->cellText("小题分析", 2, 9), "90.0%");
}

TEST_P(ResultsScreen, ASheetWithMoreQuestionsThanThePaperWaitsForTheTeacher) {
    // Six questions in the sheet for the paper's four: nothing is computed
    // or written until the teacher has confirmed what goes where.
    QStringList lines{"考号,姓名,1,2,3,4,5,6"};
    for (int s = 0; s < 10; ++s)
        lines << QString("%1,学生%1,1,0,1,0,1,0").arg(s);
    const QString wide = app.folder.file("十二列.csv");
    QFile f(wide);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write((lines.join('\n') + '\n').toUtf8());
    f.close();

    Form_drcj screen(app.state());
    app.prompts.type(wide);
    test::child<QPushButton>(&screen, "Command_xzcjb")->click();
    EXPECT_TRUE(app.prompts.lastMessage().startsWith("成绩表中有 6 道小题的分数列，而这份试卷有 4 道题"))
        << app.prompts.lastMessage().toStdString();
    EXPECT_TRUE(screen.results().isEmpty());
    auto* update = test::child<QPushButton>(&screen, "Command_gxnd");
    EXPECT_FALSE(update->isEnabled());
    EXPECT_FALSE(test::child<QPushButton>(&screen, "Command_scbjlx")->isEnabled());
    // Changing the mapping alone does not confirm it.
    test::child<QComboBox>(&screen, "Combo_cjl_4")->setCurrentIndex(7);
    EXPECT_TRUE(screen.results().isEmpty());
    EXPECT_FALSE(update->isEnabled());
    auto difficulty = [&](int q) {
        return Bank(bankPath).query("select 难度 from 试题库 where 题目编号='" + number(q) + "'").text(0, 0);
    };
    app.prompts.answer(Answer::Yes);
    screen.Command_gxnd_Click();
    EXPECT_EQ(difficulty(1), "0.5");

    test::child<QPushButton>(&screen, "Command_qrdy")->click();
    EXPECT_EQ(test::child<QTabWidget>(&screen, "Tab_fx")->currentWidget()->objectName(), "Page_bjgk");
    ASSERT_EQ(screen.results().size(), 4);
    EXPECT_TRUE(update->isEnabled());

    // Another paper or sheet asks again.
    app.prompts.type(wide);
    test::child<QPushButton>(&screen, "Command_xzcjb")->click();
    EXPECT_TRUE(screen.results().isEmpty());
    EXPECT_TRUE(test::child<QPushButton>(&screen, "Command_qrdy")->isEnabled());
}

TEST_P(ResultsScreen, StudentsByClassTheClassWorkbookAndOnePagePerStudent) {
    {
        Bank bank(bankPath);
        QVector<Student> roster;
        for (int s = 0; s < 22; ++s)
            roster.push_back({s < 10 ? "七(1)班" : "七(2)班", QString::number(s), "学生" + QString::number(s), "", ""});
        roster[3].name = "王小明";
        saveStudents(bank, roster);
    }
    Form_drcj screen(app.state());
    app.prompts.type(sheet);
    test::child<QPushButton>(&screen, "Command_xzcjb")->click();
    confirmMapping(screen);
    const int counted = screen.check().students();
    ASSERT_EQ(screen.handBack().students.size(), counted);
    auto* classes = test::child<QComboBox>(&screen, "Combo_bj");
    ASSERT_EQ(classes->count(), 3);
    EXPECT_EQ(classes->itemText(2), "七(2)班");
    // The roster names the students the sheet lists by 考号.
    const auto wang = std::find_if(screen.handBack().students.cbegin(), screen.handBack().students.cend(),
                                   [](const StudentResult& s) { return s.examNumber == "3"; });
    ASSERT_NE(wang, screen.handBack().students.cend());
    EXPECT_EQ(wang->name, "王小明");
    EXPECT_EQ(wang->className, "七(1)班");
    EXPECT_TRUE(test::child<QLabel>(&screen, "Label_mdts")->text().isEmpty());

    // One class's figures; the whole year's stay for the difficulties.
    const int all = screen.results().first().students;
    classes->setCurrentIndex(1);
    EXPECT_EQ(screen.results().first().students, 10);
    EXPECT_EQ(test::child<QTableWidget>(&screen, "MSFlexGrid_xscj")->rowCount(), 10);
    classes->setCurrentIndex(0);
    EXPECT_EQ(screen.results().first().students, all);

    app.prompts.clear();
    test::child<QPushButton>(&screen, "Command_dcbjcj")->click();
    const QStringList books = QDir(folder).entryList({"班级成绩-*.xls"});
    ASSERT_EQ(books.size(), 1) << app.prompts.lastMessage().toStdString();
    {
        const auto calc = test::office().startSpreadsheet();
        const auto book = calc->open(QDir(folder).filePath(books.first()));
        EXPECT_EQ(book->cellText("学生成绩", 2, 2), "姓名");
        EXPECT_EQ(book->usedArea("学生成绩").rows, counted + 2);
        EXPECT_EQ(book->cellText("班级平均", 5, 1), "全体");
    }

    app.prompts.clear();
    test::child<QPushButton>(&screen, "Command_xsbg")->click();
    const QStringList reports = QDir(folder).entryList({"学生报告-*"}, QDir::Dirs);
    ASSERT_EQ(reports.size(), 1) << app.prompts.lastMessage().toStdString();
    const QDir reportDir(QDir(folder).filePath(reports.first()));
    EXPECT_EQ(reportDir.entryList({"*.pdf"}).size(), counted);
    EXPECT_TRUE(reportDir.exists("3-王小明.pdf"));
    EXPECT_EQ(app.desktop.openedFiles.last(), reportDir.path());
}

TEST_P(ResultsScreen, TheRosterIsEditedInPlaceAndRefusesATakenNumber) {
    {
        Bank bank(bankPath);
        saveStudents(bank, {{"七(1)班", "1", "学生1", "", ""}, {"七(1)班", "2", "学生2", "", ""}});
    }
    Form_drcj results(app.state());
    test::ModalScreens modal(app.state());
    bool opened = false;
    modal.on<Form_xsmd>([&](Form_xsmd& s) {
        opened = true;
        auto* grid = test::child<QTableWidget>(&s, "MSFlexGrid_xsmd");
        ASSERT_EQ(grid->rowCount(), 2);
        grid->item(0, Form_xsmd::NameColumn)->setText("王小明");
        // A new row waits for its name; then its taken 考号 is refused and
        // the row stays unsaved.
        test::child<QPushButton>(&s, "Command_tjxs")->click();
        ASSERT_EQ(grid->rowCount(), 3);
        const qsizetype before = app.prompts.records().size();
        grid->item(2, Form_xsmd::ExamColumn)->setText("2");
        EXPECT_EQ(app.prompts.records().size(), before);
        grid->item(2, Form_xsmd::NameColumn)->setText("李华");
        EXPECT_EQ(app.prompts.lastMessage(), "考号 2 已经是 学生2 的考号。");
        grid->item(2, Form_xsmd::ExamColumn)->setText("3");
        EXPECT_EQ(s.roster().size(), 3);
        grid->item(2, Form_xsmd::ClassColumn)->setText("七(1)班");
        // Removing a student asks first.
        grid->selectRow(1);
        app.prompts.answer(Answer::Yes);
        test::child<QPushButton>(&s, "Command_scxs")->click();
        EXPECT_EQ(s.roster().size(), 2);
    });
    test::child<QPushButton>(&results, "Command_xsmd")->click();
    ASSERT_TRUE(opened);
    Bank bank(bankPath);
    const QVector<Student> roster = loadRoster(bank);
    ASSERT_EQ(roster.size(), 2);
    EXPECT_EQ(roster[0], (Student{"七(1)班", "1", "王小明", "", ""}));
    EXPECT_EQ(roster[1], (Student{"七(1)班", "3", "李华", "", ""}));
}

TEST_P(ResultsScreen, APaperMarkedFromScansAndOnScreenShowsItsResultsWithoutASheet) {
    Bank bank(bankPath);
    const PaperRecord paper = paperRecords(bank).first();
    {
        Form_drcj screen(app.state());
        test::child<QPushButton>(&screen, "Command_yjcj")->click();
        EXPECT_EQ(app.prompts.lastMessage(), "这份试卷还没有扫描或阅卷的成绩。");
        EXPECT_TRUE(screen.results().isEmpty());
    }
    ensureMarkTables(bank);
    bank.setSetting(markingFullMarkSetting(paper.id, 4), "10");
    for (int s = 0; s < 6; ++s)
        for (int q = 1; q <= 4; ++q)
            storeMark(bank, paper.id,
                      {QString::number(100 + s), q, double(q == 4 ? s : s % 2), s == 5 && q == 4, "张老师", {}});
    saveStudents(bank, {{"七(3)班", "101", "王小明", "", ""}});
    Form_drcj screen(app.state());
    EXPECT_EQ(test::child<QLabel>(&screen, "Label_cjb")->text(), "成绩：扫描和阅卷");
    // Five students count; the one whose answer was set aside is named.
    EXPECT_EQ(screen.check().students(), 5);
    EXPECT_TRUE(screen.check().problems.join(' ').contains("没有分数"))
        << screen.check().problems.join(' ').toStdString();
    ASSERT_EQ(screen.results().size(), 4);
    EXPECT_DOUBLE_EQ(screen.results()[3].fullMark, 10);
    EXPECT_DOUBLE_EQ(screen.results()[3].mean, 2);  // (0 + 1 + 2 + 3 + 4) / 5
    const auto wang = std::find_if(screen.handBack().students.cbegin(), screen.handBack().students.cend(),
                                   [](const StudentResult& s) { return s.examNumber == "101"; });
    ASSERT_NE(wang, screen.handBack().students.cend());
    EXPECT_EQ(wang->name, "王小明");
    EXPECT_EQ(wang->className, "七(3)班");
}
