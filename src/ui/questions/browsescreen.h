#pragma once

#include "questions/questionsearch.h"
#include "ui/common/knowledgepicker.h"

#include <QDialog>
#include <QHash>
#include <QTimer>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace zs {

class DocumentView;
class RunState;
class ScopeTreeWidget;

// What the question browse screen and the question picker share: searching the
// bank, paging through the found rows, showing the current question with its
// documents, scopes and knowledge points, and changing or deleting it. A
// derived screen lays out its own form and calls bindControls(), which finds
// the shared controls by their object names and connects their handlers.
class BrowseScreen : public QDialog {
    Q_OBJECT
public:
    ~BrowseScreen() override;

    void Form_Load();

    void Command_ss_Click();
    void Command_qksstj_Click();
    void Command_dwdthsbm_Click();
    void Command_syt_Click();
    void Command_xyt_Click();
    void Command_tz_Click();
    void Command_qdxg_Click();
    void Command_scct_Click();
    void TreeView2_Click();
    void List_dxzsd_Click(QListWidgetItem* item);
    void List_yxzsd_Click(QListWidgetItem* item);
    void Timer1_Timer();

    // Shows the result set's current row (or the not-found state).
    void ShowCurrentQuestion();

    const QuestionBrowser& browser() const { return browser_; }
    const DisplayedQuestion& displayed() const { return displayed_; }
    const ScopeKnowledgeTable& knowledgeTable() const { return knowledge_->table; }

protected:
    BrowseScreen(RunState& state, QWidget* parent);

    // Finds the shared controls of the laid-out form and connects them.
    void bindControls();

    // The differences of the derived screens.
    virtual bool goToNeedsSearch() const { return false; }
    virtual bool changeChecksSource() const { return true; }
    // Deletes the displayed question from the bank and shows what follows.
    virtual void deleteDisplayed(const QString& number);

    // Whether the bank could not be read when the screen opened (the teacher
    // was told, and the screen says so).
    bool bankUnread() const { return bankUnread_; }
    // Runs a search statement as the result set and shows its first row.
    void runSearch(const QString& statement);
    bool eventFilter(QObject* watched, QEvent* event) override;

    RunState& state_;
    QuestionBrowser browser_;
    DisplayedQuestion displayed_;
    QHash<QString, qlonglong> ownRevisions_;  // questions changed here since the search
    std::unique_ptr<KnowledgePicker> knowledge_;
    QTimer Timer1;

    ScopeTreeWidget* TreeView1 = nullptr;
    ScopeTreeWidget* TreeView2 = nullptr;
    QComboBox* Combo_tx_ss = nullptr;
    QComboBox* Combo_nd_ss = nullptr;
    QComboBox* Combo_stly_ss = nullptr;
    QComboBox* Combo_zz_ss = nullptr;
    QComboBox* Combo_tx_sz = nullptr;
    QComboBox* Combo_nd_sz = nullptr;
    QComboBox* Combo_stly_sz = nullptr;
    QLineEdit* Text_zsd = nullptr;
    QLineEdit* Text_tzd = nullptr;
    QListWidget* List_dxzsd = nullptr;
    QListWidget* List_yxzsd = nullptr;
    QLabel* Label_ssdts = nullptr;
    QLabel* Label_dqtmsdjt = nullptr;
    QLabel* Label_dqtmbh = nullptr;
    QLabel* Label_dqtmsbm = nullptr;
    DocumentView* OLE_tm = nullptr;
    DocumentView* OLE_da = nullptr;

private:
    void showNotFound();
    // The codes of the questions that share `number` (one or none when it is
    // not shared); nullopt when the bank could not be read (the teacher was told).
    std::optional<QStringList> sharingCodes(const QString& number);
    // When the displayed question shares its number with other questions,
    // offers it a number of its own instead of the change; true when the
    // change must not go on.
    bool splitSharedNumber();
    void clearQuestionTree();
    void restyleQuestionTree();
    // Adds the knowledge rows of ticked scopes that have none; false when a scope
    // above section level ended the program.
    bool addKnowledgeRows();

    bool inTimer_ = false;
    bool bankUnread_ = false;  // the bank could not be read when the screen opened
};

}  // namespace zs
