#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace zs {

class RunState;
class ScopeTreeModel;

// ---- texts of the sharing screen

inline const QString kChooseContentMessage = QStringLiteral("请在左侧勾选要导出的内容！");
inline const QString kNoScopeTickedMessage = QStringLiteral("你还没有勾选任何范围，所以不能执行<导出试题库>操作！");
inline const QString kExternalBankFilter = QStringLiteral("Access数据库文件|*.mdb;*.Access");
inline const QString kExportFolderPrefix = QStringLiteral("导出试题库-");
// The import's file choice: a bank file, or the one-file form of an export.
inline const QString kExchangeFileFilter =
    QStringLiteral("试题库文件或压缩文件|*.mdb;*.zip|Access数据库文件|*.mdb;*.Access|试题库压缩文件|*.zip");

QString questionsExportedMessage(int count);
QString catalogueExportedMessage(int count);
// `skipped` counts the rows left out because a document of theirs is missing;
// the sentence about them only appears when there are some.
// `similarSkipped` counts the rows the teacher left out as like a question of
// the bank; its sentence likewise.
// `alreadyHad` counts the questions the bank has already (same 试题识别码).
QString questionsImportedMessage(int count, int skipped = 0, int similarSkipped = 0, int alreadyHad = 0);
// "N 道已存在，未重复导入"
QString alreadyHadSentence(int count);
QString catalogueImportedMessage(int count);

// What an export or import takes: the option chosen on its tab.
enum class ShareContent { None, Questions, Catalogue, Both };

// ---- export

// The folder and bank file of one export.
struct ExportTarget {
    QString folder;  // ExportFolder
    QString file;    // ExportFile: the folder's name + ".mdb" inside it
};

// "yy年MM月dd日" + "hh时mm分" of a moment.
QString exportStamp(const QDateTime& when);

// The source statement of ExportQuestions: one 考查范围 comparison per path,
// joined by "or".
QString exportQuestionsStatement(const QStringList& scopePaths);

// Makes the dated export folder on the desktop (a new name with "(2)", "(3)" …
// when the minute's folder exists) and copies the export template of the bank
// folder into it as the folder's bank file. Throws StoreError naming the file
// when the template is missing or the folder or copy cannot be made.
ExportTarget PrepareExportFolder(const QString& bankPath, const QString& desktopFolder, const QDateTime& when);

// Copies the question rows filed under the paths (with both documents present)
// and their documents into the export; returns the number of rows copied.
// The current bank is only read.
int ExportQuestions(const QString& bankPath, const ExportTarget& target, const QStringList& scopePaths);

// Copies the catalogue rows whose path equals one of the paths; returns their
// number.
int ExportCatalogue(const QString& bankPath, const ExportTarget& target, const QStringList& scopePaths);

// The export command: the refusals, PrepareExportFolder, the copies and the
// completion messages, told through the prompts. Throws StoreError on a failure
// (after the messages of the parts that finished).
// The folder is stamped with the run state's time.
// With `archive`, the finished folder is also packed into one .zip beside it.
void runExport(RunState& state, ShareContent content, const QStringList& scopePaths, bool archive = false);

// ---- import

// The question numbers the documents folder has used: 1 + the largest number
// spelled by the first five characters of its file names (1 for an empty or
// missing folder).
int nextImportNumber(const QString& documentsFolder);

struct ImportResult {
    int imported = 0;        // questions (one number each)
    int skipped = 0;         // rows whose external documents are missing
    int similarSkipped = 0;  // rows the teacher left out as like a question of the bank
    QStringList alreadyHad;  // the bank's numbers of questions it has already (same 试题识别码)
};

// What an imported row gets where the other bank says nothing: its 试题来源
// (a file from an older version carries none; without one a question is never
// a candidate of composition) and its 入库日期.
struct ImportDefaults {
    QString source;
    QDate date;
};

// Whether a ticked path takes a 考查范围: the path itself or anything filed
// below it (a ticked chapter takes its sections).
bool scopeTakes(const QStringList& scopePaths, const QString& scope);

// How many question rows of the other bank within the paths have no 试题来源.
int rowsWithoutSource(const QString& externalBankPath, const QStringList& scopePaths);
// The source offered for such rows: the other bank's file name without ".mdb".
QString defaultImportSource(const QString& externalBankPath);

// Asked for each external question row about to be imported, with its
// question document, identification code and the number it would get:
// whether to import it.
using ImportDecision = std::function<bool(const QString& questionDocument, const QString& code, const QString& number)>;

// Appends the external question rows filed under the paths whose 试题识别码
// the current bank does not know. The rows of one question (one identification
// code) get one new number together, and its two documents are copied once; a
// number that rows of the bank carry is never given. All or nothing: on a
// failure the bank and its documents folder stay as they were. Throws
// StoreError (also when the numbers would pass 32767, and when the documents of
// every question of the bank are gone). `keep`, when given, decides about each
// question before its documents are copied. 试题来源 and 入库日期 come with the
// rows; rows without them get `defaults` (a source not in the bank's list of
// sources is added to it).
// `progress(done, total)` after each row of the other bank is looked at.
using BankImportProgress = std::function<void(int done, int total)>;
ImportResult ImportQuestions(const QString& bankPath, const QString& externalBankPath, const QStringList& scopePaths,
                             const ImportDecision& keep = {}, const ImportDefaults& defaults = {},
                             const BankImportProgress& progress = {});

// The note of the documents an import is writing, beside the bank (a school
// bank's in its local folder on this computer); it is
// removed when the import ends either way.
QString importJournalPath(const QString& bankPath);

// Why a copy failed on a full disk, as entry says it about the bank.
inline const QString kDiskFullReason = QStringLiteral("磁盘已满，请先腾出磁盘空间。");
// Copies a file (the target is made or replaced); a failure throws a
// StoreError naming both files and the reason (a full disk, a folder that
// cannot be written, a source that cannot be read). Nothing half-written stays.
void copyFileNamingTheReason(const QString& from, const QString& to);
// After an import that was killed midway: removes the documents it had written
// whose numbers no row carries (its rows went with the unfinished transaction)
// and the note. Returns how many documents were removed.
int recoverInterruptedImport(const QString& bankPath);
// What the teacher is told at the start after an import was killed midway and
// rolled back, `removed` being the documents it had copied.
QString interruptedImportMessage(int removed);

// Appends every external catalogue row whose path contains one of the paths
// (rows the current catalogue has are appended again); returns their number.
int ImportCatalogue(const QString& bankPath, const QString& externalBankPath, const QStringList& scopePaths);

// Builds the import tree of another bank file (keys without separator); a file
// without catalogue rows (exported with only its questions) gets the tree of
// its questions' 考查范围. Returns why the file cannot be read as a bank, or an
// empty text; on a refusal the tree is left as it was.
QString loadExternalTree(const QString& externalBankPath, ScopeTreeModel& tree);

// The import command, like runExport. Rows without a 试题来源 get the source
// the teacher chooses (asked once, the file's name offered); cancelling the
// choice cancels the import.
void runImport(RunState& state, ShareContent content, const QString& externalBankPath, const QStringList& scopePaths,
               const ImportDecision& keep = {}, const BankImportProgress& progress = {});

}  // namespace zs
