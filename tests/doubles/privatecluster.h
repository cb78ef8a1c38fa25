#pragma once

#include <QString>
#include <QTemporaryDir>

namespace zs::test {

// A private PostgreSQL server: a cluster made by initdb in a temporary folder,
// listening only on a socket in that folder (no TCP port), with nothing forced
// to disk; stopped and removed with the object. The server runs as the
// current user (as the account postgres when that is root, since the server
// refuses root). Used by the tests (one per test program) and the benchmarks.
class PrivateCluster {
public:
    PrivateCluster() = default;
    ~PrivateCluster();
    PrivateCluster(const PrivateCluster&) = delete;
    PrivateCluster& operator=(const PrivateCluster&) = delete;

    // Why this machine cannot run one (the PostgreSQL programs or Qt's driver
    // missing), or an empty text.
    static QString unavailableReason();

    // Listens on 127.0.0.1 at `port` besides the socket (the load benchmark
    // goes through TCP like a school's teachers do); call before start().
    void listenOnLoopback(int port) { tcpPort_ = port; }

    // Makes and starts the cluster; false with the reason in `error`.
    bool start(QString* error);
    void stop();

    // Runs one statement as the cluster's owner in the maintenance database;
    // the server's words on a failure, or an empty text.
    QString administer(const QString& statement);
    // A new empty database, or a new empty schema of the maintenance database
    // (made in milliseconds), as a bank location.
    QString newDatabase();
    QString newSchema();

    QString socketFolder() const { return folder_.path(); }
    int port() const { return tcpPort_ > 0 ? tcpPort_ : kPort; }
    QString user() const { return user_; }
    QString location(const QString& database, const QString& schema = {}) const;
    // The same over TCP on the loopback (after listenOnLoopback).
    QString loopbackLocation(const QString& database) const;

private:
    bool run(const QString& program, const QStringList& arguments, QString* error, int timeoutMs = 60000);

    static constexpr int kPort = 5432;
    QTemporaryDir folder_{QStringLiteral("/tmp/zs-pg-XXXXXX")};
    QString bin_;
    QString user_;
    QString runAs_;
    QString admin_;
    bool started_ = false;
    int databases_ = 0;
    int schemas_ = 0;
    int tcpPort_ = 0;
};

}  // namespace zs::test
