#include "store/bank.h"

#include "store/bankstore.h"
#include "store/naturalorder.h"
#include "store/serverlocation.h"
#include "store/statement.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <numeric>

namespace zs {

StoreError::StoreError(const QString& message, const QString& details)
    : std::runtime_error(message.toStdString()), message_(message), details_(details) {}

// ---------------------------------------------------------------- RowSet

RowSet::RowSet(QStringList columns, QVector<QVariant> cells) : columns_(std::move(columns)), cells_(std::move(cells)) {}

int RowSet::columnIndex(const QString& name) const {
    return columns_.indexOf(name);
}

QVariant RowSet::value(int row, int column) const {
    if (row < 0 || row >= count() || column < 0 || column >= columns_.size())
        return {};
    return cells_[row * columns_.size() + column];
}

QVariant RowSet::value(int row, const QString& column) const {
    return value(row, columnIndex(column));
}

QDate RowSet::date(int row, const QString& column) const {
    const QVariant v = value(row, column);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

QStringList RowSet::texts(int column) const {
    QStringList out;
    out.reserve(count());
    for (int r = 0; r < count(); ++r) {
        const QVariant v = value(r, column);
        if (!v.isNull())
            out << v.toString();
    }
    return out;
}

// ---------------------------------------------------------------- schema

const QStringList& questionColumns() {
    static const QStringList columns = {"题目编号", "考查范围", "题型",     "难度",         "知识点",  "试题识别码",
                                        "试题来源", "入库日期", "入库教师", "最后使用日期", "使用次数"};
    return columns;
}

const QStringList& Bank::defaultTypes() {
    static const QStringList types = {"单选题", "多选题", "填空题", "判断题", "计算题", "作图题", "解答题", "作文题"};
    return types;
}

const QStringList& Bank::defaultDifficulties() {
    static const QStringList levels = {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1.0"};
    return levels;
}

namespace {

// Tables of the program's own, beside the six of a bank: made when a bank is
// opened for writing, so that older banks get them too.
const char* const kOwnTables[] = {
    "CREATE TABLE IF NOT EXISTS \"组卷设置\" (\"设置项\" TEXT PRIMARY KEY, \"设置值\" TEXT)",
    "CREATE TABLE IF NOT EXISTS \"题型分值\" (\"题型\" TEXT PRIMARY KEY, \"分值\" TEXT)",
};

// The tables of a full bank and the columns the program reads or writes by name.
const QList<QPair<QString, QStringList>>& fullSchema() {
    static const QList<QPair<QString, QStringList>> tables = {
        {QStringLiteral("试题库"), questionColumns()},
        {QStringLiteral("教材设置"), {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"}},
        {QStringLiteral("题型"), {"题型"}},
        {QStringLiteral("难度"), {"难度"}},
        {QStringLiteral("试题来源"), {"试题来源"}},
        {QStringLiteral("用户管理"), {"实名用户名", "密码", "所在学校详名", "所任学科", "联系方式"}},
    };
    return tables;
}

QString nextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("zs-bank-%1").arg(counter.fetchAndAddRelaxed(1));
}

// "select distinct" and "union" lists in natural order of their first column.
RowSet naturallyOrdered(const QString& statement, RowSet rows) {
    const int width = int(rows.columns().size());
    if (width == 0 || !returnsNaturalOrder(statement))
        return rows;
    const int count = rows.count();
    QVector<NaturalKey> keys(count);
    for (int r = 0; r < count; ++r)
        keys[r] = NaturalKey::of(rows.value(r, 0));
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    QVector<QVariant> sorted;
    sorted.reserve(count * width);
    for (int r : order)
        for (int c = 0; c < width; ++c)
            sorted.push_back(rows.value(r, c));
    return RowSet(rows.columns(), std::move(sorted));
}

}  // namespace

QString failureDetails(const QString& statement, const QString& database, const QString& text) {
    QString details;
    if (!statement.isEmpty())
        details += QStringLiteral("语句：") + statement + u'\n';
    return details + database + QStringLiteral("：") + text;
}

const QStringList& newBankTypes() {
    return Bank::defaultTypes();
}

const QStringList& newBankDifficulties() {
    return Bank::defaultDifficulties();
}

const QStringList& ownTableStatements() {
    static const QStringList statements = [] {
        QStringList out;
        for (const char* table : kOwnTables)
            out << QString::fromUtf8(table);
        return out;
    }();
    return statements;
}

void BankStore::runBound(QSqlQuery& query, const QString& statement, const QVariantList& values) const {
    if (!query.prepare(statement))
        fail(statement, query.lastError());
    for (const QVariant& v : values)
        query.addBindValue(v.typeId() == QMetaType::QDate ? QVariant(v.toDate().toString(Qt::ISODate)) : v);
    if (!query.exec())
        fail(statement, query.lastError());
}

void Bank::create(const QString& path) {
    if (isServerLocation(path))
        createServerBank(path);
    else
        createFileBank(path, true);
}

void Bank::createExportTemplate(const QString& path) {
    createFileBank(path, false);
}

// ---------------------------------------------------------------- opening

QString Bank::problemWith(const QString& path, Mode mode) {
    return isServerLocation(path) ? serverProblem(path) : fileProblem(path, mode == Mode::ReadWrite);
}

Bank::Bank(const QString& path, Mode mode)
    : path_(path), store_(isServerLocation(path) ? openServerStore(path, nextConnectionName())
                                                 : openFileStore(path, mode == Mode::ReadWrite, nextConnectionName())) {
}

Bank::~Bank() {
    store_->close(transactionDepth_ > 0);
}

Dialect Bank::dialect() const {
    return store_->dialect();
}

QString Bank::shown() const {
    return store_->shown();
}

QString Bank::schemaProblem() {
    QStringList missing;
    for (const auto& [table, columns] : fullSchema()) {
        const RowSet info = query(store_->columnsStatement(table));
        if (info.isEmpty()) {
            missing << QStringLiteral("数据表<%1>").arg(table);
            continue;
        }
        const QStringList present = info.texts(info.columnIndex(QStringLiteral("name")));
        for (const QString& column : columns)
            if (!present.contains(column))
                missing << QStringLiteral("数据表<%1>的列<%2>").arg(table, column);
    }
    return missing.isEmpty() ? QString() : store_->incompleteMessage(missing.join(QStringLiteral("、")));
}

// ---------------------------------------------------------------- operations

RowSet Bank::query(const QString& statement) {
    return naturallyOrdered(statement, store_->rows(statement));
}

void Bank::execute(const QString& statement) {
    QSqlQuery q(store_->db());
    if (!q.exec(translateStatement(statement, dialect())))
        store_->fail(statement, q.lastError());
}

void Bank::executeBound(const QString& sqliteStatement, const QVariantList& values) {
    store_->executeBound(sqliteStatement, values);
}

void Bank::addRow(const QString& table, const RowValues& values) {
    QStringList names, marks;
    QVariantList bound;
    for (const auto& [name, value] : values) {
        names << u'"' + name + u'"';
        marks << QStringLiteral("?");
        bound << value;
    }
    const QString sql =
        names.isEmpty()
            ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table)
            : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)").arg(table, names.join(u','), marks.join(u','));
    executeBound(sql, bound);
}

QString Bank::setting(const QString& name) {
    QSqlQuery q(store_->db());
    q.prepare(QStringLiteral("SELECT \"设置值\" FROM \"组卷设置\" WHERE \"设置项\" = ?"));
    q.addBindValue(name);
    // A bank opened only for reading may predate the table: nothing was set.
    if (!q.exec() || !q.next())
        return {};
    return q.value(0).toString();
}

void Bank::setSetting(const QString& name, const QString& value) {
    executeBound(store_->settingStatement(), {name, value});
}

void Bank::transaction(const std::function<void()>& work) {
    QSqlDatabase d = store_->db();
    const bool outer = transactionDepth_ == 0;
    if (outer && !d.transaction())
        store_->fail(QStringLiteral("BEGIN"), d.lastError());
    ++transactionDepth_;
    try {
        work();
    } catch (...) {
        --transactionDepth_;
        if (outer)
            d.rollback();
        throw;
    }
    --transactionDepth_;
    if (outer && !d.commit()) {
        const QSqlError err = d.lastError();
        d.rollback();
        store_->fail(QStringLiteral("COMMIT"), err);
    }
}

}  // namespace zs
