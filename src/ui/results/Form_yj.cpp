#include "ui/results/Form_yj.h"

#include "app/runstate.h"
#include "marking/markedsheet.h"
#include "results/scoresheet.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/pausepoint.h"
#include "store/serverdocuments.h"
#include "ui/common/screens.h"
#include "ui_Form_yj.h"

#include <QKeyEvent>
#include <QPixmap>

namespace zs {

namespace {

QString points(double v) {
    return QString::number(v, 'g', 6);
}

}  // namespace

Form_yj::Form_yj(RunState& state, const PaperRecord& paper, std::shared_ptr<AnswerSource> source, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_yj>()), state_(state), paper_(paper), source_(std::move(source)) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowTitle(QStringLiteral("阅卷 - ") + paper_.title);
    ui->OLE_tm->setRunState(&state_);
    ui->OLE_da->setRunState(&state_);
    connect(ui->List_tm, &QListWidget::currentRowChanged, this, &Form_yj::List_tm_Click);
    connect(ui->Command_qd, &QPushButton::clicked, this, &Form_yj::Command_qd_Click);
    connect(ui->Text_df, &QLineEdit::returnPressed, this, &Form_yj::Command_qd_Click);
    connect(ui->Command_mf, &QPushButton::clicked, this, &Form_yj::Command_mf_Click);
    connect(ui->Command_lf, &QPushButton::clicked, this, &Form_yj::Command_lf_Click);
    connect(ui->Command_wt, &QPushButton::clicked, this, &Form_yj::Command_wt_Click);
    connect(ui->Command_sy, &QPushButton::clicked, this, &Form_yj::Command_sy_Click);
    connect(ui->Command_xy, &QPushButton::clicked, this, &Form_yj::Command_xy_Click);
    connect(ui->Check_nm, &QCheckBox::toggled, this, &Form_yj::Check_nm_Click);
    connect(ui->Command_tc, &QPushButton::clicked, this, &Form_yj::Command_tc_Click);
    ui->Text_df->installEventFilter(this);
    // The answer is drawn again as wide as its view whenever the view changes.
    ui->Scroll_da->viewport()->installEventFilter(this);
    Form_Load();
}

Form_yj::~Form_yj() = default;

void Form_yj::Form_Load() {
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        ensureMarkTables(bank);
        roster_ = loadRoster(bank);
    });
    questions_ = source_->questions();
    showQuestionList();
    if (!questions_.isEmpty())
        ui->List_tm->setCurrentRow(0);
    else
        ui->Label_ts->setText(QStringLiteral("这份试卷没有要在屏幕上阅的题。"));
}

void Form_yj::showQuestionList() {
    filling_ = true;
    const int row = ui->List_tm->currentRow();
    ui->List_tm->clear();
    for (int q : questions_) {
        const PaperQuestion pq = paper_.questions.value(q - 1);
        QString text = QStringLiteral("第%1题  %2").arg(q).arg(pq.type);
        if (q == question_ && queue_)
            text += QStringLiteral("  %1/%2").arg(queue_->marked()).arg(queue_->size());
        ui->List_tm->addItem(text);
    }
    ui->List_tm->setCurrentRow(row);
    filling_ = false;
}

void Form_yj::List_tm_Click() {
    if (filling_)
        return;
    const int row = ui->List_tm->currentRow();
    if (row >= 0 && row < questions_.size())
        chooseQuestion(questions_[row]);
}

std::optional<double> Form_yj::fullMark(int question) {
    double mark = 0;
    if (scoreValue(paper_.questions.value(question - 1).score, &mark) && mark > 0)
        return mark;
    // A paper without scores: the teacher says it once; the bank keeps it.
    QString kept;
    guarded(state_, [&] {
        Bank bank(state_.BankPath, Bank::Mode::ReadOnly);
        kept = bank.setting(markingFullMarkSetting(paper_.id, question));
    });
    if (scoreValue(kept, &mark) && mark > 0)
        return mark;
    const QString answer = state_.prompts.input(
        QStringLiteral("这份试卷没有写第%1题的分值。\r这道题满分是几分？").arg(question), QStringLiteral("满分"));
    if (!scoreValue(answer, &mark) || mark <= 0) {
        if (!answer.isEmpty())
            state_.prompts.show(QStringLiteral("“%1”不是分数。").arg(answer));
        return std::nullopt;
    }
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        bank.setSetting(markingFullMarkSetting(paper_.id, question), points(mark));
    });
    return mark;
}

void Form_yj::chooseQuestion(int question) {
    const std::optional<double> full = fullMark(question);
    if (!full) {
        queue_.reset();
        question_ = 0;
        ui->Label_ts->setText(QStringLiteral("第%1题还没有满分，不能阅卷。").arg(question));
        showAnswer();
        return;
    }
    question_ = question;
    full_ = *full;
    QHash<QString, Mark> marks;
    const PaperQuestion pq = paper_.questions.value(question - 1);
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        marks = questionMarks(bank, paper_.id, question);
        if (bank.isServer() && !pq.questionNumber.isEmpty())
            fetchDocuments(bank, {pq.questionNumber});
    });
    // The same anonymous order for every teacher of this paper and question.
    queue_ =
        std::make_unique<MarkingQueue>(source_->students(question), marks, quint32(paper_.id * 1000 + question + 1));
    ui->Label_mf->setText(QStringLiteral("第%1题　%2　满分 %3 分").arg(question).arg(pq.type, points(full_)));
    if (!pq.questionNumber.isEmpty()) {
        ui->OLE_tm->bind(questionDocumentPath(state_.BankPath, pq.questionNumber));
        ui->OLE_da->bind(answerDocumentPath(state_.BankPath, pq.questionNumber));
    }
    ui->Label_ts->clear();
    showAnswer();
}

void Form_yj::showAnswer() {
    const QString student = queue_ ? queue_->current() : QString();
    if (student.isEmpty()) {
        ui->Image_da->setPixmap(QPixmap());
        ui->Image_da->setText(queue_ ? QStringLiteral("这道题没有答卷。") : QString());
        ui->Label_xs->clear();
        ui->Text_df->clear();
        showProgress();
        return;
    }
    answerImage_ = source_->answer(student, question_);
    if (answerImage_.isNull()) {
        ui->Image_da->setPixmap(QPixmap());
        ui->Image_da->setText(QStringLiteral("这份答卷的图片读不出来。"));
    } else {
        fitAnswer();
    }
    QString who = QStringLiteral("第 %1 / %2 份").arg(queue_->position() + 1).arg(queue_->size());
    if (!ui->Check_nm->isChecked()) {
        QString name;
        for (const Student& s : roster_)
            if (s.examNumber == student)
                name = s.name;
        who += QStringLiteral("　考号 %1　%2").arg(student, name);
    }
    const std::optional<Mark> mark = queue_->markOf(student);
    if (mark && !mark->problem)
        who += QStringLiteral("　已给 %1 分").arg(points(mark->score)) +
               (mark->marker.isEmpty() ? QString() : QStringLiteral("（%1）").arg(mark->marker));
    else if (mark)
        who += QStringLiteral("　问题卷");
    ui->Label_xs->setText(who);
    ui->Text_df->setText(mark && !mark->problem ? points(mark->score) : QString());
    ui->Text_df->selectAll();
    ui->Text_df->setFocus();
    showProgress();
}

void Form_yj::fitAnswer() {
    if (answerImage_.isNull())
        return;
    const int width = std::min(std::max(200, ui->Scroll_da->viewport()->width() - 4), answerImage_.width() * 2);
    ui->Image_da->setPixmap(QPixmap::fromImage(
        answerImage_.width() == width ? answerImage_ : answerImage_.scaledToWidth(width, Qt::SmoothTransformation)));
}

void Form_yj::showProgress() {
    if (!queue_) {
        ui->Label_jd->clear();
        return;
    }
    QStringList spread;
    for (const auto& [score, count] : queue_->distribution())
        spread << QStringLiteral("%1分：%2人").arg(points(score)).arg(count);
    ui->Label_jd->setText(
        QStringLiteral("已阅 %1 / %2 份").arg(queue_->marked()).arg(queue_->size()) +
        (queue_->problems() > 0 ? QStringLiteral("，问题卷 %1 份").arg(queue_->problems()) : QString()) +
        (queue_->marked() > 0
             ? QStringLiteral("\n平均分 %1\n").arg(queue_->mean(), 0, 'f', 2) + spread.join(QStringLiteral("　"))
             : QString()));
    // The list shows the progress of the question being marked.
    const int row = int(questions_.indexOf(question_));
    if (QListWidgetItem* item = ui->List_tm->item(row))
        item->setText(QStringLiteral("第%1题  %2  %3/%4")
                          .arg(question_)
                          .arg(paper_.questions.value(question_ - 1).type)
                          .arg(queue_->marked())
                          .arg(queue_->size()));
}

void Form_yj::give(double score, bool problem) {
    if (!queue_ || queue_->current().isEmpty())
        return;
    const Mark mark{queue_->current(), question_, score, problem, state_.CurrentUserName, state_.now()};
    const bool stored = guarded(state_, [&] {
        Bank bank(state_.BankPath);
        storeMark(bank, paper_.id, mark);
    });
    if (!stored)
        return;  // the answer stays on screen with what was typed
    pausePoint("marking-score");
    queue_->give(mark);
    ui->Label_ts->setText(queue_->marked() == queue_->size() ? QStringLiteral("这道题已经全部阅完。") : QString());
    showAnswer();
}

void Form_yj::Command_qd_Click() {
    if (!queue_)
        return;
    const ScoreEntry entry = readScoreEntry(ui->Text_df->text(), full_);
    if (!entry.score) {
        ui->Label_ts->setText(entry.refusal);
        ui->Text_df->selectAll();
        return;
    }
    give(*entry.score, false);
}

void Form_yj::Command_mf_Click() {
    give(full_, false);
}

void Form_yj::Command_lf_Click() {
    give(0, false);
}

void Form_yj::Command_wt_Click() {
    give(0, true);
}

void Form_yj::Command_sy_Click() {
    if (queue_ && queue_->back())
        showAnswer();
}

void Form_yj::Command_xy_Click() {
    if (queue_ && queue_->forward())
        showAnswer();
}

void Form_yj::Check_nm_Click() {
    showAnswer();
}

void Form_yj::Command_tc_Click() {
    close();
}

bool Form_yj::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Scroll_da->viewport() && event->type() == QEvent::Resize)
        fitAnswer();
    if (watched == ui->Text_df && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_F:
            Command_mf_Click();
            return true;
        case Qt::Key_Z:
            Command_lf_Click();
            return true;
        case Qt::Key_P:
            Command_wt_Click();
            return true;
        case Qt::Key_PageUp:
            Command_sy_Click();
            return true;
        case Qt::Key_PageDown:
            Command_xy_Click();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zs
