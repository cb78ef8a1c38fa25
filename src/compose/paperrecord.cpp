#include "compose/paperrecord.h"

#include "compose/specworkbook.h"
#include "store/bank.h"
#include "store/pausepoint.h"

#include <QHash>
#include <algorithm>

namespace zs {

namespace {

// A catalogue name without its "#-" order prefix.
QString bareName(const QString& name) {
    const int dash = name.indexOf(u'-');
    return dash >= 0 ? name.mid(dash + 1) : name;
}

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

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

void savePaperRecord(Bank& bank, PaperRecord& record) {
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
    });
}

QString recordGeneratedPaper(const QString& bankPath, const SpecTable& table, const QVector<int>& placedRows,
                             const QDateTime& generated, const QString& folder, const QString& paperFile,
                             const QString& mark) {
    try {
        Bank bank(bankPath);
        const QString stamp = (mark.isEmpty() ? QString() : mark + u'-') + outputStamp(generated);
        PaperRecord record = paperRecordOf(table, placedRows, generated, stamp, folder, paperFile, mark);
        savePaperRecord(bank, record);
        return {};
    } catch (const StoreError& e) {
        return e.message();
    }
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
