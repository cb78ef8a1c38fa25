#pragma once

#include "marking/answersource.h"
#include "paper/answercard.h"
#include "results/roster.h"
#include "scan/cardreader.h"
#include "scan/scanfiles.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace zs {

class Bank;

// The scanned pages of a paper, kept in the bank (program table 扫描答卷, one
// row per page picture) with what was read from them; the pictures, turned
// and aligned, lie in a folder of their own beside the bank so that every mark
// can be shown later. A page is stored the moment it is read: a batch that was
// interrupted goes on where it stopped, and a page read twice replaces its
// earlier reading.
inline const QString kScanTable = QStringLiteral("扫描答卷");
void ensureScanTables(Bank& bank);

// The marker scans are marked under.
inline const QString kScanMarker = QStringLiteral("扫描");

struct ScannedPage {
    QString key;  // scanPageKey of its picture
    ScanSource source;
    int cardPage = -1;
    PageReading reading;  // without the picture (see pictureFile)
    QString picture;      // file name of the aligned picture in the scans folder; empty when unread
    QDateTime when;
    // The 考号 as confirmed by the teacher (over the one read), empty when not.
    QString confirmedExamNumber;
    QString examNumber() const { return confirmedExamNumber.isEmpty() ? reading.examNumber : confirmedExamNumber; }
};

// Where the aligned pictures of a paper's scans lie.
QString scanPictureFolder(const QString& scansFolder, int paperId);

// Reads one page and stores it; returns what was stored. A page of a sheet
// of another paper, or no sheet at all, is stored too (as a problem page), so
// the teacher sees it named.
ScannedPage readAndStorePage(Bank& bank, int paperId, const CardLayout& layout, const ScanSource& source,
                             const QString& scansFolder, const QDateTime& when);
// Whether a picture was read before (a batch that goes on skips it).
bool pageStored(Bank& bank, int paperId, const QString& key);

QVector<ScannedPage> scannedPages(Bank& bank, int paperId);
// Stores a page's changed reading (the teacher confirmed or corrected it).
void updateScannedPage(Bank& bank, int paperId, const ScannedPage& page);
void removeScannedPage(Bank& bank, int paperId, const QString& key);

// The picture of a page, aligned to the sheet; null when it is gone.
QImage scannedPicture(const QString& scansFolder, int paperId, const ScannedPage& page);

// ---------------------------------------------------------------- review

// Something on the scans that waits for the teacher's eye.
struct ReviewItem {
    enum class Kind {
        Unread,       // the page could not be read at all
        ExamNumber,   // a 考号 not clear, unknown to the roster or given twice
        Absent,       // the 缺考 mark not clear
        Question,     // an objective question's marks not clear
        MissingPage,  // a student with a page of the sheet missing
    };
    Kind kind = Kind::Question;
    QString pageKey;
    QString examNumber;
    int question = 0;  // for Question
    QString reading;   // what was read (options, a 考号)
    QString why;
};

// A student's sheet as the scans give it.
struct ScannedStudent {
    QString examNumber;
    bool absent = false;
    QHash<int, QuestionReading> answers;  // objective questions by number
    QHash<int, QString> pageOfQuestion;   // every question with an area: the page key it is on
    QVector<int> cardPages;               // the sheet's pages found
};

struct ScanResults {
    QVector<ScannedStudent> students;  // in the order of their 考号
    QVector<ReviewItem> review;
    int pages = 0;
    int unread = 0;
    // Pages of the same student and sheet page read alike (a sheet scanned
    // twice): only the newest counts.
    int repeated = 0;
};

// Gathers the stored pages of a paper into students: pages of one 考号
// together, the same page scanned twice counted once, the rest for review.
// `roster` (may be empty) names the 考号 of the school: an unknown one is
// reviewed.
ScanResults gatherScans(const QVector<ScannedPage>& pages, const CardLayout& layout, const QVector<Student>& roster);

// The teacher's word on an item: the options of a question ("" for none), a
// 考号, "缺考"/"未缺考" for the 缺考 mark. Returns the refusal, empty when
// taken.
QString confirmReview(Bank& bank, int paperId, const CardLayout& layout, const ReviewItem& item, const QString& answer);

// ---------------------------------------------------------------- marking

// Sets the answer key of an objective question of a layout from what the
// teacher typed ("B", "a c d", "√"); returns the refusal, empty when taken.
QString setAnswerKey(CardLayout& layout, int question, const QString& typed);

// How an objective question scores: all or nothing, except a 多选题 whose
// options are all correct but not all given, which scores `partialShare` of
// its full mark (rounded down to half points).
struct ObjectiveRule {
    double partialShare = 0.5;
    static ObjectiveRule load(Bank& bank);
    void save(Bank& bank) const;
};
double objectiveScore(const CardQuestion& question, const QString& answer, double fullMark, const ObjectiveRule& rule);

// The full mark of a question: its score in the paper, else 1.
double cardFullMark(const CardQuestion& question);

// Stores the scores of every objective question read without doubt (or
// confirmed) for every student present, in one transaction; a student marked
// absent has no scores. Returns the questions that have no answer key (they
// are not marked).
QVector<int> markObjectiveQuestions(Bank& bank, int paperId, const CardLayout& layout, const ScanResults& results,
                                    const ObjectiveRule& rule, const QDateTime& when);

// The written answers of scanned sheets, for marking on screen: each cut
// from its student's aligned page.
class ScanAnswerSource : public AnswerSource {
public:
    ScanAnswerSource(QString scansFolder, int paperId, CardLayout layout, const QVector<ScannedPage>& pages,
                     const ScanResults& results);
    QVector<int> questions() override;
    QStringList students(int question) override;
    QImage answer(const QString& examNumber, int question) override;

private:
    QImage picture(const QString& pageKey);

    QString folder_;
    int paperId_;
    CardLayout layout_;
    QHash<QString, ScannedPage> pages_;
    ScanResults results_;
    QString lastKey_;
    QImage lastPicture_;
};

}  // namespace zs
