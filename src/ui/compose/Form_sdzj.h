#pragma once

#include "paper/scores.h"
#include "paper/spectable.h"

#include <QColor>
#include <QDialog>
#include <memory>
#include <optional>

class QMenu;
class QAction;

namespace Ui {
class Form_sdzj;
}

namespace zs {

class RunState;

// Manual composition: the two-way specification table of a paper, its row
// commands, smart sort, special training, workbook and the generation.
class Form_sdzj : public QDialog {
    Q_OBJECT
public:
    explicit Form_sdzj(RunState& state, QWidget* parent = nullptr);
    ~Form_sdzj() override;

    // The table itself; after changing it directly call showTable().
    SpecTable& table() { return table_; }
    // Shows the table's texts in the grid (colours stay with their rows).
    void showTable();

    // A/B papers: the B paper's table beside the A paper's. The teacher
    // switches between them ("A卷"/"B卷"); the commands act on the table shown,
    // and its generated files and workbook carry its mark.
    void setSecondPaper(SpecTable second);
    bool hasPaperPair() const { return other_.has_value(); }
    // Opens on the A/B pair kept from the last time, if any.
    void restoreKeptPair();

    // What the screen does when it is shown: fit the columns (the default)
    // and, for a table another screen filled, sort it as a loaded table.
    void arrangeOnActivate(bool autoSize, bool sortLoaded);
    // 0 while the A paper is shown, 1 for the B paper.
    int shownPaper() const { return shownPaper_; }
    void showPaper(int paper);
    // "A卷" or "B卷" for the table shown; empty without a B paper.
    QString paperMark() const;

    // Named procedures.
    void InitHeader();
    void Col0Display();
    void AutoSize();
    void ZhiNengPaiXu();

    void Form_Load();
    void Form_Activate();

    // Grid events (row and column under the pointer).
    void MSFlexGrid1_Click(int row);
    void MSFlexGrid1_MouseUp(Qt::MouseButton button, int row, int column, const QPoint& globalPos);
    void MSFlexGrid1_DblClick(int row, int column);

    // Context menu and buttons.
    void addpre_Click();
    void addlast_Click();
    void del_Click();
    void tonext_Click();
    void topre_Click();
    void ShengChengZhuanXiangXunLian_Click();
    void Command_sczxxl_Click();
    void Command_zhinengpaixu_Click();
    void Command_TiaoZhengBiaoGe_Click();
    void Command_tczj_Click();
    void Command_scsj_Click();
    void Command_bcbg_Click();
    void Command_drbg_Click();
    // The scores: the type scores screen, and a question's own score
    // (double click on its 分值 cell).
    void Command_fzsz_Click();
    void editScore(int row);

    // Screen state.
    qint16 CurrentRow = 0;
    qint16 HighlightRow = 0;
    bool TableModified = false;
    qint32 OpenWidth = 0;
    bool AutoSizeOnActivate = true;
    bool SortOnActivate = false;
    // How the next smart sort was started (kSortByClick, kSortAfterLoading).
    QString SortTrigger;
    // The question number the context menu's 删除 takes out (0: the row alone).
    qint16 DeleteKey = 0;

    QMenu* popmenu() const { return popmenu_; }
    // Background of a grid row as painted (invalid: the grid's default).
    QColor rowColour(int row) const { return row < rowColours_.size() ? rowColours_[row] : QColor(); }
    // The type scores the 分值 column falls back on.
    const TypeScores& typeScores() const { return typeScores_; }
    // The table with every question's score in its 分值 cell: what is saved
    // and generated.
    SpecTable scoredTable() const { return withScores(table_, typeScores_); }
    // Pixels of a length given in twips, on this screen.
    int twips(double value) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintRow(int row, const QColor& colour);
    void rowCommandDone();
    void loadTypeScores();
    void showTotal();

    std::unique_ptr<Ui::Form_sdzj> ui;
    RunState& state_;
    SpecTable table_;
    TypeScores typeScores_;
    QVector<QColor> rowColours_;
    QMenu* popmenu_ = nullptr;
    QAction* del_ = nullptr;
    bool shown_ = false;
    bool closing_ = false;
    // The table not shown (A/B papers), with its colours and selection.
    std::optional<SpecTable> other_;
    QVector<QColor> otherColours_;
    qint16 otherHighlight_ = 0;
    int shownPaper_ = 0;
};

}  // namespace zs
