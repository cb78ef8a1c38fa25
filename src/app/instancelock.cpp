#include "app/instancelock.h"

#include <QDir>

namespace zs {

const QString AppFolderLock::kFileName = QStringLiteral(".zhuoshi-tiku.lock");

AppFolderLock::AppFolderLock(const QString& appDir) : appDir_(appDir), lock_(QDir(appDir).filePath(kFileName)) {
    // A lock is stale only when its process is gone, however long it was held.
    lock_.setStaleLockTime(0);
}

QString AppFolderLock::acquire() {
    if (lock_.isLocked() || lock_.tryLock(0))
        return {};
    if (lock_.error() != QLockFile::LockFailedError)
        return {};
    qint64 pid = 0;
    QString host, application;
    lock_.getLockInfo(&pid, &host, &application);
    return refusalMessage(appDir_, pid);
}

QString AppFolderLock::refusalMessage(const QString& appDir, qint64 holder) {
    const QString process = holder > 0 ? QStringLiteral("（进程号 %1）").arg(holder) : QString();
    return QStringLiteral("该题库已被另一个琢石-试题库程序%1打开：\r%2\r\r"
                          "同一个程序文件夹同时只能由一个琢石-试题库程序使用，否则两个程序会分出相同的题目编号，"
                          "互相覆盖正在编辑的试题文档。\r请回到已经打开的那个程序窗口继续工作；"
                          "如果它正在关闭，请稍等片刻再启动本程序。")
        .arg(process, QDir::toNativeSeparators(QDir(appDir).absolutePath()));
}

}  // namespace zs
