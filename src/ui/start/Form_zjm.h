#pragma once

#include <QMainWindow>
#include <memory>

class QLabel;
class QTimer;

namespace Ui {
class Form_zjm;
}

namespace zs {

class RunState;

// The main menu: every screen of the program is opened from here; the status
// bar names the logged-in teacher and the title scrolls.
class Form_zjm : public QMainWindow {
    Q_OBJECT

public:
    explicit Form_zjm(RunState& state, QWidget* parent = nullptr);
    ~Form_zjm() override;

    // A main menu of its own that goes away when it closes, shown.
    static Form_zjm* showNew(RunState& state);

    // The text of status-bar panel 1, 2 or 3.
    QString panelText(int panel) const;

    // Scrolls the title by one character.
    void Timer1_Timer();

    // ---- the buttons
    void Command_jcsz_Click();
    void Command_tysz_Click();
    void Command_tccx_Click();
    void Command_tkfx_Click();
    void Command_stlr_Click();
    void Command_stckxg_Click();
    void Command_drsj_Click();
    void Command_sdzj_Click();
    void Command_znzj_Click();
    void Command_drcj_Click();
    // ---- the menu
    void jcsz_Click();
    void yhzc_Click();
    void yhgm_Click();
    // Shown only to a 元老级用户 of a school bank.
    void czmm_Click();
    void tcdl_Click();
    void stlr_Click();
    void stckyxg_Click();
    void drsj_Click();
    void znzj_Click();
    void sdzj_Click();
    void drcj_Click();
    void sybz_Click();
    void lxzz_Click();
    // ---- the logo
    void Image_logo_Click();

    QTimer* Timer1;

private:
    void Form_Load();
    // Enables the commands that open one screen, or disables them with a note
    // when that screen is not part of the program yet.

    // The screens of the other parts of the program, one place each.
    void openCatalogue();               // Form_jcsz
    void openSources();                 // Form_tysz
    void openSharing();                 // Form_tkfx
    void openNumberMaintenance();       // Form_cshtmbh, which goes on to Form_stlr
    void openQuestionEntry();           // Form_stlr
    void openBrowse();                  // Form_stckxg
    void openPaperImport();             // Form_drsj
    void openManualComposition();       // Form_sdzj
    void openIntelligentComposition();  // Form_znzj
    void openResults();                 // Form_drcj

    RunState& state_;
    std::unique_ptr<Ui::Form_zjm> ui;
    QLabel* panels_[3] = {};
};

}  // namespace zs
