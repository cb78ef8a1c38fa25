#include "doubles/privatecluster.h"

#include "store/bank.h"
#include "store/serverlocation.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <pwd.h>
#include <unistd.h>

namespace zs::test {

namespace {

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

QString nextAdminConnection() {
    static QAtomicInt counter;
    return QStringLiteral("zs-private-cluster-%1").arg(counter.fetchAndAddRelaxed(1));
}

}  // namespace

QString PrivateCluster::unavailableReason() {
    if (serverPrograms().isEmpty())
        return QStringLiteral("PostgreSQL server programs (initdb, pg_ctl) not found under /usr/lib/postgresql/*/bin; "
                              "install the Debian package postgresql (scripts/install-deps.sh) to run the server "
                              "bank tests");
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return QStringLiteral("Qt's QPSQL driver is missing; install libqt6sql6-psql (scripts/install-deps.sh)");
    return {};
}

bool PrivateCluster::run(const QString& program, const QStringList& arguments, QString* error, int timeoutMs) {
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

bool PrivateCluster::start(QString* error) {
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
    const QString listen = tcpPort_ > 0 ? QStringLiteral("127.0.0.1") : QString();
    const QString options = QStringLiteral("-c listen_addresses='%1' -k %2 -p %3 -c fsync=off -c full_page_writes=off "
                                           "-c synchronous_commit=off -c max_connections=200")
                                .arg(listen, folder_.path())
                                .arg(tcpPort_ > 0 ? tcpPort_ : kPort);
    if (!run(QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), data, QStringLiteral("-l"), QDir(folder_.path()).filePath(QStringLiteral("log")),
              QStringLiteral("-o"), options, QStringLiteral("-w"), QStringLiteral("-s"), QStringLiteral("start")},
             error))
        return false;
    started_ = true;
    admin_ = nextAdminConnection();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), admin_);
    db.setHostName(folder_.path());
    db.setPort(port());
    db.setDatabaseName(QStringLiteral("postgres"));
    db.setUserName(user_);
    if (!db.open()) {
        *error = db.lastError().text();
        return false;
    }
    return true;
}

PrivateCluster::~PrivateCluster() {
    stop();
}

void PrivateCluster::stop() {
    closeServerConnections();
    if (!admin_.isEmpty()) {
        QSqlDatabase::database(admin_, false).close();
        QSqlDatabase::removeDatabase(admin_);
        admin_.clear();
    }
    if (started_) {
        QString error;
        run(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), QDir(folder_.path()).filePath(QStringLiteral("data")), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("-s"), QStringLiteral("stop")},
            &error);
        started_ = false;
    }
}

QString PrivateCluster::administer(const QString& statement) {
    QSqlQuery q(QSqlDatabase::database(admin_, false));
    if (!q.exec(statement))
        return q.lastError().text();
    return {};
}

QString PrivateCluster::location(const QString& database, const QString& schema) const {
    ServerLocation where;
    where.host = folder_.path();
    where.port = port();
    where.database = database;
    where.user = user_;
    where.schema = schema;
    return where.text();
}

QString PrivateCluster::loopbackLocation(const QString& database) const {
    ServerLocation where;
    where.host = QStringLiteral("127.0.0.1");
    where.port = port();
    where.database = database;
    where.user = user_;
    return where.text();
}

QString PrivateCluster::newDatabase() {
    const QString name = QStringLiteral("db_%1").arg(++databases_);
    if (!administer(QStringLiteral("CREATE DATABASE \"%1\"").arg(name)).isEmpty())
        return {};
    return location(name);
}

QString PrivateCluster::newSchema() {
    const QString name = QStringLiteral("bank_%1").arg(++schemas_);
    if (!administer(QStringLiteral("CREATE SCHEMA \"%1\"").arg(name)).isEmpty())
        return {};
    return location(QStringLiteral("postgres"), name);
}

}  // namespace zs::test
