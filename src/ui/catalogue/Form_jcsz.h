#pragma once

#include "catalogue/catalogue.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QListWidget;

namespace Ui {
class Form_jcsz;
}

namespace zs {

class RunState;

// 教材设置: the seven levels of the textbook catalogue side by side, each with
// its add, change and delete command.
class Form_jcsz : public QDialog {
    Q_OBJECT

public:
    explicit Form_jcsz(RunState& state, QWidget* parent = nullptr);
    ~Form_jcsz() override;

    const Catalogue& catalogue() const { return catalogue_; }

    void Form_Load();

    void List_km_Click();
    void List_jcbb_Click();
    void List_nj_Click();
    void List_sxc_Click();
    void List_z_Click();
    void List_j_Click();
    void List_zsd_Click();

    void Command_zjkm_Click();
    void Command_zjjcbb_Click();
    void Command_zjnj_Click();
    void Command_zjsxc_Click();
    void Command_zjz_Click();
    void Command_zjj_Click();
    void Command_zjzsd_Click();

    void Command_ggkm_Click();
    void Command_ggjcbb_Click();
    void Command_ggnj_Click();
    void Command_ggsxc_Click();
    void Command_ggz_Click();
    void Command_ggj_Click();
    void Command_ggzsd_Click();

    void Command_sckm_Click();
    void Command_scjcbb_Click();
    void Command_scnj_Click();
    void Command_scsxc_Click();
    void Command_scz_Click();
    void Command_scj_Click();
    void Command_sczsd_Click();

    void Command_dkwbjc_Click();
    void Command_fhzjm_Click();

private:
    void listClicked(int level);
    // Runs a command on the catalogue, then shows the lists as they now are.
    void run(const std::function<void()>& work);
    void showLists();
    void showBankPath();

    RunState& state_;
    Catalogue catalogue_;
    std::unique_ptr<Ui::Form_jcsz> ui;
    std::array<QListWidget*, kCatalogueLevels> lists_{};
    std::array<QStringList, kCatalogueLevels> shown_;
};

}  // namespace zs
