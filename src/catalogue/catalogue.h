#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace zs {

class Bank;
class RunState;

// The textbook catalogue (table 教材设置) has seven levels, numbered here from
// 0: 科目, 教材版本, 年级, 上下册, 章, 节, 知识点. A row spells one path from the
// top; its lower columns stay empty for an item that has no children yet.
constexpr int kCatalogueLevels = 7;

// The column of each level, from the top.
const QStringList& catalogueColumns();

// ---- statements of the catalogue screen. `path` holds the names of the levels
// from the top (科目 first); values are quoted through sqlValue().

// The distinct names of `level` under the names of the levels above it (`path`
// needs at least `level` names).
QString catalogueListQuery(int level, const QStringList& path);
// The columns a new item at `level` is appended with (the levels above it and
// its own).
QStringList catalogueAppendColumns(int level);
// Renames the item at `level` whose path (levels 0 to `level`) is `path`.
QString catalogueUpdateStatement(int level, const QString& newName, const QStringList& path);
// Deletes every row under the item at `level` whose path is `path`.
QString catalogueDeleteStatement(int level, const QStringList& path);

// ---- texts of the catalogue screen
QString catalogueAddPrompt(int level);
QString catalogueChangePrompt(int level);
QString catalogueDeleteWarning(int level);
QString catalogueDeleteQuestion(int level, const QString& name);
QString catalogueChangeWarning(const QString& name);
QString catalogueChangeQuestion(const QString& name);
QString cataloguePathLabel(const QString& bankPath);

inline const QString kPickLeftFirstMessage = QStringLiteral("请先选择好左边的上一级项目！");
inline const QString kCheckLeftBeforeDeleteMessage = QStringLiteral("请先选择左边的项目是否正确的选择了！");
inline const QString kSelectToChangeMessage = QStringLiteral("请先选中待更改项！");
inline const QString kSelectToDeleteMessage = QStringLiteral("请先选中待删除项！");
inline const QString kDuplicateNameMessage = QStringLiteral("和原有项目重复！");
inline const QString kNoFileChosenMessage = QStringLiteral("对不起！你没有选择任何文件！");
inline const QString kBankFileFilter = QStringLiteral("Access文件|*.mdb;*.mdb");

// The seven lists of the catalogue screen with their selections, and the
// operations on them. Every list remembers a position (the first entry to
// begin with) that it selects again whenever the lists are refreshed; a
// selection made by a refresh counts as a click on that list, so a first click
// on a subject selects the first entry of every level below it.
class Catalogue {
public:
    explicit Catalogue(RunState& state);

    // Opening the screen: the application's bank, its subjects listed, nothing
    // selected.
    void load();

    // The bank this screen works on (the application's, or another one opened).
    const QString& bankPath() const { return bankPath_; }

    const QStringList& items(int level) const { return lists_.at(level).items; }
    // Selected row of a list, -1 when nothing is selected.
    int selectedRow(int level) const { return lists_.at(level).selected; }
    // Text of the selected entry, empty when nothing is selected.
    QString currentText(int level) const;
    int rememberedPosition(int level) const { return lists_.at(level).remembered; }

    // The teacher (or a refresh) selects `row` of a list.
    void click(int level, int row);
    // Refills all lists from the top, selecting the remembered positions.
    void refresh();

    // The commands of the screen; they ask and tell through the prompts.
    void add(int level);
    void change(int level);
    void remove(int level);
    void openOtherBank();

private:
    struct List {
        QStringList items;
        int selected = -1;
        int remembered = 0;
        std::optional<int> lastRefreshClick;
    };

    // Names of the selected entries of levels 0 to `count` - 1.
    QStringList selectedPath(int count) const;
    bool leftSelected(int level) const;
    void refreshFrom(Bank& bank);
    void selectText(int level, const QString& text);
    void clearLists();

    RunState& state_;
    QString bankPath_;
    std::array<List, kCatalogueLevels> lists_;
    Bank* refreshBank_ = nullptr;  // the bank a refresh in progress reads
};

}  // namespace zs
