#pragma once

#include "catalogue/sources.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class Form_tysz;
}

namespace zs {

class RunState;

// 题源设置: the list of question sources with add, rename and delete.
class Form_tysz : public QDialog {
    Q_OBJECT

public:
    explicit Form_tysz(RunState& state, QWidget* parent = nullptr);
    ~Form_tysz() override;

    const SourceList& sources() const { return sources_; }

    void Form_Load();
    void Command_zjty_Click();
    void Command_xgty_Click();
    void Command_scty_Click();
    void Command_tc_Click();

private:
    void run(const std::function<void()>& work);
    void showList();

    RunState& state_;
    SourceList sources_;
    std::unique_ptr<Ui::Form_tysz> ui;
};

}  // namespace zs
