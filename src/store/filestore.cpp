// The bank file: an SQLite database, read through SQLite itself for speed
// and written through Qt's driver; its failures in the teacher's words.

#include "store/bankstore.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <sqlite3.h>

namespace zs {

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

bool isDateColumn(const QString& name) {
    return name == u"入库日期" || name == u"最后使用日期";
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString nextCreationName() {
    static QAtomicInt counter;
    return QStringLiteral("zs-new-bank-%1").arg(counter.fetchAndAddRelaxed(1));
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
    const QString name = nextCreationName();
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
            for (const QString& t : newBankTypes())
                statements << QStringLiteral("INSERT INTO \"题型\" VALUES ('%1')").arg(t);
            for (const QString& d : newBankDifficulties())
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

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.constData());
    return nullptr;
}

class FileStore final : public BankStore {
public:
    FileStore(const QString& path, bool forWriting, const QString& connection);
    ~FileStore() override { QSqlDatabase::removeDatabase(connection_); }

    Dialect dialect() const override { return Dialect::Sqlite; }
    QString shown() const override { return nativePath(path_); }
    QSqlDatabase db() const override { return QSqlDatabase::database(connection_, false); }
    RowSet rows(const QString& statement) override;
    void executeBound(const QString& statement, const QVariantList& values) override {
        QSqlQuery q(db());
        runBound(q, statement, values);
    }
    QString settingStatement() const override {
        return QStringLiteral("INSERT OR REPLACE INTO \"组卷设置\" (\"设置项\", \"设置值\") VALUES (?, ?)");
    }
    QString columnsStatement(const QString& table) const override {
        return QStringLiteral("PRAGMA table_info(\"%1\")").arg(table);
    }
    QString incompleteMessage(const QString& missing) const override {
        return QStringLiteral("试题库文件不完整，缺少：%1\r%2\r\r请用完整的试题库文件替换它。").arg(missing, shown());
    }
    [[noreturn]] void fail(const QString& statement, const QSqlError& error) const override {
        bool known = false;
        const int code = error.nativeErrorCode().toInt(&known);
        fail(statement, known ? code : SQLITE_ERROR,
             error.databaseText().isEmpty() ? error.text() : error.databaseText());
    }
    void close(bool inTransaction) override {
        QSqlDatabase d = db();
        if (d.isOpen()) {
            if (inTransaction)
                d.rollback();
            d.close();
        }
    }

private:
    [[noreturn]] void fail(const QString& statement, int code, const QString& text) const {
        throw StoreError(QStringLiteral("试题库操作失败：\r%1\r\r%2").arg(shown(), describeFailure(code, text)),
                         failureDetails(statement, QStringLiteral("SQLite"), text));
    }

    QString path_;
    QString connection_;
};

FileStore::FileStore(const QString& path, bool forWriting, const QString& connection)
    : path_(path), connection_(connection) {
    const QString problem = fileProblem(path, forWriting);
    if (!problem.isEmpty())
        throw StoreError(problem);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path);
    db.setConnectOptions(!forWriting ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000")
                                     : QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open()) {
        const QString err = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
        throw StoreError(QStringLiteral("无法打开试题库文件：\r%1").arg(nativePath(path)),
                         failureDetails({}, QStringLiteral("SQLite"), err));
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
                             failureDetails({}, QStringLiteral("SQLite"), text));
        }
        throw StoreError(
            QStringLiteral("这个文件不是试题库文件（缺少<试题库>或<教材设置>数据表）：\r%1").arg(nativePath(path)));
    }
    // A bank that cannot take them now (another program writing) gets them at
    // a later opening; until then its settings read as never made.
    if (forWriting)
        for (const QString& table : ownTableStatements())
            q.exec(table);
}

RowSet FileStore::rows(const QString& statement) {
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
    return RowSet(columns, std::move(cells));
}

}  // namespace

std::unique_ptr<BankStore> openFileStore(const QString& path, bool forWriting, const QString& connection) {
    return std::make_unique<FileStore>(path, forWriting, connection);
}

QString fileProblem(const QString& path, bool forWriting) {
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
    if (forWriting && !info.isWritable())
        return QStringLiteral("试题库文件是只读的，无法写入：\r%1").arg(shown);
    if (forWriting && !QFileInfo(info.absolutePath()).isWritable())
        return QStringLiteral("试题库文件所在的文件夹是只读的，无法写入试题库：\r%1\r\r"
                              "请把程序文件夹复制到可以写入的地方，或者请人修改这个文件夹的权限。")
            .arg(QDir::toNativeSeparators(info.absolutePath()));
    return {};
}

void createFileBank(const QString& path, bool full) {
    createTables(path, full);
}

}  // namespace zs
