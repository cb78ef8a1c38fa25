#include "questions/questiontexts.h"

#include "office/officeerror.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/statement.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <sys/stat.h>

namespace zs {

namespace {

struct CachedText {
    qint64 size = -1;
    QString modified;
    QString text;
};

// The size and modification time of a file (nanoseconds since the epoch, as
// text), by one system call: tens of thousands of documents are looked at.
bool fileStamp(const QString& path, qint64& size, QString& modified) {
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    size = qint64(info.st_size);
    modified = QString::number(qint64(info.st_mtim.tv_sec) * 1000000000 + qint64(info.st_mtim.tv_nsec));
    return true;
}

void ensureCacheTable(Bank& bank) {
    bank.executeBound(QStringLiteral("CREATE TABLE IF NOT EXISTS \"%1\" (\"题目编号\" TEXT PRIMARY KEY, "
                                     "\"文件大小\" INTEGER, \"修改时间\" TEXT, \"文本\" TEXT)")
                          .arg(kTextCacheTable),
                      {});
}

}  // namespace

QList<QPair<QString, QString>> questionTexts(const QString& bankPath, const DocumentTextReader& read,
                                             const TextProgress& progress) {
    const bool writable = Bank::problemWith(bankPath).isEmpty();
    std::unique_ptr<Bank> bank =
        std::make_unique<Bank>(bankPath, writable ? Bank::Mode::ReadWrite : Bank::Mode::ReadOnly);
    QStringList numbers = bank->query(QStringLiteral("select distinct 题目编号 from 试题库")).texts();

    QHash<QString, CachedText> cache;
    bool cacheExists = !bank->query(QStringLiteral("select name from sqlite_master where type='table' and name='") +
                                    kTextCacheTable + u'\'')
                            .isEmpty();
    if (!cacheExists && writable) {
        ensureCacheTable(*bank);
        cacheExists = true;
    }
    if (cacheExists) {
        const RowSet rows =
            bank->query(QStringLiteral("select 题目编号, 文件大小, 修改时间, 文本 from ") + kTextCacheTable);
        for (int r = 0; r < rows.count(); ++r)
            cache.insert(rows.text(r, 0), {rows.value(r, 1).toLongLong(), rows.text(r, 2), rows.text(r, 3)});
    }

    // Which documents must be read again.
    struct Entry {
        QString number;
        QString path;
        qint64 size;
        QString modified;
        bool fresh;
    };
    QList<Entry> entries;
    int toRead = 0;
    for (const QString& number : numbers) {
        const QString path = questionDocumentPath(bankPath, number);
        qint64 size = 0;
        QString modified;
        if (!fileStamp(path, size, modified))
            continue;
        const auto it = cache.constFind(number);
        const bool fresh = it != cache.constEnd() && it->size == size && it->modified == modified;
        entries.push_back({number, path, size, modified, fresh});
        toRead += !fresh;
    }

    QList<QPair<QString, QString>> out;
    int done = 0;
    bool stopped = false;
    for (const Entry& e : entries) {
        if (e.fresh) {
            out << qMakePair(e.number, cache.value(e.number).text);
            continue;
        }
        if (stopped)
            continue;
        if (progress && !progress(done, toRead)) {
            stopped = true;
            continue;
        }
        QString text;
        try {
            text = read(e.path);
        } catch (const OfficeError&) {
            // A document the office cannot read is compared as an empty one.
        }
        ++done;
        out << qMakePair(e.number, text);
        if (writable)
            bank->executeBound(QStringLiteral("INSERT OR REPLACE INTO \"%1\" VALUES (?, ?, ?, ?)").arg(kTextCacheTable),
                               {e.number, e.size, e.modified, text});
    }
    if (progress && !stopped)
        progress(done, toRead);

    if (writable && cacheExists) {
        const QSet<QString> known(numbers.begin(), numbers.end());
        bank->transaction([&] {
            for (auto it = cache.constBegin(); it != cache.constEnd(); ++it)
                if (!known.contains(it.key()))
                    bank->executeBound(QStringLiteral("DELETE FROM \"%1\" WHERE \"题目编号\" = ?").arg(kTextCacheTable),
                                       {it.key()});
        });
    }
    return out;
}

SimilarityIndex bankSimilarityIndex(const QString& bankPath, const DocumentTextReader& read,
                                    const TextProgress& progress) {
    SimilarityIndex index;
    for (const auto& [number, text] : questionTexts(bankPath, read, progress))
        index.add(number, text);
    return index;
}

QString questionsStatement(const QStringList& numbers) {
    QStringList conditions;
    for (const QString& n : numbers)
        conditions << QStringLiteral("题目编号='") + sqlValue(n) + u'\'';
    return QStringLiteral("select * from 试题库 where ") +
           (conditions.isEmpty() ? QStringLiteral("1=0") : conditions.join(QStringLiteral(" or ")));
}

}  // namespace zs
