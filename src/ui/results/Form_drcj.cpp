#include "ui/results/Form_drcj.h"

#include "app/runstate.h"
#include "marking/markedsheet.h"
#include "paper/smartsort.h"
#include "paper/specworkbook.h"
#include "results/resultsworkbook.h"
#include "results/studentreport.h"
#include "store/bank.h"
#include "ui/common/screens.h"
#include "ui/compose/Form_sdzj.h"
#include "ui/results/Form_smyj.h"
#include "ui/results/Form_xsmd.h"
#include "ui_Form_drcj.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

namespace zs {

namespace {

const QColor kProblemColour(255, 199, 206);
const QColor kWeakColour(255, 199, 206);

QString markText(double mark) {
    return mark > 0 ? QString::number(mark) : QString();
}

void fillGrid(QTableWidget* grid, const QList<QStringList>& rows) {
    grid->clear();
    grid->setRowCount(rows.isEmpty() ? 0 : int(rows.size()) - 1);
    grid->setColumnCount(rows.isEmpty() ? 0 : int(rows.first().size()));
    if (rows.isEmpty())
        return;
    grid->setHorizontalHeaderLabels(rows.first());
    for (int r = 1; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            grid->setItem(r - 1, c, new QTableWidgetItem(rows[r][c]));
    grid->verticalHeader()->setVisible(false);
    grid->resizeColumnsToContents();
}

}  // namespace

Form_drcj::Form_drcj(RunState& state, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_drcj>()), state_(state) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    chart_ = new QChartView(ui->Frame_tb);
    chart_->setObjectName(QStringLiteral("Chart_dfl"));
    chart_->setRenderHint(QPainter::Antialiasing);
    auto* chartLayout = new QVBoxLayout(ui->Frame_tb);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(chart_);
    bandChart_ = new QChartView(ui->Frame_fsd);
    bandChart_->setObjectName(QStringLiteral("Chart_fsd"));
    bandChart_->setRenderHint(QPainter::Antialiasing);
    auto* bandLayout = new QVBoxLayout(ui->Frame_fsd);
    bandLayout->setContentsMargins(0, 0, 0, 0);
    bandLayout->addWidget(bandChart_);
    QFont figures = ui->Label_bjgk->font();
    figures.setPointSizeF(figures.pointSizeF() * 1.25);
    ui->Label_bjgk->setFont(figures);
    connect(ui->Spin_jgx, &QSpinBox::valueChanged, this, &Form_drcj::showClassResult);
    connect(ui->Spin_yxx, &QSpinBox::valueChanged, this, &Form_drcj::showClassResult);

    connect(ui->Combo_sj, &QComboBox::currentIndexChanged, this, &Form_drcj::Combo_sj_Click);
    connect(ui->Command_xzcjb, &QPushButton::clicked, this, &Form_drcj::Command_xzcjb_Click);
    connect(ui->Command_gxnd, &QPushButton::clicked, this, &Form_drcj::Command_gxnd_Click);
    connect(ui->Command_qrdy, &QPushButton::clicked, this, &Form_drcj::Command_qrdy_Click);
    connect(ui->Command_cxgxnd, &QPushButton::clicked, this, &Form_drcj::Command_cxgxnd_Click);
    connect(ui->Command_scbjlx, &QPushButton::clicked, this, &Form_drcj::Command_scbjlx_Click);
    connect(ui->Command_dcfx, &QPushButton::clicked, this, &Form_drcj::Command_dcfx_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_drcj::Command_tc_Click);
    connect(ui->Combo_bj, &QComboBox::currentIndexChanged, this, &Form_drcj::Combo_bj_Click);
    connect(ui->Command_dcbjcj, &QPushButton::clicked, this, &Form_drcj::Command_dcbjcj_Click);
    connect(ui->Command_xsbg, &QPushButton::clicked, this, &Form_drcj::Command_xsbg_Click);
    connect(ui->Command_xsmd, &QPushButton::clicked, this, &Form_drcj::Command_xsmd_Click);
    connect(ui->Command_yjcj, &QPushButton::clicked, this, &Form_drcj::Command_yjcj_Click);
    connect(ui->Command_smyj, &QPushButton::clicked, this, &Form_drcj::Command_smyj_Click);
    connect(ui->MSFlexGrid_dygx, &QTableWidget::itemChanged, this, [this] {
        if (!filling_) {
            readMapping();
            runCheck();
        }
    });
    Form_Load();
}

Form_drcj::~Form_drcj() = default;

void Form_drcj::Form_Load() {
    state_.resetBankPath();
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        papers_ = paperRecords(bank);
        roster_ = loadRoster(bank);
    });
    filling_ = true;
    for (const PaperRecord& p : papers_)
        ui->Combo_sj->addItem(p.listText());
    filling_ = false;
    // A paper marked from scans or on screen shows its results at once.
    Combo_sj_Click();
}

const PaperRecord* Form_drcj::paper() const {
    const int i = ui->Combo_sj->currentIndex();
    return i >= 0 && i < papers_.size() ? &papers_[i] : nullptr;
}

void Form_drcj::Combo_sj_Click() {
    if (filling_)
        return;
    // The marks follow the chosen paper; a typed sheet stays until another is chosen.
    if (sheet_.path.isEmpty() || sheet_.path == kMarkedSheetName) {
        loadMarkedSheet();
        ui->Label_cjb->setText(sheet_.path.isEmpty() ? QStringLiteral("成绩表：（还没有选择）")
                                                     : QStringLiteral("成绩：扫描和阅卷"));
    }
    const PaperRecord* p = paper();
    QStringList scores;
    if (p)
        for (const PaperQuestion& q : p->questions)
            scores << q.score;
    mapping_ = automaticMapping(sheet_, p ? int(p->questions.size()) : 0, scores);
    const QString mismatch = p && !sheet_.path.isEmpty()
                                 ? questionCountMismatch(sheetQuestionCount(sheet_), int(p->questions.size()))
                                 : QString();
    mappingConfirmed_ = mismatch.isEmpty();
    ui->Label_dyts->setText(mismatch);
    ui->Command_qrdy->setEnabled(!mappingConfirmed_);
    showMapping();
    runCheck();
}

void Form_drcj::Command_qrdy_Click() {
    if (mappingConfirmed_)
        return;
    mappingConfirmed_ = true;
    ui->Label_dyts->clear();
    ui->Command_qrdy->setEnabled(false);
    runCheck();
    if (check_.refusal.isEmpty())
        ui->Tab_fx->setCurrentWidget(ui->Page_bjgk);
    else
        state_.prompts.show(check_.refusal);
}

void Form_drcj::Command_xzcjb_Click() {
    if (!paper()) {
        state_.prompts.show(
            QStringLiteral("还没有生成过试卷，无法导入成绩。\r请先组卷并生成试卷，考试后再导入成绩表。"));
        return;
    }
    const QString file = state_.prompts.openFile(kScoreSheetFilter, QStringLiteral("选择成绩表"));
    if (file.isEmpty())
        return;
    ScoreSheet sheet;
    const bool read = guarded(state_, [&] {
        const WaitCursor wait;
        sheet = readScoreSheet(state_.office, file);
    });
    if (!read)
        return;
    sheet_ = sheet;
    ui->Label_cjb->setText(QStringLiteral("成绩表：") + QFileInfo(file).fileName());
    Combo_sj_Click();
    // The class's figures first; the mapping when the sheet cannot be read as
    // it is, or when its questions are not the paper's.
    ui->Tab_fx->setCurrentWidget(check_.refusal.isEmpty() && mappingConfirmed_ ? ui->Page_bjgk : ui->Page_dygx);
    if (!check_.refusal.isEmpty())
        state_.prompts.show(check_.refusal);
    else if (!mappingConfirmed_)
        state_.prompts.message(ui->Label_dyts->text(), Buttons::Ok, Icon::Exclamation);
}

QComboBox* Form_drcj::columnChoice(int row, int column, int selected) {
    auto* box = new QComboBox;
    box->setObjectName(QStringLiteral("Combo_%1_%2").arg(column == MapScoreColumn ? "cjl" : "xxl").arg(row + 1));
    box->addItem(QStringLiteral("（无）"));
    for (const QString& h : sheet_.headers)
        box->addItem(h.isEmpty() ? QStringLiteral("（空列名）") : h);
    box->setCurrentIndex(selected + 1);
    connect(box, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) {
            readMapping();
            runCheck();
        }
    });
    return box;
}

void Form_drcj::showMapping() {
    filling_ = true;
    QTableWidget* grid = ui->MSFlexGrid_dygx;
    // The choices of an earlier sheet go (the grid deletes them later).
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c : {MapScoreColumn, MapOptionColumn})
            if (QWidget* old = grid->cellWidget(r, c)) {
                old->setObjectName(QString());
                old->hide();
                grid->removeCellWidget(r, c);
            }
    grid->clear();
    grid->setColumnCount(7);
    grid->setHorizontalHeaderLabels({QStringLiteral("题号"), QStringLiteral("题目编号"), QStringLiteral("题型"),
                                     QStringLiteral("成绩表的列"), QStringLiteral("满分"), QStringLiteral("选项列"),
                                     QStringLiteral("问题")});
    grid->verticalHeader()->setVisible(false);
    const PaperRecord* p = paper();
    const int n = p ? int(p->questions.size()) : 0;
    grid->setRowCount(n);
    for (int r = 0; r < n; ++r) {
        const PaperQuestion& q = p->questions[r];
        const QStringList fixed = {QString::number(q.number), q.questionNumber, q.type};
        for (int c = 0; c < fixed.size(); ++c) {
            auto* item = new QTableWidgetItem(fixed[c]);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            grid->setItem(r, c, item);
        }
        grid->setCellWidget(r, MapScoreColumn, columnChoice(r, MapScoreColumn, mapping_.scoreColumn.value(r, -1)));
        grid->setItem(r, MapFullMark, new QTableWidgetItem(markText(mapping_.fullMark.value(r))));
        grid->setCellWidget(r, MapOptionColumn, columnChoice(r, MapOptionColumn, mapping_.optionColumn.value(r, -1)));
        auto* problem = new QTableWidgetItem;
        problem->setFlags(problem->flags() & ~Qt::ItemIsEditable);
        grid->setItem(r, MapProblem, problem);
    }
    grid->resizeColumnsToContents();
    grid->setColumnWidth(MapScoreColumn, std::max(grid->columnWidth(MapScoreColumn), 120));
    grid->setColumnWidth(MapProblem, std::max(grid->columnWidth(MapProblem), 160));
    filling_ = false;
}

void Form_drcj::readMapping() {
    QTableWidget* grid = ui->MSFlexGrid_dygx;
    const int n = grid->rowCount();
    mapping_.scoreColumn.resize(n);
    mapping_.optionColumn.resize(n);
    mapping_.fullMark.resize(n);
    for (int r = 0; r < n; ++r) {
        mapping_.scoreColumn[r] = static_cast<QComboBox*>(grid->cellWidget(r, MapScoreColumn))->currentIndex() - 1;
        mapping_.optionColumn[r] = static_cast<QComboBox*>(grid->cellWidget(r, MapOptionColumn))->currentIndex() - 1;
        double mark = 0;
        const QTableWidgetItem* item = grid->item(r, MapFullMark);
        mapping_.fullMark[r] = item && scoreValue(item->text(), &mark) && mark > 0 ? mark : 0;
    }
}

void Form_drcj::runCheck() {
    const PaperRecord* p = paper();
    check_ = ScoreCheck{};
    results_.clear();
    points_.clear();
    ui->List_wt->clear();
    if (p && !sheet_.path.isEmpty()) {
        check_ = checkScores(sheet_, mapping_);
        ui->List_wt->addItems(check_.problems);
    }
    students_.clear();
    studentClasses_.clear();
    handBack_ = ClassResults{};
    if (p && !sheet_.path.isEmpty() && check_.refusal.isEmpty() && mappingConfirmed_) {
        students_ = sheetStudents(sheet_, check_);
        studentClasses_ = studentClasses(students_, roster_);
        handBack_ = classResults(students_, check_.fullMarks, roster_);
    }
    showClassChoices();
    applyClass();
    ui->Label_xsrs->setText(QStringLiteral("学生人数：%1").arg(check_.students()) +
                            (check_.absent > 0 ? QStringLiteral("（缺考 %1）").arg(check_.absent) : QString()));

    // Every question of the mapping says what is wrong with its column.
    filling_ = true;
    QTableWidget* grid = ui->MSFlexGrid_dygx;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QString problem;
        if (!sheet_.path.isEmpty()) {
            const int column = mapping_.scoreColumn.value(r, -1);
            int bad = 0;
            for (const auto& cell : check_.badCells)
                bad += cell.second == column;
            if (column < 0)
                problem = QStringLiteral("没有对应的列");
            else if (bad > 0)
                problem = QStringLiteral("%1 个无效的分数").arg(bad);
            else if (!check_.measured.value(r))
                problem = QStringLiteral("没有满分");
        }
        for (int c : {MapNumber, MapQuestion, MapType, MapFullMark, MapProblem})
            if (QTableWidgetItem* item = grid->item(r, c))
                item->setBackground(problem.isEmpty() ? QBrush() : QBrush(kProblemColour));
        grid->item(r, MapProblem)->setText(problem);
        // An empty full mark shows what was taken: the highest score seen.
        QTableWidgetItem* mark = grid->item(r, MapFullMark);
        mark->setToolTip(mapping_.fullMark.value(r) > 0 || check_.fullMarks.value(r) <= 0
                             ? QString()
                             : QStringLiteral("未填写满分，按最高得分 %1 分计").arg(check_.fullMarks.value(r)));
    }
    filling_ = false;
    showResults();
}

// The view hands the chart it showed back instead of deleting it.
void Form_drcj::showChart(QChartView* view, QChart* chart) {
    QChart* shown = view->chart();
    view->setChart(chart);
    delete shown;
}

void Form_drcj::showClassResult() {
    const QString waiting =
        QStringLiteral("选择成绩表后，这里显示全班的平均分、最高分、最低分、及格率、优秀率和分数段。");
    if (results_.isEmpty()) {
        ui->Label_bjgk->setText(waiting);
        showChart(bandChart_, new QChart);
        return;
    }
    const ClassResult c = classResult(shownCheck_, ui->Spin_jgx->value() / 100.0, ui->Spin_yxx->value() / 100.0);
    // Points as a teacher writes them: 9, 5.4, 7.65.
    auto points = [](double v) {
        QString text = QString::number(v, 'f', 2);
        while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
            text.chop(1);
        return text;
    };
    auto share = [](double v) { return QString::number(v * 100, 'f', 1) + u'%'; };
    ui->Label_bjgk->setText(QStringLiteral("全班 %1 人，满分 %2 分\n平均分 %3　　最高分 %4　　最低分 %5\n"
                                           "及格率 %6（%7 分及以上）　　优秀率 %8（%9 分及以上）")
                                .arg(c.students)
                                .arg(points(c.fullMark), QString::number(c.mean, 'f', 1), points(c.highest),
                                     points(c.lowest), share(c.passRate), points(c.passLine), share(c.excellentRate),
                                     points(c.excellentLine)));
    auto* set = new QBarSet(QStringLiteral("人数"));
    QStringList names;
    int most = 0;
    for (const auto& [name, count] : c.bands) {
        names << name;
        *set << count;
        most = std::max(most, count);
    }
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(QStringLiteral("分数段（人数）"));
    auto* axisX = new QBarCategoryAxis;
    axisX->append(names);
    axisX->setTitleText(QStringLiteral("分数"));
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = new QValueAxis;
    // Whole students on every tick: the top is a multiple of the four steps.
    axisY->setRange(0, std::max(4, (most + 4) / 4 * 4));
    axisY->setTickCount(5);
    axisY->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    if (names.size() > 10)
        axisX->setLabelsAngle(-90);  // "100-109" and the like keep their whole text
    chart->legend()->hide();
    showChart(bandChart_, chart);
}

void Form_drcj::showResults() {
    showClassResult();
    const PaperRecord* p = paper();
    if (results_.isEmpty() || !p) {
        ui->MSFlexGrid_xtfx->clear();
        ui->MSFlexGrid_xtfx->setRowCount(0);
        ui->MSFlexGrid_zsdfx->clear();
        ui->MSFlexGrid_zsdfx->setRowCount(0);
        showChart(chart_, new QChart);
    } else {
        fillGrid(ui->MSFlexGrid_xtfx, questionSheetRows(*p, results_));
        fillGrid(ui->MSFlexGrid_zsdfx, knowledgeSheetRows(points_));
        for (int r = 0; r < std::min(int(points_.size()), kWeakestPoints); ++r)
            for (int c = 0; c < ui->MSFlexGrid_zsdfx->columnCount(); ++c)
                ui->MSFlexGrid_zsdfx->item(r, c)->setBackground(kWeakColour);

        auto* rates = new QBarSet(QStringLiteral("得分率（%）"));
        auto* discrimination = new QBarSet(QStringLiteral("区分度（×100）"));
        QStringList numbers;
        for (const QuestionResult& r : results_) {
            numbers << QString::number(r.number);
            *rates << (r.measured ? r.rate * 100 : 0);
            *discrimination << (r.measured ? std::max(0.0, r.discrimination) * 100 : 0);
        }
        auto* series = new QBarSeries;
        series->append(rates);
        series->append(discrimination);
        auto* chart = new QChart;
        chart->addSeries(series);
        chart->setTitle(QStringLiteral("各小题的得分率和区分度"));
        auto* axisX = new QBarCategoryAxis;
        axisX->append(numbers);
        axisX->setTitleText(QStringLiteral("题号"));
        chart->addAxis(axisX, Qt::AlignBottom);
        series->attachAxis(axisX);
        auto* axisY = new QValueAxis;
        axisY->setRange(0, 100);
        axisY->setLabelFormat(QStringLiteral("%d"));
        chart->addAxis(axisY, Qt::AlignLeft);
        series->attachAxis(axisY);
        chart->legend()->setAlignment(Qt::AlignTop);
        showChart(chart_, chart);
    }
    const bool ready = !results_.isEmpty();
    ui->Command_gxnd->setEnabled(ready);
    ui->Command_dcbjcj->setEnabled(!handBack_.students.isEmpty());
    ui->Command_xsbg->setEnabled(!handBack_.students.isEmpty());
    showStudents();
    ui->Command_scbjlx->setEnabled(ready && !points_.isEmpty());
    ui->Command_dcfx->setEnabled(ready);
    showUndoState();
}

void Form_drcj::Command_gxnd_Click() {
    const PaperRecord* p = paper();
    // The bank's difficulties follow every student, whichever class is shown.
    const QVector<QuestionResult> all = check_.refusal.isEmpty() ? questionResults(check_) : QVector<QuestionResult>();
    int measured = 0;
    for (const QuestionResult& r : all)
        measured += r.measured;
    if (!p || measured == 0 || !mappingConfirmed_)
        return;
    if (state_.prompts.message(QStringLiteral("将按本次 %1 名学生的成绩，把 %2 道题的实测难度写入试题库，"
                                              "原来的难度保存在难度历史中。\r确定要更新难度吗？")
                                   .arg(check_.students())
                                   .arg(measured),
                               Buttons::YesNo, Icon::Question, QStringLiteral("更新难度")) != Answer::Yes)
        return;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        const DifficultyUpdate update = updateDifficulties(bank, *p, all, state_.now());
        state_.prompts.show(difficultyUpdateMessage(update));
    });
    showUndoState();
}

void Form_drcj::Command_cxgxnd_Click() {
    const PaperRecord* p = paper();
    if (!p)
        return;
    if (state_.prompts.message(QStringLiteral("要撤销这份试卷上一次的“更新难度”吗？\r"
                                              "被它改过的题目恢复原来的难度，难度历史中两次修改都保留。"),
                               Buttons::YesNo, Icon::Question, QStringLiteral("撤销更新难度")) != Answer::Yes)
        return;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        state_.prompts.show(difficultyUndoMessage(undoDifficultyUpdate(bank, p->id, state_.now())));
    });
    showUndoState();
}

void Form_drcj::showUndoState() {
    const PaperRecord* p = paper();
    bool can = false;
    if (p) {
        try {
            Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
            can = canUndoDifficultyUpdate(bank, p->id);
        } catch (const StoreError&) {
            // A bank that cannot be read now offers nothing to undo.
        }
    }
    ui->Command_cxgxnd->setEnabled(can);
}

void Form_drcj::Command_scbjlx_Click() {
    const PaperRecord* p = paper();
    if (!p || points_.isEmpty())
        return;
    guarded(state_, [&] {
        RemedialSearch search;
        {
            Bank bank(state_.BankPath);
            search = findRemedialQuestions(bank, *p, points_);
        }
        if (search.offered.isEmpty()) {
            state_.prompts.show(search.nothingFound());
            return;
        }
        const QString answer =
            state_.prompts.input(search.question(), QStringLiteral("设置补救练习的题目数量"), QString());
        const TrainingCount count = readTrainingCount(answer, int(search.offered.size()));
        if (!count.refusal.isEmpty()) {
            state_.prompts.show(count.refusal);
            return;
        }
        Form_sdzj table(state_, this);
        fillRemedialTable(table.table(), search.rows, search.offered, count.count);
        table.showTable();
        table.arrangeOnActivate(true, true);
        showModal(state_, table);
    });
}

QString Form_drcj::outputFolder(const QString& what) {
    const PaperRecord* p = paper();
    QString folder = p ? p->folder : QString();
    if (!QFileInfo(folder).isDir())
        folder =
            state_.prompts.chooseFolder(QStringLiteral("这份试卷的文件夹已经不在了，请选择保存%1的文件夹").arg(what));
    return folder;
}

void Form_drcj::Command_dcfx_Click() {
    const PaperRecord* p = paper();
    if (!p || results_.isEmpty())
        return;
    const QString folder = outputFolder(QStringLiteral("成绩分析"));
    if (folder.isEmpty())
        return;
    guarded(state_, [&] {
        const QString path = exportResultsWorkbook(state_.office, *p, results_, points_, folder, state_.now());
        state_.prompts.show(QStringLiteral("成绩分析已经保存：\r") + QDir::toNativeSeparators(path));
        state_.desktop.openFile(path);
    });
}

void Form_drcj::Command_tc_Click() {
    close();
}

void Form_drcj::showClassChoices() {
    const QString keep = ui->Combo_bj->currentText();
    filling_ = true;
    ui->Combo_bj->clear();
    ui->Combo_bj->addItem(QStringLiteral("全体"));
    ui->Combo_bj->addItems(handBack_.classes);
    ui->Combo_bj->setCurrentIndex(std::max(0, ui->Combo_bj->findText(keep)));
    ui->Combo_bj->setEnabled(handBack_.classes.size() > 1);
    filling_ = false;
}

void Form_drcj::applyClass() {
    const PaperRecord* p = paper();
    const QString chosen = ui->Combo_bj->currentIndex() > 0 ? ui->Combo_bj->currentText() : QString();
    shownCheck_ = chosen.isEmpty() ? check_ : checkOfClass(check_, studentClasses_, chosen);
    results_.clear();
    points_.clear();
    if (p && !sheet_.path.isEmpty() && shownCheck_.refusal.isEmpty() && mappingConfirmed_) {
        results_ = questionResults(shownCheck_);
        points_ = knowledgeResults(*p, results_);
    }
}

void Form_drcj::Combo_bj_Click() {
    if (filling_)
        return;
    applyClass();
    showResults();
}

void Form_drcj::showStudents() {
    const QString chosen = ui->Combo_bj->currentIndex() > 0 ? ui->Combo_bj->currentText() : QString();
    QList<QStringList> rows = studentSheetRows(handBack_);
    if (!chosen.isEmpty())
        rows.erase(
            std::remove_if(rows.begin() + 1, rows.end(), [&](const QStringList& r) { return r.value(2) != chosen; }),
            rows.end());
    // On screen the total and the ranks come right after the name and class.
    for (QStringList& row : rows)
        for (int i = 0; i < 3 && row.size() > 6; ++i)
            row.move(row.size() - 1, 3);
    fillGrid(ui->MSFlexGrid_xscj, handBack_.students.isEmpty() ? QList<QStringList>() : rows);
    QString note;
    if (!handBack_.students.isEmpty() && roster_.isEmpty())
        note = QStringLiteral("题库中还没有学生名单，姓名和班级按成绩表显示。点“学生名单”可以导入学校的名单。");
    else if (!handBack_.problems.isEmpty())
        note = handBack_.problems.join(u'\n');
    ui->Label_mdts->setText(note);
}

void Form_drcj::Command_dcbjcj_Click() {
    const PaperRecord* p = paper();
    if (!p || handBack_.students.isEmpty())
        return;
    const QString folder = outputFolder(QStringLiteral("班级成绩"));
    if (folder.isEmpty())
        return;
    guarded(state_, [&] {
        QString path;
        {
            const WaitCursor wait;
            path = exportClassWorkbook(state_.office, handBack_, p->title, folder, state_.now());
        }
        state_.prompts.show(QStringLiteral("班级成绩已经保存：\r") + QDir::toNativeSeparators(path));
        state_.desktop.openFile(path);
    });
}

void Form_drcj::Command_xsbg_Click() {
    const PaperRecord* p = paper();
    if (!p || handBack_.students.isEmpty())
        return;
    const QString parent = outputFolder(QStringLiteral("学生报告"));
    if (parent.isEmpty())
        return;
    const QString folder = QDir(parent).filePath(QStringLiteral("学生报告-") + outputStamp(state_.now()));
    guarded(state_, [&] {
        QStringList paths;
        {
            const WaitCursor wait;
            QVector<StudentReport> reports;
            {
                Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
                reports = studentReports(bank, *p, handBack_);
            }
            paths = writeStudentReports(reports, folder);
        }
        state_.prompts.show(QStringLiteral("已为 %1 名学生生成成绩报告（每人一页 PDF）：\r").arg(paths.size()) +
                            QDir::toNativeSeparators(folder));
        state_.desktop.openFile(folder);
    });
}

bool Form_drcj::loadMarkedSheet() {
    sheet_ = ScoreSheet{};
    const PaperRecord* p = paper();
    if (!p)
        return true;
    return guarded(state_, [&] {
        Bank bank(state_.BankPath);
        ensureMarkTables(bank);
        const QVector<Mark> marks = paperMarks(bank, p->id);
        if (!marks.isEmpty())
            sheet_ = markedSheet(*p, marks, roster_, paperFullMarks(bank, *p));
    });
}

void Form_drcj::Command_yjcj_Click() {
    if (!paper())
        return;
    sheet_ = ScoreSheet{};
    if (!loadMarkedSheet())
        return;
    if (sheet_.path.isEmpty()) {
        state_.prompts.show(QStringLiteral("这份试卷还没有扫描或阅卷的成绩。"));
        Combo_sj_Click();
        return;
    }
    Combo_sj_Click();
    ui->Tab_fx->setCurrentWidget(check_.refusal.isEmpty() && mappingConfirmed_ ? ui->Page_bjgk : ui->Page_dygx);
}

void Form_drcj::Command_smyj_Click() {
    const PaperRecord* p = paper();
    if (!p) {
        state_.prompts.show(QStringLiteral("还没有生成过试卷，无法扫描阅卷。"));
        return;
    }
    Form_smyj screen(state_, *p, this);
    showModal(state_, screen);
    // The marks the scans and the marking gave stand as the paper's sheet.
    bool marked = false;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        ensureMarkTables(bank);
        marked = !paperMarks(bank, p->id).isEmpty();
    });
    if (marked)
        Command_yjcj_Click();
}

void Form_drcj::Command_xsmd_Click() {
    Form_xsmd screen(state_, this);
    showModal(state_, screen);
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        roster_ = loadRoster(bank);
    });
    runCheck();
}

}  // namespace zs
