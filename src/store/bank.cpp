#include "store/bank.h"

#include "store/naturalorder.h"
#include "store/serverlocation.h"
#include "store/serverschema.h"
#include "store/statement.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <numeric>
#include <sqlite3.h>

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

// What went wrong, in the teacher's words, from the database's error code and
// text. The code is SQLite's (extended codes are reduced to their primary code).
QString describeFailure(int code, const QString& text) {
    switch (code & 0xff) {
    case SQLITE_READONLY:
        return QStringLiteral("试题库文件或它所在的文件夹是只读的，无法写入。\r"
                              "请检查文件和文件夹的权限，或者把程序文件夹复制到可以写入的地方。");
    case SQLITE_CANTOPEN:
        return QStringLiteral("无法打开或写入试题库文件：文件可能被移走了，或者它所在的文件夹是只读的。");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("试题库正被别的程序使用，暂时不能读写。请稍后再试。");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("试题库文件已经损坏，无法读写。请用备份的试题库文件替换它。");
    case SQLITE_FULL:
        return QStringLiteral("磁盘已满，无法写入试题库。请先腾出磁盘空间。");
    case SQLITE_IOERR:
        return QStringLiteral("读写试题库文件时出错（磁盘或文件系统有问题）。");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("没有读写试题库文件的权限。");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("要写入的数据不符合试题库的规定，没有写入。");
    default:
        break;
    }
    static const QRegularExpression missingTable(QStringLiteral("no such table: (?:main\\.)?(\\S+)"));
    static const QRegularExpression missingColumn(QStringLiteral("(?:no such column|has no column named):? (\\S+)"));
    if (const auto m = missingTable.match(text); m.hasMatch())
        return QStringLiteral("试题库缺少数据表<%1>，这个试题库文件不完整。").arg(m.captured(1));
    if (const auto m = missingColumn.match(text); m.hasMatch())
        return QStringLiteral("试题库的数据表缺少列<%1>，这个试题库文件不完整。").arg(m.captured(1));
    return QStringLiteral("读写试题库时出错，这项操作没有完成。");
}

QString failureDetails(const QString& statement, const QString& text) {
    QString details;
    if (!statement.isEmpty())
        details += QStringLiteral("语句：") + statement + u'\n';
    details += QStringLiteral("SQLite：") + text;
    return details;
}

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
    if (isServerLocation(path))
        createServerTables(ServerLocation::parse(path));
    else
        createTables(path, true);
}

void Bank::createExportTemplate(const QString& path) {
    createTables(path, false);
}

// ---------------------------------------------------------------- opening

QString Bank::problemWith(const QString& path, Mode mode) {
    if (isServerLocation(path)) {
        // Whether the server answers is known only by connecting.
        if (!ServerLocation::parse(path).isValid())
            return QStringLiteral("学校题库的地址不完整（缺少数据库名）：\r%1").arg(path);
        return {};
    }
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
    if (mode == Mode::ReadWrite && !QFileInfo(info.absolutePath()).isWritable())
        return QStringLiteral("试题库文件所在的文件夹是只读的，无法写入试题库：\r%1\r\r"
                              "请把程序文件夹复制到可以写入的地方，或者请人修改这个文件夹的权限。")
            .arg(QDir::toNativeSeparators(info.absolutePath()));
    return {};
}

Bank::Bank(const QString& path, Mode mode) : path_(path), connection_(nextConnectionName()) {
    if (isServerLocation(path)) {
        dialect_ = Dialect::Postgres;
        openServer();
        return;
    }
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
        throw StoreError(QStringLiteral("无法打开试题库文件：\r%1").arg(nativePath(path)), failureDetails({}, err));
    }
    // A bank has at least the question and catalogue tables.
    QSqlQuery q(db);
    const bool read = q.exec(
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN ('试题库','教材设置')"));
    const bool ok = read && q.next() && q.value(0).toInt() == 2;
    if (!ok) {
        const QSqlError error = q.lastError();
        q = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
        if (!read) {
            // A damaged or unreadable file: say what the database found.
            bool known = false;
            const int code = error.nativeErrorCode().toInt(&known);
            const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
            throw StoreError(QStringLiteral("无法读取试题库文件：\r%1\r\r%2")
                                 .arg(nativePath(path), describeFailure(known ? code : SQLITE_ERROR, text)),
                             failureDetails({}, text));
        }
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
    if (isServer()) {
        releaseServerConnection(connection_, path_, transactionDepth_ == 0 && !connectionLost_);
        return;
    }
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

QString Bank::shown() const {
    return isServer() ? ServerLocation::parse(path_).shown() : nativePath(path_);
}

QSqlDatabase Bank::db() const {
    return QSqlDatabase::database(connection_, false);
}

void Bank::fail(const QString& statement, int code, const QString& text) const {
    throw StoreError(QStringLiteral("试题库操作失败：\r%1\r\r%2").arg(nativePath(path_), describeFailure(code, text)),
                     failureDetails(statement, text));
}

void Bank::fail(const QString& statement, const QSqlError& error) const {
    if (isServer())
        failOnServer(statement, error);
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known);
    fail(statement, known ? code : SQLITE_ERROR, error.databaseText().isEmpty() ? error.text() : error.databaseText());
}

QString Bank::schemaProblem() {
    QStringList missing;
    for (const auto& [table, columns] : fullSchema()) {
        const RowSet info = isServer() ? query(serverColumnsQuery(table))
                                       : query(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        if (info.isEmpty()) {
            missing << QStringLiteral("数据表<%1>").arg(table);
            continue;
        }
        const QStringList present = info.texts(info.columnIndex(QStringLiteral("name")));
        for (const QString& column : columns)
            if (!present.contains(column))
                missing << QStringLiteral("数据表<%1>的列<%2>").arg(table, column);
    }
    if (missing.isEmpty())
        return {};
    if (isServer())
        return QStringLiteral("学校题库不完整，缺少：%1\r%2\r\r请学校题库的管理员检查这个数据库。")
            .arg(missing.join(QStringLiteral("、")), shown());
    return QStringLiteral("试题库文件不完整，缺少：%1\r%2\r\r请用完整的试题库文件替换它。")
        .arg(missing.join(QStringLiteral("、")), nativePath(path_));
}

// ---------------------------------------------------------------- operations

namespace {

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

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.constData());
    return nullptr;
}

}  // namespace

RowSet Bank::query(const QString& statement) {
    if (isServer())
        return naturallyOrdered(statement, queryServer(statement));
    sqlite3* handle = handleOf(db());
    if (!handle)
        fail(statement, SQLITE_CANTOPEN, QStringLiteral("no connection"));
    const QByteArray sql = toSqlite(statement).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        fail(statement, sqlite3_extended_errcode(handle), QString::fromUtf8(sqlite3_errmsg(handle)));
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
    const int errorCode = rc == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(handle);
    sqlite3_finalize(stmt);
    if (!error.isEmpty())
        fail(statement, errorCode, error);
    return naturallyOrdered(statement, RowSet(columns, std::move(cells)));
}

void Bank::execute(const QString& statement) {
    QSqlQuery q(db());
    if (!q.exec(translateStatement(statement, dialect_)))
        fail(statement, q.lastError());
}

void Bank::executeBound(const QString& sqliteStatement, const QVariantList& values) {
    QSqlQuery q(db());
    // The server prepares only statements that read or write rows: one with
    // nothing to bind (a table made, say) runs as it is.
    if (values.isEmpty() && isServer()) {
        if (!q.exec(sqliteStatement))
            fail(sqliteStatement, q.lastError());
        return;
    }
    if (!q.prepare(sqliteStatement))
        fail(sqliteStatement, q.lastError());
    for (const QVariant& v : values)
        q.addBindValue(v.typeId() == QMetaType::QDate ? QVariant(v.toDate().toString(Qt::ISODate)) : v);
    if (!q.exec())
        fail(sqliteStatement, q.lastError());
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
    if (isServer()) {
        executeBound(QStringLiteral("INSERT INTO \"组卷设置\" (\"设置项\", \"设置值\") VALUES (?, ?) ON CONFLICT "
                                    "(\"设置项\") DO UPDATE SET \"设置值\" = EXCLUDED.\"设置值\""),
                     {name, value});
        return;
    }
    executeBound(QStringLiteral("INSERT OR REPLACE INTO \"组卷设置\" (\"设置项\", \"设置值\") VALUES (?, ?)"),
                 {name, value});
}

void Bank::transaction(const std::function<void()>& work) {
    QSqlDatabase d = db();
    const bool outer = transactionDepth_ == 0;
    if (outer && !d.transaction())
        fail(QStringLiteral("BEGIN"), d.lastError());
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
        fail(QStringLiteral("COMMIT"), err);
    }
}

}  // namespace zs
