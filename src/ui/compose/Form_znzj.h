#pragma once

#include "plan/composition.h"
#include "plan/compositionparameters.h"
#include "plan/compositionsettings.h"

#include <QDialog>
#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTreeWidget;

namespace Ui {
class Form_znzj;
}

namespace zs {

class RunState;

// Intelligent composition: the teacher states the scope, the number of
// questions of each type, the share of each difficulty level and the teacher,
// source and date filters; "计算最优方案" searches the plan that comes closest
// and shows it as the specification table of the manual composition screen.
class Form_znzj : public QDialog {
    Q_OBJECT
public:
    explicit Form_znzj(RunState& state, QWidget* parent = nullptr);
    ~Form_znzj() override;

    void Form_Load();

    // Per-type counts and the total.
    void Check_tx_Click(int i);
    void Command_tsjian_Click(int i);
    void Command_tsjia_Click(int i);
    void Text_ts_Change(int i);
    void RecountTotal();

    // Difficulty shares.
    void HScroll_ndbl_Change(int i);
    void ShowOverallDifficulty();
    void ShowShareTotal();
    void ColourShareTotal();

    void Check_zzzq_Click();
    void Check_zzzh_Click();
    // "近 __ 天内用过的题不选": the day count is enabled while the box is ticked.
    void Check_jtnyg_Click();
    void TreeView_kcfw_NodeCheck(int node);
    void Command_jszyfa_Click();
    void Command_tc_Click();
    void Image_logo_Click();

    // The questions of the ticked scope (with the teacher, source and date
    // filters) per type and per level, beside the type counts and the level
    // shares; red where the request asks for more than there are.
    void ShowScopeCounts();
    void ColourScopeCounts();

    // What the controls show, as the parameter logic reads it.
    CompositionInputs inputs() const;
    // Builds the parameters from the controls and checks them, showing the
    // check's message. False when a problem was reported (or the bank could
    // not be read).
    bool CollectParameters(CompositionParameters& parameters);

    // The sum of the five level percentages as last shown in Label_blzj.
    qint16 ShareTotal = 0;

    // The control arrays (index = the control's index).
    std::array<QCheckBox*, kTypeSlotCount> Check_tx{};
    std::array<QLineEdit*, kTypeSlotCount> Text_ts{};
    std::array<QPushButton*, kTypeSlotCount> Command_tsjian{};
    std::array<QPushButton*, kTypeSlotCount> Command_tsjia{};
    std::array<QScrollBar*, kLevelCount> HScroll_ndbl{};
    std::array<QLabel*, kLevelCount> Label_ndbl{};
    std::array<QLabel*, kTypeSlotCount> Label_txsl{};
    std::array<QLabel*, kLevelCount> Label_ndsl{};

private:
    void fillFilterTree(QTreeWidget* tree, const QString& keyPrefix, const QStringList& values);
    static QStringList tickedTexts(const QTreeWidget* tree);
    std::array<int, kLevelCount> shareValues() const;
    void runSearch(const CompositionParameters& parameters);
    // Remembers the recent-use filter in the bank (a failure is reported).
    void saveRecentUse();

    std::unique_ptr<Ui::Form_znzj> ui;
    RunState& state_;
    // The recent-use filter as the bank holds it.
    RecentUseSetting savedRecentUse_;
    // What the ticked scope holds, as last counted (none: not counted).
    std::optional<ScopeCounts> scopeCounts_;
};

}  // namespace zs
