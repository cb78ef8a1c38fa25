#include "catalogue/numberpool.h"

#include "store/bank.h"
#include "store/documentcheck.h"
#include "store/paths.h"
#include "store/statement.h"
#include "store/textnumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <unistd.h>

namespace zs {

namespace {

// How long a number handed to a pool stays reserved for it on a server bank:
// a program that ended without storing its numbers frees them after this.
constexpr int kReservationDays = 7;

// The tail of an identification code when it is a question number.
QString numberInCode(const QString& code) {
    const QString tail = code.mid(code.lastIndexOf(u'-') + 1);
    if (tail.size() == 5 && std::all_of(tail.begin(), tail.end(), [](QChar c) { return c.isDigit(); }))
        return tail;
    return {};
}

// On a server bank the numbers come from the server: every teacher's pool is
// filled in turn (the reservation table is locked for the refill), and a
// number is taken when rows carry it or another pool holds it. The documents
// live in the bank, so nothing of the local folder is looked at.
RefillResult refillServerPool(NumberPool& pool, Bank& bank, const std::function<void(int)>& progress) {
    RefillResult result;
    bank.transaction([&] {
        bank.execute(lockReservationsStatement());
        bank.execute(releaseReservationsStatement(pool.holder(), kReservationDays));
        QSet<QString> taken;
        for (const QString& n : bank.query(QStringLiteral("select distinct 题目编号 from 试题库")).texts())
            taken.insert(n);
        for (const QString& n : bank.query(QStringLiteral("select 题目编号 from 题目编号预留")).texts())
            taken.insert(n);
        const QStringList orphanCodes = codesOfRowsWithoutNumber(bank);
        for (const QString& code : orphanCodes)
            if (const QString n = numberInCode(code); !n.isEmpty())
                taken.insert(n);
        result.notice = rowsWithoutNumberMessage(orphanCodes);

        NumberPool filled = pool;
        int n = 1;
        for (int i = 1; i <= NumberPool::kSlots; ++i) {
            for (;;) {
                if (n > kHighestQuestionNumber) {
                    result.message = QStringLiteral("题目编号已经用到 %1，无法再分配新的题目编号！\r"
                                                    "请删除不用的试题，或者建立一个新的试题库。")
                                         .arg(kHighestQuestionNumber);
                    break;
                }
                const QString t = questionNumberText(n);
                bool inPool = false;
                for (int j = 1; j <= i && !inPool; ++j)
                    inPool = filled.slot(j) == t;
                if (inPool || taken.contains(t)) {
                    ++n;
                    continue;
                }
                filled.setSlot(i, t);
                bank.addRow(QStringLiteral("题目编号预留"),
                            {{QStringLiteral("题目编号"), t}, {QStringLiteral("预留者"), pool.holder()}});
                break;
            }
            if (!result.message.isEmpty())
                break;
        }
        pool = filled;
    });
    for (int i = 1; i <= NumberPool::kSlots && !pool.isEmpty(i); ++i)
        if (progress)
            progress(i);
    result.completed = result.message.isEmpty();
    return result;
}

}  // namespace

QString lockReservationsStatement() {
    return QStringLiteral("LOCK TABLE \"题目编号预留\" IN SHARE ROW EXCLUSIVE MODE");
}

QString releaseReservationsStatement(const QString& holder, int days) {
    return QStringLiteral("delete from 题目编号预留 where 预留者='") + sqlValue(holder) +
           QStringLiteral("' or 预留时间 < now() - interval '%1 days'").arg(days);
}

QString strayFolderOf(const QString& bankPath, const QDate& day) {
    return QDir(documentsFolderOf(bankPath))
        .filePath(QStringLiteral("已移出") +
                  (day.isValid() ? u'-' + day.toString(QStringLiteral("yyyy年MM月dd日")) : QString()));
}

namespace {

// Moves a document into the folder of strays under its own name (or with
// "(2)", "(3)" … when that name is taken there). False when it cannot be moved.
bool moveAside(const QString& document, const QString& folder) {
    if (!QDir().mkpath(folder))
        return false;
    const QFileInfo info(document);
    QString target = QDir(folder).filePath(info.fileName());
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QDir(folder).filePath(info.completeBaseName() + QStringLiteral("(%1).").arg(n) + info.suffix());
    return QFile::rename(document, target);
}

}  // namespace

RefillResult refillNumberPool(NumberPool& pool, const QString& bankPath, const std::function<void(int)>& progress,
                              const QDate& today) {
    RefillResult result;
    Bank bank(bankPath);
    if (bank.isServer())
        return refillServerPool(pool, bank, progress);
    const QStringList knownList = questionNumbersOf(bank);
    QSet<QString> known(knownList.begin(), knownList.end());

    // The documents of every question gone: handing out numbers now would only
    // mix new documents with the old ones when the folder comes back.
    result.message = lostDocumentsMessage(bank);
    if (!result.message.isEmpty())
        return result;

    // Rows without a number keep the number their identification code ends in.
    const QStringList orphanCodes = codesOfRowsWithoutNumber(bank);
    for (const QString& code : orphanCodes)
        if (const QString n = numberInCode(code); !n.isEmpty())
            known.insert(n);
    result.notice = rowsWithoutNumberMessage(orphanCodes);

    const QString documents = documentsFolderOf(bankPath);
    if (!QFileInfo(documents).isDir()) {
        if (!QDir().mkpath(documents)) {
            result.message = QStringLiteral("无法建立试题文档文件夹：\r%1").arg(QDir::toNativeSeparators(documents));
            return result;
        }
    }

    // File tests on encoded paths: tens of thousands of numbers may be examined.
    const QByteArray folder = QFile::encodeName(QDir(documents).absolutePath()) + '/';
    const QByteArray questionSuffix = QFile::encodeName(QStringLiteral("-题目.doc"));
    const QByteArray answerSuffix = QFile::encodeName(QStringLiteral("-答案.doc"));
    auto exists = [](const QByteArray& path) { return ::access(path.constData(), F_OK) == 0; };

    const QString strays = strayFolderOf(bankPath, today);
    int movedAside = 0;
    auto tellMoved = [&] {
        if (movedAside == 0)
            return;
        if (!result.notice.isEmpty())
            result.notice += QStringLiteral("\r\r");
        result.notice += QStringLiteral("有 %1 道试题的文档在试题库里没有记录（例如试题库是从较早的备份恢复的），"
                                        "它们没有被删除，已经移到下面这个文件夹，需要时可以从那里找回：\r%2")
                             .arg(movedAside)
                             .arg(QDir::toNativeSeparators(QFileInfo(strays).absoluteFilePath()));
    };
    int n = 1;
    for (int i = 1; i <= NumberPool::kSlots; ++i) {
        for (;;) {
            if (n > kHighestQuestionNumber) {
                result.message = QStringLiteral("题目编号已经用到 %1，无法再分配新的题目编号！\r"
                                                "请删除不用的试题，或者建立一个新的试题库。")
                                     .arg(kHighestQuestionNumber);
                tellMoved();
                return result;
            }
            const QString t = questionNumberText(n);
            bool inPool = false;
            for (int j = 1; j <= i && !inPool; ++j)
                inPool = pool.slot(j) == t;
            const bool inTable = known.contains(t);
            const QByteArray number = t.toLatin1();
            const QByteArray question = folder + number + questionSuffix;
            const QByteArray answer = folder + number + answerSuffix;
            // A number with rows is in use; only the documents of a number
            // without rows are leftovers.
            bool used = inTable;
            if (!used && (exists(question) || exists(answer))) {
                // The only copy of a question the teacher may still want: put
                // aside, never deleted; its number is free only once it is.
                bool moved = true;
                for (const QByteArray& document : {question, answer})
                    if (exists(document))
                        moved = moveAside(QFile::decodeName(document), strays) && moved;
                if (moved)
                    ++movedAside;
                else
                    used = true;
            }
            if (inPool || used) {
                ++n;
                continue;
            }
            pool.setSlot(i, t);
            break;
        }
        if (progress)
            progress(i);
    }
    tellMoved();
    result.completed = true;
    return result;
}

}  // namespace zs
