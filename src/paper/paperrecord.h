#pragma once

#include "paper/spectable.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace zs {

class Bank;

// The papers the program generated, kept in the bank so that the results of
// an exam can be laid beside the questions that stood in it. The tables are
// the program's own (the six bank tables stay as they are) and are made when
// a bank is opened for this work:
//   试卷记录  one row per generated paper (an A and a B paper are two rows)
//   试卷题目  one row per question number of a paper
//   试卷成绩  the measured results of a paper's questions, once confirmed
//   难度历史  every difficulty the results replaced, with the new one
inline const QString kPaperTable = QStringLiteral("试卷记录");
inline const QString kPaperQuestionTable = QStringLiteral("试卷题目");
inline const QString kPaperResultTable = QStringLiteral("试卷成绩");
inline const QString kDifficultyHistoryTable = QStringLiteral("难度历史");

// Makes the four tables where they are missing.
void ensurePaperTables(Bank& bank);

// One question number of a paper as it was generated.
struct PaperQuestion {
    int number = 0;          // 1, 2, 3 … in paper order
    QString questionNumber;  // 题目编号
    QString code;            // 试题识别码
    QString type;            // 题型
    QString difficulty;      // 难度 when the paper was made
    QString knowledge;       // 知识点 list, "|" between the points
    QString score;           // 分值; empty when the table gave none
};

struct PaperRecord {
    int id = 0;
    QDateTime generated;
    QString stamp;   // the output folder's stamp, "2024年03月05日-14时07分"
    QString folder;  // the output folder
    QString title;
    QString paperFile;  // the paper's document in the folder
    QVector<PaperQuestion> questions;
    // The geometry of the paper's machine-readable answer sheet (JSON), kept
    // so that its scans can be read; empty when none was printed.
    QByteArray cardLayout;

    // How the paper is listed for choosing: "2024-03-05 14:07  数学（12题）".
    QString listText() const;
};

// The score of a question as the table states it (its 分值 cell).
QString tableScore(const SpecTable& table, int row);

// The record of a generated paper: the placed rows of the table in order
// (one question number per placed row), the title made from the subjects of
// the scopes, the question count and the mark of an A/B paper ("A卷").
PaperRecord paperRecordOf(const SpecTable& table, const QVector<int>& placedRows, const QDateTime& generated,
                          const QString& stamp, const QString& folder, const QString& paperFile,
                          const QString& mark = {});

// The use a generated paper makes of its questions: one more use on `day` of
// every number listed (a number listed twice counts twice).
struct QuestionUse {
    QStringList numbers;
    QDate day;
};

// Stores the record and its questions in one transaction; sets `record.id`.
// With `use`, the use of the questions goes into the same transaction: a
// paper is recorded with its use, or neither is.
void savePaperRecord(Bank& bank, PaperRecord& record, const std::optional<QuestionUse>& use = std::nullopt);

// Records a generated paper in the bank at `bankPath`. Returns an empty text,
// or the message of the failure: the documents are written and stay usable
// whatever happens here.
// With `use`, the use of its questions is recorded together with it.
QString recordGeneratedPaper(const QString& bankPath, const SpecTable& table, const QVector<int>& placedRows,
                             const QDateTime& generated, const QString& folder, const QString& paperFile,
                             const QString& mark = {}, const std::optional<QuestionUse>& use = std::nullopt,
                             const QByteArray& cardLayout = {});

// The answer sheets of recorded papers (program table 答题卡版式): the
// layout of a paper's sheet (empty when it has none), and the paper a sheet
// key belongs to (0 when the bank knows none).
inline const QString kCardLayoutTable = QStringLiteral("答题卡版式");
QByteArray paperCardLayout(Bank& bank, int paperId);
int paperOfCard(Bank& bank, const QString& key);
// Replaces a paper's layout (an answer key corrected by the teacher).
void updatePaperCardLayout(Bank& bank, int paperId, const QByteArray& layout);

// A generation notes the output folder it makes in the application folder
// before making it, and drops the note once its documents are complete; a
// note still there at the next start names the folder of a generation that was
// killed midway. The note is a file of lines, one output folder each.
QString generationJournalPath(const QString& appDir);
void noteGenerationStarted(const QString& appDir, const QString& folder);
void noteGenerationFinished(const QString& appDir, const QString& folder);

// What became of the folder of an interrupted generation.
struct UnfinishedPaper {
    QString folder;   // the output folder as it was made
    QString renamed;  // where it is now when it held files of the teacher's; empty when removed
};

// Removes the output folders of generations that were killed midway (the
// documents they had begun, the office's lock files, the workbook). A folder
// that also holds files the generation did not write is kept, renamed with
// "（未完成）". Drops the note.
QVector<UnfinishedPaper> recoverInterruptedGenerations(const QString& appDir);

// What the teacher is told at the start about them; empty when there were none.
QString unfinishedPapersMessage(const QVector<UnfinishedPaper>& papers);

// Counts one more use on `day` of every question number listed (a number
// listed twice counts twice), in one transaction. The rows are changed in
// the order of their numbers, whatever the paper's order: two teachers
// recording papers that share questions at the same moment then wait for each
// other instead of locking each other out.
void recordQuestionUse(Bank& bank, QStringList numbers, const QDate& day);

// Every recorded paper, newest first, with its questions.
QVector<PaperRecord> paperRecords(Bank& bank);

QString paperRecordsQuery();

}  // namespace zs
