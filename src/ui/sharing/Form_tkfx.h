#pragma once

#include "sharing/banksharing.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>

class QRadioButton;
class QTemporaryDir;

namespace Ui {
class Form_tkfx;
}

namespace zs {

class RunState;

// 题库分享: exports ticked sections of the current bank (questions with their
// documents, catalogue rows, or both) into a dated folder on the desktop, and
// imports ticked sections of another bank file into the current one.
class Form_tkfx : public QDialog {
    Q_OBJECT

public:
    explicit Form_tkfx(RunState& state, QWidget* parent = nullptr);
    ~Form_tkfx() override;

    void Form_Load();

    // ---- export tab
    void TreeView_tkdc_NodeCheck(int node);
    void TreeView_tkdr_NodeCheck(int node);
    void Command_szdcwz_Click();
    void Command_dc_Click();
    void Command_tc_Click();
    // ---- import tab
    void Command_dkwbtk_Click();
    void Command_dr_Click();
    void Command2_Click();

    // The deepest ticked sections of each tree, in tree order.
    QStringList CollectExportScope() const;
    QStringList CollectImportScope() const;

    // The bank file the import tree was built from (empty before one is
    // opened); for a .zip, the bank unpacked from it.
    const QString& externalBankPath() const { return ExternalBankPath; }

private:
    static ShareContent chosen(QRadioButton* only, QRadioButton* catalogueOnly, QRadioButton* both);
    void backToMainMenu();

    RunState& state_;
    std::unique_ptr<Ui::Form_tkfx> ui;
    QString ExternalBankPath;
    std::unique_ptr<QTemporaryDir> unpacked_;  // where a chosen .zip was unpacked
};

}  // namespace zs
