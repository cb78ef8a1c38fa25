#pragma once

#include "ui/questions/browsescreen.h"

#include <memory>

namespace Ui {
class Form_stszckxg;
}

namespace zs {

class SpecTable;
struct PickedRow;

// The question picker of the specification table: the browse screen opened on
// one table row, which puts the displayed question (or every found row) into
// the table. It changes only the table and the composition flags of the run.
class Form_stszckxg : public BrowseScreen {
    Q_OBJECT
public:
    // Opened on data row `targetRow` of the table, showing the question whose
    // identification code is `targetCode` (empty: a row without a question).
    Form_stszckxg(RunState& state, SpecTable& table, int targetRow, QString targetCode, QWidget* parent = nullptr);
    ~Form_stszckxg() override;

    // Shows the question of the target code.
    void DWDZhiDingTiHao();
    // A/B papers: the other paper's table and the two marks; a question that
    // stands there already goes in only after the teacher agrees.
    void setOtherPaper(const SpecTable* other, const QString& thisMark, const QString& otherMark);
    void Command_xdct_Click();
    void Command_xdssddqbtm_Click();

    // What the picker did, for the table screen: the number of the question
    // it put into the target row (0: none), or every found row appended.
    qint16 placedNumber() const { return placedNumber_; }
    bool placedAll() const { return placedAll_; }

protected:
    bool goToNeedsSearch() const override { return true; }
    bool changeChecksSource() const override { return false; }
    void deleteDisplayed(const QString& number) override;

private:
    std::unique_ptr<Ui::Form_stszckxg> ui;
    // Whether the records may go in, asking when the other paper holds some.
    bool mayShare(const QList<PickedRow>& records);

    SpecTable& table_;
    int PickerTargetRow = 0;
    QString PickerTargetCode;
    qint16 placedNumber_ = 0;
    bool placedAll_ = false;
    const SpecTable* other_ = nullptr;
    QString thisMark_, otherMark_;
};

}  // namespace zs
