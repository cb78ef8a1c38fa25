#include "ui/results/Form_smyj.h"

#include "app/runstate.h"
#include "marking/marks.h"
#include "store/bank.h"
#include "store/pausepoint.h"
#include "ui/common/screens.h"
#include "ui/results/Form_yj.h"
#include "ui_Form_smyj.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>

namespace zs {

namespace {

const QString kScanFilter =
    QStringLiteral("扫描的答题卡（PDF、TIFF、JPEG、PNG）|*.pdf;*.tif;*.tiff;*.jpg;*.jpeg;*.png");

// How an item is listed.
QString itemText(const ReviewItem& item) {
    const QString who = item.examNumber.isEmpty() ? QString() : item.examNumber + QStringLiteral("  ");
    switch (item.kind) {
    case ReviewItem::Kind::Question:
        return who + QStringLiteral("第%1题：%2").arg(item.question).arg(item.why);
    case ReviewItem::Kind::ExamNumber:
        return QStringLiteral("考号：") + item.why;
    case ReviewItem::Kind::Absent:
        return who + item.why;
    case ReviewItem::Kind::MissingPage:
        return item.why;
    case ReviewItem::Kind::Unread:
        return QStringLiteral("未读出：") + item.why;
    }
    return item.why;
}

QString optionsText(const QString& options) {
    QString out = options;
    out.replace(u'T', QStringLiteral("√")).replace(u'F', QStringLiteral("×"));
    return out;
}

}  // namespace

Form_smyj::Form_smyj(RunState& state, const PaperRecord& paper, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Form_smyj>()), state_(state), paper_(paper) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowTitle(QStringLiteral("扫描阅卷 - ") + paper_.title);
    ui->Table_da->horizontalHeader()->setStretchLastSection(true);
    for (const auto& [text, share] :
         {std::pair{"一半", 0.5}, {"零（少选不得分）", 0.0}, {"四分之一", 0.25}, {"三分之二", 2.0 / 3}})
        ui->Combo_bf->addItem(QString::fromUtf8(text), share);
    connect(ui->Command_wj, &QPushButton::clicked, this, &Form_smyj::Command_wj_Click);
    connect(ui->Command_wjj, &QPushButton::clicked, this, &Form_smyj::Command_wjj_Click);
    connect(ui->Command_tz, &QPushButton::clicked, this, &Form_smyj::Command_tz_Click);
    connect(ui->List_dq, &QListWidget::currentRowChanged, this, &Form_smyj::List_dq_Click);
    connect(ui->Command_qr, &QPushButton::clicked, this, &Form_smyj::Command_qr_Click);
    connect(ui->Text_dd, &QLineEdit::returnPressed, this, &Form_smyj::Command_qr_Click);
    connect(ui->Command_sc, &QPushButton::clicked, this, &Form_smyj::Command_sc_Click);
    connect(ui->Table_da, &QTableWidget::cellChanged, this, &Form_smyj::Table_da_Change);
    connect(ui->Combo_bf, &QComboBox::currentIndexChanged, this, &Form_smyj::Combo_bf_Click);
    connect(ui->Command_yj, &QPushButton::clicked, this, &Form_smyj::Command_yj_Click);
    connect(ui->Command_gb, &QPushButton::clicked, this, &Form_smyj::Command_gb_Click);
    Form_Load();
}

Form_smyj::~Form_smyj() = default;

QString Form_smyj::scansFolder() const {
    return QDir(state_.appDir()).filePath(QStringLiteral("扫描答卷"));
}

void Form_smyj::Form_Load() {
    ui->Label_sj->setText(QStringLiteral("试卷：") + paper_.listText());
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        ensureScanTables(bank);
        layout_ = CardLayout::fromJson(paperCardLayout(bank, paper_.id));
        roster_ = loadRoster(bank);
        const ObjectiveRule rule = ObjectiveRule::load(bank);
        filling_ = true;
        int nearest = 0;
        for (int i = 1; i < ui->Combo_bf->count(); ++i)
            if (qAbs(ui->Combo_bf->itemData(i).toDouble() - rule.partialShare) <
                qAbs(ui->Combo_bf->itemData(nearest).toDouble() - rule.partialShare))
                nearest = i;
        ui->Combo_bf->setCurrentIndex(nearest);
        filling_ = false;
    });
    if (layout_.pages == 0) {
        for (QWidget* w : {static_cast<QWidget*>(ui->Command_wj), static_cast<QWidget*>(ui->Command_wjj),
                           static_cast<QWidget*>(ui->Tab_sm), static_cast<QWidget*>(ui->Command_yj)})
            w->setEnabled(false);
        ui->Label_tj->setText(QStringLiteral("这份试卷生成时没有机读答题卡，无法扫描阅卷。\r请在“试卷设置”中勾选"
                                             "“同时生成答题卡”，重新生成试卷，考试时发给学生机读答题卡。"));
        return;
    }
    showKeys();
    refresh();
}

void Form_smyj::showKeys() {
    filling_ = true;
    QVector<const CardQuestion*> objective;
    for (const CardQuestion& q : layout_.questions)
        if (isObjective(q.kind))
            objective << &q;
    ui->Table_da->setRowCount(int(objective.size()));
    for (int r = 0; r < objective.size(); ++r) {
        const CardQuestion& q = *objective[r];
        const QStringList cells = {QString::number(q.number), q.type, QString::number(cardFullMark(q), 'g', 4),
                                   optionsText(q.key)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c < 3)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            else if (q.key.isEmpty())
                item->setBackground(QColor(255, 220, 220));
            ui->Table_da->setItem(r, c, item);
        }
    }
    ui->Table_da->resizeColumnsToContents();
    filling_ = false;
}

void Form_smyj::refresh(int reviewRow) {
    QVector<int> noKey;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        pages_ = scannedPages(bank, paper_.id);
        results_ = gatherScans(pages_, layout_, roster_);
        ObjectiveRule rule;
        rule.partialShare = ui->Combo_bf->currentData().toDouble();
        noKey = markObjectiveQuestions(bank, paper_.id, layout_, results_, rule, state_.now());
    });

    int absent = 0;
    for (const ScannedStudent& s : results_.students)
        absent += s.absent;
    QString summary = QStringLiteral("已读 %1 页：%2 名学生").arg(results_.pages).arg(results_.students.size());
    if (absent > 0)
        summary += QStringLiteral("（其中缺考 %1 名）").arg(absent);
    if (results_.unread > 0)
        summary += QStringLiteral("，%1 页没有读出").arg(results_.unread);
    if (results_.repeated > 0)
        summary += QStringLiteral("，%1 页重复扫描（只算一次）").arg(results_.repeated);
    summary += results_.review.isEmpty() ? QStringLiteral("；没有待确认的地方。")
                                         : QStringLiteral("；待确认 %1 处。").arg(results_.review.size());
    ui->Label_tj->setText(summary);
    ui->Tab_sm->setTabText(0, results_.review.isEmpty() ? QStringLiteral("待确认")
                                                        : QStringLiteral("待确认（%1）").arg(results_.review.size()));

    QStringList numbers;
    for (int q : noKey)
        numbers << QString::number(q);
    ui->Label_df->setText(
        results_.students.isEmpty() ? QString()
        : noKey.isEmpty()
            ? QStringLiteral("选择题和判断题已按答案给分；非选择题请点“阅卷”。")
            : QStringLiteral("第 %1 题没有答案，还没有给分，请在“答案与给分”中填写。").arg(numbers.join(u'、')));

    filling_ = true;
    ui->List_dq->clear();
    for (const ReviewItem& item : results_.review)
        ui->List_dq->addItem(itemText(item));
    filling_ = false;
    if (!results_.review.isEmpty()) {
        ui->List_dq->setCurrentRow(qBound(0, reviewRow, int(results_.review.size()) - 1));
    } else {
        ui->Label_yy->setText(results_.pages > 0 ? QStringLiteral("全部读完，没有待确认的地方。") : QString());
        ui->Image_dq->clear();
        ui->Text_dd->clear();
    }
    const bool any = !results_.review.isEmpty();
    ui->Text_dd->setEnabled(any);
    ui->Command_qr->setEnabled(any);
    ui->Command_sc->setEnabled(any);
}

void Form_smyj::Command_wj_Click() {
    const QStringList files = state_.prompts.openFiles(kScanFilter, QStringLiteral("选择扫描的答题卡"));
    if (!files.isEmpty())
        readFiles(files);
}

void Form_smyj::Command_wjj_Click() {
    const QString folder = state_.prompts.chooseFolder(QStringLiteral("选择扫描的答题卡所在的文件夹"));
    if (folder.isEmpty())
        return;
    const QStringList files = scanFilesIn(folder);
    if (files.isEmpty()) {
        state_.prompts.show(QStringLiteral("这个文件夹里没有扫描的答题卡（PDF、TIFF、JPEG、PNG文件）：\r") +
                            QDir::toNativeSeparators(folder));
        return;
    }
    readFiles(files);
}

void Form_smyj::Command_tz_Click() {
    stop_ = true;
}

void Form_smyj::readFiles(const QStringList& files) {
    if (reading_)
        return;
    QStringList problems;
    const QVector<ScanSource> sources = scanPages(files, problems);
    reading_ = true;
    stop_ = false;
    ui->Command_wj->setEnabled(false);
    ui->Command_wjj->setEnabled(false);
    ui->Command_tz->setEnabled(true);
    ui->ProgressBar1->setRange(0, int(sources.size()));
    ui->ProgressBar1->setValue(0);
    int read = 0, skipped = 0;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        for (int i = 0; i < sources.size() && !stop_; ++i) {
            ui->Label_jd->setText(
                QStringLiteral("正在读第 %1/%2 页：%3").arg(i + 1).arg(sources.size()).arg(sources[i].name()));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (pageStored(bank, paper_.id, scanPageKey(sources[i]))) {
                ++skipped;
            } else {
                readAndStorePage(bank, paper_.id, layout_, sources[i], scansFolder(), state_.now());
                pausePoint("scan-page");
                ++read;
            }
            ui->ProgressBar1->setValue(i + 1);
            // The 停止 button is looked at between pages.
            QCoreApplication::processEvents();
        }
    });
    reading_ = false;
    ui->Command_wj->setEnabled(true);
    ui->Command_wjj->setEnabled(true);
    ui->Command_tz->setEnabled(false);
    ui->Label_jd->setText(stop_ ? QStringLiteral("已停止：读了 %1 页，下次选择同样的文件会接着读。").arg(read)
                                : QStringLiteral("读完：新读 %1 页").arg(read) +
                                      (skipped ? QStringLiteral("，%1 页以前读过").arg(skipped) : QString()));
    refresh();
    if (!problems.isEmpty())
        state_.prompts.message(QStringLiteral("有些文件无法读取：\r\r") + problems.join(u'\r'), Buttons::Ok,
                               Icon::Exclamation);
}

void Form_smyj::showPicture(const QImage& picture) {
    if (picture.isNull()) {
        ui->Image_dq->clear();
        return;
    }
    // Shown large: as wide as the view, up to twice the piece's own size.
    const int width = qMin(ui->Scroll_dq->viewport()->width() - 8, picture.width() * 2);
    ui->Image_dq->setPixmap(QPixmap::fromImage(picture.scaledToWidth(qMax(width, 100), Qt::SmoothTransformation)));
}

void Form_smyj::List_dq_Click() {
    if (filling_)
        return;
    const int row = ui->List_dq->currentRow();
    if (row < 0 || row >= results_.review.size())
        return;
    const ReviewItem& item = results_.review[row];
    const auto page =
        std::find_if(pages_.cbegin(), pages_.cend(), [&](const ScannedPage& p) { return p.key == item.pageKey; });
    QString where = page == pages_.cend() ? QString() : QStringLiteral("（%1）").arg(page->source.name());
    ui->Label_yy->setText(itemText(item) + where);
    QImage picture;
    if (page != pages_.cend())
        picture = scannedPicture(scansFolder(), paper_.id, *page);
    QRectF piece;
    switch (item.kind) {
    case ReviewItem::Kind::Question:
        if (const auto area = layout_.areaOf(item.question))
            piece = area->rect.adjusted(-2, -4, 2, 4);
        ui->Text_dd->setText(optionsText(item.reading));
        break;
    case ReviewItem::Kind::ExamNumber:
        if (const auto grid = layout_.areaOf(0); grid && page != pages_.cend() && page->cardPage == 0)
            piece = grid->rect.adjusted(-3, -8, 3, 2);
        ui->Text_dd->setText(QString(item.reading).remove(u'?'));
        break;
    case ReviewItem::Kind::Absent:
        for (const CardBubble* b : layout_.bubblesOf(CardBubble::Role::Absent, 0))
            piece = b->rect.adjusted(-20, -4, 60, 4);
        ui->Text_dd->setText(item.reading);
        break;
    case ReviewItem::Kind::MissingPage:
    case ReviewItem::Kind::Unread:
        ui->Text_dd->clear();
        break;
    }
    showPicture(piece.isNull() || picture.isNull() ? picture.scaledToWidth(qMin(picture.width(), 700))
                                                   : cropAligned(picture, piece, 0));
    ui->Text_dd->setFocus();
    ui->Text_dd->selectAll();
}

void Form_smyj::Command_qr_Click() {
    const int row = ui->List_dq->currentRow();
    if (row < 0 || row >= results_.review.size())
        return;
    QString refusal;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        refusal = confirmReview(bank, paper_.id, layout_, results_.review[row], ui->Text_dd->text());
    });
    if (!refusal.isEmpty()) {
        state_.prompts.message(refusal, Buttons::Ok, Icon::Exclamation);
        ui->Text_dd->setFocus();
        return;
    }
    // The next item takes this one's place in the list.
    refresh(row);
}

void Form_smyj::Command_sc_Click() {
    const int row = ui->List_dq->currentRow();
    if (row < 0 || row >= results_.review.size() || results_.review[row].pageKey.isEmpty())
        return;
    const ReviewItem item = results_.review[row];
    const auto page =
        std::find_if(pages_.cbegin(), pages_.cend(), [&](const ScannedPage& p) { return p.key == item.pageKey; });
    if (page == pages_.cend())
        return;
    if (state_.prompts.message(
            QStringLiteral("删除这一页（%1）吗？删除后它不计成绩；需要时可以重新扫描。").arg(page->source.name()),
            Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    const ScannedPage gone = *page;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        removeScannedPage(bank, paper_.id, gone.key);
    });
    if (!gone.picture.isEmpty())
        QFile::remove(QDir(scanPictureFolder(scansFolder(), paper_.id)).filePath(gone.picture));
    refresh(row);
}

void Form_smyj::Table_da_Change(int row, int column) {
    if (filling_ || column != 3)
        return;
    const int question = ui->Table_da->item(row, 0)->text().toInt();
    const QString refusal = setAnswerKey(layout_, question, ui->Table_da->item(row, 3)->text());
    if (!refusal.isEmpty()) {
        state_.prompts.message(refusal, Buttons::Ok, Icon::Exclamation);
        showKeys();
        return;
    }
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        updatePaperCardLayout(bank, paper_.id, layout_.toJson());
    });
    showKeys();
    refresh(ui->List_dq->currentRow());
}

void Form_smyj::Combo_bf_Click() {
    if (filling_)
        return;
    guarded(state_, [&] {
        Bank bank(state_.BankPath);
        ObjectiveRule rule;
        rule.partialShare = ui->Combo_bf->currentData().toDouble();
        rule.save(bank);
    });
    refresh(ui->List_dq->currentRow());
}

void Form_smyj::Command_yj_Click() {
    if (results_.students.isEmpty()) {
        state_.prompts.show(QStringLiteral("还没有读到学生的答题卡，请先选择扫描文件。"));
        return;
    }
    auto source = std::make_shared<ScanAnswerSource>(scansFolder(), paper_.id, layout_, pages_, results_);
    Form_yj screen(state_, paper_, source, this);
    showModal(state_, screen);
}

void Form_smyj::Command_gb_Click() {
    accept();
}

}  // namespace zs
