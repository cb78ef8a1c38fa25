#include "catalogue/catalogue.h"

#include "app/runstate.h"
#include "catalogue/namecheck.h"
#include "store/bank.h"
#include "store/statement.h"

#include <memory>

namespace zs {

namespace {

const QString kTable = QStringLiteral("教材设置");

// Joins fragments and quoted values: f0 + v0 + f1 + v1 + … + closing.
QString joined(const QStringList& fragments, const QStringList& values, int count, const QString& closing) {
    QString s;
    for (int i = 0; i < count; ++i)
        s += fragments.at(i) + sqlValue(values.at(i));
    return s + closing;
}

void checkLevel(int level) {
    // Levels come from the program's own screens; another one is a fault of the program.
    if (level < 0 || level >= kCatalogueLevels)
        qFatal("catalogue level %d out of range", level);
}

}  // namespace

const QStringList& catalogueColumns() {
    static const QStringList columns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
    return columns;
}

QString catalogueListQuery(int level, const QStringList& p) {
    checkLevel(level);
    auto v = [&](int i) { return sqlValue(p.at(i)); };
    switch (level) {
    case 0:
        return QStringLiteral("select distinct 科目 from 教材设置");
    case 1:
        return "select distinct 教材版本 from 教材设置 where 科目='" + v(0) + "'";
    case 2:
        return "select distinct 年级 from 教材设置 where 科目='" + v(0) + "' and 教材版本='" + v(1) + "'";
    case 3:
        return "select distinct 上下册 from 教材设置 where 科目='" + v(0) + "' and 教材版本='" + v(1) + "' and 年级='" +
               v(2) + "'";
    case 4:
        return "select distinct 章 from 教材设置 where 科目='" + v(0) + "' and 教材版本='" + v(1) + "' and 年级='" +
               v(2) + "'and 上下册='" + v(3) + "'";
    case 5:
        return "select distinct 节 from 教材设置 where 科目='" + v(0) + "' and 教材版本='" + v(1) + "' and 年级='" +
               v(2) + "' and 上下册='" + v(3) + "' and 章='" + v(4) + "'";
    default:
        return "select distinct 知识点 from 教材设置 where 科目='" + v(0) + "' and 教材版本='" + v(1) + "' and 年级='" +
               v(2) + "'and 上下册='" + v(3) + "' and 章='" + v(4) + "' and 节='" + v(5) + "'";
    }
}

QStringList catalogueAppendColumns(int level) {
    checkLevel(level);
    return catalogueColumns().mid(0, level + 1);
}

QString catalogueUpdateStatement(int level, const QString& newName, const QStringList& path) {
    checkLevel(level);
    static const QStringList where = {"' where 科目='", "' and 教材版本= '", "' and 年级='",  "' and 上下册= '",
                                      "' and 章='",     "' and 节='",        "' and 知识点='"};
    const QString& column = catalogueColumns().at(level);
    // The upper four levels write a blank before "=", the lower three do not.
    const QString head = "update 教材设置 set " + column + (level < 4 ? " = '" : "= '") + sqlValue(newName);
    return head + joined(where, path, level + 1, QStringLiteral("'"));
}

QString catalogueDeleteStatement(int level, const QStringList& path) {
    checkLevel(level);
    static const QStringList where = {"delete from  教材设置 where 科目='",
                                      "' and 教材版本='",
                                      "' and 年级='",
                                      "' and 上下册='",
                                      "' and 章='",
                                      "' and 节='",
                                      "' and 知识点='"};
    return joined(where, path, level + 1, QStringLiteral("'"));
}

QString catalogueAddPrompt(int level) {
    checkLevel(level);
    // The edition prompt has no "的" before "<".
    if (level == 1)
        return QStringLiteral("请输入要增加<教材版本>的名称：");
    return "请输入要增加的<" + catalogueColumns().at(level) + ">的名称：";
}

QString catalogueChangePrompt(int level) {
    checkLevel(level);
    return "请输入更改后的<" + catalogueColumns().at(level) + ">的名称：";
}

QString catalogueDeleteWarning(int level) {
    checkLevel(level);
    static const QStringList warnings = {
        "删除科目，会删除该科目下全部教材设置，请慎用！",
        "删除教材版本，会删除该教材版本下全部教材设置，请慎用！",
        "删除年级版本，会删除该年级下全部教材设置，请慎用！",
        "删除上下册版本，会删除该上下册下全部教材设置，请慎用！",
        "删除章，会删除该章下全部教材设置，请慎用！",
        "删除节，会删除该节下全部教材设置，请慎用！",
        "删除知识点，会删除该知识点下全部教材设置（但是不会删除试题），请慎用！",
    };
    return warnings.at(level);
}

QString catalogueDeleteQuestion(int level, const QString& name) {
    checkLevel(level);
    if (level == 0)
        return "确定要删除 “" + name + "” 及其下所有设置吗？";
    return "确定要删除 “" + name + "” 及其下所有教材设置吗？";
}

QString catalogueChangeWarning(const QString& name) {
    return "更改" + name + "，会更改" + name + "下全部教材设置，请慎用！";
}

QString catalogueChangeQuestion(const QString& name) {
    return "确定要更改 “" + name + "” 及其下所有设置吗？";
}

QString cataloguePathLabel(const QString& bankPath) {
    return "当前<教材设置>路径为：" + bankPath;
}

// ---------------------------------------------------------------- Catalogue

Catalogue::Catalogue(RunState& state) : state_(state), bankPath_(state.BankPath) {}

QString Catalogue::currentText(int level) const {
    const List& list = lists_.at(level);
    return list.selected >= 0 ? list.items.at(list.selected) : QString();
}

QStringList Catalogue::selectedPath(int count) const {
    QStringList path;
    for (int i = 0; i < count; ++i)
        path << currentText(i);
    return path;
}

bool Catalogue::leftSelected(int level) const {
    for (int i = 0; i < level; ++i)
        if (lists_[i].selected < 0)
            return false;
    return true;
}

void Catalogue::clearLists() {
    for (List& list : lists_) {
        list.items.clear();
        list.selected = -1;
    }
}

void Catalogue::load() {
    state_.resetBankPath();
    bankPath_ = state_.BankPath;
    clearLists();
    Bank bank(bankPath_);
    for (const QString& name : bank.query(catalogueListQuery(0, {})).texts())
        if (!name.isEmpty())
            lists_[0].items << name;
}

void Catalogue::click(int level, int row) {
    List& list = lists_.at(level);
    if (row < 0 || row >= list.items.size())
        return;
    list.selected = row;
    list.remembered = row;
    if (list.lastRefreshClick == row)
        return;
    list.lastRefreshClick = row;
    refresh();
}

void Catalogue::refresh() {
    if (refreshBank_) {  // a selection made by a refresh in progress
        refreshFrom(*refreshBank_);
        return;
    }
    std::unique_ptr<Bank> bank;
    try {
        bank = std::make_unique<Bank>(bankPath_);
    } catch (const StoreError&) {
        clearLists();
        throw;
    }
    refreshBank_ = bank.get();
    try {
        refreshFrom(*bank);
    } catch (...) {
        refreshBank_ = nullptr;
        throw;
    }
    refreshBank_ = nullptr;
}

void Catalogue::refreshFrom(Bank& bank) {
    for (int level = 0; level < kCatalogueLevels; ++level) {
        List& list = lists_[level];
        list.items.clear();
        list.selected = -1;
        // A list that cannot be read stays empty; the others are still filled.
        try {
            const RowSet rows = bank.query(catalogueListQuery(level, selectedPath(level)));
            for (const QString& name : rows.texts())
                if (!name.isEmpty())
                    list.items << name;
        } catch (const StoreError&) {
        }
        if (list.remembered < list.items.size()) {
            list.selected = list.remembered;
            click(level, list.remembered);
        }
    }
}

void Catalogue::selectText(int level, const QString& text) {
    const int row = int(lists_.at(level).items.indexOf(text));
    if (row >= 0)
        click(level, row);
}

void Catalogue::add(int level) {
    checkLevel(level);
    Prompts& prompts = state_.prompts;
    if (!leftSelected(level)) {
        prompts.show(kPickLeftFirstMessage);
        return;
    }
    const QString name = prompts.input(catalogueAddPrompt(level));
    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        prompts.show(problem);
        return;
    }
    const QString previous = currentText(level);
    if (items(level).contains(name)) {
        prompts.show(kDuplicateNameMessage);
        return;
    }
    RowValues row;
    const QStringList path = selectedPath(level) << name;
    const QStringList columns = catalogueAppendColumns(level);
    for (int i = 0; i < columns.size(); ++i)
        row << qMakePair(columns[i], QVariant(path[i]));
    {
        Bank bank(bankPath_);
        bank.addRow(kTable, row);
    }
    refresh();
    selectText(level, previous);
}

void Catalogue::change(int level) {
    checkLevel(level);
    Prompts& prompts = state_.prompts;
    if (selectedRow(level) < 0) {
        prompts.show(kSelectToChangeMessage);
        return;
    }
    const QString name = currentText(level);
    prompts.show(catalogueChangeWarning(name));
    if (prompts.message(catalogueChangeQuestion(name), Buttons::OkCancel) != Answer::Ok)
        return;
    const QString newName = prompts.input(catalogueChangePrompt(level), {}, name);
    if (const QString problem = nameProblem(newName); !problem.isEmpty()) {
        prompts.show(problem);
        return;
    }
    {
        Bank bank(bankPath_);
        bank.execute(catalogueUpdateStatement(level, newName, selectedPath(level + 1)));
    }
    refresh();
}

void Catalogue::remove(int level) {
    checkLevel(level);
    Prompts& prompts = state_.prompts;
    if (!leftSelected(level)) {
        prompts.show(kCheckLeftBeforeDeleteMessage);
        return;
    }
    if (selectedRow(level) < 0) {
        prompts.show(kSelectToDeleteMessage);
        return;
    }
    const QString name = currentText(level);
    prompts.show(catalogueDeleteWarning(level));
    if (prompts.message(catalogueDeleteQuestion(level, name), Buttons::OkCancel) != Answer::Ok)
        return;
    const QStringList path = selectedPath(level + 1);
    {
        Bank bank(bankPath_);
        bank.transaction([&] {
            bank.execute(catalogueDeleteStatement(level, path));
            // The item above keeps existing when its last child goes, even when
            // no row of its own carried it.
            if (level > 0) {
                const QStringList parent = path.mid(0, level);
                if (bank.query(catalogueListQuery(level, parent)).isEmpty()) {
                    RowValues row;
                    for (int i = 0; i < level; ++i)
                        row << qMakePair(catalogueColumns()[i], QVariant(parent[i]));
                    bank.addRow(kTable, row);
                }
            }
        });
    }
    refresh();
}

void Catalogue::openOtherBank() {
    Prompts& prompts = state_.prompts;
    const QString path = prompts.openFile(kBankFileFilter);
    if (path.isEmpty()) {
        prompts.show(kNoFileChosenMessage);
    } else {
        // A file that is not a bank is refused; the screen keeps its bank.
        try {
            Bank probe(path);
            bankPath_ = path;
            state_.BankPath = path;
        } catch (const StoreError& e) {
            prompts.messageWithDetails(e.message(), e.details(), Icon::Critical);
        }
    }
    refresh();
}

}  // namespace zs
