#pragma once

#include "ui/common/knowledgepicker.h"

#include <QDate>
#include <QDialog>
#include <QMap>
#include <QTimer>
#include <functional>
#include <memory>

class QListWidgetItem;
class QTreeWidgetItem;

namespace Ui {
class Form_drsj;
}

namespace zs {

class PaperImport;
struct ImportItem;
class RunState;
class WordInstance;
struct FilingSettings;

// Paper import: a Word paper (and, if the teacher has one, its separate answer
// document) is split into questions through the office; the teacher reviews
// the split with previews of every question and answer, corrects it, files the
// questions under scopes, knowledge points, a difficulty and a source, and
// imports them into the bank in one go.
class Form_drsj : public QDialog {
    Q_OBJECT
public:
    explicit Form_drsj(RunState& state, QWidget* parent = nullptr);
    ~Form_drsj() override;

    void Form_Load();
    void Command_xzsj_Click();
    void Command_xzda_Click();
    void Command_qcda_Click();
    void Command_cfsj_Click();
    void List_st_Click();
    void List_st_ItemChanged(QTreeWidgetItem* item, int column);
    void Command_hbsyt_Click();
    void Command_cf_Click();
    void Command_ydda_Click();
    void Command_dagy_Click();
    void Command_gwctx_Click();
    void Command_qx_Click();
    void Command_qbx_Click();
    void TreeView1_Click();
    void List_dxzsd_Click(QListWidgetItem* item);
    void List_yxzsd_Click(QListWidgetItem* item);
    void Timer1_Timer();
    void Command_yydsx_Click();
    void Command_yydqb_Click();
    void Command_qddr_Click();
    void Command_fhzjm_Click();

    // The paper being reviewed (null before a split and after an import).
    const PaperImport* paperImport() const { return import_.get(); }
    const ScopeKnowledgeTable& knowledgeTable() const { return knowledge_->table; }
    // Why the screen cannot be used (the documents of the bank's questions are
    // gone), told when it opened; empty when it can.
    const QString& refusal() const { return refusal_; }
    // The private folder of the current split (empty before one).
    const QString& workFolder() const { return work_; }

    // Escape and the window's close button leave as "返回主界面" does.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;  // the leave confirmation

private:
    // Runs `work`, showing a failure (bank, office, paper) as a message.
    bool attempt(const std::function<void()>& work);
    WordInstance& word();
    // The settings of the panel; false (after telling the teacher) when a
    // ticked scope has no knowledge point.
    bool panelSettings(FilingSettings& settings, bool& scopesSet);
    void applySettings(const QList<int>& items);
    void showItems(int current = 0);
    void showItem(int row);
    // Beside the question: the bank's question a flagged one is like.
    void showSimilar(const ImportItem* item);
    QList<int> selectedItems() const;
    void setAllTicked(bool ticked);
    void showProgress(int done, int total, const QString& what);
    void leave();
    void removeWorkFolder();
    // After an import: offers the paper's scores as the scores of types that have none.
    void offerTypeScores(const QMap<QString, double>& scores);
    // Today, for the entry date of the questions.
    QDate today() const;

    std::unique_ptr<Ui::Form_drsj> ui;
    RunState& state_;
    std::unique_ptr<KnowledgePicker> knowledge_;
    QString work_;
    QString refusal_;
    std::unique_ptr<WordInstance> word_;
    std::unique_ptr<PaperImport> import_;
    QString paperPath_, answerPath_;
    QTimer Timer1;
    bool filling_ = false;
    bool inTimer_ = false;
    bool leaving_ = false;
};

}  // namespace zs
