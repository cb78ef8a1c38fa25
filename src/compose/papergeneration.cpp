#include "compose/papergeneration.h"

#include "compose/specworkbook.h"
#include "office/wordprocessor.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/pausepoint.h"
#include "store/serverdocuments.h"
#include "store/serverlocation.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace zs {

QVector<int> placedRows(const SpecTable& table) {
    QVector<int> rows;
    QSet<QString> placed;
    for (int r = 1; r < table.rows(); ++r) {
        const QString& number = table.cell(r, SpecTable::QuestionNumber);
        if (!number.isEmpty() && !placed.contains(number)) {
            placed.insert(number);
            rows << r;
        }
    }
    return rows;
}

namespace {

// Headings, question numbers and labels start their paragraph in the paper's
// own alignment: the paragraph they open may follow a centred figure.
TextStyle labelStyle(std::optional<QRgb> color = std::nullopt) {
    TextStyle s = boldStyle(color);
    s.align = TextStyle::Align::Body;
    return s;
}

}  // namespace

QString sectionNumeral(int section) {
    static const QStringList numerals = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    return section >= 1 && section <= 10 ? numerals[section - 1] : QString();
}

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

void PaperGeneration::open(WordInstance& word) {
    const QDir app(appDir_);
    paper_ = word.open(app.filePath(kPaperTemplateName));
    answers_ = word.open(app.filePath(kAnswerTemplateName));
    review_ = word.open(app.filePath(kReviewTemplateName));

    const QString stamp = (mark_.isEmpty() ? QString() : mark_ + u'-') + outputStamp(when_);
    const QString base = QDir(desktop_).filePath(QStringLiteral("试卷方案-琢石-试题库-") + stamp);
    folder_ = base;
    for (int n = 2; QFileInfo::exists(folder_); ++n)
        folder_ = base + QStringLiteral("(%1)").arg(n);
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
}

void PaperGeneration::recordUse(const QDate& day) {
    Bank bank(bank_);
    bank.transaction([&] {
        for (int r : placed_) {
            bank.executeBound(QStringLiteral("UPDATE \"试题库\" SET \"最后使用日期\" = ?, "
                                             "\"使用次数\" = coalesce(\"使用次数\", 0) + 1 WHERE \"题目编号\" = ?"),
                              {day, table_.cell(r, SpecTable::QuestionNumber)});
            pausePoint("use-record");
        }
    });
}

void PaperGeneration::writeQuestions(const std::function<void(int, int)>& progress) {
    const QString& bank = bank_;
    QString lastType;
    int section = 0;
    int questionNumber = 0;
    const int maximum = total() + 1;
    for (int r : placed_) {
        const QString& type = table_.cell(r, SpecTable::Type);
        if (type != lastType) {
            // The questions of this type that the paper holds, each once.
            int count = 0;
            for (int k : placed_)
                count += table_.cell(k, SpecTable::Type) == type;
            lastType = type;
            ++section;
            const QString heading = sectionNumeral(section) + QStringLiteral("、") + type + QStringLiteral("（共有") +
                                    QString::number(count) + QStringLiteral("道小题）\r");
            for (WordDocument* doc : {paper_.get(), answers_.get(), review_.get()})
                doc->append(heading, labelStyle());
        }
        ++questionNumber;
        for (WordDocument* doc : {paper_.get(), answers_.get(), review_.get()})
            doc->append(QString::number(questionNumber) + u'.', labelStyle());

        const RangeId code = review_->append(u'[' + table_.cell(r, SpecTable::Code) + u']', boldStyle(kRed));
        review_->addComment(code, reviewNote(table_.cell(r, SpecTable::Scope), table_.cell(r, SpecTable::Knowledge),
                                             table_.cell(r, SpecTable::Difficulty)));

        const QString number = table_.cell(r, SpecTable::QuestionNumber);
        const QString question = questionDocumentPath(bank, number);
        const QString answer = answerDocumentPath(bank, number);
        paper_->appendDocument(question);
        answers_->appendDocument(answer);
        review_->appendDocument(question);
        review_->append(QStringLiteral("参考答案:"), labelStyle(kBlue));
        review_->appendDocument(answer);
        if (progress)
            progress(questionNumber, maximum);
    }
}

void PaperGeneration::finish() {
    // The finishing touches are each skipped when they fail.
    for (WordDocument* doc : {paper_.get(), review_.get(), answers_.get()}) {
        try {
            doc->setFontName(QStringLiteral("宋体"));
            if (doc->floatingShapeCount() > 0)
                doc->setFloatingPicturesTransparentColor(kWhite);
        } catch (const OfficeError&) {
        }
    }
    paper_->save();
    answers_->save();
    review_->save();
    review_->activate();
    for (auto* doc : {&paper_, &answers_, &review_}) {
        (*doc)->close();
        doc->reset();
    }
}

}  // namespace zs
