#include "paper/papergeneration.h"

#include "office/wordprocessor.h"
#include "paper/answercard.h"
#include "paper/examform.h"
#include "paper/paperrecord.h"
#include "paper/scores.h"
#include "paper/specworkbook.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "store/serverlocation.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace zs {

namespace {

// Headings, question numbers and labels start their paragraph in the paper's
// own alignment: the paragraph they open may follow a centred figure.
TextStyle labelStyle(std::optional<QRgb> color = std::nullopt) {
    TextStyle s = boldStyle(color);
    s.align = TextStyle::Align::Body;
    return s;
}

}  // namespace

QString reviewNote(const QString& scopeCell, const QString& knowledgeCell, const QString& difficulty) {
    const int cut = scopeCell.lastIndexOf(u'\\');
    const QString lastPart = cut >= 0 ? scopeCell.mid(cut + 1) : scopeCell;
    return QStringLiteral("\r考查范围：\r") + lastPart + QStringLiteral("\r知识点：\r") + knowledgeCell +
           QStringLiteral("\r难度：") + difficulty;
}

PaperGeneration::PaperGeneration(const SpecTable& table, const QString& appDir, const QString& desktopFolder,
                                 QDateTime when, QString mark)
    : table_(table), appDir_(appDir), bank_(QDir(appDir).filePath(kBankFileName)), desktop_(desktopFolder),
      when_(std::move(when)), mark_(std::move(mark)), placed_(placedRows(table)) {}

void PaperGeneration::useBank(const QString& bankPath) {
    bank_ = bankPath;
    if (!isServerLocation(bankPath))
        return;
    QStringList numbers;
    for (int r : placed_)
        numbers << table_.cell(r, SpecTable::QuestionNumber);
    Bank bank(bankPath, Bank::Mode::ReadOnly);
    fetchDocuments(bank, numbers);
}

PaperGeneration::~PaperGeneration() = default;

QStringList PaperGeneration::missingFiles() const {
    QStringList missing;
    const QDir app(appDir_);
    for (const QString& name : {kPaperTemplateName, kAnswerTemplateName, kReviewTemplateName})
        if (!QFileInfo::exists(app.filePath(name)))
            missing << QDir::toNativeSeparators(app.filePath(name));
    const QString& bank = bank_;
    for (int r : placed_) {
        const QString number = table_.cell(r, SpecTable::QuestionNumber);
        for (const QString& doc : {questionDocumentPath(bank, number), answerDocumentPath(bank, number)})
            if (!QFileInfo::exists(doc) && !missing.contains(QDir::toNativeSeparators(doc)))
                missing << QDir::toNativeSeparators(doc);
    }
    return missing;
}

QString PaperGeneration::outputProblem() const {
    // A desktop folder that is not there yet is made, as the output folder's would be.
    if (!QFileInfo::exists(desktop_))
        QDir().mkpath(desktop_);
    const QFileInfo desktop(desktop_);
    if (!desktop.isDir() || !desktop.isWritable())
        return QStringLiteral("无法在桌面上建立文件夹，桌面文件夹不能写入：\r%1")
            .arg(QDir::toNativeSeparators(desktop_));
    return {};
}

int PaperGeneration::progressMaximum() const {
    return total() + 1 + int(settings_.answerSheet) + int(settings_.docx) + int(settings_.pdf);
}

void PaperGeneration::open(WordInstance& word) {
    const QDir app(appDir_);
    word_ = &word;
    paper_ = word.open(app.filePath(kPaperTemplateName));
    answers_ = word.open(app.filePath(kAnswerTemplateName));
    review_ = word.open(app.filePath(kReviewTemplateName));
    if (settings_.answerSheet)
        sheet_ = word.newDocument();

    const QString stamp = (mark_.isEmpty() ? QString() : mark_ + u'-') + outputStamp(when_);
    if (!sharedFolder_.isEmpty()) {
        // The second paper of a pair: its folder holds the first, finished
        // and recorded, so it is never removed as an unfinished generation.
        folder_ = sharedFolder_;
    } else {
        const QString folderMark = folderMark_.isEmpty() ? mark_ : folderMark_;
        const QString base =
            QDir(desktop_).filePath(QStringLiteral("试卷方案-琢石-试题库-") +
                                    (folderMark.isEmpty() ? QString() : folderMark + u'-') + outputStamp(when_));
        folder_ = base;
        for (int n = 2; QFileInfo::exists(folder_); ++n)
            folder_ = base + QStringLiteral("(%1)").arg(n);
        noteGenerationStarted(appDir_, folder_);
    }
    if (!QDir().mkpath(folder_))
        throw OfficeError(QStringLiteral("无法在桌面上建立文件夹：\r%1").arg(QDir::toNativeSeparators(folder_)));
    const QDir out(folder_);
    const QString tail = stamp + QStringLiteral("-琢石-试题库.doc");
    files_.paper = out.filePath(QStringLiteral("试卷-") + tail);
    files_.answers = out.filePath(QStringLiteral("参考答案-") + tail);
    files_.review = out.filePath(QStringLiteral("讲评卷-") + tail);
    paper_->saveAs(files_.paper);
    answers_->saveAs(files_.answers);
    review_->saveAs(files_.review);
    if (sheet_) {
        files_.answerSheet = out.filePath(QStringLiteral("答题卡-") + tail);
        sheet_->saveAs(files_.answerSheet);
        files_.answerCard = out.filePath(QStringLiteral("机读答题卡-") + stamp + QStringLiteral("-琢石-试题库.pdf"));
    }
    dress();
}

void PaperGeneration::dress() {
    const PaperScores scores = paperScores(table_);
    const std::optional<int> fullMark = scores.any() ? std::optional<int>(scores.total) : std::nullopt;
    const std::optional<PageSetup> page = paperPage(settings_.layout);
    if (settings_.examForm()) {
        if (!settings_.title.isEmpty()) {
            // The program's header takes the place of the templates' title block.
            const QList<QPair<WordDocument*, PaperDocument>> documents = {{paper_.get(), PaperDocument::Paper},
                                                                          {answers_.get(), PaperDocument::Answers},
                                                                          {review_.get(), PaperDocument::Review}};
            for (const auto& [doc, kind] : documents) {
                doc->clear();
                writeExamHeader(*doc, kind, settings_, fullMark);
            }
        }
        if (page)
            paper_->setPageSetup(*page);
        for (WordDocument* doc : {paper_.get(), answers_.get(), review_.get()})
            doc->setFooter(kPageNumberFooter, 10.5);
        if (page)
            paper_->setOddPageDecoration(sealingLine(settings_.layout));
    }
    if (sheet_) {
        writeExamHeader(*sheet_, PaperDocument::AnswerSheet, settings_, fullMark);
        if (page)
            sheet_->setPageSetup(*page);
        sheet_->setFooter(kPageNumberFooter, 10.5);
    }
}

void PaperGeneration::writeQuestions(const Progress& progress) {
    const QString& bank = bank_;
    QVector<std::optional<int>> scores;
    for (int r : placed_)
        scores << parseScore(table_.cell(r, SpecTable::Score));
    QVector<SheetSection> sheet;
    QVector<CardSection> card;
    QString lastType;
    int section = 0;
    int questionNumber = 0;
    bool scoresInPaper = false;
    const int maximum = progressMaximum();
    for (int i = 0; i < placed_.size(); ++i) {
        const int r = placed_[i];
        const QString& type = table_.cell(r, SpecTable::Type);
        if (type != lastType) {
            // The questions of this type that the paper holds, each once.
            int count = 0;
            for (int k : placed_)
                count += table_.cell(k, SpecTable::Type) == type;
            // The scores of this section's own questions.
            QVector<std::optional<int>> sectionScores;
            for (int k = i; k < placed_.size() && table_.cell(placed_[k], SpecTable::Type) == type; ++k)
                sectionScores << scores[k];
            const bool scored =
                std::all_of(sectionScores.cbegin(), sectionScores.cend(), [](const auto& s) { return s.has_value(); });
            // Questions of different scores carry theirs in the paper too.
            scoresInPaper = scored && std::any_of(sectionScores.cbegin(), sectionScores.cend(),
                                                  [&](const auto& s) { return *s != *sectionScores.first(); });
            lastType = type;
            ++section;
            const QString heading = sectionHeading(section, type, count, sectionScores);
            // A heading never stands alone at the foot of a column or page.
            TextStyle headingStyle = labelStyle();
            headingStyle.keepWithNext = true;
            for (WordDocument* doc : {paper_.get(), answers_.get(), review_.get()})
                doc->append(heading, headingStyle);
            sheet << SheetSection{heading.chopped(1), {}};
            card << CardSection{heading.chopped(1).section(u'（', 0, 0), {}};
        }
        ++questionNumber;
        const RangeId questionStart =
            paper_->append(questionLabel(questionNumber, scoresInPaper ? scores[i] : std::nullopt), labelStyle());
        for (WordDocument* doc : {answers_.get(), review_.get()})
            doc->append(questionLabel(questionNumber, scores[i]), labelStyle());
        if (sheet.isEmpty()) {  // questions of no type stand before any heading
            sheet << SheetSection{};
            card << CardSection{};
        }
        sheet.last().questions << SheetQuestion{questionNumber, type, scores[i]};
        if (sheet_)
            card.last().questions << cardQuestion(questionNumber, type, scores[i],
                                                  answerDocumentPath(bank, table_.cell(r, SpecTable::QuestionNumber)));

        const RangeId code = review_->append(u'[' + table_.cell(r, SpecTable::Code) + u']', boldStyle(kRed));
        review_->addComment(code, reviewNote(table_.cell(r, SpecTable::Scope), table_.cell(r, SpecTable::Knowledge),
                                             table_.cell(r, SpecTable::Difficulty)));

        const QString number = table_.cell(r, SpecTable::QuestionNumber);
        const QString question = questionDocumentPath(bank, number);
        const QString answer = answerDocumentPath(bank, number);
        paper_->appendDocument(question);
        // A question's text, options and figure stay in one column.
        paper_->keepTogether(questionStart);
        answers_->appendDocument(answer);
        review_->appendDocument(question);
        review_->append(QStringLiteral("参考答案："), labelStyle(kBlue));
        review_->appendDocument(answer);
        step_ = questionNumber;
        if (progress)
            progress(step_, maximum);
    }
    if (sheet_) {
        writeAnswerSheet(*sheet_, sheet);
        // The sheet scanners read, beside the one to edit.
        const QString title = settings_.title.isEmpty() ? paperRecordTitle() : markedTitle(settings_.title, mark_);
        const CardLayout layout = layoutAnswerCard(newCardKey(), title, card, settings_.layout, settings_.examDigits);
        writeAnswerCardPdf(layout, files_.answerCard);
        cardLayout_ = layout.toJson();
        ++step_;
        if (progress)
            progress(step_, maximum);
    }
}

CardQuestion PaperGeneration::cardQuestion(int number, const QString& type, std::optional<int> score,
                                           const QString& answerPath) {
    CardQuestion q = cardQuestionOf(number, type, score);
    if (!isObjective(q.kind))
        return q;
    // The key from the answer document; a key the program cannot read is
    // asked for when the scans are marked.
    try {
        const std::unique_ptr<WordDocument> answer = word_->open(answerPath);
        q.key = answerKeyFromText(answer->text(), q.kind);
        answer->close();
    } catch (const OfficeError&) {
    }
    // Options beyond D when the key names them.
    for (const QChar c : q.key)
        while (q.kind != CardKind::TrueFalse && c > q.options.back())
            q.options += QChar(q.options.back().unicode() + 1);
    return q;
}

QString PaperGeneration::paperRecordTitle() const {
    return paperRecordOf(table_, placed_, when_, {}, {}, {}, mark_).title;
}

bool PaperGeneration::sealingLineInPlace() {
    const PageDecoration expected = sealingLine(settings_.layout);
    const PageDecoration found = paper_->oddPageDecoration();
    if (found.lines.size() != expected.lines.size() || found.boxes.size() != expected.boxes.size())
        return false;
    const auto near = [](double a, double b) { return std::abs(a - b) < 0.5; };
    for (int i = 0; i < expected.lines.size(); ++i)
        if (!near(found.lines[i].xMm, expected.lines[i].xMm) || !near(found.lines[i].yMm, expected.lines[i].yMm))
            return false;
    for (const PageTextBox& box : expected.boxes)
        if (std::none_of(found.boxes.cbegin(), found.boxes.cend(), [&](const PageTextBox& b) {
                return b.text == box.text && near(b.xMm, box.xMm) && near(b.yMm, box.yMm);
            }))
            return false;
    return true;
}

void PaperGeneration::checkSealingLine() {
    if (!settings_.examForm() || !paperPage(settings_.layout))
        return;
    // Read back before the paper is saved: a sealing line across the
    // questions would spoil every printed sheet. Placed once more if it
    // strayed, and the paper is not given out while it stays wrong.
    if (sealingLineInPlace())
        return;
    paper_->setOddPageDecoration(sealingLine(settings_.layout));
    if (!sealingLineInPlace())
        throw OfficeError(QStringLiteral("试卷的密封线没有放在左边的页边距里，试卷没有生成成功：\r%1")
                              .arg(QDir::toNativeSeparators(files_.paper)));
}

void PaperGeneration::finish(const Progress& progress) {
    // The finishing touches are each skipped when they fail.
    for (WordDocument* doc : {paper_.get(), review_.get(), answers_.get(), sheet_.get()}) {
        if (!doc)
            continue;
        try {
            doc->setFontName(QStringLiteral("宋体"));
            if (doc->floatingShapeCount() > 0)
                doc->setFloatingPicturesTransparentColor(kWhite);
        } catch (const OfficeError&) {
        }
    }
    checkSealingLine();
    paper_->save();
    answers_->save();
    review_->save();
    if (sheet_)
        sheet_->save();
    // The copies in other formats, each beside its .doc.
    for (const QString& suffix : {QStringLiteral("docx"), QStringLiteral("pdf")}) {
        if (!(suffix == u"docx" ? settings_.docx : settings_.pdf))
            continue;
        for (WordDocument* doc : {paper_.get(), answers_.get(), review_.get(), sheet_.get()}) {
            if (!doc)
                continue;
            QString copy = doc->path();
            copy.chop(QStringLiteral("doc").size());
            copy += suffix;
            doc->saveCopyAs(copy);
            copies_ << copy;
        }
        ++step_;
        if (progress)
            progress(step_, progressMaximum());
    }
    review_->activate();
    for (auto* doc : {&paper_, &answers_, &review_, &sheet_}) {
        if (*doc)
            (*doc)->close();
        doc->reset();
    }
    noteGenerationFinished(appDir_, folder_);
    // Once the documents are complete the paper is recorded, for its results
    // later, with the use of its questions.
    std::optional<QuestionUse> use;
    if (useDay_) {
        use.emplace();
        use->day = *useDay_;
        for (int r : placed_)
            use->numbers << table_.cell(r, SpecTable::QuestionNumber);
    }
    recordProblem_ =
        recordGeneratedPaper(bank_, table_, placed_, when_, folder_, files_.paper, mark_, use, cardLayout_);
    // Everything is saved: the bar is full when the finishing message comes.
    step_ = progressMaximum();
    if (progress)
        progress(step_, step_);
}

}  // namespace zs
