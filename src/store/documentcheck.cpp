#include "store/documentcheck.h"

#include "store/bank.h"
#include "store/paths.h"

#include <QDir>
#include <QFileInfo>

namespace zs {

QStringList questionNumbersOf(Bank& bank) {
    QStringList numbers = bank.query(QStringLiteral("select distinct 题目编号 from 试题库")).texts();
    numbers.removeIf([](const QString& n) { return n.trimmed().isEmpty(); });
    return numbers;
}

QString lostDocumentsMessage(Bank& bank) {
    const QStringList numbers = questionNumbersOf(bank);
    if (numbers.isEmpty())
        return {};
    const QString folder = documentsFolderOf(bank.path());
    const QString shown = QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath());
    const bool folderThere = QFileInfo(folder).isDir();
    if (folderThere)
        for (const QString& number : numbers)
            if (QFileInfo::exists(questionDocumentPath(bank.path(), number)) ||
                QFileInfo::exists(answerDocumentPath(bank.path(), number)))
                return {};
    const QString opening =
        folderThere ? QStringLiteral("试题源文件夹里的试题文档都不见了！") : QStringLiteral("试题源文件夹不见了！");
    return opening +
           QStringLiteral("\r\r试题库里有 %1 道试题，但是在下面这个文件夹里找不到它们的任何题目文档和答案文档："
                          "\r%2\r\r请把原来的“试题源文件”文件夹（连同里面的文档）放回试题库文件旁边，"
                          "然后重新启动本程序。\r在此之前，试题的记录都保留着，可以查看，"
                          "但是不能录入试题，也不能导入试题。")
               .arg(numbers.size())
               .arg(shown);
}

QStringList codesOfRowsWithoutNumber(Bank& bank) {
    const RowSet rows =
        bank.query(QStringLiteral("select 试题识别码 from 试题库 where 题目编号 is null or trim(题目编号) = ''"));
    QStringList codes;
    for (int r = 0; r < rows.count(); ++r)
        codes << rows.text(r, 0);
    return codes;
}

QString rowsWithoutNumberMessage(const QStringList& codes) {
    if (codes.isEmpty())
        return {};
    QStringList named;
    for (const QString& code : codes) {
        if (named.size() == 5)
            break;
        named << (code.isEmpty() ? QStringLiteral("（没有试题识别码）") : code);
    }
    if (codes.size() > named.size())
        named << QStringLiteral("……");
    return QStringLiteral("试题库里有 %1 条试题记录没有题目编号（试题识别码：%2）。\r\r"
                          "这些记录没有被删除，它们的题目和答案文档也没有被改动；"
                          "按试题识别码末尾的编号，这些编号不会分给新的试题。\r"
                          "请在<查看修改>中查看这些试题，并请人修复试题库中的题目编号。")
        .arg(codes.size())
        .arg(named.join(QStringLiteral("、")));
}

}  // namespace zs
