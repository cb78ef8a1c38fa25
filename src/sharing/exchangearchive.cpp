#include "sharing/exchangearchive.h"

#include "store/bank.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <memory>
#include <zip.h>

namespace zs {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString zipReason(zip_error_t* error) {
    return QString::fromUtf8(zip_error_strerror(error));
}

QString archiveReason(zip_t* archive) {
    return QString::fromUtf8(zip_strerror(archive));
}

}  // namespace

bool isZipArchive(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    return head == QByteArrayLiteral("PK\x03\x04") || head == QByteArrayLiteral("PK\x05\x06");
}

void packFolder(const QString& folder, const QString& archivePath) {
    if (QFileInfo::exists(archivePath))
        throw StoreError(QStringLiteral("文件已经存在，不能覆盖：\r%1").arg(shown(archivePath)));
    // Written under a temporary name first: a half-written archive never
    // carries the name a colleague would open.
    const QString partial = archivePath + QStringLiteral(".part");
    QFile::remove(partial);
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(partial).constData(), ZIP_CREATE | ZIP_EXCL, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString reason = zipReason(&error);
        zip_error_fini(&error);
        throw StoreError(QStringLiteral("无法建立压缩文件：\r%1\r原因：%2").arg(shown(archivePath), reason));
    }
    auto fail = [&](const QString& what) {
        const QString reason = archiveReason(archive);
        zip_discard(archive);
        QFile::remove(partial);
        throw StoreError(QStringLiteral("无法写入压缩文件：\r%1\r%2\r原因：%3").arg(shown(archivePath), what, reason));
    };

    const QDir base = QFileInfo(folder).absoluteDir();
    const QString top = QFileInfo(folder).fileName();
    if (zip_dir_add(archive, top.toUtf8().constData(), ZIP_FL_ENC_UTF_8) < 0)
        fail(top);
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QStringList entries;
    while (it.hasNext())
        entries << it.next();
    entries.sort();
    for (const QString& path : entries) {
        const QFileInfo info(path);
        const QString name = base.relativeFilePath(path);
        if (info.isDir()) {
            if (zip_dir_add(archive, name.toUtf8().constData(), ZIP_FL_ENC_UTF_8) < 0)
                fail(name);
            continue;
        }
        zip_source_t* source = zip_source_file(archive, QFile::encodeName(path).constData(), 0, -1);
        if (!source)
            fail(name);
        if (zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            fail(name);
        }
    }
    if (zip_close(archive) < 0)
        fail(QStringLiteral("（写入时出错，磁盘可能已满）"));
    if (!QFile::rename(partial, archivePath)) {
        QFile::remove(partial);
        throw StoreError(QStringLiteral("无法建立压缩文件：\r%1").arg(shown(archivePath)));
    }
}

QString unpackExchange(const QString& archivePath, const QString& targetFolder) {
    const QString notArchive =
        QStringLiteral("这个文件不是试题库的压缩文件，或者已经损坏：\r%1").arg(shown(archivePath));
    if (!isZipArchive(archivePath))
        throw StoreError(notArchive);
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive)
        throw StoreError(notArchive);
    const std::unique_ptr<zip_t, void (*)(zip_t*)> closer(archive, [](zip_t* a) { zip_discard(a); });

    const QDir target(targetFolder);
    const QString root = QDir::cleanPath(target.absolutePath());
    QStringList banks;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!raw)
            throw StoreError(notArchive);
        QString name = QString::fromUtf8(raw);
        name.replace(u'\\', u'/');
        const QString path = QDir::cleanPath(target.absoluteFilePath(name));
        if (QDir::isAbsolutePath(name) || !(path + u'/').startsWith(root + u'/') || path == root)
            throw StoreError(
                QStringLiteral("压缩文件里有指向文件夹外面的条目，不能导入：\r%1").arg(shown(archivePath)));
        if (name.endsWith(u'/')) {
            if (!QDir().mkpath(path))
                throw StoreError(QStringLiteral("无法建立文件夹：\r%1").arg(shown(path)));
            continue;
        }
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            throw StoreError(QStringLiteral("无法建立文件夹：\r%1").arg(shown(QFileInfo(path).absolutePath())));
        zip_file_t* entry = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (!entry)
            throw StoreError(notArchive);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            zip_fclose(entry);
            throw StoreError(QStringLiteral("无法写入文件：\r%1").arg(shown(path)));
        }
        char buffer[64 * 1024];
        zip_int64_t got = 0;
        bool ok = true;
        while ((got = zip_fread(entry, buffer, sizeof buffer)) > 0)
            ok = ok && out.write(buffer, got) == got;
        zip_fclose(entry);
        out.close();
        if (got < 0)
            throw StoreError(notArchive);
        if (!ok)
            throw StoreError(QStringLiteral("无法写入文件（磁盘可能已满）：\r%1").arg(shown(path)));
        if (name.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive))
            banks << path;
    }
    if (banks.isEmpty())
        throw StoreError(QStringLiteral("压缩文件里没有试题库文件（.mdb），不能导入：\r%1").arg(shown(archivePath)));
    banks.sort();
    return banks.first();
}

}  // namespace zs
