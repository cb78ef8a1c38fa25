#include "office/leftovers.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace zs {

QStringList removeLeftoversOfGonePrograms(const QString& folder, const QString& prefix, QChar separator,
                                          QDir::Filters filters) {
    QStringList removed;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({prefix + u'*'}, filters | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QStringList parts = name.mid(prefix.size()).split(separator);
        bool ok = false;
        const qint64 pid = parts.value(0).toLongLong(&ok);
        if (!ok || parts.size() != 2 || pid <= 0 || pid == ::getpid())
            continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const QString path = dir.filePath(name);
        if (QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path))
            removed << path;
    }
    return removed;
}

}  // namespace zs
