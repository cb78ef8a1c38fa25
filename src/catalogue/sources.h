#pragma once

#include <QString>
#include <QStringList>

namespace zs {

class RunState;

// ---- statements and texts of the question-source screen (table 试题来源)
inline const QString kSourcesQuery = QStringLiteral("select * from 试题来源");
QString sourceUpdateStatement(const QString& newName, const QString& oldName);
QString sourceDeleteStatement(const QString& name);

inline const QString kSourceAddPrompt = QStringLiteral("请输入要增加的<试题来源>的名称：");
inline const QString kSourceChangePrompt = QStringLiteral("请输入更改后的<试题来源>的名称：");
QString sourceChangeQuestion(const QString& name);
QString sourceDeleteQuestion(const QString& name);

// The list of question sources and the operations on it. The list shows the
// sources in natural order (by the number before the first "-").
class SourceList {
public:
    explicit SourceList(RunState& state);

    // Opening the screen: the application's bank, its sources listed.
    void load();
    void refresh();

    const QStringList& items() const { return items_; }
    const QString& bankPath() const { return bankPath_; }

    // The commands of the screen; `row` is the selected entry (-1 for none).
    void add();
    void rename(int row);
    void remove(int row);

private:
    RunState& state_;
    QString bankPath_;
    QStringList items_;
};

}  // namespace zs
