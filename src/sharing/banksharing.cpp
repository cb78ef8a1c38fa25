#include "sharing/banksharing.h"

#include "app/prompts.h"
#include "app/runstate.h"
#include "catalogue/numberpool.h"
#include "questions/questionrecord.h"
#include "questions/scopetree.h"
#include "sharing/exchangearchive.h"
#include "store/bank.h"
#include "store/documentcheck.h"
#include "store/paths.h"
#include "store/pausepoint.h"
#include "store/serverdocuments.h"
#include "store/serverlocation.h"
#include "store/statement.h"
#include "store/textnumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStorageInfo>
#include <cerrno>
#include <cmath>
#include <unistd.h>

namespace zs {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

}  // namespace

void copyFileNamingTheReason(const QString& from, const QString& to) {
    auto fail = [&](const QString& reason) {
        throw StoreError(QStringLiteral("无法复制文件：\r%1\r到：\r%2\r\r%3").arg(shown(from), shown(to), reason));
    };
    // A full disk: the system said so, or there is no room for the file.
    auto full = [&](int error) {
        if (error == ENOSPC || error == EDQUOT)
            return true;
        const QStorageInfo disk(QFileInfo(to).absolutePath());
        return disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < QFileInfo(from).size();
    };
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        fail(QFileInfo::exists(from) ? QStringLiteral("原文件不能读取。") : QStringLiteral("原文件不存在。"));
    QFile target(to);
    errno = 0;
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail(full(errno) ? kDiskFullReason : QStringLiteral("目标文件夹不能写入（%1）。").arg(target.errorString()));
    for (;;) {
        const QByteArray block = source.read(1 << 16);
        if (block.isEmpty()) {
            if (source.error() == QFileDevice::NoError)
                break;
            target.close();
            QFile::remove(to);
            fail(QStringLiteral("原文件不能读取。"));
        }
        errno = 0;
        if (target.write(block) != block.size()) {
            const int error = errno;
            const QString words = target.errorString();
            target.close();
            QFile::remove(to);
            fail(full(error) ? kDiskFullReason : QStringLiteral("写入时出错（%1）。").arg(words));
        }
    }
    errno = 0;
    if (::fsync(target.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const int error = errno;
        target.close();
        QFile::remove(to);
        fail(full(error) ? kDiskFullReason : QStringLiteral("写入时出错。"));
    }
}

namespace {

// Copies a file over whatever is at the target; a failure names both files
// and the reason.
void copyOver(const QString& from, const QString& to) {
    if (QFileInfo::exists(to) && !QFile::remove(to))
        throw StoreError(QStringLiteral("无法覆盖文件：\r%1").arg(shown(to)));
    copyFileNamingTheReason(from, to);
    // A read-only original must not give a copy that cannot be written.
    QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
}

void makeFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw StoreError(QStringLiteral("无法建立文件夹：\r%1").arg(shown(folder)));
}

// The path of a catalogue row: its six levels joined by "\", a null level
// counting as an empty text.
QString cataloguePathOf(const RowSet& rows, int r) {
    static const QStringList levels = {"科目", "教材版本", "年级", "上下册", "章", "节"};
    QStringList parts;
    for (const QString& level : levels)
        parts << rows.text(r, level);
    return parts.join(u'\\');
}

RowValues catalogueRow(const RowSet& rows, int r) {
    static const QStringList columns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
    RowValues row;
    for (const QString& c : columns)
        row << qMakePair(c, rows.value(r, c));
    return row;
}

// Which catalogue rows a ticked scope takes: the export takes the rows of
// exactly the ticked sections, the import every row whose path holds one.
enum class CatalogueMatch { SamePath, Within };

// Copies the catalogue rows of `from` that the ticked scopes take into `to`,
// in one transaction (a row is copied once for each scope that takes it);
// returns how many rows were written.
int copyCatalogueRows(const QString& from, const QString& to, const QStringList& scopePaths, CatalogueMatch match) {
    RowSet rows;
    {
        Bank source(from, Bank::Mode::ReadOnly);
        rows = source.query(QStringLiteral("select * from 教材设置"));
    }
    int count = 0;
    Bank target(to);
    target.transaction([&] {
        for (int r = 0; r < rows.count(); ++r) {
            const QString path = cataloguePathOf(rows, r);
            for (const QString& p : scopePaths) {
                if (match == CatalogueMatch::SamePath ? path == p : path.contains(p)) {
                    target.addRow(QStringLiteral("教材设置"), catalogueRow(rows, r));
                    ++count;
                }
            }
        }
    });
    return count;
}

}  // namespace

// ---------------------------------------------------------------- texts

QString questionsExportedMessage(int count) {
    return QStringLiteral("勾选范围内的<试题>，已全部导出！\r\r成功导出的<试题数>为：") + countText(count) +
           QStringLiteral("\r\r导出位置为<桌面>，请注意查看！");
}

QString catalogueExportedMessage(int count) {
    return QStringLiteral("勾选范围内的<教材设置>，已全部导出！\r\r成功导出的<教材设置>条目数量为：") +
           countText(count) + QStringLiteral("\r\r导出位置为<桌面>，请注意查看！");
}

QString alreadyHadSentence(int count) {
    return QStringLiteral("%1 道已存在，未重复导入").arg(count);
}

QString questionsImportedMessage(int count, int skipped, int similarSkipped, int alreadyHad) {
    QString text = QStringLiteral("勾选范围内的<试题>，已全部导入！\r\r成功导入的<试题>的数量为：") + countText(count);
    if (skipped > 0)
        text += QStringLiteral("\r\r缺少题目或答案文档、没有导入的<试题>记录数量为：") + countText(skipped);
    if (similarSkipped > 0)
        text += QStringLiteral("\r\r因与已有试题相似、没有导入的<试题>记录数量为：") + countText(similarSkipped);
    if (alreadyHad > 0)
        text += QStringLiteral("\r\r") + alreadyHadSentence(alreadyHad) + QStringLiteral("。");
    return text;
}

QString catalogueImportedMessage(int count) {
    return QStringLiteral("勾选范围内的<教材设置>，已全部导入！\r\r成功导入的<教材设置>条目数量为：") +
           countText(count);
}

// ---------------------------------------------------------------- export

QString exportStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yy年MM月dd日")) + when.toString(QStringLiteral("hh时mm分"));
}

QString exportQuestionsStatement(const QStringList& scopePaths) {
    QString statement = QStringLiteral("select * from 试题库 where");
    for (const QString& p : scopePaths)
        statement += QStringLiteral(" 考查范围 = '") + sqlValue(p) + QStringLiteral("' or");
    statement.chop(3);
    return statement;
}

ExportTarget PrepareExportFolder(const QString& bankPath, const QString& desktopFolder, const QDateTime& when) {
    // The template is looked at first, so that a missing one leaves nothing behind.
    const QString templatePath = QDir(bankFolderOf(bankPath)).filePath(kExportTemplateName);
    if (!QFileInfo::exists(templatePath))
        throw StoreError(QStringLiteral("找不到试题库导出模板文件，不能导出：\r%1").arg(shown(templatePath)));
    if (const QString problem = Bank::problemWith(templatePath, Bank::Mode::ReadOnly); !problem.isEmpty())
        throw StoreError(QStringLiteral("试题库导出模板文件不能使用，不能导出：\r") + problem);

    const QString base = QDir(desktopFolder).filePath(kExportFolderPrefix + exportStamp(when));
    ExportTarget target;
    target.folder = base;
    // Two exports within one minute each get a folder of their own.
    for (int n = 2; QFileInfo::exists(target.folder); ++n)
        target.folder = base + QStringLiteral("(%1)").arg(n);
    makeFolder(target.folder);
    target.file = QDir(target.folder).filePath(QFileInfo(target.folder).fileName() + QStringLiteral(".mdb"));
    copyOver(templatePath, target.file);
    return target;
}

int ExportQuestions(const QString& bankPath, const ExportTarget& target, const QStringList& scopePaths) {
    // 试题来源 travels too: without one a question is never a candidate of
    // the colleague's composition.
    static const QStringList columns = {"题目编号", "考查范围", "题型",     "难度",     "知识点",      "试题识别码",
                                        "试题来源", "入库日期", "入库教师", "使用次数", "最后使用日期"};
    RowSet rows;
    {
        Bank source(bankPath, Bank::Mode::ReadOnly);
        rows = source.query(exportQuestionsStatement(scopePaths));
        // A school bank's documents come from the server into its local
        // folder first; the copies below take them from there.
        if (source.isServer()) {
            QStringList numbers;
            for (int r = 0; r < rows.count(); ++r)
                numbers << rows.text(r, "题目编号");
            numbers.removeDuplicates();
            fetchDocuments(source, numbers);
        }
    }
    const QString documents = QDir(target.folder).filePath(kDocumentsFolderName);
    makeFolder(documents);

    int count = 0;
    Bank out(target.file);
    out.transaction([&] {
        QSet<QString> copied;
        for (int r = 0; r < rows.count(); ++r) {
            const QString number = rows.text(r, "题目编号");
            const QString question = questionDocumentPath(bankPath, number);
            const QString answer = answerDocumentPath(bankPath, number);
            if (!QFileInfo::exists(question) || !QFileInfo::exists(answer))
                continue;
            RowValues row;
            for (const QString& c : columns)
                row << qMakePair(c, rows.value(r, c));
            out.addRow(QStringLiteral("试题库"), row);
            // A question under two exported sections has its documents copied once.
            if (!copied.contains(number)) {
                copyOver(question, questionDocumentPath(target.file, number));
                copyOver(answer, answerDocumentPath(target.file, number));
                copied.insert(number);
            }
            ++count;
        }
    });
    return count;
}

int ExportCatalogue(const QString& bankPath, const ExportTarget& target, const QStringList& scopePaths) {
    return copyCatalogueRows(bankPath, target.file, scopePaths, CatalogueMatch::SamePath);
}

void runExport(RunState& state, ShareContent content, const QStringList& scopePaths, bool archive) {
    if (content == ShareContent::None) {
        state.prompts.show(kChooseContentMessage);
        return;
    }
    // The folder comes first; a refused scope still leaves it (with its bank file).
    // A school bank has no folder of its own: the export template is the
    // application folder's.
    const QString templateBank = isServerLocation(state.BankPath) ? state.applicationBankPath() : state.BankPath;
    const ExportTarget target = PrepareExportFolder(templateBank, state.desktop.desktopFolder(), state.now());
    const bool questions = content == ShareContent::Questions || content == ShareContent::Both;
    const bool catalogue = content == ShareContent::Catalogue || content == ShareContent::Both;
    if (questions) {
        makeFolder(QDir(target.folder).filePath(kDocumentsFolderName));
        if (scopePaths.isEmpty())
            state.prompts.show(kNoScopeTickedMessage);
        else
            state.prompts.show(questionsExportedMessage(ExportQuestions(state.BankPath, target, scopePaths)));
    }
    if (catalogue) {
        if (scopePaths.isEmpty())
            state.prompts.show(kNoScopeTickedMessage);
        else
            state.prompts.show(catalogueExportedMessage(ExportCatalogue(state.BankPath, target, scopePaths)));
    }
    if (archive && !scopePaths.isEmpty()) {
        const QString zip = target.folder + QStringLiteral(".zip");
        packFolder(target.folder, zip);
        state.prompts.show(QStringLiteral("同样的内容也已打包成一个文件，便于发送给同事：\r") + shown(zip));
    }
}

// ---------------------------------------------------------------- import

int nextImportNumber(const QString& documentsFolder) {
    double highest = 0;
    const QStringList names = QDir(documentsFolder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        highest = std::max(highest, std::floor(leadingNumber(name.left(5))));
    return int(highest) + 1;
}

QString importJournalPath(const QString& bankPath) {
    // A school bank's note stays in its local folder on this computer.
    if (isServerLocation(bankPath))
        return QDir(bankFolderOf(bankPath)).filePath(QStringLiteral(".学校题库.导入中"));
    const QFileInfo bank(bankPath);
    return QDir(bank.absolutePath()).filePath(u'.' + bank.fileName() + QStringLiteral(".导入中"));
}

int recoverInterruptedImport(const QString& bankPath) {
    const QString journalPath = importJournalPath(bankPath);
    QFile journal(journalPath);
    if (!journal.exists())
        return 0;
    QStringList files;
    if (journal.open(QIODevice::ReadOnly))
        files = QString::fromUtf8(journal.readAll()).split(u'\n', Qt::SkipEmptyParts);
    journal.close();
    int removed = 0;
    Bank bank(bankPath);
    for (const QString& file : files) {
        // A document whose number has rows belongs to a stored question.
        const QString number = QFileInfo(file).fileName().left(5);
        if (QFileInfo::exists(file) && !hasRows(bank, number) && QFile::remove(file))
            ++removed;
    }
    QFile::remove(journalPath);
    return removed;
}

QString interruptedImportMessage(int removed) {
    QString text = QStringLiteral("上次导入试题时程序中途退出了，那次导入已全部撤销，试题库还是导入前的样子。");
    if (removed > 0)
        text += QStringLiteral("\r导入中途复制的 %1 份试题文档已删除。").arg(removed);
    return text + QStringLiteral("\r\r如果还需要那些试题，请重新导入。");
}

bool scopeTakes(const QStringList& scopePaths, const QString& scope) {
    for (const QString& p : scopePaths)
        if (scope == p || (!p.isEmpty() && scope.startsWith(p + u'\\')))
            return true;
    return false;
}

namespace {

// A column an older file may lack reads as null.
QVariant valueOr(const RowSet& rows, int r, const QString& column) {
    return rows.columnIndex(column) >= 0 ? rows.value(r, column) : QVariant();
}

bool blank(const QVariant& v) {
    return v.isNull() || v.toString().trimmed().isEmpty();
}

}  // namespace

int rowsWithoutSource(const QString& externalBankPath, const QStringList& scopePaths) {
    Bank external(externalBankPath, Bank::Mode::ReadOnly);
    const RowSet rows = external.query(QStringLiteral("select * from 试题库"));
    int count = 0;
    for (int r = 0; r < rows.count(); ++r)
        if (scopeTakes(scopePaths, rows.text(r, "考查范围")) && blank(valueOr(rows, r, QStringLiteral("试题来源"))))
            ++count;
    return count;
}

QString defaultImportSource(const QString& externalBankPath) {
    return QFileInfo(externalBankPath).completeBaseName();
}

ImportResult ImportQuestions(const QString& bankPath, const QString& externalBankPath, const QStringList& scopePaths,
                             const ImportDecision& keep, const ImportDefaults& defaults,
                             const BankImportProgress& progress) {
    RowSet rows;
    {
        Bank external(externalBankPath, Bank::Mode::ReadOnly);
        rows = external.query(QStringLiteral("select * from 试题库"));
    }

    Bank bank(bankPath);
    const bool server = bank.isServer();
    // New documents beside lost ones would only be mixed up with them. A
    // school bank keeps its documents in the bank itself.
    if (!server)
        if (const QString lost = lostDocumentsMessage(bank); !lost.isEmpty())
            throw StoreError(lost);
    recoverInterruptedImport(bankPath);
    const QString documents = documentsFolderOf(bankPath);
    makeFolder(documents);

    ImportResult result;
    QStringList copied;  // documents written so far, removed again if the import fails
    // The documents written are noted before they are written, so that the
    // leftovers of an import that is killed midway can be found and removed.
    QFile journal(importJournalPath(bankPath));
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw StoreError(QStringLiteral("无法写入文件：\r%1").arg(shown(journal.fileName())));
    auto note = [&](const QString& file) {
        copied << file;
        journal.write(file.toUtf8() + '\n');
        journal.flush();
    };
    try {
        bank.transaction([&] {
            // On a school bank no teacher's pool takes a number while the
            // numbers are chosen; the numbers the pools hold are taken too.
            if (server)
                bank.execute(lockReservationsStatement());
            // The codes the bank knows before anything is added, with the
            // number each has here.
            QHash<QString, QString> known;
            {
                const RowSet have = bank.query(QStringLiteral("select 试题识别码, 题目编号 from 试题库"));
                for (int r = 0; r < have.count(); ++r)
                    if (!have.value(r, 0).isNull())
                        known.insert(have.text(r, 0), have.text(r, 1));
            }
            QSet<QString> sourcesUsed;
            QSet<QString> alreadyHad;
            // Numbers that rows carry are never given to an imported question,
            // even when their documents are missing.
            const QStringList numbersInUse = questionNumbersOf(bank);
            QSet<QString> taken(numbersInUse.begin(), numbersInUse.end());
            int next = 1;
            if (server) {
                for (const QString& n : bank.query(QStringLiteral("select 题目编号 from 题目编号预留")).texts())
                    taken.insert(n);
                for (const QString& name : bank.query(QStringLiteral("select 文件名 from 试题文档")).texts())
                    taken.insert(name.left(5));
            } else {
                next = nextImportNumber(documents);
            }
            // One question of the other bank (one identification code) gets one
            // number and one pair of documents, however many sections it is
            // filed under; an empty text marks a question left out.
            QHash<QString, QString> numberOf;
            QSet<QString> leftOut;  // questions the teacher left out as like one of the bank
            for (int r = 0; r < rows.count(); ++r) {
                if (progress)
                    progress(r, rows.count());
                if (!scopeTakes(scopePaths, rows.text(r, "考查范围")))
                    continue;
                const QVariant code = rows.value(r, "试题识别码");
                if (!code.isNull() && known.contains(code.toString())) {
                    const QString have = known.value(code.toString());
                    if (!alreadyHad.contains(have)) {
                        alreadyHad.insert(have);
                        result.alreadyHad << have;
                    }
                    continue;
                }
                const QString old = rows.text(r, "题目编号");
                const QString key = code.toString().isEmpty() ? QStringLiteral("#") + old : code.toString();
                QString number;
                if (const auto given = numberOf.constFind(key); given != numberOf.cend()) {
                    number = *given;
                    if (number.isEmpty()) {
                        ++(leftOut.contains(key) ? result.similarSkipped : result.skipped);
                        continue;
                    }
                } else {
                    const QString question = questionDocumentPath(externalBankPath, old);
                    const QString answer = answerDocumentPath(externalBankPath, old);
                    if (!QFileInfo::exists(question) || !QFileInfo::exists(answer)) {
                        numberOf.insert(key, QString());
                        ++result.skipped;
                        continue;
                    }
                    while (next <= kHighestQuestionNumber && taken.contains(questionNumberText(next)))
                        ++next;
                    if (next > kHighestQuestionNumber)
                        throw StoreError(QStringLiteral("题目编号已经用到 %1，没有新的编号可以给导入的试题！\r"
                                                        "本次导入已经撤销，当前试题库保持原样。")
                                             .arg(kHighestQuestionNumber));
                    number = questionNumberText(next);
                    if (keep && !keep(question, code.toString(), number)) {
                        numberOf.insert(key, QString());
                        leftOut.insert(key);
                        ++result.similarSkipped;
                        continue;
                    }
                    ++next;
                    numberOf.insert(key, number);
                    note(questionDocumentPath(bankPath, number));
                    copyOver(question, copied.back());
                    note(answerDocumentPath(bankPath, number));
                    copyOver(answer, copied.back());
                    storeDocuments(bank, number);
                    ++result.imported;
                }
                QVariant source = valueOr(rows, r, QStringLiteral("试题来源"));
                if (blank(source))
                    source = defaults.source.isEmpty() ? QVariant() : QVariant(defaults.source);
                if (!source.isNull())
                    sourcesUsed.insert(source.toString());
                QVariant date = valueOr(rows, r, QStringLiteral("入库日期"));
                if (blank(date))
                    date = defaults.date.isValid() ? QVariant(defaults.date) : QVariant();
                bank.addRow(QStringLiteral("试题库"), {{"题目编号", number},
                                                       {"考查范围", rows.value(r, "考查范围")},
                                                       {"题型", rows.value(r, "题型")},
                                                       {"难度", rows.value(r, "难度")},
                                                       {"知识点", rows.value(r, "知识点")},
                                                       {"试题识别码", code},
                                                       {"试题来源", source},
                                                       {"入库日期", date},
                                                       {"入库教师", rows.value(r, "入库教师")}});
                pausePoint("import-row");
            }
            // The sources of the imported questions can be chosen on every
            // screen afterwards.
            const QStringList listed = bank.query(QStringLiteral("select 试题来源 from 试题来源")).texts();
            for (const QString& name : sourcesUsed)
                if (!listed.contains(name))
                    bank.addRow(QStringLiteral("试题来源"), {{QStringLiteral("试题来源"), name}});
        });
    } catch (...) {
        for (const QString& file : copied)
            QFile::remove(file);
        journal.close();
        journal.remove();
        throw;
    }
    journal.close();
    journal.remove();
    if (progress)
        progress(int(rows.count()), int(rows.count()));
    return result;
}

int ImportCatalogue(const QString& bankPath, const QString& externalBankPath, const QStringList& scopePaths) {
    return copyCatalogueRows(externalBankPath, bankPath, scopePaths, CatalogueMatch::Within);
}

QString loadExternalTree(const QString& externalBankPath, ScopeTreeModel& tree) {
    if (const QString problem = Bank::problemWith(externalBankPath, Bank::Mode::ReadOnly); !problem.isEmpty())
        return problem;
    try {
        Bank external(externalBankPath, Bank::Mode::ReadOnly);
        ScopeTreeModel built = ScopeTreeModel::build(external, ScopeTreeModel::KeyStyle::Concatenated);
        if (built.count() == 0) {
            // Exported with only its questions: the tree is that of their 考查范围.
            QList<QStringList> paths;
            for (const QString& scope :
                 external.query(QStringLiteral("select distinct 考查范围 from 试题库 order by 考查范围")).texts())
                if (!scope.isEmpty())
                    paths << scope.split(u'\\');
            built = ScopeTreeModel::fromPaths(paths, ScopeTreeModel::KeyStyle::Concatenated);
        }
        tree = std::move(built);
    } catch (const StoreError& e) {
        return e.message();
    }
    return {};
}

void runImport(RunState& state, ShareContent content, const QString& externalBankPath, const QStringList& scopePaths,
               const ImportDecision& keep, const BankImportProgress& progress) {
    if (content == ShareContent::None) {
        state.prompts.show(kChooseContentMessage);
        return;
    }
    if (content == ShareContent::Questions || content == ShareContent::Both) {
        if (scopePaths.isEmpty()) {
            state.prompts.show(kNoScopeTickedMessage);
        } else {
            ImportDefaults defaults{QString(), state.today()};
            if (rowsWithoutSource(externalBankPath, scopePaths) > 0) {
                defaults.source = state.prompts
                                      .input(QStringLiteral("要导入的试题没有记下<试题来源>。\r"
                                                            "请输入它们导入后的试题来源（没有的来源会自动添加）："),
                                             QStringLiteral("试题来源"), defaultImportSource(externalBankPath))
                                      .trimmed();
                if (defaults.source.isEmpty())
                    return;  // cancelled: nothing imported
            }
            const ImportResult result =
                ImportQuestions(state.BankPath, externalBankPath, scopePaths, keep, defaults, progress);
            const QString text = questionsImportedMessage(result.imported, result.skipped, result.similarSkipped,
                                                          int(result.alreadyHad.size()));
            if (result.alreadyHad.isEmpty())
                state.prompts.show(text);
            else
                state.prompts.messageWithDetails(text,
                                                 QStringLiteral("已存在的试题（本题库中的题目编号）：\r") +
                                                     result.alreadyHad.join(QStringLiteral("、")),
                                                 Icon::Information);
        }
    }
    if (content == ShareContent::Catalogue || content == ShareContent::Both) {
        if (scopePaths.isEmpty())
            state.prompts.show(kNoScopeTickedMessage);
        else
            state.prompts.show(catalogueImportedMessage(ImportCatalogue(state.BankPath, externalBankPath, scopePaths)));
    }
}

}  // namespace zs
