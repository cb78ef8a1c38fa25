#include "support/pgcluster.h"

#include "store/bank.h"
#include "store/paths.h"
#include "store/serverlocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace zs::test {

namespace {

std::unique_ptr<PostgresCluster>& holder() {
    static std::unique_ptr<PostgresCluster> cluster;
    return cluster;
}

// The newest installed server's programs, or empty.
QString serverPrograms() {
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : names) {
        const QString bin = versions.filePath(v + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() &&
            QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
            return bin;
    }
    return {};
}

const QString kAdminConnection = QStringLiteral("zs-test-cluster-admin");

}  // namespace

QString PostgresCluster::unavailableReason() {
    if (serverPrograms().isEmpty())
        return QStringLiteral("PostgreSQL server programs (initdb, pg_ctl) not found under /usr/lib/postgresql/*/bin; "
                              "install the Debian package postgresql (scripts/install-deps.sh) to run the server "
                              "bank tests");
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return QStringLiteral("Qt's QPSQL driver is missing; install libqt6sql6-psql (scripts/install-deps.sh)");
    return {};
}

PostgresCluster* PostgresCluster::instance() {
    auto& cluster = holder();
    if (cluster)
        return cluster.get();
    if (!unavailableReason().isEmpty())
        return nullptr;
    cluster.reset(new PostgresCluster);
    QString error;
    if (!cluster->start(&error)) {
        cluster.reset();
        // The programs are there: a cluster that does not start is a failure, not a skip.
        ADD_FAILURE() << "the private PostgreSQL cluster did not start: " << error.toStdString();
        return nullptr;
    }
    // Documents of server banks are fetched under the test's own folder.
    static TempFolder cache;
    setServerCacheRoot(cache.path());
    std::atexit(&PostgresCluster::shutdown);
    return cluster.get();
}

void PostgresCluster::shutdown() {
    holder().reset();
}

bool PostgresCluster::run(const QString& program, const QStringList& arguments, QString* error, int timeoutMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (runAs_.isEmpty())
        p.start(QDir(bin_).filePath(program), arguments);
    else
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), runAs_, QStringLiteral("--"), QDir(bin_).filePath(program)} +
                    arguments);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = program + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAll()) + p.errorString();
        return false;
    }
    return true;
}

bool PostgresCluster::start(QString* error) {
    bin_ = serverPrograms();
    if (!folder_.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    user_ = QString::fromLocal8Bit(qgetenv("USER"));
    if (user_.isEmpty() || user_ == u"root")
        user_ = QStringLiteral("zs");
    if (::geteuid() == 0) {
        // The server refuses to run as root: a run as root (a container's CI,
        // say) runs the cluster as the unprivileged account of the server package.
        const passwd* account = ::getpwnam("postgres");
        if (!account) {
            *error = QStringLiteral("running as root and there is no unprivileged account postgres to run the server");
            return false;
        }
        runAs_ = QStringLiteral("postgres");
        if (::chown(QFile::encodeName(folder_.path()).constData(), account->pw_uid, account->pw_gid) != 0) {
            *error = QStringLiteral("cannot hand the cluster's folder to postgres");
            return false;
        }
    }
    const QString data = QDir(folder_.path()).filePath(QStringLiteral("data"));
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), data, QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-U"), user_,
              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"),
              QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")},
             error))
        return false;
    // Fast and private: no TCP, a socket in the folder, nothing forced to disk.
    const QString options = QStringLiteral("-c listen_addresses='' -k %1 -p %2 -c fsync=off -c full_page_writes=off "
                                           "-c synchronous_commit=off -c max_connections=200")
                                .arg(folder_.path())
                                .arg(kPort);
    if (!run(QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), data, QStringLiteral("-l"), QDir(folder_.path()).filePath(QStringLiteral("log")),
              QStringLiteral("-o"), options, QStringLiteral("-w"), QStringLiteral("-s"), QStringLiteral("start")},
             error))
        return false;
    started_ = true;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), kAdminConnection);
    db.setHostName(folder_.path());
    db.setPort(kPort);
    db.setDatabaseName(QStringLiteral("postgres"));
    db.setUserName(user_);
    if (!db.open()) {
        *error = db.lastError().text();
        return false;
    }
    return true;
}

PostgresCluster::~PostgresCluster() {
    closeServerConnections();
    if (QSqlDatabase::contains(kAdminConnection)) {
        QSqlDatabase::database(kAdminConnection, false).close();
        QSqlDatabase::removeDatabase(kAdminConnection);
    }
    if (started_) {
        QString error;
        run(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), QDir(folder_.path()).filePath(QStringLiteral("data")), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("-s"), QStringLiteral("stop")},
            &error);
    }
}

void PostgresCluster::administer(const QString& statement) {
    QSqlQuery q(QSqlDatabase::database(kAdminConnection, false));
    if (!q.exec(statement))
        ADD_FAILURE() << statement.toStdString() << ": " << q.lastError().text().toStdString();
}

QString PostgresCluster::location(const QString& database, const QString& schema) const {
    ServerLocation where;
    where.host = folder_.path();
    where.port = kPort;
    where.database = database;
    where.user = user_;
    where.schema = schema;
    return where.text();
}

QString PostgresCluster::newDatabase() {
    const QString name = QStringLiteral("db_%1").arg(++databases_);
    administer(QStringLiteral("CREATE DATABASE \"%1\"").arg(name));
    return location(name);
}

QString PostgresCluster::newSchema() {
    // A schema is made in a few milliseconds, a database in half a second.
    const QString name = QStringLiteral("bank_%1").arg(++schemas_);
    administer(QStringLiteral("CREATE SCHEMA \"%1\"").arg(name));
    return location(QStringLiteral("postgres"), name);
}

QString newBank(StoreKind kind, const TempFolder& folder) {
    if (kind == StoreKind::File) {
        const QString path = folder.file(kBankFileName);
        Bank::create(path);
        return path;
    }
    PostgresCluster* cluster = PostgresCluster::instance();
    if (!cluster)
        return {};
    const QString location = cluster->newSchema();
    Bank::create(location);
    return location;
}

void PrintTo(StoreKind kind, std::ostream* out) {
    *out << (kind == StoreKind::File ? "File" : "Server");
}

std::string storeKindName(const ::testing::TestParamInfo<StoreKind>& info) {
    return info.param == StoreKind::File ? "File" : "Server";
}

bool BothStores::makeBank() {
    location = newBank(GetParam(), folder);
    return !location.isEmpty();
}

}  // namespace zs::test
