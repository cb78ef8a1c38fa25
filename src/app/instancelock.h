#pragma once

#include <QLockFile>
#include <QString>

namespace zs {

// Keeps a second program off an application folder: a lock file in the folder,
// held for the whole run. The file names the holding process; a program that
// was killed leaves a file whose process is gone, and the next start takes it
// over instead of being refused.
class AppFolderLock {
public:
    explicit AppFolderLock(const QString& appDir);

    // Takes the lock. Returns the message refusing this start when another
    // running program holds it; an empty text when the lock is taken or cannot
    // be made at all (a folder that cannot be written is refused by the bank
    // checks with their own message).
    QString acquire();
    bool isLocked() const { return lock_.isLocked(); }

    // The lock file's name inside the application folder.
    static const QString kFileName;
    // The refusal naming the folder (and the other program's process, if known).
    static QString refusalMessage(const QString& appDir, qint64 holder = 0);

private:
    QString appDir_;
    QLockFile lock_;
};

}  // namespace zs
