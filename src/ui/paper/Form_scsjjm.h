#pragma once

#include "paper/papergeneration.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Form_scsjjm;
}

namespace zs {

class RunState;

// Paper generation: writes the paper, the answer key, the review paper and the
// workbook of a table as soon as it is shown, with progress, then closes.
class Form_scsjjm : public QDialog {
    Q_OBJECT
public:
    Form_scsjjm(RunState& state, const SpecTable& table, bool saveUseRecords, QWidget* parent = nullptr);
    ~Form_scsjjm() override;

    // What the teacher set on the settings screen (the defaults write the
    // paper as it always was).
    void setSettings(const PaperSettings& settings) { settings_ = settings; }
    // A/B papers: "A卷" or "B卷" in the names of the folder and every file.
    void setPaperMark(const QString& mark) { mark_ = mark; }
    const QString& paperMark() const { return mark_; }
    // The B paper of an A/B pair, written in the same step into the same
    // folder (the first table is then the A paper). Both titles carry their
    // mark.
    void setSecondPaper(const SpecTable& second);
    bool writesPair() const { return second_ != nullptr; }

    // The generation; runs once, on the first activation.
    void Form_Activate();
    bool succeeded() const { return succeeded_; }
    // The output folder and files (empty until written): the paper, the
    // answer key, the review paper, the workbook, then the answer sheet and
    // the copies in other formats when asked for.
    QString outputFolder() const;
    QStringList outputFiles() const { return outputFiles_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool generate();
    // One paper with its workbook; false when it was not written (said).
    bool writePaper(const SpecTable& table, const QString& mark, const QString& folderMark, const QString& sharedFolder,
                    QStringList& opened, bool& workbookSaved, QStringList& recordProblems);

    std::unique_ptr<Ui::Form_scsjjm> ui;
    RunState& state_;
    const SpecTable& table_;
    bool saveUseRecords_;
    PaperSettings settings_;
    QString mark_;
    const SpecTable* second_ = nullptr;
    std::unique_ptr<PaperGeneration> generation_;
    QStringList outputFiles_;
    bool started_ = false;
    bool succeeded_ = false;
};

}  // namespace zs
