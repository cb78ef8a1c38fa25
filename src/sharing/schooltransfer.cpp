#include "sharing/schooltransfer.h"

#include "catalogue/numberpool.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "store/statement.h"
#include "store/textnumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>

namespace zs {

namespace {

const QStringList kCatalogueColumns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};

QByteArray readAll(const QString& path, bool* ok) {
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? f.readAll() : QByteArray();
}

// One row's values for the given columns, null for empty.
RowValues valuesOf(const RowSet& rows, int r, const QStringList& columns) {
    RowValues values;
    for (const QString& c : columns)
        if (rows.columnIndex(c) >= 0 && !rows.isNull(r, c))
            values << qMakePair(c, rows.value(r, c));
    return values;
}

QString tupleOf(const RowSet& rows, int r, const QStringList& columns) {
    QStringList parts;
    for (const QString& c : columns)
        parts << (rows.isNull(r, c) ? QStringLiteral("\x01") : rows.text(r, c));
    return parts.join(QChar(0x1f));
}

void putDocument(Bank& bank, const QString& name, const QByteArray& bytes) {
    bank.executeBound(
        QStringLiteral("INSERT INTO \"试题文档\" (\"文件名\", \"内容\") VALUES (?, coalesce(?, ''::bytea))"),
        {name, bytes});
}

}  // namespace

TransferResult uploadToSchoolBank(const QString& fileBank, const QString& schoolBank) {
    TransferResult result;
    RowSet rows, catalogue, sources;
    {
        Bank source(fileBank, Bank::Mode::ReadOnly);
        if (source.isServer())
            throw StoreError(QStringLiteral("只能把本机的试题库文件上传到学校题库。"));
        rows = source.query(QStringLiteral("select * from 试题库"));
        catalogue = source.query(QStringLiteral("select * from 教材设置"));
        sources = source.query(QStringLiteral("select * from 试题来源"));
    }
    // The rows of each question, in the file's order of numbers.
    QMap<QString, QList<int>> questions;
    for (int r = 0; r < rows.count(); ++r)
        if (const QString number = rows.text(r, QStringLiteral("题目编号")); !number.trimmed().isEmpty())
            questions[number] << r;

    Bank bank(schoolBank);
    if (!bank.isServer())
        throw StoreError(QStringLiteral("请先连接学校题库，再上传。"));
    bank.transaction([&] {
        // No pool is filled while the numbers are chosen.
        bank.execute(lockReservationsStatement());
        QSet<QString> taken, codes;
        for (const QString& n : bank.query(QStringLiteral("select distinct 题目编号 from 试题库")).texts())
            taken.insert(n);
        for (const QString& n : bank.query(QStringLiteral("select 题目编号 from 题目编号预留")).texts())
            taken.insert(n);
        for (const QString& c : bank.query(QStringLiteral("select distinct 试题识别码 from 试题库")).texts())
            codes.insert(c);
        int next = 1;
        for (auto it = questions.cbegin(); it != questions.cend(); ++it) {
            const QString& number = it.key();
            const int first = it.value().first();
            const QString code = rows.text(first, QStringLiteral("试题识别码"));
            if (!code.isEmpty() && codes.contains(code)) {
                ++result.alreadyThere;
                continue;
            }
            bool questionOk = false, answerOk = false;
            const QByteArray question = readAll(questionDocumentPath(fileBank, number), &questionOk);
            const QByteArray answer = readAll(answerDocumentPath(fileBank, number), &answerOk);
            if (!questionOk || !answerOk) {
                ++result.missingDocuments;
                continue;
            }
            QString target = number;
            if (taken.contains(target)) {
                while (taken.contains(questionNumberText(next)))
                    ++next;
                if (next > kHighestQuestionNumber)
                    throw StoreError(QStringLiteral("题目编号已经用到 %1，学校题库放不下这些试题，没有上传。")
                                         .arg(kHighestQuestionNumber));
                target = questionNumberText(next);
                ++result.renumbered;
            }
            taken.insert(target);
            if (!code.isEmpty())
                codes.insert(code);
            for (int r : it.value()) {
                RowValues values = valuesOf(rows, r, questionColumns());
                for (auto& [column, value] : values)
                    if (column == u"题目编号")
                        value = target;
                bank.addRow(QStringLiteral("试题库"), values);
            }
            putDocument(bank, QFileInfo(questionDocumentPath(schoolBank, target)).fileName(), question);
            putDocument(bank, QFileInfo(answerDocumentPath(schoolBank, target)).fileName(), answer);
            ++result.questions;
        }

        const RowSet present = bank.query(QStringLiteral("select * from 教材设置"));
        QSet<QString> known;
        for (int r = 0; r < present.count(); ++r)
            known.insert(tupleOf(present, r, kCatalogueColumns));
        for (int r = 0; r < catalogue.count(); ++r)
            if (const QString t = tupleOf(catalogue, r, kCatalogueColumns); !known.contains(t)) {
                known.insert(t);
                bank.addRow(QStringLiteral("教材设置"), valuesOf(catalogue, r, kCatalogueColumns));
                ++result.catalogueRows;
            }
        const QStringList presentSources = bank.query(QStringLiteral("select 试题来源 from 试题来源")).texts();
        QSet<QString> knownSources(presentSources.begin(), presentSources.end());
        for (const QString& s : sources.texts(sources.columnIndex(QStringLiteral("试题来源"))))
            if (!knownSources.contains(s)) {
                knownSources.insert(s);
                bank.addRow(QStringLiteral("试题来源"), {{QStringLiteral("试题来源"), s}});
                ++result.sources;
            }
    });
    return result;
}

TransferResult downloadSchoolBank(const QString& schoolBank, const QString& filePath) {
    TransferResult result;
    if (QFileInfo::exists(filePath))
        throw StoreError(QStringLiteral("文件已经存在，不能下载到这里：%1").arg(QDir::toNativeSeparators(filePath)));
    RowSet rows, documents, catalogue, types, levels, sources;
    {
        Bank bank(schoolBank, Bank::Mode::ReadOnly);
        if (!bank.isServer())
            throw StoreError(QStringLiteral("请先连接学校题库，再下载。"));
        bank.transaction([&] {
            // One snapshot: what other teachers write meanwhile is not half in it.
            bank.execute(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ READ ONLY"));
            rows = bank.query(QStringLiteral("select * from 试题库"));
            documents = bank.query(QStringLiteral("select 文件名, 内容 from 试题文档"));
            catalogue = bank.query(QStringLiteral("select * from 教材设置"));
            types = bank.query(QStringLiteral("select 题型 from 题型"));
            levels = bank.query(QStringLiteral("select 难度 from 难度"));
            sources = bank.query(QStringLiteral("select 试题来源 from 试题来源"));
        });
    }
    // Everything is written beside the target first and moved in place at the end.
    const QFileInfo target(filePath);
    const QString staging = QDir(target.absolutePath()).filePath(QStringLiteral(".下载中-") + target.fileName());
    const QString finalDocuments = documentsFolderOf(filePath);
    const QString documentsInProgress = finalDocuments + QStringLiteral(".下载中");
    QFile::remove(staging);
    auto cleanUp = [&] {
        QFile::remove(staging);
        QDir(documentsInProgress).removeRecursively();
    };
    try {
        Bank::create(staging);
        Bank out(staging);
        out.transaction([&] {
            out.execute(QStringLiteral("delete from 题型"));
            out.execute(QStringLiteral("delete from 难度"));
            for (const QString& t : types.texts())
                out.addRow(QStringLiteral("题型"), {{QStringLiteral("题型"), t}});
            for (const QString& d : levels.texts())
                out.addRow(QStringLiteral("难度"), {{QStringLiteral("难度"), d}});
            QSet<QString> numbers;
            for (int r = 0; r < rows.count(); ++r) {
                out.addRow(QStringLiteral("试题库"), valuesOf(rows, r, questionColumns()));
                numbers.insert(rows.text(r, QStringLiteral("题目编号")));
            }
            result.questions = int(numbers.size());
            for (int r = 0; r < catalogue.count(); ++r)
                out.addRow(QStringLiteral("教材设置"), valuesOf(catalogue, r, kCatalogueColumns));
            result.catalogueRows = catalogue.count();
            for (const QString& s : sources.texts())
                out.addRow(QStringLiteral("试题来源"), {{QStringLiteral("试题来源"), s}});
            result.sources = sources.count();
        });
        QDir(documentsInProgress).removeRecursively();
        if (!QDir().mkpath(documentsInProgress))
            throw StoreError(
                QStringLiteral("无法建立试题文档文件夹：\r%1").arg(QDir::toNativeSeparators(finalDocuments)));
        for (int r = 0; r < documents.count(); ++r) {
            QFile f(QDir(documentsInProgress).filePath(documents.text(r, 0)));
            if (!f.open(QIODevice::WriteOnly) || f.write(documents.value(r, 1).toByteArray()) < 0)
                throw StoreError(QStringLiteral("无法写入试题文档：\r%1").arg(QDir::toNativeSeparators(f.fileName())));
        }
    } catch (...) {
        cleanUp();
        throw;
    }
    // The documents first (a folder already there keeps its files), then the bank.
    QDir().mkpath(finalDocuments);
    for (const QString& name : QDir(documentsInProgress).entryList(QDir::Files)) {
        QFile::remove(QDir(finalDocuments).filePath(name));
        QFile::rename(QDir(documentsInProgress).filePath(name), QDir(finalDocuments).filePath(name));
    }
    QDir(documentsInProgress).removeRecursively();
    if (!QFile::rename(staging, filePath)) {
        cleanUp();
        throw StoreError(QStringLiteral("无法写入试题库文件：%1").arg(QDir::toNativeSeparators(filePath)));
    }
    return result;
}

QString uploadedMessage(const TransferResult& r) {
    QString text = QStringLiteral("已上传到学校题库：%1 道试题").arg(r.questions);
    if (r.renumbered > 0)
        text += QStringLiteral("（其中 %1 道因编号已被占用而换了新的题目编号）").arg(r.renumbered);
    text += QStringLiteral("，%1 条教材设置，%2 个试题来源。").arg(r.catalogueRows).arg(r.sources);
    if (r.alreadyThere > 0)
        text += QStringLiteral("\r%1 道试题学校题库里已经有了（试题识别码相同），没有再上传。").arg(r.alreadyThere);
    if (r.missingDocuments > 0)
        text += QStringLiteral("\r%1 道试题缺少题目或答案文档，没有上传。").arg(r.missingDocuments);
    return text;
}

QString downloadedMessage(const TransferResult& r, const QString& filePath) {
    return QStringLiteral("已把学校题库下载为本地题库：%1 道试题，%2 条教材设置，%3 个试题来源。\r%4")
        .arg(r.questions)
        .arg(r.catalogueRows)
        .arg(r.sources)
        .arg(QDir::toNativeSeparators(filePath));
}

}  // namespace zs
