#include "paperimport/paperimport.h"

#include "app/runstate.h"
#include "catalogue/numberpool.h"
#include "office/wordprocessor.h"
#include "questions/questionrecord.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace zs {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// What a passage holds besides text.
void countContents(const QList<DocumentBlock>& blocks, const BlockRange& r, ImportItem& item) {
    item.pictures = item.formulas = item.tables = 0;
    for (int b = r.firstBlock; b <= r.lastBlock && b < blocks.size(); ++b) {
        item.pictures += blocks[b].pictures + blocks[b].objects;
        item.formulas += int(blocks[b].formulas.size());
        item.tables += blocks[b].table;
    }
}

}  // namespace

QString paperFileProblem(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("找不到文件：\r%1").arg(shown(path));
    const QString suffix = info.suffix().toLower();
    const QString notWord = QStringLiteral("这个文件不是 Word 文档（.doc 或 .docx），不能导入：\r%1").arg(shown(path));
    if (suffix != u"doc" && suffix != u"docx")
        return notWord;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取文件：\r%1").arg(shown(path));
    const QByteArray head = file.read(8);
    // Word 97 (an OLE compound file), Word 2007 (a zip package), or the RTF
    // that Word also saves under .doc.
    const bool word = head.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")) || head.startsWith("PK\x03\x04") ||
                      head.startsWith("{\\rtf");
    return word ? QString() : notWord;
}

BankChoices readBankChoices(const QString& bankPath) {
    Bank bank(bankPath, Bank::Mode::ReadOnly);
    BankChoices choices;
    choices.types = bank.query(QStringLiteral("select 题型 from 题型")).texts();
    choices.difficulties = bank.query(QStringLiteral("select 难度 from 难度")).texts();
    choices.sources = bank.query(QStringLiteral("select 试题来源 from 试题来源")).texts();
    return choices;
}

QStringList ImportItem::marks() const {
    QStringList out;
    if (similar)
        out << similarityMark(*similar);
    if (!detected.answer.isValid())
        out << QStringLiteral("无答案");
    if (type.isEmpty())
        out << QStringLiteral("未定题型");
    return out;
}

// ---------------------------------------------------------------- the paper

PaperImport::PaperImport(WordInstance& word, QString workFolder) : word_(word), work_(std::move(workFolder)) {}

PaperImport::~PaperImport() {
    close();
}

void PaperImport::close() {
    for (auto* doc : {&paper_, &answers_}) {
        if (*doc) {
            try {
                (*doc)->close();
            } catch (const OfficeError&) {
            }
            doc->reset();
        }
    }
}

const QList<DocumentBlock>& PaperImport::blocksOf(int document) const {
    return document == Passage::Answers ? answerBlocks_ : paperBlocks_;
}

WordDocument* PaperImport::documentOf(int document) const {
    return document == Passage::Answers ? answers_.get() : paper_.get();
}

QString PaperImport::newFile(const QString& kind) {
    return QDir(work_).filePath(QStringLiteral("%1-%2.doc").arg(kind).arg(++files_, 3, 10, QLatin1Char('0')));
}

void PaperImport::open(const QString& paperPath, const QString& answerPath, const QStringList& bankTypes,
                       const ImportProgress& progress) {
    close();
    items_.clear();
    layout_ = {};
    paperBlocks_.clear();
    answerBlocks_.clear();
    if (const QString problem = paperFileProblem(paperPath); !problem.isEmpty())
        throw PaperImportError(problem);
    if (!answerPath.isEmpty())
        if (const QString problem = paperFileProblem(answerPath); !problem.isEmpty())
            throw PaperImportError(problem);

    paper_ = word_.open(paperPath);
    paperBlocks_ = paper_->blocks();
    if (!answerPath.isEmpty()) {
        answers_ = word_.open(answerPath);
        answerBlocks_ = answers_->blocks();
        if (answerBlocks_.isEmpty() || std::all_of(answerBlocks_.begin(), answerBlocks_.end(), isBlankBlock))
            throw PaperImportError(QStringLiteral("答案文档是空的：\r%1").arg(shown(answerPath)));
    }
    layout_ = analysePaper(paperBlocks_, answerBlocks_, bankTypes);
    if (layout_.questions.isEmpty())
        throw PaperImportError(QStringLiteral("在这份试卷中没有找到试题：\r%1\r\r"
                                              "每道试题应以题号开头，例如“1.”“1．”“1、”“1)”，"
                                              "大题标题如“一、选择题”。")
                                   .arg(shown(paperPath)));

    // One empty answer document serves every question without an answer.
    emptyAnswer_ = QDir(work_).filePath(QStringLiteral("空白答案.doc"));
    {
        const auto blank = word_.newDocument();
        blank->saveAs(emptyAnswer_);
        blank->close();
    }
    const int total = int(layout_.questions.size());
    for (int i = 0; i < total; ++i) {
        ImportItem item;
        item.detected = layout_.questions[i];
        item.label = QString::number(item.detected.number);
        item.type = item.detected.type;
        refresh(item);
        items_ << item;
        if (progress && !progress(i + 1, total))
            throw PaperImportError(QStringLiteral("已停止拆分试卷。"));
    }
}

void PaperImport::refresh(ImportItem& item) {
    const Passage& q = item.detected.question;
    item.text = passageText(paperBlocks_, q.range);
    item.plainText = passageText(paperBlocks_, q.range, true);
    countContents(paperBlocks_, q.range, item);
    item.questionFile = newFile(QStringLiteral("题目"));
    paper_->saveRangeAs(q.range, item.questionFile);
    const Passage& a = item.detected.answer;
    if (a.isValid()) {
        item.answerText = passageText(blocksOf(a.document), a.range);
        item.answerFile = newFile(QStringLiteral("答案"));
        documentOf(a.document)->saveRangeAs(a.range, item.answerFile);
    } else {
        item.answerText.clear();
        item.answerFile = emptyAnswer_;
    }
}

QStringList PaperImport::notes() const {
    QStringList out;
    if (!layout_.strayAnswers.isEmpty()) {
        QStringList numbers;
        for (int n : layout_.strayAnswers)
            numbers << QString::number(n);
        out << QStringLiteral("答案中的第 %1 题找不到对应的试题，这些答案没有用上。")
                   .arg(numbers.join(QStringLiteral("、")));
    }
    int missing = 0;
    for (const ImportItem& item : items_)
        missing += !item.detected.answer.isValid();
    if (missing > 0)
        out << QStringLiteral("有 %1 道试题没有找到答案（列表中标为“无答案”）。").arg(missing);
    return out;
}

QList<QPair<int, QString>> PaperImport::paragraphsOf(int i) const {
    QList<QPair<int, QString>> out;
    if (i < 0 || i >= items_.size())
        return out;
    const BlockRange& r = items_[i].detected.question.range;
    for (int b = r.firstBlock; b <= r.lastBlock; ++b) {
        QString text = paperBlocks_[b].text;
        if (b == r.lastBlock && r.endChar >= 0)
            text = text.left(r.endChar);
        if (b == r.firstBlock)
            text = text.mid(r.firstChar);
        out << qMakePair(b, text);
    }
    return out;
}

void PaperImport::mergeWithPrevious(int i) {
    if (i <= 0 || i >= items_.size())
        return;
    ImportItem& before = items_[i - 1];
    const ImportItem& after = items_[i];
    BlockRange& q = before.detected.question.range;
    q.lastBlock = after.detected.question.range.lastBlock;
    q.endChar = after.detected.question.range.endChar;

    Passage& a = before.detected.answer;
    const Passage& b = after.detected.answer;
    if (!a.isValid()) {
        a = b;
    } else if (b.isValid() && a.document == b.document && b.range.firstBlock >= a.range.lastBlock) {
        a.range.lastBlock = b.range.lastBlock;
        a.range.endChar = b.range.endChar;
    }
    before.included = before.included || after.included;
    if (before.type.isEmpty())
        before.type = after.type;
    if (!before.detected.score && after.detected.score)
        before.detected.score = after.detected.score;
    items_.removeAt(i);
    refresh(items_[i - 1]);
}

void PaperImport::splitAt(int i, int block) {
    if (i < 0 || i >= items_.size())
        return;
    ImportItem& item = items_[i];
    BlockRange& r = item.detected.question.range;
    if (block <= r.firstBlock || block > r.lastBlock)
        throw PaperImportError(QStringLiteral("请选择这道试题第一段以后的一个段落作为拆分位置。"));
    if (paperBlocks_[block].table)
        throw PaperImportError(QStringLiteral("不能从表格处拆分，请选择表格前后的段落。"));
    ImportItem rest = item;
    rest.detected.question.range = {block, 0, r.lastBlock, r.endChar};
    rest.detected.answer = {};
    rest.label = item.label + QStringLiteral("（续）");
    rest.similar.reset();
    r.lastBlock = block - 1;
    r.endChar = -1;
    while (r.lastBlock > r.firstBlock && isBlankBlock(paperBlocks_[r.lastBlock]))
        --r.lastBlock;
    refresh(item);
    refresh(rest);
    items_.insert(i + 1, rest);
}

void PaperImport::checkSimilarity(const SimilarityIndex& bank) {
    for (ImportItem& item : items_) {
        item.similar = bank.mostSimilar(item.plainText);
        if (item.similar)
            item.included = false;
    }
}

// ---------------------------------------------------------------- writing

QString importComplaints(const QList<ImportItem>& items) {
    QStringList lines;
    int ticked = 0;
    for (const ImportItem& item : items) {
        if (!item.included)
            continue;
        ++ticked;
        QStringList missing;
        if (item.settings.scopes.isEmpty())
            missing << QStringLiteral("未选择考查范围");
        for (const auto& [path, knowledge] : item.settings.scopes) {
            if (knowledge.isEmpty()) {
                missing << QStringLiteral("知识点未添加完善");
                break;
            }
        }
        if (item.type.isEmpty())
            missing << QStringLiteral("题型未选择");
        if (item.settings.difficulty.isEmpty())
            missing << QStringLiteral("难度未选择");
        if (item.settings.source.isEmpty())
            missing << QStringLiteral("试题来源未选择");
        if (!missing.isEmpty())
            lines << QStringLiteral("*第 %1 题：%2").arg(item.label, missing.join(QStringLiteral("，")));
    }
    if (ticked == 0)
        return QStringLiteral("没有勾选要导入的试题！");
    if (lines.isEmpty())
        return {};
    constexpr int kShown = 15;
    if (lines.size() > kShown) {
        const int more = int(lines.size()) - kShown;
        lines = lines.mid(0, kShown);
        lines << QStringLiteral("……（另有 %1 道试题）").arg(more);
    }
    return QStringLiteral("未能导入试题，原因如下：\r\r") + lines.join(u'\r');
}

QStringList takeQuestionNumbers(NumberPool& pool, const QString& bankPath, int count) {
    QStringList numbers;
    if (count <= 0)
        return numbers;
    QSet<QString> known;
    auto readKnown = [&] {
        Bank bank(bankPath, Bank::Mode::ReadOnly);
        const QStringList list = bank.query(QStringLiteral("select distinct 题目编号 from 试题库")).texts();
        known = QSet<QString>(list.begin(), list.end());
    };
    // A number is free when it has neither rows nor documents.
    auto isFree = [&](const QString& n) {
        return !known.contains(n) && !QFileInfo::exists(questionDocumentPath(bankPath, n)) &&
               !QFileInfo::exists(answerDocumentPath(bankPath, n));
    };

    int filled = 0;
    for (int i = 1; i <= NumberPool::kSlots; ++i)
        filled += !pool.isEmpty(i);
    // Nothing of this import is written yet, so a refill reclaims nothing of it.
    if (filled < count) {
        const RefillResult refill = refillNumberPool(pool, bankPath);
        if (!refill.completed)
            throw StoreError(refill.message);
    }
    readKnown();
    for (int i = 1; i <= NumberPool::kSlots && numbers.size() < count; ++i) {
        if (pool.isEmpty(i))
            continue;
        const QString n = pool.slot(i);
        pool.setSlot(i, QString());
        if (isFree(n))
            numbers << n;
    }
    int next = 1;
    for (const QString& n : numbers)
        next = std::max(next, n.toInt() + 1);
    while (numbers.size() < count) {
        if (next > kHighestQuestionNumber)
            throw StoreError(QStringLiteral("题目编号已经用到 %1，没有足够的新编号给导入的试题！\r"
                                            "本次导入没有写入任何试题。")
                                 .arg(kHighestQuestionNumber));
        const QString n = questionNumberText(next++);
        if (isFree(n))
            numbers << n;
    }
    return numbers;
}

QStringList writeImportedQuestions(const QList<ImportItem>& items, const QString& bankPath, NumberPool& pool,
                                   const QString& teacher, const QDate& day, const ImportProgress& progress) {
    QList<const ImportItem*> chosen;
    for (const ImportItem& item : items)
        if (item.included)
            chosen << &item;
    if (chosen.isEmpty())
        return {};
    // The bank is looked at before anything is written.
    if (const QString problem = Bank::problemWith(bankPath); !problem.isEmpty())
        throw StoreError(problem);
    const QString documents = documentsFolderOf(bankPath);
    if (!QDir().mkpath(documents))
        throw StoreError(QStringLiteral("无法建立试题文档文件夹：\r%1").arg(shown(documents)));

    const QStringList numbers = takeQuestionNumbers(pool, bankPath, int(chosen.size()));
    const int total = int(chosen.size()) + 1;
    QStringList written;
    auto copy = [&](const QString& from, const QString& to) {
        if (!QFileInfo::exists(from))
            throw StoreError(QStringLiteral("找不到拆分出的试题文档：\r%1").arg(shown(from)));
        if (!QFile::copy(from, to))
            throw StoreError(QStringLiteral("无法写入试题文档：\r%1").arg(shown(to)));
        written << to;
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    };
    try {
        for (int k = 0; k < chosen.size(); ++k) {
            copy(chosen[k]->questionFile, questionDocumentPath(bankPath, numbers[k]));
            copy(chosen[k]->answerFile, answerDocumentPath(bankPath, numbers[k]));
            if (progress && !progress(k + 1, total))
                throw PaperImportError(QStringLiteral("已取消导入，试题库保持原样。"));
        }
        Bank bank(bankPath);
        bank.transaction([&] {
            for (int k = 0; k < chosen.size(); ++k) {
                const ImportItem& item = *chosen[k];
                QuestionRecord record;
                record.number = numbers[k];
                record.code = makeIdentificationCode(teacher, numbers[k]);
                record.type = item.type;
                record.difficulty = item.settings.difficulty;
                record.source = item.settings.source;
                record.date = day;
                record.teacher = teacher;
                record.scopes = item.settings.scopes;
                addQuestion(bank, record);
            }
        });
        if (progress)
            progress(total, total);
    } catch (...) {
        for (const QString& file : written)
            QFile::remove(file);
        throw;
    }
    return numbers;
}

QString paperImportedMessage(const QStringList& numbers) {
    QString text = QStringLiteral("试卷中的试题已经导入试题库！\r\r成功导入的试题数量为：") + countText(numbers.size());
    if (!numbers.isEmpty()) {
        text += QStringLiteral("\r\r题目编号为：");
        text += numbers.size() <= 10 ? numbers.join(QStringLiteral("、"))
                                     : numbers.first() + QStringLiteral(" 至 ") + numbers.last();
    }
    return text;
}

}  // namespace zs
