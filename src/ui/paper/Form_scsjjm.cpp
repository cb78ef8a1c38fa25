#include "ui/paper/Form_scsjjm.h"

#include "app/runstate.h"
#include "paper/specworkbook.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/pausepoint.h"
#include "store/textnumbers.h"
#include "ui/common/screens.h"
#include "ui_Form_scsjjm.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTimer>

namespace zs {

Form_scsjjm::Form_scsjjm(RunState& state, const SpecTable& table, bool saveUseRecords, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_scsjjm>()), state_(state), table_(table),
      saveUseRecords_(saveUseRecords) {
    ui->setupUi(this);
    ui->Image_logo->setPixmap(QPixmap(QStringLiteral(":/zs/logo.png")));
    setWindowFlag(Qt::WindowCloseButtonHint, false);
}

Form_scsjjm::~Form_scsjjm() = default;

QString Form_scsjjm::outputFolder() const {
    return generation_ ? generation_->outputFolder() : QString();
}

void Form_scsjjm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_)
        QTimer::singleShot(0, this, &Form_scsjjm::Form_Activate);
}

void Form_scsjjm::Form_Activate() {
    if (started_)
        return;
    started_ = true;
    QCoreApplication::processEvents();
    succeeded_ = generate();
    accept();
}

void Form_scsjjm::setSecondPaper(const SpecTable& second) {
    second_ = &second;
    if (mark_.isEmpty())
        mark_ = QStringLiteral("A卷");
}

bool Form_scsjjm::generate() {
    state_.resetBankPath();
    QStringList opened, recordProblems;
    bool workbooksSaved = true;
    if (!second_) {
        if (!writePaper(table_, mark_, {}, {}, opened, workbooksSaved, recordProblems))
            return false;
    } else {
        // Both papers of the pair go into one folder in one step.
        if (!writePaper(table_, mark_, QStringLiteral("AB卷"), {}, opened, workbooksSaved, recordProblems))
            return false;
        const QString folder = generation_->outputFolder();
        if (!writePaper(*second_, QStringLiteral("B卷"), {}, folder, opened, workbooksSaved, recordProblems)) {
            state_.prompts.message(QStringLiteral("A卷已经生成，但B卷没有生成成功。A卷在文件夹：\r") +
                                       QDir::toNativeSeparators(folder),
                                   Buttons::Ok, Icon::Exclamation);
            return false;
        }
    }
    // Said only once everything is written and saved: the teacher may close
    // the program at this message.
    const bool sheet = settings_.answerSheet;
    QString documents =
        sheet ? QStringLiteral("<试卷><参考答案><讲评卷><答题卡>") : QStringLiteral("<试卷><参考答案><讲评卷>");
    if (second_)
        documents = QStringLiteral("A卷和B卷的") + documents;
    if (workbooksSaved)
        state_.prompts.show(QStringLiteral("已经完成组卷工作，") + documents +
                            QStringLiteral("<双向细目表>都已保存在桌面的文件夹中了，马上为你展示~~"));
    else
        state_.prompts.show(QStringLiteral("已经完成组卷工作，") + documents +
                            QStringLiteral("都已保存在桌面的文件夹中了，但是<双向细目表>没有保存成功。马上为你展示~~"));
    if (!recordProblems.isEmpty())
        state_.prompts.message(QStringLiteral("试卷已经生成，但没能记入试题库，以后无法为它导入成绩：\r\r") +
                                   recordProblems.join(u'\r'),
                               Buttons::Ok, Icon::Exclamation);
    // The review paper is opened last so that it stands in front.
    for (const QString& file : opened)
        state_.desktop.openFile(file);
    return true;
}

bool Form_scsjjm::writePaper(const SpecTable& table, const QString& mark, const QString& folderMark,
                             const QString& sharedFolder, QStringList& opened, bool& workbookSaved,
                             QStringList& recordProblems) {
    const QDateTime now = state_.now();
    generation_ = std::make_unique<PaperGeneration>(table, state_.appDir(), state_.desktop.desktopFolder(), now, mark);
    PaperSettings settings = settings_;
    if (second_)
        settings.title = markedTitle(settings.title, mark);
    generation_->setSettings(settings);
    generation_->setFolderMark(folderMark);
    generation_->intoFolder(sharedFolder);
    if (!state_.SchoolBank.isEmpty() && !guarded(state_, [&] { generation_->useBank(state_.BankPath); }))
        return false;

    // Nothing is written before every file the paper needs is known to be there.
    const QStringList missing = generation_->missingFiles();
    if (!missing.isEmpty()) {
        state_.prompts.message(QStringLiteral("无法生成试卷，缺少以下文件：\r\r") + missing.join(u'\r'), Buttons::Ok,
                               Icon::Exclamation);
        return false;
    }
    if (sharedFolder.isEmpty()) {
        if (const QString problem = generation_->outputProblem(); !problem.isEmpty()) {
            state_.prompts.message(QStringLiteral("无法生成试卷。") + problem, Buttons::Ok, Icon::Exclamation);
            return false;
        }
    }
    const QString which = second_ ? mark + QStringLiteral("：") : QString();
    const auto progress = [&](int value, int maximum) {
        ui->ProgressBar1->setMaximum(maximum);
        ui->ProgressBar1->setValue(value);
        ui->Label5->setText(which + QStringLiteral("已完成") + percentText(double(value) / maximum));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        pausePoint("paper-progress");
    };
    const bool written = guarded(state_, [&] {
        state_.startSharedWordInstance();
        if (saveUseRecords_)
            generation_->recordUseOn(now.date());
        generation_->open(*state_.SharedWordInstance);
        ui->ProgressBar1->setMinimum(0);
        ui->ProgressBar1->setMaximum(generation_->progressMaximum());
        generation_->writeQuestions(progress);
    });
    if (!written)
        return false;
    QString workbook;
    guarded(state_, [&] {
        workbook = ExportSpecWorkbook(state_.office, table, state_.appFile(kWorkbookTemplateName),
                                      generation_->outputFolder(), state_.now(), mark);
    });
    if (!guarded(state_, [&] { generation_->finish(progress); }))
        return false;
    workbookSaved = workbookSaved && !workbook.isEmpty();
    if (!generation_->recordProblem().isEmpty())
        recordProblems << (which + generation_->recordProblem());
    const PaperGeneration::Files& files = generation_->files();
    outputFiles_ << files.paper << files.answers << files.review;
    if (!workbook.isEmpty())
        outputFiles_ << workbook;
    if (!files.answerSheet.isEmpty())
        outputFiles_ << files.answerSheet;
    outputFiles_ << generation_->copies();
    if (!files.answerCard.isEmpty())
        outputFiles_ << files.answerCard;
    for (const QString& file : {workbook, files.paper, files.answers, files.answerSheet, files.review})
        if (!file.isEmpty())
            opened << file;
    return true;
}

}  // namespace zs
