#include "questions/rowcheck.h"

#include "questions/questionrecord.h"
#include "store/bank.h"
#include "store/naturalorder.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "store/statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace zs {

namespace {

// " ('0.1', '0.2', …)"
QString levelList() {
    QStringList quoted;
    for (const QString& d : Bank::defaultDifficulties())
        quoted << u'\'' + d + u'\'';
    return QStringLiteral(" (") + quoted.join(QStringLiteral(", ")) + u')';
}

QString sharedNumbersQuery() {
    return QStringLiteral("select 题目编号 from 试题库 where 题目编号 is not null group by 题目编号 "
                          "having count(distinct 试题识别码) > 1");
}

QStringList sorted(QStringList numbers) {
    std::sort(numbers.begin(), numbers.end(), naturalLess);
    return numbers;
}

}  // namespace

QString UnusableQuestions::reason(const QString& number) const {
    if (const auto d = badDifficulty.constFind(number); d != badDifficulty.cend())
        return QStringLiteral("难度为“%1”，不是 0.1～1.0 之间的难度").arg(*d);
    if (const auto s = sharedCodes.constFind(number); s != sharedCodes.cend())
        return QStringLiteral("题目编号被 %1 道不同的试题共用（试题识别码：%2）")
            .arg(s->size())
            .arg(s->join(QStringLiteral("、")));
    return {};
}

UnusableQuestions unusableQuestions(Bank& bank) {
    UnusableQuestions unusable;
    const RowSet bad = bank.query(
        QStringLiteral("select 题目编号, 难度 from 试题库 where 难度 is not null and 难度 not in") + levelList());
    for (int r = 0; r < bad.count(); ++r) {
        const QString difficulty = bad.text(r, 1);
        if (!difficulty.trimmed().isEmpty() && !bad.text(r, 0).isEmpty())
            unusable.badDifficulty.insert(bad.text(r, 0), difficulty);
    }
    const RowSet shared = bank.query(QStringLiteral("select 题目编号, 试题识别码 from 试题库 where 题目编号 in (") +
                                     sharedNumbersQuery() + u')');
    for (int r = 0; r < shared.count(); ++r) {
        QStringList& codes = unusable.sharedCodes[shared.text(r, 0)];
        if (!codes.contains(shared.text(r, 1)))
            codes << shared.text(r, 1);
    }
    for (QStringList& codes : unusable.sharedCodes)
        codes = sorted(codes);
    return unusable;
}

QString unusableQuestionsMessage(const UnusableQuestions& unusable) {
    if (unusable.isEmpty())
        return {};
    QStringList parts;
    if (!unusable.badDifficulty.isEmpty())
        parts << QStringLiteral("%1 道试题的难度不正确").arg(unusable.badDifficulty.size());
    if (!unusable.sharedCodes.isEmpty())
        parts << QStringLiteral("%1 个题目编号被不同的试题共用").arg(unusable.sharedCodes.size());
    return QStringLiteral("试题库中有 ") + parts.join(QStringLiteral("，")) +
           QStringLiteral("（题目编号见详细信息）。\r\r这些试题在改正之前不参加组卷（手动组卷和智能组卷都不选用），"
                          "请在<查看修改>中找到它们并改正。");
}

QString unusableQuestionsDetails(const UnusableQuestions& unusable) {
    QStringList lines;
    if (!unusable.badDifficulty.isEmpty()) {
        lines << QStringLiteral("难度不正确的试题：");
        for (const QString& number : sorted(unusable.badDifficulty.keys()))
            lines << number + QStringLiteral("  难度为“") + unusable.badDifficulty.value(number) + u'”';
    }
    if (!unusable.sharedCodes.isEmpty()) {
        if (!lines.isEmpty())
            lines << QString();
        lines << QStringLiteral("被不同试题共用的题目编号：");
        for (const QString& number : sorted(unusable.sharedCodes.keys()))
            lines << number + QStringLiteral("  试题识别码：") +
                         unusable.sharedCodes.value(number).join(QStringLiteral("、"));
    }
    return lines.join(u'\n');
}

QString usableQuestionsCondition() {
    // The rows of another question under the same number are found through
    // the number's index: cheap for the rows of a scope.
    return QStringLiteral(" and (难度 is null or 难度 = '' or 难度 in") + levelList() +
           QStringLiteral(") and not exists (select 1 from 试题库 as 同号 where 同号.题目编号 = 试题库.题目编号 "
                          "and 同号.试题识别码 <> 试题库.试题识别码)");
}

QString unusableQuestionRefusal(const UnusableQuestions& unusable, const QString& number) {
    return QStringLiteral("题目编号为 %1 的试题%2，改正之前不能放进试卷。\r请先在<查看修改>中改正它。")
        .arg(number, unusable.reason(number));
}

namespace {
void renumberInTransaction(Bank& bank, const QString& number, const QString& code, QString& fresh, QStringList& copied);
}  // namespace

QString renumberSharedQuestion(Bank& bank, const QString& number, const QString& code) {
    QString fresh;
    QStringList copied;  // removed again when the change fails
    // A school bank's documents are copied from their local copies: brought up to date first.
    fetchDocuments(bank, {number});
    try {
        renumberInTransaction(bank, number, code, fresh, copied);
    } catch (...) {
        for (const QString& file : copied)
            QFile::remove(file);
        throw;
    }
    return fresh;
}

namespace {

void renumberInTransaction(Bank& bank, const QString& number, const QString& code, QString& fresh,
                           QStringList& copied) {
    bank.transaction([&] {
        lockQuestionNumber(bank, number);
        if (bank.isServer())
            bank.execute(QStringLiteral("LOCK TABLE \"题目编号预留\" IN SHARE ROW EXCLUSIVE MODE"));
        int highest = 0;
        auto consider = [&](const QString& text) {
            bool ok = false;
            const int n = text.left(5).toInt(&ok);
            if (ok)
                highest = std::max(highest, n);
        };
        for (const QString& n : bank.query(QStringLiteral("select distinct 题目编号 from 试题库")).texts())
            consider(n);
        if (bank.isServer())
            for (const QString& n : bank.query(QStringLiteral("select 题目编号 from 题目编号预留")).texts())
                consider(n);
        const QString documents = documentsFolderOf(bank.path());
        for (const QString& name : QDir(documents).entryList(QDir::Files))
            consider(name);
        fresh = QString::number(highest + 1).rightJustified(5, u'0');
        lockQuestionNumber(bank, fresh);
        for (const auto& [from, to] :
             {std::pair{questionDocumentPath(bank.path(), number), questionDocumentPath(bank.path(), fresh)},
              std::pair{answerDocumentPath(bank.path(), number), answerDocumentPath(bank.path(), fresh)}})
            if (QFileInfo::exists(from)) {
                if (!QFile::copy(from, to))
                    throw StoreError(QStringLiteral("无法复制文件：\r%1\r到\r%2")
                                         .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)));
                copied << to;
            }
        bank.execute(QStringLiteral("update 试题库 set 题目编号 = '") + fresh + QStringLiteral("' where 题目编号 = '") +
                     sqlValue(number) + QStringLiteral("' and 试题识别码 = '") + sqlValue(code) + u'\'');
        storeDocuments(bank, fresh);
    });
}

}  // namespace

}  // namespace zs
