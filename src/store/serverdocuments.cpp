#include "store/serverdocuments.h"

#include "store/bank.h"
#include "store/paths.h"
#include "store/statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zs {

namespace {

QStringList documentPaths(const Bank& bank, const QString& number) {
    return {questionDocumentPath(bank.path(), number), answerDocumentPath(bank.path(), number)};
}

// The revision of the local copy, kept beside it in a hidden folder.
QString revisionFile(const QString& document) {
    const QFileInfo info(document);
    return QDir(info.absolutePath()).filePath(QStringLiteral(".修订号/") + info.fileName());
}

qlonglong localRevision(const QString& document) {
    if (!QFileInfo::exists(document))
        return -1;
    QFile f(revisionFile(document));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const qlonglong revision = f.readAll().trimmed().toLongLong(&ok);
    return ok ? revision : -1;
}

// Written after the document itself is safely on disk, and not forced to disk
// in turn (a flush costs milliseconds on every question shown): a note lost or
// cut short by a crash reads as no revision or as another one than the bank's,
// and the document is simply fetched again.
void noteRevision(const QString& document, qlonglong revision) {
    const QString path = revisionFile(document);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(QByteArray::number(revision));
}

QString quotedList(const QStringList& names) {
    QStringList quoted;
    for (const QString& n : names)
        quoted << u'\'' + sqlValue(n) + u'\'';
    return quoted.join(u',');
}

}  // namespace

void fetchDocuments(Bank& bank, const QStringList& numbers) {
    if (!bank.isServer() || numbers.isEmpty())
        return;
    QHash<QString, QString> pathOf;
    for (const QString& number : numbers)
        for (const QString& path : documentPaths(bank, number))
            pathOf.insert(QFileInfo(path).fileName(), path);
    const RowSet stored = bank.query(QStringLiteral("select 文件名, 修订号 from 试题文档 where 文件名 in (") +
                                     quotedList(pathOf.keys()) + u')');
    QStringList wanted;
    for (int r = 0; r < stored.count(); ++r) {
        const QString name = stored.text(r, 0);
        if (localRevision(pathOf.value(name)) != stored.value(r, 1).toLongLong())
            wanted << name;
    }
    if (wanted.isEmpty())
        return;
    const RowSet rows = bank.query(QStringLiteral("select 文件名, 修订号, 内容 from 试题文档 where 文件名 in (") +
                                   quotedList(wanted) + u')');
    for (int r = 0; r < rows.count(); ++r) {
        const QString path = pathOf.value(rows.text(r, 0));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(rows.value(r, 2).toByteArray()) < 0 || !f.commit())
            throw StoreError(
                QStringLiteral("无法把学校题库的试题文档保存到这台电脑：\r%1").arg(QDir::toNativeSeparators(path)));
        noteRevision(path, rows.value(r, 1).toLongLong());
    }
}

void storeDocuments(Bank& bank, const QString& number) {
    if (!bank.isServer())
        return;
    for (const QString& path : documentPaths(bank, number)) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString name = QFileInfo(path).fileName();
        bank.executeBound(
            QStringLiteral(
                "INSERT INTO \"试题文档\" (\"文件名\", \"内容\") VALUES (?, coalesce(?, ''::bytea)) ON CONFLICT "
                "(\"文件名\") DO UPDATE SET \"内容\" = EXCLUDED.\"内容\", "
                "\"修订号\" = \"试题文档\".\"修订号\" + 1"),
            {name, f.readAll()});
        const RowSet revision =
            bank.query(QStringLiteral("select 修订号 from 试题文档 where 文件名='") + sqlValue(name) + u'\'');
        noteRevision(path, revision.value(0, 0).toLongLong());
    }
}

void dropDocuments(Bank& bank, const QString& number) {
    if (!bank.isServer())
        return;
    QStringList names;
    for (const QString& path : documentPaths(bank, number))
        names << QFileInfo(path).fileName();
    bank.execute(QStringLiteral("delete from 试题文档 where 文件名 in (") + quotedList(names) + u')');
}

}  // namespace zs
