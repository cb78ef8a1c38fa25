#pragma once

#include "results/roster.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Form_xsmd;
}

namespace zs {

class RunState;

// 学生名单: the students of the school kept in the bank, by class. A list is
// imported from the school's workbook or CSV; rows are edited in place and
// stored as soon as a row has its 考号 and name.
class Form_xsmd : public QDialog {
    Q_OBJECT
public:
    explicit Form_xsmd(RunState& state, QWidget* parent = nullptr);
    ~Form_xsmd() override;

    void Form_Load();
    void Combo_bj_Click();
    void Command_drmd_Click();
    void Command_tjxs_Click();
    void Command_scxs_Click();
    void Command_tc_Click();

    // The students as stored (for tests and pictures).
    const QVector<Student>& roster() const { return roster_; }

    enum Column { ClassColumn, ExamColumn, NameColumn, GenderColumn, StudentNumberColumn };

private:
    void reload();
    void showClasses(const QString& keep);
    void showList();
    void rowEdited(int row);
    Student rowStudent(int row) const;
    void setRow(int row, const Student& student);

    std::unique_ptr<Ui::Form_xsmd> ui;
    RunState& state_;
    QVector<Student> roster_;
    bool filling_ = false;
};

}  // namespace zs
