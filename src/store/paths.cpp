#include "store/paths.h"

#include "store/serverlocation.h"

#include <QDir>
#include <QFileInfo>

namespace zs {

QString bankFolderOf(const QString& bankPath) {
    // A server bank's documents are fetched into a local folder of its own.
    if (isServerLocation(bankPath))
        return serverCacheFolder(ServerLocation::parse(bankPath));
    const QString p = QDir::fromNativeSeparators(bankPath);
    const int cut = p.lastIndexOf(u'/');
    return cut < 0 ? QStringLiteral(".") : p.left(cut == 0 ? 1 : cut);
}

QString documentsFolderOf(const QString& bankPath) {
    return QDir(bankFolderOf(bankPath)).filePath(kDocumentsFolderName);
}

QString questionDocumentPath(const QString& bankPath, const QString& number) {
    return QDir(documentsFolderOf(bankPath)).filePath(number + QStringLiteral("-题目.doc"));
}

QString answerDocumentPath(const QString& bankPath, const QString& number) {
    return QDir(documentsFolderOf(bankPath)).filePath(number + QStringLiteral("-答案.doc"));
}

}  // namespace zs
