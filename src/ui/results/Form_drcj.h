#pragma once

#include "paper/paperrecord.h"
#include "results/classresults.h"
#include "results/resultstats.h"
#include "results/scoresheet.h"

#include <QDialog>
#include <memory>

class QChart;
class QChartView;
class QComboBox;

namespace Ui {
class Form_drcj;
}

namespace zs {

class RunState;

// Results of an exam: the teacher chooses a generated paper and the marking
// system's score sheet, fixes which column belongs to which question, and
// sees the figures of every question (table and chart) and of every
// knowledge point. From there the bank's difficulties are updated, a
// follow-up practice on the weakest points is composed, and the analysis is
// saved as a workbook beside the paper.
class Form_drcj : public QDialog {
    Q_OBJECT
public:
    explicit Form_drcj(RunState& state, QWidget* parent = nullptr);
    ~Form_drcj() override;

    void Form_Load();
    void Combo_sj_Click();
    void Command_xzcjb_Click();
    void Command_gxnd_Click();
    void Command_qrdy_Click();
    void Command_cxgxnd_Click();
    void Command_scbjlx_Click();
    void Command_dcfx_Click();
    void Command_tc_Click();
    void Combo_bj_Click();
    void Command_dcbjcj_Click();
    void Command_xsbg_Click();
    void Command_xsmd_Click();
    void Command_yjcj_Click();
    void Command_smyj_Click();

    // What the screen holds (for tests and pictures).
    const QVector<PaperRecord>& papers() const { return papers_; }
    const ScoreCheck& check() const { return check_; }
    const QVector<QuestionResult>& results() const { return results_; }
    const QVector<KnowledgeResult>& points() const { return points_; }
    // The students with totals and ranks, as handed back.
    const ClassResults& handBack() const { return handBack_; }
    QChartView* chart() const { return chart_; }
    // The chart of the class's score bands.
    QChartView* bandChart() const { return bandChart_; }

    // The columns of the mapping grid.
    enum MappingColumn { MapNumber, MapQuestion, MapType, MapScoreColumn, MapFullMark, MapOptionColumn, MapProblem };

private:
    const PaperRecord* paper() const;
    // The mapping grid from mapping_, and mapping_ back from the grid.
    void showMapping();
    void readMapping();
    // Checks the sheet against the mapping and shows the problems and figures.
    void runCheck();
    void showResults();
    static void showChart(QChartView* view, QChart* chart);
    QComboBox* columnChoice(int row, int column, int selected);

    std::unique_ptr<Ui::Form_drcj> ui;
    RunState& state_;
    QChartView* chart_ = nullptr;
    QChartView* bandChart_ = nullptr;
    void showClassResult();
    // The sheet made from the marks stored for the chosen paper; an empty
    // sheet when it has none. False when the bank cannot be read.
    bool loadMarkedSheet();
    // The figures of the class chosen in Combo_bj (all students for "全体").
    void applyClass();
    void showClassChoices();
    void showStudents();
    // The folder results are saved in: the paper's, or one the teacher chooses.
    QString outputFolder(const QString& what);
    void showUndoState();
    QVector<PaperRecord> papers_;
    ScoreSheet sheet_;
    ScoreMapping mapping_;
    ScoreCheck check_;
    ScoreCheck shownCheck_;  // check_, or the part of it of the chosen class
    QVector<Student> roster_;
    QVector<StudentScores> students_;
    QStringList studentClasses_;
    ClassResults handBack_;
    QVector<QuestionResult> results_;
    QVector<KnowledgeResult> points_;
    bool filling_ = false;
    // False while a sheet whose question count differs from the paper's waits
    // for the teacher to confirm the mapping: no figures until then.
    bool mappingConfirmed_ = true;
};

}  // namespace zs
