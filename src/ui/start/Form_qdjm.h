#pragma once

#include <QDialog>
#include <memory>

class QTimer;

namespace Ui {
class Form_qdjm;
}

namespace zs {

class RunState;

// The splash screen shown at start and after logging out: the application
// folder's start-up picture for seven seconds, then the login screen.
class Form_qdjm : public QDialog {
    Q_OBJECT

public:
    explicit Form_qdjm(RunState& state, QWidget* parent = nullptr);
    ~Form_qdjm() override;

    // A splash screen of its own that goes away when it closes, shown.
    static Form_qdjm* showNew(RunState& state);

    // Closes the splash screen and opens the login screen.
    void Timer1_Timer();

    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();

    RunState& state_;
    std::unique_ptr<Ui::Form_qdjm> ui;
};

}  // namespace zs
