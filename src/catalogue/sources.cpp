#include "catalogue/sources.h"

#include "app/runstate.h"
#include "catalogue/catalogue.h"
#include "catalogue/namecheck.h"
#include "store/bank.h"
#include "store/naturalorder.h"
#include "store/statement.h"

#include <algorithm>

namespace zs {

QString sourceUpdateStatement(const QString& newName, const QString& oldName) {
    return "update 试题来源 set 试题来源 = '" + sqlValue(newName) + "' where 试题来源='" + sqlValue(oldName) + "'";
}

QString sourceDeleteStatement(const QString& name) {
    return "delete from  试题来源 where 试题来源='" + sqlValue(name) + "'";
}

QString sourceChangeQuestion(const QString& name) {
    return "确定要更改 “" + name + "” 吗？";
}

QString sourceDeleteQuestion(const QString& name) {
    return "确定要删除 “" + name + "” 吗？";
}

SourceList::SourceList(RunState& state) : state_(state), bankPath_(state.BankPath) {}

void SourceList::load() {
    state_.resetBankPath();
    bankPath_ = state_.BankPath;
    refresh();
}

void SourceList::refresh() {
    items_.clear();
    Bank bank(bankPath_);
    const RowSet rows = bank.query(kSourcesQuery);
    items_ = rows.texts(rows.columnIndex(QStringLiteral("试题来源")));
    std::stable_sort(items_.begin(), items_.end(), naturalLess);
}

void SourceList::add() {
    Prompts& prompts = state_.prompts;
    const QString name = prompts.input(kSourceAddPrompt);
    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        prompts.show(problem);
        return;
    }
    if (items_.contains(name)) {
        prompts.show(kDuplicateNameMessage);
        return;
    }
    {
        Bank bank(bankPath_);
        bank.addRow(QStringLiteral("试题来源"), {{QStringLiteral("试题来源"), name}});
    }
    refresh();
}

void SourceList::rename(int row) {
    Prompts& prompts = state_.prompts;
    if (row < 0 || row >= items_.size()) {
        prompts.show(kSelectToChangeMessage);
        return;
    }
    const QString name = items_.at(row);
    if (prompts.message(sourceChangeQuestion(name), Buttons::OkCancel) != Answer::Ok)
        return;
    const QString newName = prompts.input(kSourceChangePrompt, {}, name);
    if (const QString problem = nameProblem(newName); !problem.isEmpty()) {
        prompts.show(problem);
        return;
    }
    // The list still holds the old name: keeping it unchanged is a duplicate too.
    if (items_.contains(newName)) {
        prompts.show(kDuplicateNameMessage);
        return;
    }
    {
        Bank bank(bankPath_);
        bank.execute(sourceUpdateStatement(newName, name));
    }
    refresh();
}

void SourceList::remove(int row) {
    Prompts& prompts = state_.prompts;
    if (row < 0 || row >= items_.size()) {
        prompts.show(kSelectToDeleteMessage);
        return;
    }
    const QString name = items_.at(row);
    if (prompts.message(sourceDeleteQuestion(name), Buttons::OkCancel) != Answer::Ok)
        return;
    {
        Bank bank(bankPath_);
        bank.execute(sourceDeleteStatement(name));
    }
    refresh();
}

}  // namespace zs
