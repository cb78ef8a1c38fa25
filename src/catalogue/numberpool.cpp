#include "catalogue/numberpool.h"

#include "store/bank.h"
#include "store/paths.h"
#include "store/statement.h"
#include "store/textnumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <unistd.h>

namespace zs {

RefillResult refillNumberPool(NumberPool& pool, const QString& bankPath, const std::function<void(int)>& progress) {
    RefillResult result;
    Bank bank(bankPath);
    const QStringList knownList = bank.query(QStringLiteral("select distinct 题目编号 from 试题库")).texts();
    const QSet<QString> known(knownList.begin(), knownList.end());

    const QString documents = documentsFolderOf(bankPath);
    if (!QFileInfo(documents).isDir()) {
        if (!known.isEmpty()) {
            result.message = QStringLiteral("找不到试题文档文件夹：\r%1\r\r试题库中已有试题，为了不误删试题，"
                                            "没有准备新的题目编号。请先找回这个文件夹。")
                                 .arg(QDir::toNativeSeparators(documents));
            return result;
        }
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

    int n = 1;
    for (int i = 1; i <= NumberPool::kSlots; ++i) {
        for (;;) {
            if (n > kHighestQuestionNumber) {
                result.message = QStringLiteral("题目编号已经用到 %1，无法再分配新的题目编号！\r"
                                                "请删除不用的试题，或者建立一个新的试题库。")
                                     .arg(kHighestQuestionNumber);
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
            const bool hasQuestion = exists(question);
            const bool hasAnswer = exists(answer);
            const bool used = hasQuestion && hasAnswer && inTable;
            if (!used) {
                if (hasQuestion)
                    QFile::remove(QFile::decodeName(question));
                if (hasAnswer)
                    QFile::remove(QFile::decodeName(answer));
                if (inTable)
                    bank.execute(QStringLiteral("delete from 试题库 where 题目编号 = '") + sqlValue(t) + u'\'');
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
    result.completed = true;
    return result;
}

}  // namespace zs
