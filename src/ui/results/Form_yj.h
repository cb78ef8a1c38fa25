#pragma once

#include "marking/answersource.h"
#include "marking/marks.h"
#include "paper/paperrecord.h"
#include "results/roster.h"

#include <QDialog>
#include <QImage>
#include <memory>
#include <optional>

namespace Ui {
class Form_yj;
}

namespace zs {

class RunState;

// 阅卷: the written answers of one question after another, marked on screen.
// The teacher chooses a question; each student's answer is shown large with
// the question, its answer key and full mark beside it; a score is typed and
// Enter shows the next answer. F gives full marks, Z zero, P sets the answer
// aside for later, PgUp/PgDn go back and on. Every score is stored the moment
// it is given. Marking is anonymous unless the teacher unticks it.
class Form_yj : public QDialog {
    Q_OBJECT
public:
    Form_yj(RunState& state, const PaperRecord& paper, std::shared_ptr<AnswerSource> source, QWidget* parent = nullptr);
    ~Form_yj() override;

    void Form_Load();
    void List_tm_Click();
    void Command_qd_Click();
    void Command_mf_Click();
    void Command_lf_Click();
    void Command_wt_Click();
    void Command_sy_Click();
    void Command_xy_Click();
    void Check_nm_Click();
    void Command_tc_Click();

    // What the screen holds (for tests and pictures).
    int question() const { return question_; }
    const MarkingQueue* queue() const { return queue_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseQuestion(int question);
    std::optional<double> fullMark(int question);
    void give(double score, bool problem);
    void showAnswer();
    // The answer's picture as wide as the view (up to twice its own size).
    void fitAnswer();
    void showProgress();
    void showQuestionList();

    std::unique_ptr<Ui::Form_yj> ui;
    RunState& state_;
    PaperRecord paper_;
    std::shared_ptr<AnswerSource> source_;
    QVector<int> questions_;
    QVector<Student> roster_;
    int question_ = 0;
    double full_ = 0;
    std::unique_ptr<MarkingQueue> queue_;
    bool filling_ = false;
    QImage answerImage_;
};

}  // namespace zs
