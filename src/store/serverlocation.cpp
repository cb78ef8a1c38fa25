#include "store/serverlocation.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHash>
#include <QMutex>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace zs {

namespace {

const QString kScheme = QStringLiteral("postgresql");

QMutex& guard() {
    static QMutex mutex;
    return mutex;
}

QHash<QString, QString>& passwords() {
    static QHash<QString, QString> map;
    return map;
}

QString& cacheRoot() {
    static QString root;
    return root;
}

}  // namespace

ServerLocation ServerLocation::parse(const QString& text) {
    ServerLocation location;
    if (!isServerLocation(text))
        return location;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return location;
    location.user = url.userName(QUrl::FullyDecoded);
    location.host = url.host(QUrl::FullyDecoded);
    location.port = url.port(5432);
    location.database = url.path(QUrl::FullyDecoded).mid(1);
    const QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("host")))
        location.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (query.hasQueryItem(QStringLiteral("port")))
        location.port = query.queryItemValue(QStringLiteral("port")).toInt();
    location.schema = query.queryItemValue(QStringLiteral("schema"), QUrl::FullyDecoded);
    if (location.database.contains(u'/'))
        location.database.clear();
    return location;
}

QString ServerLocation::text() const {
    QUrl url;
    url.setScheme(kScheme);
    url.setUserName(user);
    url.setPath(u'/' + database);
    QUrlQuery query;
    if (host.startsWith(u'/')) {
        url.setHost(QString());
        query.addQueryItem(QStringLiteral("host"), host);
        query.addQueryItem(QStringLiteral("port"), QString::number(port));
    } else {
        url.setHost(host);
        url.setPort(port);
    }
    if (!schema.isEmpty())
        query.addQueryItem(QStringLiteral("schema"), schema);
    if (!query.isEmpty())
        url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

QString ServerLocation::shown() const {
    const QString server = host.startsWith(u'/') || host.isEmpty() ? QStringLiteral("本机") : host;
    const QString name = schema.isEmpty() ? database : database + u'.' + schema;
    return QStringLiteral("学校题库 %1（服务器 %2:%3）").arg(name, server).arg(port);
}

bool isServerLocation(const QString& bankPath) {
    return bankPath.startsWith(kScheme + QStringLiteral("://"));
}

void setServerPassword(const QString& location, const QString& password) {
    QMutexLocker lock(&guard());
    passwords().insert(ServerLocation::parse(location).text(), password);
}

QString serverPassword(const QString& location) {
    QMutexLocker lock(&guard());
    return passwords().value(ServerLocation::parse(location).text());
}

QString serverCacheRoot() {
    QMutexLocker lock(&guard());
    if (!cacheRoot().isEmpty())
        return cacheRoot();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QStringLiteral("zhuoshi-tiku/学校题库"));
}

void setServerCacheRoot(const QString& folder) {
    QMutexLocker lock(&guard());
    cacheRoot() = folder;
}

QString serverCacheFolder(const ServerLocation& location) {
    // One folder per server and database, named so that it stays readable.
    const QString key =
        location.host + u'|' + QString::number(location.port) + u'|' + location.database + u'|' + location.schema;
    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(10));
    QString name = location.schema.isEmpty() ? location.database : location.schema;
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != u'_' && c != u'-')
            c = u'_';
    return QDir(serverCacheRoot()).filePath(name + u'-' + digest);
}

}  // namespace zs
