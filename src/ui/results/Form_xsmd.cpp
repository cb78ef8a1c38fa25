#include "ui/results/Form_xsmd.h"

#include "app/runstate.h"
#include "store/bank.h"
#include "ui/common/screens.h"
#include "ui_Form_xsmd.h"

#include <QApplication>
#include <QHeaderView>
#include <QSet>
#include <algorithm>

namespace zs {

namespace {

const QString kAllClasses = QStringLiteral("全部班级");
// The 考号 a row had when it was stored; empty for a row not stored yet.
constexpr int kStoredNumber = Qt::UserRole + 1;
const QColor kPendingColour(255, 242, 204);

}  // namespace

Form_xsmd::Form_xsmd(RunState& state, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_xsmd>()), state_(state) {
    ui->setupUi(this);
    QTableWidget* grid = ui->MSFlexGrid_xsmd;
    grid->setColumnCount(5);
    grid->setHorizontalHeaderLabels({QStringLiteral("班级"), QStringLiteral("考号"), QStringLiteral("姓名"),
                                     QStringLiteral("性别"), QStringLiteral("学号")});
    grid->verticalHeader()->setVisible(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    connect(ui->Combo_bj, &QComboBox::currentIndexChanged, this, &Form_xsmd::Combo_bj_Click);
    connect(ui->Command_drmd, &QPushButton::clicked, this, &Form_xsmd::Command_drmd_Click);
    connect(ui->Command_tjxs, &QPushButton::clicked, this, &Form_xsmd::Command_tjxs_Click);
    connect(ui->Command_scxs, &QPushButton::clicked, this, &Form_xsmd::Command_scxs_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_xsmd::Command_tc_Click);
    connect(grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_)
            rowEdited(item->row());
    });
    Form_Load();
}

Form_xsmd::~Form_xsmd() = default;

void Form_xsmd::Form_Load() {
    reload();
}

void Form_xsmd::reload() {
    const QString keep = ui->Combo_bj->currentText();
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        roster_ = loadRoster(bank);
    });
    showClasses(keep);
    showList();
}

void Form_xsmd::showClasses(const QString& keep) {
    QStringList classes;
    for (const Student& s : roster_)
        if (!s.className.isEmpty() && !classes.contains(s.className))
            classes << s.className;
    filling_ = true;
    ui->Combo_bj->clear();
    ui->Combo_bj->addItem(kAllClasses);
    ui->Combo_bj->addItems(classes);
    ui->Combo_bj->setCurrentIndex(std::max(0, ui->Combo_bj->findText(keep)));
    filling_ = false;
}

void Form_xsmd::Combo_bj_Click() {
    if (!filling_)
        showList();
}

void Form_xsmd::setRow(int row, const Student& student) {
    QTableWidget* grid = ui->MSFlexGrid_xsmd;
    const QStringList cells{student.className, student.examNumber, student.name, student.gender, student.studentNumber};
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        grid->setItem(row, c, item);
    }
    grid->item(row, ExamColumn)->setData(kStoredNumber, student.examNumber);
}

void Form_xsmd::showList() {
    const QString shown = ui->Combo_bj->currentIndex() > 0 ? ui->Combo_bj->currentText() : QString();
    QTableWidget* grid = ui->MSFlexGrid_xsmd;
    filling_ = true;
    grid->setRowCount(0);
    int count = 0;
    for (const Student& s : roster_) {
        if (!shown.isEmpty() && s.className != shown)
            continue;
        grid->insertRow(count);
        setRow(count++, s);
    }
    grid->resizeColumnsToContents();
    filling_ = false;
    ui->Label_rs->setText(QStringLiteral("共 %1 名学生").arg(count));
}

Student Form_xsmd::rowStudent(int row) const {
    const QTableWidget* grid = ui->MSFlexGrid_xsmd;
    auto cell = [&](int c) {
        const QTableWidgetItem* item = grid->item(row, c);
        return item ? item->text().trimmed() : QString();
    };
    return {cell(ClassColumn), cell(ExamColumn), cell(NameColumn), cell(GenderColumn), cell(StudentNumberColumn)};
}

void Form_xsmd::rowEdited(int row) {
    QTableWidget* grid = ui->MSFlexGrid_xsmd;
    const Student student = rowStudent(row);
    QTableWidgetItem* exam = grid->item(row, ExamColumn);
    const QString before = exam ? exam->data(kStoredNumber).toString() : QString();
    auto markRow = [&](bool pending) {
        filling_ = true;
        for (int c = 0; c < grid->columnCount(); ++c)
            if (QTableWidgetItem* item = grid->item(row, c))
                item->setBackground(pending ? QBrush(kPendingColour) : QBrush());
        filling_ = false;
    };
    // A row waits until it has both its 考号 and a name.
    if (student.examNumber.isEmpty() || student.name.isEmpty()) {
        markRow(true);
        return;
    }
    const bool stored = guarded(state_, [&] {
        Bank bank(state_.BankPath);
        storeEditedStudent(bank, before, student);
    });
    if (!stored) {
        // The row shows again what the bank holds.
        filling_ = true;
        const auto kept =
            std::find_if(roster_.cbegin(), roster_.cend(), [&](const Student& s) { return s.examNumber == before; });
        if (kept != roster_.cend())
            setRow(row, *kept);
        filling_ = false;
        if (kept == roster_.cend())
            markRow(true);
        return;
    }
    filling_ = true;
    grid->item(row, ExamColumn)->setData(kStoredNumber, student.examNumber);
    filling_ = false;
    markRow(false);
    roster_.erase(
        std::remove_if(roster_.begin(), roster_.end(), [&](const Student& s) { return s.examNumber == before; }),
        roster_.end());
    roster_.push_back(student);
    if (!student.className.isEmpty() && ui->Combo_bj->findText(student.className) < 0) {
        filling_ = true;
        ui->Combo_bj->addItem(student.className);
        filling_ = false;
    }
}

void Form_xsmd::Command_tjxs_Click() {
    QTableWidget* grid = ui->MSFlexGrid_xsmd;
    const int row = grid->rowCount();
    filling_ = true;
    grid->insertRow(row);
    Student fresh;
    if (ui->Combo_bj->currentIndex() > 0)
        fresh.className = ui->Combo_bj->currentText();
    setRow(row, fresh);
    filling_ = false;
    grid->setCurrentCell(row, ExamColumn);
    grid->editItem(grid->item(row, ExamColumn));
}

void Form_xsmd::Command_scxs_Click() {
    QTableWidget* grid = ui->MSFlexGrid_xsmd;
    QSet<int> rows;
    for (const QTableWidgetItem* item : grid->selectedItems())
        rows.insert(item->row());
    if (rows.isEmpty() && grid->currentRow() >= 0)
        rows.insert(grid->currentRow());
    QStringList numbers;
    for (int row : rows)
        if (const QTableWidgetItem* exam = grid->item(row, ExamColumn))
            if (const QString stored = exam->data(kStoredNumber).toString(); !stored.isEmpty())
                numbers << stored;
    if (rows.isEmpty()) {
        state_.prompts.show(QStringLiteral("请先选中要删除的学生。"));
        return;
    }
    if (!numbers.isEmpty() &&
        state_.prompts.message(QStringLiteral("要从学生名单中删除选中的 %1 名学生吗？").arg(numbers.size()),
                               Buttons::YesNo, Icon::Question, QStringLiteral("删除学生")) != Answer::Yes)
        return;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        removeStudents(bank, numbers);
    });
    reload();
}

void Form_xsmd::Command_drmd_Click() {
    const QString file = state_.prompts.openFile(kRosterFilter, QStringLiteral("选择学生名单"));
    if (file.isEmpty())
        return;
    RosterImport import;
    const bool read = guarded(state_, [&] {
        const WaitCursor wait;
        import = readRosterFile(state_.office, file);
    });
    if (!read)
        return;
    if (!import.refusal.isEmpty()) {
        state_.prompts.show(import.refusal);
        return;
    }
    if (import.classColumn < 0 || std::any_of(import.students.cbegin(), import.students.cend(),
                                              [](const Student& s) { return s.className.isEmpty(); })) {
        const QString className =
            state_.prompts
                .input(QStringLiteral("名单中有学生没有填写班级。\r这些学生是哪个班的？"), QStringLiteral("班级"),
                       ui->Combo_bj->currentIndex() > 0 ? ui->Combo_bj->currentText() : QString())
                .trimmed();
        if (className.isEmpty())
            return;
        for (Student& s : import.students)
            if (s.className.isEmpty())
                s.className = className;
    }
    guarded(state_, [&] {
        int added = 0;
        {
            Bank bank(state_.BankPath);
            added = saveStudents(bank, import.students);
        }
        const QString text = rosterImportMessage(import, added);
        if (import.problems.isEmpty())
            state_.prompts.show(text);
        else
            state_.prompts.messageWithDetails(text, import.problems.join(u'\n'), Icon::Exclamation);
    });
    reload();
}

void Form_xsmd::Command_tc_Click() {
    close();
}

}  // namespace zs
