#pragma once

#include "paper/papersettings.h"
#include "paper/spectable.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

namespace zs {

class WordInstance;
class WordDocument;
struct CardQuestion;

// The margin note of the review paper for one row.
QString reviewNote(const QString& scopeCell, const QString& knowledgeCell, const QString& difficulty);

// Generates the paper, the answer key and the review paper of a table into a
// new dated folder on the desktop, in the steps the generation screen shows.
// The scores are those of the table's 分值 cells (see withScores); the
// settings add the exam header, the layout, the answer sheet and the copies
// in other formats.
class PaperGeneration {
public:
    struct Files {
        QString paper, answers, review;
        QString answerSheet;  // empty when none is written
        // The machine-readable answer sheet (PDF) written with it.
        QString answerCard;
    };
    using Progress = std::function<void(int value, int maximum)>;

    // `appDir` holds the templates, the bank and the question documents. A
    // `mark` ("A卷", "B卷" for A/B papers) stands in the folder and file names
    // before the stamp.
    PaperGeneration(const SpecTable& table, const QString& appDir, const QString& desktopFolder, QDateTime when,
                    QString mark = {});
    ~PaperGeneration();

    void setSettings(const PaperSettings& settings) { settings_ = settings; }
    // A/B papers written in one step share one folder: the first names the
    // folder with `folderMark` ("AB卷") in place of its own mark, the second
    // writes into the first's `folder`.
    void setFolderMark(const QString& folderMark) { folderMark_ = folderMark; }
    void intoFolder(const QString& folder) { sharedFolder_ = folder; }
    const PaperSettings& settings() const { return settings_; }
    // The bank the questions come from and their use is recorded in, when it
    // is not the application folder's (a school bank on a server): its
    // documents are fetched into its local folder first.
    void useBank(const QString& bankPath);

    // Every template and question document the paper needs that does not exist.
    QStringList missingFiles() const;
    // Why no folder can be made on the desktop, or empty.
    QString outputProblem() const;

    const QString& outputFolder() const { return folder_; }
    const Files& files() const { return files_; }
    // The .docx and .pdf copies written.
    const QStringList& copies() const { return copies_; }
    int total() const { return int(placed_.size()); }
    // The progress bar's maximum: one step per question, one more, and one
    // for the answer sheet and each kind of copy.
    int progressMaximum() const;

    // Opens the three templates (and a new answer sheet), makes the output
    // folder (a new name when the minute's folder exists) and saves them as
    // the outputs; the exam header and the page go in when the settings ask.
    void open(WordInstance& word);
    // Asks for the use of every placed question (once per placed row) to be
    // recorded on `day`, together with the paper, once its documents are
    // complete (see finish).
    void recordUseOn(const QDate& day) { useDay_ = day; }
    // Appends headings, numbers, the review notes and the question and answer
    // documents; `progress(value, maximum)` after each question; then the
    // answer sheet.
    void writeQuestions(const Progress& progress);
    // Fonts and floating pictures, then saves the documents (and their
    // copies) and closes them. Then, the paper being complete, records it in
    // the bank with the use of its questions, in one transaction. Until then
    // the output folder is noted as unfinished in the application folder, so
    // that a start after a killed generation removes it.
    void finish(const Progress& progress = {});
    // Why the paper could not be recorded; empty when it was.
    const QString& recordProblem() const { return recordProblem_; }

private:
    // The exam header, page and footer the settings ask for.
    void dress();
    // Whether the paper's odd pages carry the sealing line where its layout
    // puts it, as read back from the document.
    bool sealingLineInPlace();
    // Places a strayed sealing line again; throws when it stays wrong.
    void checkSealingLine();
    // A question of the machine-readable sheet, with its key read from its
    // answer document.
    CardQuestion cardQuestion(int number, const QString& type, std::optional<int> score, const QString& answerPath);
    // The title a paper without one is recorded under.
    QString paperRecordTitle() const;

    const SpecTable& table_;
    QString appDir_;
    QString bank_;
    QString desktop_;
    QDateTime when_;
    QString mark_;
    QString folderMark_;
    QString sharedFolder_;
    QString folder_;
    Files files_;
    QVector<int> placed_;
    PaperSettings settings_;
    QStringList copies_;
    int step_ = 0;
    std::unique_ptr<WordDocument> paper_, answers_, review_, sheet_;
    WordInstance* word_ = nullptr;
    QByteArray cardLayout_;
    QString recordProblem_;
    std::optional<QDate> useDay_;
};

}  // namespace zs
