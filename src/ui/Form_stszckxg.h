#pragma once

#include "compose/spectable.h"

#include <QDialog>

namespace zs {

class RunState;

// The question picker of a table row (being written on its own branch).
class Form_stszckxg : public QDialog {
    Q_OBJECT
public:
    Form_stszckxg(RunState& state, SpecTable& table, QWidget* parent = nullptr)
        : QDialog(parent), state_(state), table_(table) {}
    void DWDZhiDingTiHao() {}

private:
    RunState& state_;
    SpecTable& table_;
};

}  // namespace zs
