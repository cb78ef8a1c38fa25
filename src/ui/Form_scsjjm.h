#pragma once

#include "compose/papergeneration.h"

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

    std::unique_ptr<Ui::Form_scsjjm> ui;
    RunState& state_;
    const SpecTable& table_;
    bool saveUseRecords_;
    PaperSettings settings_;
    QString mark_;
    std::unique_ptr<PaperGeneration> generation_;
    QStringList outputFiles_;
    bool started_ = false;
    bool succeeded_ = false;
};

}  // namespace zs
