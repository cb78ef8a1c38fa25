// The bank on a PostgreSQL server: connecting (connections are kept per thread
// between operations), running the translated statements, the tables of a new
// server bank and the server's failures in the teacher's words.

#include "store/bankstore.h"
#include "store/serverlocation.h"
#include "store/statement.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <libpq-fe.h>
#include <poll.h>

namespace zs {

namespace {

// Connections of this thread that wait for the next operation, newest last.
class IdleConnections {
public:
    ~IdleConnections() { closeAll(); }

    QString take(const QString& location) {
        for (int i = int(idle_.size()) - 1; i >= 0; --i)
            if (idle_[i].first == location)
                return idle_.takeAt(i).second;
        return {};
    }
    void keep(const QString& location, const QString& connection) {
        idle_.append({location, connection});
        while (idle_.size() > kKept)
            close(idle_.takeFirst().second);
    }
    void closeAll() {
        while (!idle_.isEmpty())
            close(idle_.takeLast().second);
    }
    static void close(const QString& connection) {
        {
            QSqlDatabase db = QSqlDatabase::database(connection, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }

private:
    static constexpr int kKept = 4;
    QList<QPair<QString, QString>> idle_;
};

// Whether a connection that waited for its next operation can still be used.
// A server that ends a connection (an administrator, a restart, a time limit
// on idle sessions) says so and closes it: the socket of an idle connection
// that has anything to read belongs to a connection that is gone. Looking
// costs no round trip to the server.
bool stillUsable(const QString& connection) {
    const QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.isOpen() || !db.driver())
        return false;
    const QVariant handle = db.driver()->handle();
    // Qt's driver hands out its PGconn (a "pg_conn" by the name of its struct).
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return true;  // nothing to look at: the first statement tells
    PGconn* pg = *static_cast<PGconn* const*>(handle.constData());
    if (!pg || PQstatus(pg) != CONNECTION_OK || PQtransactionStatus(pg) != PQTRANS_IDLE)
        return false;
    pollfd socket{PQsocket(pg), POLLIN, 0};
    return socket.fd >= 0 && ::poll(&socket, 1, 0) == 0;
}

IdleConnections& idleConnections() {
    thread_local IdleConnections connections;
    return connections;
}

QString serverText(const QSqlError& error) {
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

// Why a connection could not be made, in the teacher's words.
QString describeConnectionFailure(const QString& text) {
    if (text.contains(QStringLiteral("password authentication failed")) ||
        text.contains(QStringLiteral("no password supplied")) || text.contains(QStringLiteral("no pg_hba.conf entry")))
        return QStringLiteral("服务器拒绝了这个用户名和密码。请检查用户名和密码。");
    if (text.contains(QStringLiteral("does not exist")) && text.contains(QStringLiteral("database")))
        return QStringLiteral("服务器上没有这个数据库。请检查数据库名。");
    if (text.contains(QStringLiteral("role")) && text.contains(QStringLiteral("does not exist")))
        return QStringLiteral("服务器上没有这个用户。请检查用户名。");
    return QStringLiteral("服务器没有回应。请检查服务器地址、端口和网络连接。");
}

// What went wrong with a statement, from the server's SQLSTATE and text.
QString describeServerFailure(const QString& state, const QString& text) {
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]+)\""));
    const QString name = quoted.match(text).captured(1);
    if (state == u"42P01")
        return QStringLiteral("试题库缺少数据表<%1>，这个试题库不完整。").arg(name);
    if (state == u"42703")
        return QStringLiteral("试题库的数据表缺少列<%1>，这个试题库不完整。").arg(name);
    if (state.startsWith(u"23"))
        return QStringLiteral("要写入的数据不符合试题库的规定，没有写入。");
    if (state == u"40001" || state == u"40P01" || state == u"55P03")
        return QStringLiteral("别的老师正在修改同样的数据，这项操作没有完成。请稍后再试。");
    if (state == u"53100")
        return QStringLiteral("学校题库服务器的磁盘已满，无法写入。请告诉学校题库的管理员。");
    if (state == u"42501" || state == u"25006")
        return QStringLiteral("没有写入学校题库的权限。");
    if (state.startsWith(u"08") || state.startsWith(u"57P") || state.isEmpty())
        return QStringLiteral("与学校题库服务器的连接中断了，这项操作没有完成。请检查网络后再试。");
    return QStringLiteral("读写试题库时出错，这项操作没有完成。");
}

// Opens a connection named `name` to the server; throws StoreError naming the bank.
QSqlDatabase connect(const ServerLocation& where, const QString& location, const QString& name) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (!db.isValid()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw StoreError(QStringLiteral("这台电脑缺少连接学校题库所需的 PostgreSQL 驱动（libqt6sql6-psql），"
                                        "无法打开学校题库：\r%1")
                             .arg(where.shown()));
    }
    db.setHostName(where.host);
    db.setPort(where.port);
    db.setDatabaseName(where.database);
    db.setUserName(where.user);
    db.setPassword(serverPassword(location));
    QString options = QStringLiteral("connect_timeout=5;application_name=zhuoshi-tiku");
    if (!where.schema.isEmpty())
        options += QStringLiteral(";options=-csearch_path=") + where.schema;
    db.setConnectOptions(options);
    if (!db.open()) {
        const QString text = serverText(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw StoreError(
            QStringLiteral("无法连接学校题库：\r%1\r\r%2").arg(where.shown(), describeConnectionFailure(text)),
            failureDetails({}, QStringLiteral("PostgreSQL"), text));
    }
    return db;
}

int countBankTables(QSqlDatabase& db, QString* error) {
    QSqlQuery q(db);
    // The catalogue rather than information_schema, whose views cost a new
    // connection tens of milliseconds.
    if (!q.exec(QStringLiteral(
            "SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = "
            "c.relnamespace WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'v', 'f', 'p') AND "
            "c.relname IN ('试题库', '教材设置')")) ||
        !q.next()) {
        *error = serverText(q.lastError());
        return -1;
    }
    return q.value(0).toInt();
}

QString nextServerConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("zs-server-%1").arg(counter.fetchAndAddRelaxed(1));
}

}  // namespace

void closeServerConnections() {
    idleConnections().closeAll();
}

namespace {

// Hands a connection back when its Bank ends: kept for the next operation of
// this thread when `reusable`, closed otherwise.
void releaseServerConnection(const QString& connection, const QString& location, bool reusable) {
    bool open = false;
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        open = db.isOpen();
        if (open && !reusable)
            db.rollback();
    }
    if (open && reusable)
        idleConnections().keep(location, connection);
    else
        IdleConnections::close(connection);
}

class ServerStore final : public BankStore {
public:
    ServerStore(const QString& location, const QString& connection);

    Dialect dialect() const override { return Dialect::Postgres; }
    QString shown() const override { return ServerLocation::parse(location_).shown(); }
    QSqlDatabase db() const override { return QSqlDatabase::database(connection_, false); }
    RowSet rows(const QString& statement) override;
    void executeBound(const QString& statement, const QVariantList& values) override {
        QSqlQuery q(db());
        // The server prepares only statements that read or write rows: one
        // with nothing to bind (a table made, say) runs as it is.
        if (values.isEmpty()) {
            if (!q.exec(statement))
                fail(statement, q.lastError());
            return;
        }
        runBound(q, statement, values);
    }
    QString settingStatement() const override {
        return QStringLiteral("INSERT INTO \"组卷设置\" (\"设置项\", \"设置值\") VALUES (?, ?) ON CONFLICT "
                              "(\"设置项\") DO UPDATE SET \"设置值\" = EXCLUDED.\"设置值\"");
    }
    QString columnsStatement(const QString& table) const override {
        return QStringLiteral("select column_name as name from information_schema.columns where table_schema = "
                              "current_schema() and table_name = '") +
               sqlValue(table) + QStringLiteral("' order by ordinal_position");
    }
    QString incompleteMessage(const QString& missing) const override {
        return QStringLiteral("学校题库不完整，缺少：%1\r%2\r\r请学校题库的管理员检查这个数据库。")
            .arg(missing, shown());
    }
    [[noreturn]] void fail(const QString& statement, const QSqlError& error) const override;
    void close(bool inTransaction) override {
        releaseServerConnection(connection_, location_, !inTransaction && !connectionLost_);
    }

private:
    QString location_;
    QString connection_;
    // A connection the server ended or that failed mid-way is not kept.
    mutable bool connectionLost_ = false;
};

ServerStore::ServerStore(const QString& location, const QString& connection)
    : location_(location), connection_(connection) {
    const ServerLocation where = ServerLocation::parse(location_);
    if (!where.isValid())
        throw StoreError(serverProblem(location_));
    // A connection kept from an earlier operation of this thread, unless the
    // server ended it meanwhile: then a new one is made.
    for (QString idle = idleConnections().take(location_); !idle.isEmpty(); idle = idleConnections().take(location_)) {
        if (stillUsable(idle)) {
            connection_ = idle;
            return;
        }
        IdleConnections::close(idle);
    }
    QSqlDatabase db = connect(where, location_, connection_);
    QString error;
    const int tables = countBankTables(db, &error);
    if (tables != 2) {
        db = QSqlDatabase();
        IdleConnections::close(connection_);
        if (tables < 0)
            throw StoreError(
                QStringLiteral("无法读取学校题库：\r%1\r\r%2").arg(where.shown(), describeServerFailure({}, error)),
                failureDetails({}, QStringLiteral("PostgreSQL"), error));
        throw StoreError(
            QStringLiteral("这个数据库不是学校题库（缺少<试题库>或<教材设置>数据表）：\r%1").arg(where.shown()));
    }
}

RowSet ServerStore::rows(const QString& statement) {
    QSqlQuery q(db());
    q.setForwardOnly(true);
    if (!q.exec(toPostgres(statement)))
        fail(statement, q.lastError());
    const QSqlRecord record = q.record();
    const int width = record.count();
    QStringList columns;
    for (int c = 0; c < width; ++c)
        columns << record.fieldName(c);
    QVector<QVariant> cells;
    if (q.size() > 0)
        cells.reserve(q.size() * width);
    while (q.next()) {
        for (int c = 0; c < width; ++c) {
            const QVariant v = q.value(c);
            if (v.isNull()) {
                cells.push_back(QVariant());
                continue;
            }
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Short:
            case QMetaType::LongLong:
                // Whole numbers come back as from a file bank.
                cells.push_back(QVariant(v.toLongLong()));
                break;
            default:
                cells.push_back(v);
            }
        }
    }
    if (q.lastError().isValid())
        fail(statement, q.lastError());
    return RowSet(columns, std::move(cells));
}

void ServerStore::fail(const QString& statement, const QSqlError& error) const {
    const QString state = error.nativeErrorCode();
    if (state.isEmpty() || state.startsWith(u"08") || state.startsWith(u"57P"))
        connectionLost_ = true;
    const QString text = serverText(error);
    throw StoreError(QStringLiteral("试题库操作失败：\r%1\r\r%2").arg(shown(), describeServerFailure(state, text)),
                     failureDetails(statement, QStringLiteral("PostgreSQL"), text));
}

}  // namespace

std::unique_ptr<BankStore> openServerStore(const QString& location, const QString& connection) {
    return std::make_unique<ServerStore>(location, connection);
}

QString serverProblem(const QString& location) {
    // Whether the server answers is known only by connecting.
    if (!ServerLocation::parse(location).isValid())
        return QStringLiteral("学校题库的地址不完整（缺少数据库名）：\r%1").arg(location);
    return {};
}

void createServerBank(const QString& location) {
    const ServerLocation where = ServerLocation::parse(location);
    const QString name = nextServerConnectionName();
    QSqlDatabase db = connect(where, where.text(), name);
    QString error;
    const int tables = countBankTables(db, &error);
    auto finish = [&] {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    };
    if (tables != 0) {
        finish();
        if (tables < 0)
            throw StoreError(QStringLiteral("无法在学校题库服务器上新建试题库：\r%1").arg(where.shown()),
                             failureDetails({}, QStringLiteral("PostgreSQL"), error));
        throw StoreError(QStringLiteral("这个数据库里已经有试题库，不能再新建：\r%1").arg(where.shown()));
    }
    QStringList statements = {
        QStringLiteral("CREATE TABLE \"试题库\" (\"ID\" integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
                       "\"题目编号\" text, \"考查范围\" text, \"题型\" text, \"难度\" text, \"知识点\" text, "
                       "\"试题识别码\" text, \"试题来源\" text, \"入库日期\" date, \"入库教师\" text, "
                       "\"最后使用日期\" date, \"使用次数\" integer, \"修订号\" integer NOT NULL DEFAULT 1)"),
        QStringLiteral("CREATE INDEX \"试题库_题目编号\" ON \"试题库\" (\"题目编号\")"),
        QStringLiteral("CREATE INDEX \"试题库_试题识别码\" ON \"试题库\" (\"试题识别码\")"),
        QStringLiteral("CREATE INDEX \"试题库_考查范围\" ON \"试题库\" (\"考查范围\" text_pattern_ops)"),
        QStringLiteral("CREATE TABLE \"教材设置\" (\"科目\" text, \"教材版本\" text, \"年级\" text, \"上下册\" text, "
                       "\"章\" text, \"节\" text, \"知识点\" text)"),
        QStringLiteral("CREATE TABLE \"题型\" (\"题型\" text)"),
        QStringLiteral("CREATE TABLE \"难度\" (\"难度\" text)"),
        QStringLiteral("CREATE TABLE \"试题来源\" (\"试题来源\" text)"),
        QStringLiteral("CREATE TABLE \"用户管理\" (\"实名用户名\" text, \"密码\" text, \"所在学校详名\" text, "
                       "\"所任学科\" text, \"联系方式\" text)"),
        // Numbers given to a teacher's pool of free numbers and not yet stored.
        QStringLiteral("CREATE TABLE \"题目编号预留\" (\"题目编号\" text PRIMARY KEY, \"预留者\" text NOT NULL, "
                       "\"预留时间\" timestamptz NOT NULL DEFAULT now())"),
        // The program's own settings kept in the bank.
        QStringLiteral("CREATE TABLE \"组卷设置\" (\"设置项\" text PRIMARY KEY, \"设置值\" text)"),
        // The level of an account (元老级用户 may reset the passwords of others).
        QStringLiteral("CREATE TABLE \"账户级别\" (\"实名用户名\" text PRIMARY KEY, \"级别\" text NOT NULL)"),
        // The question and answer documents, by file name.
        QStringLiteral("CREATE TABLE \"试题文档\" (\"文件名\" text PRIMARY KEY, \"内容\" bytea NOT NULL, "
                       "\"修订号\" integer NOT NULL DEFAULT 1)"),
    };
    // Searches match scope paths and knowledge points with "like" in any case:
    // trigram indexes serve them where the server offers the extension.
    // (The extension may live in another schema of the database: its operator
    // class is named with that schema.)
    {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm")) &&
            q.exec(QStringLiteral("SELECT n.nspname FROM pg_extension e JOIN pg_namespace n ON n.oid = "
                                  "e.extnamespace WHERE e.extname = 'pg_trgm'")) &&
            q.next()) {
            const QString ops =
                u'"' + q.value(0).toString().replace(u'"', QStringLiteral("\"\"")) + QStringLiteral("\".gin_trgm_ops");
            statements << QStringLiteral("CREATE INDEX \"试题库_考查范围_三元组\" ON \"试题库\" USING gin "
                                         "(\"考查范围\" %1)")
                              .arg(ops)
                       << QStringLiteral("CREATE INDEX \"试题库_知识点_三元组\" ON \"试题库\" USING gin "
                                         "(\"知识点\" %1)")
                              .arg(ops);
        }
    }
    for (const QString& t : newBankTypes())
        statements << QStringLiteral("INSERT INTO \"题型\" VALUES ('%1')").arg(t);
    for (const QString& d : newBankDifficulties())
        statements << QStringLiteral("INSERT INTO \"难度\" VALUES ('%1')").arg(d);
    db.transaction();
    for (const QString& s : statements) {
        QSqlQuery q(db);
        if (!q.exec(s)) {
            error = serverText(q.lastError());
            break;
        }
    }
    if (error.isEmpty())
        db.commit();
    else
        db.rollback();
    finish();
    if (!error.isEmpty())
        throw StoreError(QStringLiteral("无法在学校题库服务器上新建试题库：\r%1").arg(where.shown()),
                         failureDetails({}, QStringLiteral("PostgreSQL"), error));
}

}  // namespace zs
