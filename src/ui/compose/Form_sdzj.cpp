#include "ui/compose/Form_sdzj.h"

#include "app/runstate.h"
#include "paper/smartsort.h"
#include "paper/specworkbook.h"
#include "questions/rowcheck.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"
#include "ui/common/screens.h"
#include "ui/compose/Form_fzsz.h"
#include "ui/compose/Form_stszckxg.h"
#include "ui/paper/Form_scsjjm.h"
#include "ui/paper/Form_sjsz.h"
#include "ui_Form_sdzj.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <cmath>

namespace zs {

namespace {

const QColor kSelected(0, 205, 205);
const QColor kEvenRow(179, 222, 245);
const QColor kOddRow(255, 255, 255);
const QColor kFixedCells(224, 224, 224);
// A score that comes from the question's type, not from the question itself.
const QColor kTypeScore(128, 128, 128);

QString displayText(const QString& cell) {
    QString s = cell;
    s.replace(u'\r', u'\n');
    return s;
}

}  // namespace

Form_sdzj::Form_sdzj(RunState& state, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_sdzj>()), state_(state) {
    ui->setupUi(this);
    QTableWidget* grid = ui->MSFlexGrid1;
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->viewport()->installEventFilter(this);
    connect(grid, &QTableWidget::cellDoubleClicked, this, &Form_sdzj::MSFlexGrid1_DblClick);

    popmenu_ = new QMenu(QStringLiteral("快捷菜单"), this);
    popmenu_->setObjectName(QStringLiteral("popmenu"));
    auto item = [&](const char* name, const QString& caption, void (Form_sdzj::*handler)()) {
        QAction* a = popmenu_->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    item("addpre", QStringLiteral("增加(N)题到当前题目之前"), &Form_sdzj::addpre_Click);
    item("addlast", QStringLiteral("增加一题到最后一题之后"), &Form_sdzj::addlast_Click);
    del_ = item("del", QStringLiteral("删除当前题目(先想清楚)"), &Form_sdzj::del_Click);
    item("tonext", QStringLiteral("将当前题目和下一题对换"), &Form_sdzj::tonext_Click);
    item("topre", QStringLiteral("将当前题目和上一题对换"), &Form_sdzj::topre_Click);
    item("ShengChengZhuanXiangXunLian", QStringLiteral("以此题为依据，生成专项训练"),
         &Form_sdzj::ShengChengZhuanXiangXunLian_Click);

    connect(ui->Command_sczxxl, &QPushButton::clicked, this, &Form_sdzj::Command_sczxxl_Click);
    connect(ui->Command_zhinengpaixu, &QPushButton::clicked, this, &Form_sdzj::Command_zhinengpaixu_Click);
    connect(ui->Command_TiaoZhengBiaoGe, &QPushButton::clicked, this, &Form_sdzj::Command_TiaoZhengBiaoGe_Click);
    connect(ui->Command_tczj, &QPushButton::clicked, this, &Form_sdzj::Command_tczj_Click);
    connect(ui->Command_scsj, &QPushButton::clicked, this, &Form_sdzj::Command_scsj_Click);
    connect(ui->Command_bcbg, &QPushButton::clicked, this, &Form_sdzj::Command_bcbg_Click);
    connect(ui->Command_drbg, &QPushButton::clicked, this, &Form_sdzj::Command_drbg_Click);
    connect(ui->Command_fzsz, &QPushButton::clicked, this, &Form_sdzj::Command_fzsz_Click);
    connect(ui->Option_Ajuan, &QRadioButton::clicked, this, [this] { showPaper(0); });
    connect(ui->Option_Bjuan, &QRadioButton::clicked, this, [this] { showPaper(1); });
    Form_Load();
}

Form_sdzj::~Form_sdzj() {
    // The pair outlives the screen; a single table ends it.
    if (other_) {
        state_.keptPaperA = std::make_shared<const SpecTable>(shownPaper_ == 0 ? table_ : *other_);
        state_.keptPaperB = std::make_shared<const SpecTable>(shownPaper_ == 0 ? *other_ : table_);
    } else {
        state_.keptPaperA.reset();
        state_.keptPaperB.reset();
    }
}

int Form_sdzj::twips(double value) const {
    return int(std::lround(value * logicalDpiX() / 1440.0));
}

// ------------------------------------------------------------------ load

void Form_sdzj::Form_Load() {
    state_.resetBankPath();
    table_ = SpecTable(24);
    loadTypeScores();
    InitHeader();
    const QString cr = QStringLiteral("\n");
    ui->Label_czsm->setText(cr + QStringLiteral("  操作说明：") + cr + cr +
                            QStringLiteral("    1.双击某一行可以进入该题的设置界面。") + cr +
                            QStringLiteral("    2.设置好上面双向细目表中的每道题。") + cr +
                            QStringLiteral("    3.点击<生成试卷>按钮，即可生成试卷。") + cr +
                            QStringLiteral("    4.生成试卷后，试卷的再调整和保存等操作，直接在WORD程序中操作即可。"));
    // The word processor is kept running so that generation starts quickly.
    guarded(state_, [&] { state_.startSharedWordInstance(); });
}

// ------------------------------------------------------------------ A/B papers

void Form_sdzj::setSecondPaper(SpecTable second) {
    if (shownPaper_ != 0)
        showPaper(0);
    other_ = std::move(second);
    otherColours_.clear();
    otherHighlight_ = 0;
    ui->Frame_abj->show();
    ui->Frame_abj->adjustSize();
    ui->Frame_abj->raise();
    ui->Option_Ajuan->setChecked(true);
    ui->Label_biaoti->setText(QStringLiteral("命卷双向细目表（A卷）"));
    ui->Label_biaoti->adjustSize();
}

void Form_sdzj::showPaper(int paper) {
    if (!other_ || paper == shownPaper_ || paper < 0 || paper > 1)
        return;
    std::swap(table_, *other_);
    std::swap(rowColours_, otherColours_);
    std::swap(HighlightRow, otherHighlight_);
    shownPaper_ = paper;
    rowColours_.resize(table_.rows());
    (paper == 0 ? ui->Option_Ajuan : ui->Option_Bjuan)->setChecked(true);
    ui->Label_biaoti->setText(QStringLiteral("命卷双向细目表（%1）").arg(paperMark()));
    ui->Label_biaoti->adjustSize();
    ui->MSFlexGrid1->clearContents();
    InitHeader();
    Col0Display();
    AutoSize();
}

void Form_sdzj::restoreKeptPair() {
    if (!state_.keptPaperA || !state_.keptPaperB)
        return;
    table_ = *state_.keptPaperA;
    rowColours_.fill(QColor(), table_.rows());
    HighlightRow = 0;
    setSecondPaper(*state_.keptPaperB);
    showTable();
    AutoSize();
}

void Form_sdzj::arrangeOnActivate(bool autoSize, bool sortLoaded) {
    AutoSizeOnActivate = autoSize;
    SortOnActivate = sortLoaded;
    if (sortLoaded)
        SortTrigger = kSortAfterLoading;
}

QString Form_sdzj::paperMark() const {
    if (!other_)
        return {};
    return shownPaper_ == 0 ? QStringLiteral("A卷") : QStringLiteral("B卷");
}

void Form_sdzj::InitHeader() {
    showTable();
    QTableWidget* grid = ui->MSFlexGrid1;
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(10);
    font.setBold(false);
    const QFontMetrics metrics(grid->font());
    for (int c = 0; c < SpecTable::kColumns; ++c) {
        QTableWidgetItem* cell = grid->item(0, c);
        cell->setFont(font);
        cell->setTextAlignment(Qt::AlignCenter);
        grid->setColumnWidth(c, metrics.horizontalAdvance(SpecTable::headers()[c]) + twips(800));
    }
    grid->setRowHeight(0, twips(400));
}

void Form_sdzj::showTable() {
    QTableWidget* grid = ui->MSFlexGrid1;
    const int rows = table_.rows();
    grid->setColumnCount(SpecTable::kColumns);
    grid->setRowCount(rows);
    rowColours_.resize(rows);
    QFont numberFont(QStringLiteral("宋体"));
    numberFont.setPointSize(11);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < SpecTable::kColumns; ++c) {
            QTableWidgetItem* cell = grid->item(r, c);
            if (!cell) {
                cell = new QTableWidgetItem;
                grid->setItem(r, c, cell);
                if (r == 0 || c == 0) {
                    cell->setTextAlignment(Qt::AlignCenter);
                    if (r > 0)
                        cell->setFont(numberFont);
                }
            }
            if (c == SpecTable::Score && r > 0) {
                // A question without a score of its own shows its type's, in grey.
                const bool own = !table_.cell(r, c).isEmpty();
                const auto score = rowScore(table_, r, typeScores_);
                cell->setText(own ? table_.cell(r, c) : score ? scoreText(*score) : QString());
                cell->setForeground(own ? QBrush() : QBrush(kTypeScore));
                cell->setTextAlignment(Qt::AlignCenter);
            } else {
                cell->setText(displayText(table_.cell(r, c)));
            }
            if (rowColours_[r].isValid())
                cell->setBackground(rowColours_[r]);
            else if (r == 0 || c == 0)
                cell->setBackground(kFixedCells);
            else
                cell->setBackground(QBrush());
        }
    }
    showTotal();
}

void Form_sdzj::loadTypeScores() {
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        typeScores_ = TypeScores::load(bank);
    });
}

void Form_sdzj::showTotal() {
    // Shown once the paper has scores; a table without any looks as it always did.
    const PaperScores scores = paperScores(scoredTable());
    if (!scores.any()) {
        ui->Label_zf->clear();
        return;
    }
    QString text = QStringLiteral("总分：%1分").arg(scoreText(scores.total));
    if (!scores.all())
        text += QStringLiteral("（%1道题还没有分值）").arg(scores.scores.size() - scores.scored());
    ui->Label_zf->setText(text);
}

void Form_sdzj::Col0Display() {
    table_.numberRows();
    showTable();
}

// ------------------------------------------------------------------ activation

void Form_sdzj::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        QTimer::singleShot(0, this, &Form_sdzj::Form_Activate);
    }
}

void Form_sdzj::Form_Activate() {
    QCoreApplication::processEvents();
    Col0Display();
    OpenWidth = width();
    if (AutoSizeOnActivate)
        AutoSize();
    if (SortOnActivate)
        ZhiNengPaiXu();
}

// ------------------------------------------------------------------ layout

void Form_sdzj::AutoSize() {
    QTableWidget* grid = ui->MSFlexGrid1;
    showTable();
    const int rows = table_.rows();
    // Columns as wide as their widest cell, rows as high as their highest.
    int gridWidth = 0;
    for (int c = 0; c < SpecTable::kColumns; ++c) {
        int widest = 0;
        for (int r = 0; r < rows; ++r) {
            const QTableWidgetItem* cell = grid->item(r, c);
            const QFontMetrics m(cell->font());
            for (const QString& line : cell->text().split(u'\n'))
                widest = qMax(widest, m.horizontalAdvance(line));
        }
        const int w = widest + twips(300);
        grid->setColumnWidth(c, w);
        gridWidth += w + twips(40);
    }
    int gridHeight = 0;
    for (int r = 0; r < rows; ++r) {
        int highest = 0;
        for (int c = 0; c < SpecTable::kColumns; ++c) {
            const QTableWidgetItem* cell = grid->item(r, c);
            const QFontMetrics m(cell->font());
            highest = qMax(highest, int(cell->text().count(u'\n') + 1) * m.lineSpacing());
        }
        const int h = highest + twips(150);
        grid->setRowHeight(r, h);
        gridHeight += h;
    }
    const int maxHeight = twips(5200);
    if (gridHeight > maxHeight) {
        gridHeight = maxHeight;
        gridWidth += grid->verticalScrollBar()->sizeHint().width();
    }
    gridHeight += 2 * grid->frameWidth();
    gridWidth += 2 * grid->frameWidth();

    // The buttons stand in one row under the grid; the window holds them too.
    const QList<QPushButton*> buttons = {ui->Command_sczxxl, ui->Command_zhinengpaixu, ui->Command_TiaoZhengBiaoGe,
                                         ui->Command_bcbg,   ui->Command_drbg,         ui->Command_fzsz,
                                         ui->Command_scsj,   ui->Command_tczj};
    const int gap = twips(100);
    int buttonsWidth = -gap;
    for (QPushButton* b : buttons)
        buttonsWidth += b->width() + gap;

    const int windowWidth = qMax(gridWidth + twips(500), buttonsWidth + twips(500));
    const int left = x() - (windowWidth - OpenWidth) / 2;
    const int gridLeft = (windowWidth - gridWidth) / 2 - twips(50);
    const int gridTop = twips(1000);
    grid->setGeometry(qMax(0, gridLeft), gridTop, gridWidth, gridHeight);

    ui->Label_biaoti->move((windowWidth - ui->Label_biaoti->width()) / 2, twips(150));
    const int right = grid->geometry().right();
    const int optionsTop = gridTop - ui->Option_bbc->height() - twips(60);
    ui->Option_bbc->move(right - ui->Option_bbc->width(), optionsTop);
    ui->Option_bc->move(ui->Option_bbc->x() - ui->Option_bc->width() - gap, optionsTop);
    ui->Label_sfbcbcytjl->move(ui->Option_bc->x() - ui->Label_sfbcbcytjl->width() - gap, optionsTop);
    ui->Frame_abj->move(grid->x(), optionsTop);
    // The total stands beside the A/B choice when there is one.
    const int totalLeft = ui->Frame_abj->isVisibleTo(this) ? ui->Frame_abj->geometry().right() + gap : grid->x();
    ui->Label_zf->setGeometry(totalLeft, optionsTop, qMax(0, ui->Label_sfbcbcytjl->x() - totalLeft - gap),
                              ui->Option_bbc->height());

    int bx = qMax(twips(120), (windowWidth - buttonsWidth) / 2);
    const int by = grid->geometry().bottom() + gap;
    for (QPushButton* b : buttons) {
        b->move(bx, by);
        bx += b->width() + gap;
    }
    const int labelTop = by + buttons.first()->height() + gap;
    ui->Label_czsm->setGeometry(grid->x(), labelTop, windowWidth - 2 * grid->x(), ui->Label_czsm->sizeHint().height());
    const int windowHeight = ui->Label_czsm->geometry().bottom() + gap * 2;
    setGeometry(left, y(), windowWidth, windowHeight);
    if (isVisible() && screen()) {
        // Keep the window on its screen.
        const QRect area = screen()->availableGeometry();
        QRect frame = frameGeometry();
        if (frame.left() < area.left())
            move(area.left(), y());
        if (frame.right() > area.right())
            move(qMax(area.left(), area.right() - frame.width()), y());
    }
}

// ------------------------------------------------------------------ grid events

bool Form_sdzj::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->MSFlexGrid1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint p = mouse->position().toPoint();
        const int row = ui->MSFlexGrid1->rowAt(p.y());
        const int column = ui->MSFlexGrid1->columnAt(p.x());
        if (row >= 0) {
            MSFlexGrid1_MouseUp(mouse->button(), row, column, mouse->globalPosition().toPoint());
            if (mouse->button() == Qt::LeftButton)
                MSFlexGrid1_Click(row);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Form_sdzj::paintRow(int row, const QColor& colour) {
    if (row < 0 || row >= table_.rows())
        return;
    if (rowColours_.size() < table_.rows())
        rowColours_.resize(table_.rows());
    rowColours_[row] = colour;
    for (int c = 0; c < SpecTable::kColumns; ++c)
        if (QTableWidgetItem* cell = ui->MSFlexGrid1->item(row, c))
            cell->setBackground(colour);
}

void Form_sdzj::MSFlexGrid1_Click(int row) {
    paintRow(HighlightRow, HighlightRow % 2 == 0 ? kEvenRow : kOddRow);
    paintRow(row, kSelected);
    HighlightRow = qint16(row);
}

void Form_sdzj::MSFlexGrid1_MouseUp(Qt::MouseButton button, int row, int column, const QPoint& globalPos) {
    if (column >= 0)
        ui->MSFlexGrid1->setCurrentCell(row, column);
    CurrentRow = qint16(row);
    if (row == 0 || button != Qt::RightButton)
        return;
    del_->setEnabled(table_.rows() != 2);
    DeleteKey = qint16(SpecTable::numberValue(table_.cell(row, SpecTable::QuestionNumber)));
    popmenu_->popup(globalPos);
}

void Form_sdzj::MSFlexGrid1_DblClick(int row, int column) {
    if (row <= 0 || column <= 0)
        return;
    if (column == SpecTable::Score) {
        editScore(row);
        return;
    }
    ui->MSFlexGrid1->setCurrentCell(row, SpecTable::Code);
    Form_stszckxg picker(state_, table_, row, table_.cell(row, SpecTable::Code), this);
    if (other_)
        picker.setOtherPaper(&*other_, paperMark(), shownPaper_ == 0 ? QStringLiteral("B卷") : QStringLiteral("A卷"));
    picker.DWDZhiDingTiHao();
    showModal(state_, picker);
    if (picker.placedAll()) {
        // Every found row went in: the table sorts as a loaded one.
        SortTrigger = kSortAfterLoading;
        AutoSizeOnActivate = false;
        SortOnActivate = true;
    } else if (picker.placedNumber() > 0) {
        DeleteKey = picker.placedNumber();
        AutoSizeOnActivate = false;
        SortOnActivate = false;
    }
    TableModified = true;
    rowColours_.resize(table_.rows());
    Form_Activate();
}

// ------------------------------------------------------------------ row commands

void Form_sdzj::rowCommandDone() {
    AutoSizeOnActivate = false;
    showTable();
}

void Form_sdzj::addpre_Click() {
    const QString answer =
        state_.prompts.input(QStringLiteral("请输入要插入的行数："), QStringLiteral("输入"), QString());
    const bool valid = isNumericText(answer) && numericValue(answer) > 0;
    // Whole rows only; a count beyond what a table can hold is refused too.
    const double count = valid ? std::floor(numericValue(answer)) : 0;
    if (!valid || count < 1 || count + table_.rows() > 32767) {
        state_.prompts.show(QStringLiteral(" 输入不合法！要输入一个正整数才行~~"));
        rowCommandDone();
        return;
    }
    // New rows never go between the rows of one question.
    if (CurrentRow >= 1)
        table_.insertEmptyRows(table_.questionRows(CurrentRow).first, int(count));
    rowColours_.resize(table_.rows());
    Col0Display();
    rowCommandDone();
}

void Form_sdzj::addlast_Click() {
    table_.appendRow();
    rowColours_.resize(table_.rows());
    Col0Display();
    rowCommandDone();
}

void Form_sdzj::del_Click() {
    if (DeleteKey == 0) {
        if (table_.dataRows() > 1)
            table_.removeRow(CurrentRow);
        else
            table_.clearRow(CurrentRow);
    } else {
        table_.removeQuestion(DeleteKey);
    }
    rowColours_.resize(table_.rows());
    Col0Display();
    rowCommandDone();
}

// A question filed under several scopes moves with all its rows.
void Form_sdzj::tonext_Click() {
    table_.swapQuestionWithNext(CurrentRow);
    rowCommandDone();
}

void Form_sdzj::topre_Click() {
    table_.swapQuestionWithPrevious(CurrentRow);
    rowCommandDone();
}

// ------------------------------------------------------------------ sort and training

void Form_sdzj::ZhiNengPaiXu() {
    if (SortTrigger == kSortByClick) {
        const Answer answer = state_.prompts.message(
            QStringLiteral(
                "本操作将对表格进行以下智能排序：\r    首先 按题型分类排序\r    然后 再将每种题型按难度排序\r"
                "注意： 智能排序后不能撤销！确定要智能排序吗？"),
            Buttons::OkCancel, Icon::Question, QStringLiteral("琢石-试题库-提醒您"));
        if (answer != Answer::Ok)
            return;
    } else if (SortTrigger != kSortAfterLoading) {
        return;
    }
    smartSort(table_);
    AutoSize();
    if (SortTrigger == kSortByClick)
        state_.prompts.show(QStringLiteral("对双向细目表的智能排序结束！"), QStringLiteral("琢石-试题库-提醒您！"));
    else
        state_.prompts.show(QStringLiteral("双向细目表加载完毕，并且已经经过了智能排序了！"),
                            QStringLiteral("琢石-试题库-提醒您！"));
}

void Form_sdzj::Command_zhinengpaixu_Click() {
    SortTrigger = kSortByClick;
    ZhiNengPaiXu();
}

void Form_sdzj::Command_TiaoZhengBiaoGe_Click() {
    AutoSize();
}

void Form_sdzj::ShengChengZhuanXiangXunLian_Click() {
    const int r = CurrentRow;
    const QString query = r >= 1 && r < table_.rows()
                              ? specialTrainingQuery(specialTrainingPoints(table_.cell(r, SpecTable::Knowledge)))
                              : QString();
    if (query.isEmpty()) {
        state_.prompts.show(QStringLiteral("这一行还没有知识点，无法生成专项训练！\r请先选中一道已经设置好的题目。"));
        return;
    }
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        const RowSet found = bank.query(query + usableQuestionsCondition());
        const QString answer =
            state_.prompts.input(QStringLiteral("与  【") + table_.cell(r, SpecTable::QuestionNumber) +
                                     QStringLiteral("】 类似的题目一共有  【") + QString::number(found.count()) +
                                     QStringLiteral("】 道!\r你准备选择几道？"),
                                 QStringLiteral("设置专项训练的题目数量"), QString());
        const TrainingCount count = readTrainingCount(answer, found.count());
        if (!count.refusal.isEmpty()) {
            state_.prompts.show(count.refusal);
            return;
        }
        fillTableFromRows(table_, found, count.count);
        rowColours_.fill(QColor(), table_.rows());
        HighlightRow = 0;
        Col0Display();
        AutoSizeOnActivate = true;
        SortTrigger = kSortAfterLoading;
        ZhiNengPaiXu();
    });
}

void Form_sdzj::Command_sczxxl_Click() {
    ShengChengZhuanXiangXunLian_Click();
}

// ------------------------------------------------------------------ workbook

void Form_sdzj::Command_bcbg_Click() {
    QString folder = state_.prompts.chooseFolder(QStringLiteral("设置文件保存路径"));
    if (folder.isEmpty())
        return;
    if (folder.endsWith(u'\\') || (folder.endsWith(u'/') && folder.size() > 1))
        folder.chop(1);
    QString saved;
    if (!guarded(state_, [&] {
            saved = ExportSpecWorkbook(state_.office, scoredTable(), state_.appFile(kWorkbookTemplateName), folder,
                                       state_.now(), paperMark());
        }))
        return;
    state_.desktop.openFile(saved);
    TableModified = false;
}

void Form_sdzj::Command_drbg_Click() {
    const Answer answer = state_.prompts.message(
        QStringLiteral(
            "        ~~双向细目表有新的改动记录~~\r\r你确定不用<生成试卷或者导出表格>就直接导入新的表格吗？"),
        Buttons::YesNoCancel, Icon::Exclamation, QStringLiteral("危险操作！！"), 1);
    if (answer != Answer::Yes)
        return;
    const QString file = state_.prompts.openFile(QStringLiteral("Excel文件|*.xls;*.xls"));
    if (file.isEmpty())
        return;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        const WorkbookImport result = importSpecWorkbook(state_.office, bank, table_, file);
        if (!result.refusal.isEmpty()) {
            state_.prompts.show(result.refusal);
            return;
        }
        showTable();
        AutoSize();
        TableModified = true;
        state_.prompts.show(QStringLiteral("双向细目表：\r\r[") + file + QStringLiteral("]\r\r已经成功导入到界面~~"));
    });
}

// ------------------------------------------------------------------ generate and close

void Form_sdzj::Command_scsj_Click() {
    if (!ui->Option_bc->isChecked() && !ui->Option_bbc->isChecked()) {
        state_.prompts.show(QStringLiteral("还没有设置【是否保存本次用题记录】？   请设置！"));
        return;
    }
    const Answer answer = state_.prompts.message(QStringLiteral("《双向细目表》已经完全设计好？确定要立即生成试卷？"),
                                                 Buttons::YesNo, Icon::Question, QStringLiteral("琢石-试题库提醒您"));
    if (answer != Answer::Yes)
        return;
    // The paper's settings; cancelling them writes nothing.
    loadTypeScores();
    const SpecTable scored = scoredTable();
    // A/B papers are written together, the A paper first.
    std::optional<SpecTable> scoredOther;
    if (other_)
        scoredOther = withScores(*other_, typeScores_);
    const SpecTable& first = shownPaper_ == 0 || !scoredOther ? scored : *scoredOther;
    Form_sjsz settings(state_, paperScores(first), this);
    showModal(state_, settings);
    if (settings.cancelled())
        return;
    state_.prompts.show(QStringLiteral("试卷的生成可能会花1至2分钟，请耐心等待，不要误以为我死机了哦~~\r\r"
                                       "喝杯茶吧，但是鼠标不要乱点哈~~"),
                        QStringLiteral("琢石-试题库提醒您"));
    TableModified = false;
    Form_scsjjm generator(state_, first, ui->Option_bc->isChecked(), this);
    generator.setSettings(settings.settings());
    generator.setPaperMark(paperMark());
    if (scoredOther) {
        generator.setPaperMark(QStringLiteral("A卷"));
        generator.setSecondPaper(shownPaper_ == 0 ? *scoredOther : scored);
    }
    showModal(state_, generator);
    if (generator.succeeded())
        state_.desktop.openUrl(state_.homePage());
}

// ------------------------------------------------------------------ scores

void Form_sdzj::Command_fzsz_Click() {
    Form_fzsz screen(state_, this);
    showModal(state_, screen);
    loadTypeScores();
    showTable();
}

void Form_sdzj::editScore(int row) {
    if (row < 1 || row >= table_.rows())
        return;
    const QString number = table_.cell(row, SpecTable::QuestionNumber);
    if (number.isEmpty()) {
        state_.prompts.show(QStringLiteral("这一行还没有题目，不能设置分值。"));
        return;
    }
    const QString type = table_.cell(row, SpecTable::Type);
    const auto typeScore = typeScores_.of(type);
    QString prompt = QStringLiteral("请输入题目【%1】的分值：\r（输入0则按<%2>的分值").arg(number, type);
    prompt += typeScore ? scoreText(*typeScore) + QStringLiteral("分计分）") : QStringLiteral("计分，现在还没有设置）");
    const QString answer = state_.prompts.input(prompt, QStringLiteral("设置分值"), table_.cell(row, SpecTable::Score));
    if (answer.trimmed().isEmpty())
        return;
    if (answer.trimmed() == u"0") {
        setQuestionScore(table_, row, std::nullopt);
    } else {
        const auto score = parseScore(answer);
        if (!score) {
            state_.prompts.message(kScoreRule, Buttons::Ok, Icon::Exclamation);
            return;
        }
        setQuestionScore(table_, row, score);
    }
    TableModified = true;
    showTable();
}

void Form_sdzj::Command_tczj_Click() {
    close();
}

void Form_sdzj::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (TableModified) {
        const Answer answer = state_.prompts.message(
            QStringLiteral(
                "        ~~双向细目表已有新的改动记录~~\r\r你确定不用<生成试卷或者导出表格>就直接退出界面吗？"),
            Buttons::YesNoCancel, Icon::Exclamation, QStringLiteral("危险操作！！"), 1);
        if (answer != Answer::Yes) {
            event->ignore();
            return;
        }
        closing_ = true;
        hide();
        if (QWidget* menu = parentWidget()) {
            menu->show();
            menu->activateWindow();
        }
        QCoreApplication::processEvents();
        state_.quitSharedWordInstance();
    }
    closing_ = true;
    event->accept();
    done(QDialog::Accepted);
}

}  // namespace zs
