#include "paper/paperrecord.h"

#include "paper/specworkbook.h"
#include "store/bank.h"
#include "store/pausepoint.h"
#include "store/statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>

namespace zs {

namespace {

// A catalogue name without its "#-" order prefix.
QString bareName(const QString& name) {
    const int dash = name.indexOf(u'-');
    return dash >= 0 ? name.mid(dash + 1) : name;
}

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// The key a stored sheet layout names itself by.
QString cardKeyOf(const QByteArray& layout) {
    return QJsonDocument::fromJson(layout).object().value(QStringLiteral("key")).toString();
}

// The tables of recorded papers besides 试卷记录.
void createOtherPaperTables(Bank& bank);

}  // namespace

void ensurePaperTables(Bank& bank) {
    const bool server = bank.isServer();
    auto create = [&] {
        // A school bank numbers its papers with a sequence of its own.
        bank.executeBound(
            QStringLiteral("CREATE TABLE IF NOT EXISTS \"试卷记录\" (\"试卷编号\" %1, \"生成时间\" TEXT, \"时间戳\" "
                           "TEXT, \"输出文件夹\" TEXT, \"标题\" TEXT, \"试卷文件\" TEXT)")
                .arg(server ? QStringLiteral("SERIAL PRIMARY KEY")
                            : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT")),
            {});
        createOtherPaperTables(bank);
    };
    if (!server) {
        create();
        return;
    }
    // Two teachers recording their first papers at once would make the
    // tables twice: one makes them while the other waits.
    bank.transaction([&] {
        bank.query(QStringLiteral("select pg_advisory_xact_lock(20771, 1)"));
        create();
    });
}

namespace {

void createOtherPaperTables(Bank& bank) {
    for (const char* statement : {
             "CREATE TABLE IF NOT EXISTS \"试卷题目\" (\"试卷编号\" INTEGER, \"题号\" INTEGER, \"题目编号\" TEXT, "
             "\"试题识别码\" TEXT, \"题型\" TEXT, \"难度\" TEXT, \"知识点\" TEXT, \"分值\" TEXT)",
             "CREATE INDEX IF NOT EXISTS \"试卷题目_试卷编号\" ON \"试卷题目\" (\"试卷编号\")",
             "CREATE TABLE IF NOT EXISTS \"试卷成绩\" (\"试卷编号\" INTEGER, \"题号\" INTEGER, \"题目编号\" TEXT, "
             "\"试题识别码\" TEXT, \"人数\" INTEGER, \"满分\" REAL, \"平均分\" REAL, \"得分率\" REAL, \"导入时间\" "
             "TEXT)",
             "CREATE INDEX IF NOT EXISTS \"试卷成绩_试题识别码\" ON \"试卷成绩\" (\"试题识别码\")",
             "CREATE TABLE IF NOT EXISTS \"答题卡版式\" (\"试卷编号\" INTEGER PRIMARY KEY, \"卡号\" TEXT, \"版式\" "
             "TEXT)",
             "CREATE INDEX IF NOT EXISTS \"答题卡版式_卡号\" ON \"答题卡版式\" (\"卡号\")",
             "CREATE TABLE IF NOT EXISTS \"难度历史\" (\"题目编号\" TEXT, \"试题识别码\" TEXT, \"原难度\" TEXT, "
             "\"新难度\" TEXT, \"试卷编号\" INTEGER, \"修改时间\" TEXT)",
         })
        bank.executeBound(QString::fromUtf8(statement), {});
}

}  // namespace

void recordQuestionUse(Bank& bank, QStringList numbers, const QDate& day) {
    std::sort(numbers.begin(), numbers.end());
    bank.transaction([&] {
        for (const QString& number : numbers) {
            bank.executeBound(QStringLiteral("UPDATE \"试题库\" SET \"最后使用日期\" = ?, "
                                             "\"使用次数\" = coalesce(\"使用次数\", 0) + 1 WHERE \"题目编号\" = ?"),
                              {day, number});
            pausePoint("use-record");
        }
    });
}

QString PaperRecord::listText() const {
    return generated.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral("  ") + title;
}

QString tableScore(const SpecTable& table, int row) {
    // The 分值 cell as generation reads it: the row's own score or its type's.
    return table.cell(row, SpecTable::Score).trimmed();
}

PaperRecord paperRecordOf(const SpecTable& table, const QVector<int>& placedRows, const QDateTime& generated,
                          const QString& stamp, const QString& folder, const QString& paperFile, const QString& mark) {
    PaperRecord record;
    record.generated = generated;
    record.stamp = stamp;
    record.folder = folder;
    record.paperFile = paperFile;
    QStringList subjects;
    int number = 0;
    for (int r : placedRows) {
        PaperQuestion q;
        q.number = ++number;
        q.questionNumber = table.cell(r, SpecTable::QuestionNumber);
        q.code = table.cell(r, SpecTable::Code);
        q.type = table.cell(r, SpecTable::Type);
        q.difficulty = table.cell(r, SpecTable::Difficulty);
        // The knowledge points of every row of the question (one row per scope).
        QStringList points;
        for (int k = r; k < table.rows() && table.cell(k, SpecTable::QuestionNumber) == q.questionNumber; ++k)
            for (const QString& p : SpecTable::knowledgeList(table.cell(k, SpecTable::Knowledge)).split(u'|'))
                if (!p.isEmpty() && !points.contains(p))
                    points << p;
        q.knowledge = points.join(u'|');
        q.score = tableScore(table, r);
        const QString subject = bareName(table.cell(r, SpecTable::Scope).section(u'\\', 0, 0));
        if (!subject.isEmpty() && !subjects.contains(subject))
            subjects << subject;
        record.questions << q;
    }
    record.title = (subjects.isEmpty() ? QStringLiteral("试卷") : subjects.join(QStringLiteral("、"))) +
                   QStringLiteral("（%1题）").arg(record.questions.size()) + mark;
    return record;
}

void savePaperRecord(Bank& bank, PaperRecord& record, const std::optional<QuestionUse>& use) {
    ensurePaperTables(bank);
    bank.transaction([&] {
        // The number just given is the highest one only while no other
        // teacher records a paper at the same time.
        if (bank.isServer())
            bank.execute(QStringLiteral("LOCK TABLE \"试卷记录\" IN SHARE ROW EXCLUSIVE MODE"));
        bank.executeBound(
            QStringLiteral("INSERT INTO \"试卷记录\" (\"生成时间\", \"时间戳\", \"输出文件夹\", \"标题\", "
                           "\"试卷文件\") VALUES (?, ?, ?, ?, ?)"),
            {record.generated.toString(kTimeFormat), record.stamp, record.folder, record.title, record.paperFile});
        record.id = bank.query(QStringLiteral("select max(试卷编号) from 试卷记录")).value(0, 0).toInt();
        for (const PaperQuestion& q : record.questions)
            bank.executeBound(QStringLiteral("INSERT INTO \"试卷题目\" (\"试卷编号\", \"题号\", \"题目编号\", "
                                             "\"试题识别码\", \"题型\", \"难度\", \"知识点\", \"分值\") "
                                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                              {record.id, q.number, q.questionNumber, q.code, q.type, q.difficulty, q.knowledge,
                               q.score.isEmpty() ? QVariant() : QVariant(q.score)});
        if (!record.cardLayout.isEmpty()) {
            const QString key = cardKeyOf(record.cardLayout);
            bank.executeBound(QStringLiteral("INSERT INTO \"答题卡版式\" (\"试卷编号\", \"卡号\", \"版式\") "
                                             "VALUES (?, ?, ?)"),
                              {record.id, key, QString::fromUtf8(record.cardLayout)});
        }
        if (use)
            recordQuestionUse(bank, use->numbers, use->day);
    });
}

QByteArray paperCardLayout(Bank& bank, int paperId) {
    ensurePaperTables(bank);
    const RowSet rows = bank.query(QStringLiteral("select 版式 from 答题卡版式 where 试卷编号 = %1").arg(paperId));
    return rows.count() ? rows.text(0, 0).toUtf8() : QByteArray();
}

int paperOfCard(Bank& bank, const QString& key) {
    ensurePaperTables(bank);
    const RowSet rows =
        bank.query(QStringLiteral("select 试卷编号 from 答题卡版式 where 卡号 = '") + sqlValue(key) + u'\'');
    return rows.count() ? rows.value(0, 0).toInt() : 0;
}

void updatePaperCardLayout(Bank& bank, int paperId, const QByteArray& layout) {
    bank.executeBound(QStringLiteral("UPDATE \"答题卡版式\" SET \"版式\" = ? WHERE \"试卷编号\" = ?"),
                      {QString::fromUtf8(layout), paperId});
}

QString recordGeneratedPaper(const QString& bankPath, const SpecTable& table, const QVector<int>& placedRows,
                             const QDateTime& generated, const QString& folder, const QString& paperFile,
                             const QString& mark, const std::optional<QuestionUse>& use, const QByteArray& cardLayout) {
    try {
        Bank bank(bankPath);
        const QString stamp = (mark.isEmpty() ? QString() : mark + u'-') + outputStamp(generated);
        PaperRecord record = paperRecordOf(table, placedRows, generated, stamp, folder, paperFile, mark);
        record.cardLayout = cardLayout;
        savePaperRecord(bank, record, use);
        return {};
    } catch (const StoreError& e) {
        return e.message();
    }
}

QString generationJournalPath(const QString& appDir) {
    return QDir(appDir).filePath(QStringLiteral(".试卷生成中"));
}

namespace {

QStringList journalFolders(const QString& journalPath) {
    QFile journal(journalPath);
    if (!journal.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(journal.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void writeJournal(const QString& journalPath, const QStringList& folders) {
    if (folders.isEmpty()) {
        QFile::remove(journalPath);
        return;
    }
    QSaveFile journal(journalPath);
    if (!journal.open(QIODevice::WriteOnly))
        throw StoreError(QStringLiteral("无法写入文件：\r%1").arg(QDir::toNativeSeparators(journalPath)));
    journal.write((folders.join(u'\n') + u'\n').toUtf8());
    if (!journal.commit())
        throw StoreError(QStringLiteral("无法写入文件：\r%1").arg(QDir::toNativeSeparators(journalPath)));
}

// Files a generation writes into its folder: the documents and workbook named
// after the program, their copies, and the office's lock files beside them.
bool writtenByGeneration(const QString& name) {
    return name.contains(QStringLiteral("琢石-试题库")) || name.startsWith(QStringLiteral(".~lock."));
}

}  // namespace

void noteGenerationStarted(const QString& appDir, const QString& folder) {
    const QString path = generationJournalPath(appDir);
    QStringList folders = journalFolders(path);
    if (!folders.contains(folder))
        folders << folder;
    writeJournal(path, folders);
}

void noteGenerationFinished(const QString& appDir, const QString& folder) {
    const QString path = generationJournalPath(appDir);
    QStringList folders = journalFolders(path);
    folders.removeAll(folder);
    writeJournal(path, folders);
}

QVector<UnfinishedPaper> recoverInterruptedGenerations(const QString& appDir) {
    const QString path = generationJournalPath(appDir);
    QVector<UnfinishedPaper> papers;
    for (const QString& folder : journalFolders(path)) {
        QDir dir(folder);
        if (folder.isEmpty() || !dir.exists())
            continue;
        UnfinishedPaper paper{folder, {}};
        bool foreign = false;
        for (const QFileInfo& entry :
             dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            if (entry.isFile() && writtenByGeneration(entry.fileName()))
                QFile::remove(entry.absoluteFilePath());
            else
                foreign = true;
        }
        if (foreign || !dir.rmdir(folder)) {
            // What the teacher put there stays, under a name that says the paper is not whole.
            QString renamed = folder + QStringLiteral("（未完成）");
            for (int n = 2; QFileInfo::exists(renamed); ++n)
                renamed = folder + QStringLiteral("（未完成%1）").arg(n);
            paper.renamed = QDir().rename(folder, renamed) ? renamed : folder;
        }
        papers << paper;
    }
    QFile::remove(path);
    return papers;
}

QString unfinishedPapersMessage(const QVector<UnfinishedPaper>& papers) {
    if (papers.isEmpty())
        return {};
    QStringList removed, kept;
    for (const UnfinishedPaper& p : papers)
        (p.renamed.isEmpty() ? removed : kept) << QDir::toNativeSeparators(p.renamed.isEmpty() ? p.folder : p.renamed);
    QString text = QStringLiteral("上次生成试卷时程序中途退出了，那份试卷没有生成完，试题的使用次数也没有改动。");
    if (!removed.isEmpty())
        text += QStringLiteral("\r\r没有生成完的试卷文件夹已删除：\r") + removed.join(u'\r');
    if (!kept.isEmpty())
        text += QStringLiteral("\r\r以下文件夹中还有别的文件，已改名保留：\r") + kept.join(u'\r');
    return text + QStringLiteral("\r\r请重新生成试卷。");
}

QString paperRecordsQuery() {
    return QStringLiteral("select * from 试卷记录 order by 试卷编号 desc");
}

QVector<PaperRecord> paperRecords(Bank& bank) {
    ensurePaperTables(bank);
    QVector<PaperRecord> records;
    const RowSet papers = bank.query(paperRecordsQuery());
    const RowSet questions = bank.query(QStringLiteral("select * from 试卷题目 order by 试卷编号, 题号"));
    QHash<int, QVector<PaperQuestion>> byPaper;
    for (int i = 0; i < questions.count(); ++i) {
        PaperQuestion q;
        q.number = questions.value(i, QStringLiteral("题号")).toInt();
        q.questionNumber = questions.text(i, QStringLiteral("题目编号"));
        q.code = questions.text(i, QStringLiteral("试题识别码"));
        q.type = questions.text(i, QStringLiteral("题型"));
        q.difficulty = questions.text(i, QStringLiteral("难度"));
        q.knowledge = questions.text(i, QStringLiteral("知识点"));
        q.score = questions.text(i, QStringLiteral("分值"));
        byPaper[questions.value(i, QStringLiteral("试卷编号")).toInt()] << q;
    }
    for (int i = 0; i < papers.count(); ++i) {
        PaperRecord p;
        p.id = papers.value(i, QStringLiteral("试卷编号")).toInt();
        p.generated = QDateTime::fromString(papers.text(i, QStringLiteral("生成时间")), kTimeFormat);
        p.stamp = papers.text(i, QStringLiteral("时间戳"));
        p.folder = papers.text(i, QStringLiteral("输出文件夹"));
        p.title = papers.text(i, QStringLiteral("标题"));
        p.paperFile = papers.text(i, QStringLiteral("试卷文件"));
        p.questions = byPaper.value(p.id);
        records << p;
    }
    return records;
}

}  // namespace zs
