#pragma once

#include "catalogue/numberpool.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Form_cshtmbh;
}

namespace zs {

class RunState;

// Question-number maintenance: refills the pool of free question numbers as
// soon as it is shown, with a progress bar, then closes itself.
class Form_cshtmbh : public QDialog {
    Q_OBJECT
public:
    explicit Form_cshtmbh(RunState& state, QWidget* parent = nullptr);
    ~Form_cshtmbh() override;

    // The refill; runs once, on the first activation.
    void Form_Activate();
    const RefillResult& result() const { return result_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::Form_cshtmbh> ui;
    RunState& state_;
    RefillResult result_;
    bool done_ = false;
};

}  // namespace zs
