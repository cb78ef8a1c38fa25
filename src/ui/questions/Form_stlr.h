#pragma once

#include "questions/similarity.h"
#include "ui/common/knowledgepicker.h"

#include <QDialog>
#include <QTimer>
#include <memory>
#include <optional>

class QListWidgetItem;

namespace Ui {
class Form_stlr;
}

namespace zs {

class RunState;

// Question entry: one question at a time, with its two documents, its ticked
// scopes and their knowledge points, type, difficulty and source.
class Form_stlr : public QDialog {
    Q_OBJECT
public:
    explicit Form_stlr(RunState& state, QWidget* parent = nullptr);
    ~Form_stlr() override;

    void Form_Load();
    // Prepares the first question; runs once, when the screen is first shown.
    void Form_Activate();

    void TreeView1_Click();
    void List_dxzsd_Click(QListWidgetItem* item);
    void List_yxzsd_Click(QListWidgetItem* item);
    void Timer1_Timer();
    void Command_qdlr_Click();
    void Command_fhzjm_Click();

    const QString& currentNumber() const { return CurrentNumber; }
    const ScopeKnowledgeTable& knowledgeTable() const { return knowledge_->table; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;  // the leave confirmation

private:
    bool prepareQuestion();
    // With "录入时检查相似试题" ticked: whether the question may be stored (it
    // is like no question of the bank, or the teacher keeps it anyway).
    bool similarityAllows();
    bool TakeNextNumber();
    // Why no question may be entered now (the documents of the bank are
    // gone); empty when entry may go ahead.
    QString documentsRefusal() const;
    void leaveRefused();
    // Whether a document or a row of the bank has the number already.
    bool numberTaken(const QString& number) const;
    void BindDocuments();
    void RefreshCounters();

    std::unique_ptr<Ui::Form_stlr> ui;
    RunState& state_;
    std::unique_ptr<KnowledgePicker> knowledge_;
    QString CurrentNumber;
    QString QuestionDocPath;
    QString AnswerDocPath;
    QTimer Timer1;
    bool prepared_ = false;
    bool inTimer_ = false;
    bool leaving_ = false;
    bool refused_ = false;  // entry refused: the documents of the bank are gone
    // The bank's questions as similarity knows them: read at the first check,
    // then kept up to date with the questions entered here.
    std::optional<SimilarityIndex> similarity_;
    QString checkedText_;  // the text of the question last checked
};

}  // namespace zs
