#pragma once

#include <QString>

namespace zs {

// Where a school's shared bank lives: a database on a PostgreSQL server. The
// run keeps it in `BankPath` as a location text
//   postgresql://user@host:port/database
// (a host that is a folder, the server's local socket, is written
// postgresql://user@/database?host=/folder&port=5432), so that everything that
// opens a bank by its path opens the server bank the same way. Several banks
// (of several subject groups, say) may share one database, each in a schema
// of its own: ...?schema=name.
struct ServerLocation {
    QString host;  // a name or address, or the folder of a local socket
    int port = 5432;
    QString database;
    QString user;
    QString schema;  // empty: the database's default schema

    // Parses a location text; an invalid location (empty database) when the
    // text is not one.
    static ServerLocation parse(const QString& text);
    bool isValid() const { return !database.isEmpty(); }
    QString text() const;
    // How the screens name the bank: "学校题库 数据库（服务器 主机:端口）".
    QString shown() const;
    bool operator==(const ServerLocation&) const = default;
};

// Whether a bank path names a server bank rather than a file.
bool isServerLocation(const QString& bankPath);

// The password of a server bank, held in memory for the run only (never
// written anywhere). Empty when none was given.
void setServerPassword(const QString& location, const QString& password);
QString serverPassword(const QString& location);

// The local folder that stands for a server bank's folder: its documents are
// fetched into it. Under `serverCacheRoot()`, one folder per server bank.
QString serverCacheFolder(const ServerLocation& location);
// The folder that holds the cache folders of all server banks (the user's
// cache folder unless set, as tests do).
QString serverCacheRoot();
void setServerCacheRoot(const QString& folder);

}  // namespace zs
