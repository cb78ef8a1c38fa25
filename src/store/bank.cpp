#include "store/bank.h"

#include "store/naturalorder.h"
#include "store/statement.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <numeric>
#include <sqlite3.h>

namespace zs {

StoreError::StoreError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}

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

const char* const kQuestionTable =
    "CREATE TABLE \"试题库\" (\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT, \"题目编号\" TEXT, \"考查范围\" TEXT, "
    "\"题型\" TEXT, \"难度\" TEXT, \"知识点\" TEXT, \"试题识别码\" TEXT, \"试题来源\" TEXT, \"入库日期\" DATE, "
    "\"入库教师\" TEXT, \"最后使用日期\" DATE, \"使用次数\" INTEGER)";
const char* const kCatalogueTable =
    "CREATE TABLE \"教材设置\" (\"科目\" TEXT, \"教材版本\" TEXT, \"年级\" TEXT, \"上下册\" TEXT, \"章\" TEXT, "
    "\"节\" TEXT, \"知识点\" TEXT)";
const char* const kQuestionIndexes[] = {
    "CREATE INDEX \"试题库_题目编号\" ON \"试题库\" (\"题目编号\")",
    "CREATE INDEX \"试题库_试题识别码\" ON \"试题库\" (\"试题识别码\")",
    "CREATE INDEX \"试题库_考查范围\" ON \"试题库\" (\"考查范围\")",
};

// Tables of the program's own, beside the six of a bank: made when a bank is
// opened for writing, so that older banks get them too.
const char* const kOwnTables[] = {
    "CREATE TABLE IF NOT EXISTS \"组卷设置\" (\"设置项\" TEXT PRIMARY KEY, \"设置值\" TEXT)",
};

bool isDateColumn(const QString& name) {
    return name == u"入库日期" || name == u"最后使用日期";
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString nextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("zs-bank-%1").arg(counter.fetchAndAddRelaxed(1));
}

// What the first bytes of a file say about it.
enum class FileKind { Sqlite, Access, Other };

FileKind kindOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return FileKind::Other;
    const QByteArray head = f.read(32);
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return FileKind::Sqlite;
    if (head.mid(4).startsWith("Standard Jet DB") || head.mid(4).startsWith("Standard ACE DB"))
        return FileKind::Access;
    return FileKind::Other;
}

void createTables(const QString& path, bool full) {
    if (QFileInfo::exists(path))
        throw StoreError(QStringLiteral("文件已经存在，不能新建试题库：%1").arg(nativePath(path)));
    const QString name = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            const QString err = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw StoreError(QStringLiteral("无法新建试题库文件：%1\r%2").arg(nativePath(path), err));
        }
        QStringList statements = {QString::fromUtf8(kQuestionTable), QString::fromUtf8(kCatalogueTable)};
        for (const char* index : kQuestionIndexes)
            statements << QString::fromUtf8(index);
        if (full) {
            statements << QStringLiteral("CREATE TABLE \"题型\" (\"题型\" TEXT)")
                       << QStringLiteral("CREATE TABLE \"难度\" (\"难度\" TEXT)")
                       << QStringLiteral("CREATE TABLE \"试题来源\" (\"试题来源\" TEXT)")
                       << QStringLiteral("CREATE TABLE \"用户管理\" (\"实名用户名\" TEXT, \"密码\" TEXT, "
                                         "\"所在学校详名\" TEXT, \"所任学科\" TEXT, \"联系方式\" TEXT)");
            for (const QString& t : Bank::defaultTypes())
                statements << QStringLiteral("INSERT INTO \"题型\" VALUES ('%1')").arg(t);
            for (const QString& d : Bank::defaultDifficulties())
                statements << QStringLiteral("INSERT INTO \"难度\" VALUES ('%1')").arg(d);
        }
        QString error;
        db.transaction();
        for (const QString& s : statements) {
            QSqlQuery q(db);
            if (!q.exec(s)) {
                error = q.lastError().text();
                break;
            }
        }
        if (error.isEmpty())
            db.commit();
        else
            db.rollback();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        if (!error.isEmpty()) {
            QFile::remove(path);
            throw StoreError(QStringLiteral("无法新建试题库文件：%1\r%2").arg(nativePath(path), error));
        }
    }
}

}  // namespace

void Bank::create(const QString& path) {
    createTables(path, true);
}

void Bank::createExportTemplate(const QString& path) {
    createTables(path, false);
}

// ---------------------------------------------------------------- opening

QString Bank::problemWith(const QString& path, Mode mode) {
    const QFileInfo info(path);
    const QString shown = nativePath(path);
    if (path.isEmpty() || !info.exists())
        return QStringLiteral("找不到试题库文件：\r%1").arg(shown);
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("无法读取试题库文件：\r%1").arg(shown);
    if (info.size() == 0)
        return QStringLiteral("试题库文件是空的，不是有效的试题库：\r%1").arg(shown);
    switch (kindOf(path)) {
    case FileKind::Access:
        return QStringLiteral("这是旧版 Access 格式的试题库文件，本程序不能打开：\r%1").arg(shown);
    case FileKind::Other:
        return QStringLiteral("这个文件不是试题库文件：\r%1").arg(shown);
    case FileKind::Sqlite:
        break;
    }
    if (mode == Mode::ReadWrite && !info.isWritable())
        return QStringLiteral("试题库文件是只读的，无法写入：\r%1").arg(shown);
    return {};
}

Bank::Bank(const QString& path, Mode mode) : path_(path), connection_(nextConnectionName()) {
    const QString problem = problemWith(path, mode);
    if (!problem.isEmpty())
        throw StoreError(problem);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path);
    db.setConnectOptions(mode == Mode::ReadOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000")
                                                : QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open()) {
        const QString err = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
        throw StoreError(QStringLiteral("无法打开试题库文件：\r%1\r%2").arg(nativePath(path), err));
    }
    // A bank has at least the question and catalogue tables.
    QSqlQuery q(db);
    const bool ok = q.exec(QStringLiteral(
                        "SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN ('试题库','教材设置')")) &&
                    q.next() && q.value(0).toInt() == 2;
    if (!ok) {
        q = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
        throw StoreError(
            QStringLiteral("这个文件不是试题库文件（缺少<试题库>或<教材设置>数据表）：\r%1").arg(nativePath(path)));
    }
    // A bank that cannot take them now (another program writing) gets them at
    // a later opening; until then its settings read as never made.
    if (mode == Mode::ReadWrite)
        for (const char* table : kOwnTables)
            q.exec(QString::fromUtf8(table));
}

Bank::~Bank() {
    {
        QSqlDatabase d = QSqlDatabase::database(connection_, false);
        if (d.isOpen()) {
            if (transactionDepth_ > 0)
                d.rollback();
            d.close();
        }
    }
    QSqlDatabase::removeDatabase(connection_);
}

QSqlDatabase Bank::db() const {
    return QSqlDatabase::database(connection_, false);
}

void Bank::fail(const QString& what, const QString& detail) const {
    throw StoreError(QStringLiteral("试题库操作失败：%1\r%2\r%3").arg(nativePath(path_), what, detail));
}

// ---------------------------------------------------------------- operations

namespace {

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.constData());
    return nullptr;
}

}  // namespace

RowSet Bank::query(const QString& statement) {
    sqlite3* handle = handleOf(db());
    if (!handle)
        fail(statement, QStringLiteral("no connection"));
    const QByteArray sql = toSqlite(statement).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        fail(statement, QString::fromUtf8(sqlite3_errmsg(handle)));
    const int width = sqlite3_column_count(stmt);
    QStringList columns;
    QVector<bool> dates;
    for (int c = 0; c < width; ++c) {
        columns << QString::fromUtf8(sqlite3_column_name(stmt, c));
        dates << isDateColumn(columns.back());
    }
    QVector<QVariant> cells;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < width; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_NULL:
                cells.push_back(QVariant());
                break;
            case SQLITE_INTEGER:
                cells.push_back(QVariant(qlonglong(sqlite3_column_int64(stmt, c))));
                break;
            case SQLITE_FLOAT:
                cells.push_back(QVariant(sqlite3_column_double(stmt, c)));
                break;
            default: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                QString value = QString::fromUtf8(text, sqlite3_column_bytes(stmt, c));
                if (dates[c]) {
                    const QDate d = QDate::fromString(value.left(10), Qt::ISODate);
                    if (d.isValid()) {
                        cells.push_back(QVariant(d));
                        break;
                    }
                }
                cells.push_back(QVariant(std::move(value)));
            }
            }
        }
    }
    const QString error = rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(handle));
    sqlite3_finalize(stmt);
    if (!error.isEmpty())
        fail(statement, error);
    if (width > 0 && returnsNaturalOrder(statement)) {
        const int rows = int(cells.size() / width);
        QVector<NaturalKey> keys(rows);
        for (int r = 0; r < rows; ++r)
            keys[r] = NaturalKey::of(cells[r * width]);
        QVector<int> order(rows);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
        QVector<QVariant> sorted;
        sorted.reserve(cells.size());
        for (int r : order)
            for (int c = 0; c < width; ++c)
                sorted.push_back(std::move(cells[r * width + c]));
        cells = std::move(sorted);
    }
    return RowSet(columns, std::move(cells));
}

void Bank::execute(const QString& statement) {
    QSqlQuery q(db());
    if (!q.exec(toSqlite(statement)))
        fail(statement, q.lastError().text());
}

void Bank::executeBound(const QString& sqliteStatement, const QVariantList& values) {
    QSqlQuery q(db());
    if (!q.prepare(sqliteStatement))
        fail(sqliteStatement, q.lastError().text());
    for (const QVariant& v : values)
        q.addBindValue(v.typeId() == QMetaType::QDate ? QVariant(v.toDate().toString(Qt::ISODate)) : v);
    if (!q.exec())
        fail(sqliteStatement, q.lastError().text());
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
    QSqlQuery q(db());
    q.prepare(QStringLiteral("SELECT \"设置值\" FROM \"组卷设置\" WHERE \"设置项\" = ?"));
    q.addBindValue(name);
    // A bank opened only for reading may predate the table: nothing was set.
    if (!q.exec() || !q.next())
        return {};
    return q.value(0).toString();
}

void Bank::setSetting(const QString& name, const QString& value) {
    executeBound(QStringLiteral("INSERT OR REPLACE INTO \"组卷设置\" (\"设置项\", \"设置值\") VALUES (?, ?)"),
                 {name, value});
}

void Bank::transaction(const std::function<void()>& work) {
    QSqlDatabase d = db();
    const bool outer = transactionDepth_ == 0;
    if (outer && !d.transaction())
        fail(QStringLiteral("BEGIN"), d.lastError().text());
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
        const QString err = d.lastError().text();
        d.rollback();
        fail(QStringLiteral("COMMIT"), err);
    }
}

}  // namespace zs
