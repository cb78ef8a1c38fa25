#pragma once

#include "paper/answercard.h"
#include "paper/paperrecord.h"
#include "results/roster.h"
#include "scan/scanstore.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Form_smyj;
}

namespace zs {

class RunState;

// 扫描阅卷: the scanned answer sheets of one paper. The teacher chooses the
// copier's files (or their folder); every page is read and kept at once, so a
// batch that was stopped goes on where it stopped. What is not clear (a light
// mark, two marks on a 单选题, a 考号 not filled, one 考号 on two sheets, a
// page missing or of another paper) is listed, each with the piece of the
// scan it is about, and confirmed with one line and Enter. The objective
// questions are marked against the key at once; the written answers are
// marked on screen (阅卷).
class Form_smyj : public QDialog {
    Q_OBJECT
public:
    Form_smyj(RunState& state, const PaperRecord& paper, QWidget* parent = nullptr);
    ~Form_smyj() override;

    void Form_Load();
    void Command_wj_Click();
    void Command_wjj_Click();
    void Command_tz_Click();
    void List_dq_Click();
    void Command_qr_Click();
    void Command_sc_Click();
    void Table_da_Change(int row, int column);
    void Combo_bf_Click();
    void Command_yj_Click();
    void Command_gb_Click();

    // Reads the pages of the files (those read before are skipped).
    void readFiles(const QStringList& files);

    const ScanResults& results() const { return results_; }
    const CardLayout& layout() const { return layout_; }

private:
    QString scansFolder() const;
    // Gathers the stored pages again, marks what can be marked and shows it all.
    void refresh(int reviewRow = 0);
    void showKeys();
    void showPicture(const QImage& picture);

    std::unique_ptr<Ui::Form_smyj> ui;
    RunState& state_;
    PaperRecord paper_;
    CardLayout layout_;
    QVector<Student> roster_;
    QVector<ScannedPage> pages_;
    ScanResults results_;
    bool stop_ = false;
    bool reading_ = false;
    bool filling_ = false;
};

}  // namespace zs
