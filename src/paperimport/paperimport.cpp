#include "paperimport/paperimport.h"

#include "app/runstate.h"
#include "catalogue/numberpool.h"
#include "office/leftovers.h"
#include "office/wordprocessor.h"
#include "paper/scores.h"
#include "questions/questionrecord.h"
#include "store/bank.h"
#include "store/documentcheck.h"
#include "store/paths.h"
#include "store/pausepoint.h"
#include "store/textnumbers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <unistd.h>

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

QByteArray digestOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result();
}

const QString kSplitPrefix = QStringLiteral("zhuoshi-split-");

}  // namespace

QString makeSplitFolder(const QString& tempFolder) {
    QTemporaryDir dir(
        QDir(tempFolder).filePath(kSplitPrefix + QString::number(::getpid()) + QStringLiteral("-XXXXXX")));
    if (!dir.isValid())
        return {};
    dir.setAutoRemove(false);
    return dir.path();
}

QStringList removeStaleSplitFolders(const QString& tempFolder) {
    return removeLeftoversOfGonePrograms(tempFolder, kSplitPrefix, u'-', QDir::Dirs);
}

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

bool ImportItem::questionEdited() const {
    return !questionFile.isEmpty() && digestOf(questionFile) != questionStamp;
}

bool ImportItem::answerEdited() const {
    return !answerFile.isEmpty() && digestOf(answerFile) != answerStamp;
}

bool ImportItem::hasAnswer() const {
    return detected.answer.isValid() || answerEdited();
}

QStringList ImportItem::marks() const {
    QStringList out;
    if (similar)
        out << similarityMark(*similar);
    if (!hasAnswer())
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

    // The office works on copies: a lock file it leaves (a killed program)
    // stays in the work folder, never beside the teacher's paper.
    auto copyIn = [&](const QString& from, const QString& name) {
        const QString to = QDir(work_).filePath(name + u'.' + QFileInfo(from).suffix().toLower());
        QFile::remove(to);
        if (!QFile::copy(from, to))
            throw PaperImportError(QStringLiteral("无法把试卷复制到临时文件夹，不能拆分试卷：\r%1\r\r"
                                                  "请检查临时文件夹所在的磁盘是否已满。")
                                       .arg(shown(from)));
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
        return to;
    };
    const QString paperCopy = copyIn(paperPath, QStringLiteral("试卷"));
    const QString answerCopy = answerPath.isEmpty() ? QString() : copyIn(answerPath, QStringLiteral("答案文档"));

    paper_ = word_.open(paperCopy);
    pausePoint("paper-split");
    paperBlocks_ = paper_->blocks();
    if (!answerPath.isEmpty()) {
        answers_ = word_.open(answerCopy);
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

    // Every question without an answer gets a copy of one empty document.
    blankDocument_ = QDir(work_).filePath(QStringLiteral("空白文档.doc"));
    {
        const auto blank = word_.newDocument();
        blank->saveAs(blankDocument_);
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
    writeQuestion(item);
    writeAnswer(item);
}

void PaperImport::writeQuestion(ImportItem& item) {
    const Passage& q = item.detected.question;
    item.text = passageText(paperBlocks_, q.range);
    item.plainText = passageText(paperBlocks_, q.range, true);
    countContents(paperBlocks_, q.range, item);
    item.questionFile = newFile(QStringLiteral("题目"));
    paper_->saveRangeAs(q.range, item.questionFile);
    item.questionStamp = digestOf(item.questionFile);
}

void PaperImport::writeAnswer(ImportItem& item) {
    const Passage& a = item.detected.answer;
    item.answerFile = newFile(QStringLiteral("答案"));
    if (a.isValid()) {
        item.answerText = passageText(blocksOf(a.document), a.range);
        documentOf(a.document)->saveRangeAs(a.range, item.answerFile);
    } else {
        item.answerText.clear();
        if (!QFile::copy(blankDocument_, item.answerFile))
            throw PaperImportError(QStringLiteral("无法在临时文件夹中写入答案文档：\r%1").arg(shown(item.answerFile)));
        QFile::setPermissions(item.answerFile,
                              QFile::permissions(item.answerFile) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    }
    item.answerStamp = digestOf(item.answerFile);
}

void PaperImport::refuseEdited(const ImportItem& item, const QString& what) const {
    if (item.questionEdited())
        throw PaperImportError(QStringLiteral("第 %1 题的题目文档已经用“编辑”修改过，%2会按试卷重新生成它，"
                                              "修改将会丢失，所以没有%2。\r\r"
                                              "请先%2，再编辑文档；或者在文档中直接修改。")
                                   .arg(item.label, what));
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
    if (!layout_.dropped.isEmpty()) {
        QStringList shownParts;
        for (const QString& text : layout_.dropped)
            shownParts << QStringLiteral("“%1”").arg(text.left(20));
        out << QStringLiteral("略去了试卷中不属于试题的 %1 段：%2。")
                   .arg(layout_.dropped.size())
                   .arg(shownParts.join(QStringLiteral("、")));
    }
    int missing = 0;
    for (const ImportItem& item : items_)
        missing += !item.hasAnswer();
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
    refuseEdited(before, QStringLiteral("合并"));
    refuseEdited(after, QStringLiteral("合并"));
    const bool beforeHas = before.hasAnswer();
    const bool afterHas = after.hasAnswer();
    const Passage& a = before.detected.answer;
    const Passage& b = after.detected.answer;
    // Answers untouched and next to each other in one document are read
    // again as one stretch; any others are joined as their documents are now.
    const bool asOneStretch =
        !before.answerEdited() && !after.answerEdited() &&
        (!a.isValid() || !b.isValid() || (a.document == b.document && b.range.firstBlock >= a.range.lastBlock));
    QString answerFile = before.answerFile;
    QByteArray answerStamp = before.answerStamp;
    QString answerText = before.answerText;
    if (!asOneStretch) {
        if (!beforeHas) {
            answerFile = after.answerFile;
            answerStamp = after.answerStamp;
            answerText = after.answerText;
        } else if (afterHas) {
            answerFile = newFile(QStringLiteral("答案"));
            const auto joined = word_.open(before.answerFile);
            joined->append(QStringLiteral("\r"));
            joined->appendDocument(after.answerFile);
            joined->saveAs(answerFile);
            joined->close();
            // The joined document counts as the teacher's from now on.
            answerStamp = QByteArray("joined");
            answerText = before.answerText + u'\r' + after.answerText;
        }
    }
    const Passage joinedPassage = [&] {
        if (!a.isValid())
            return b;
        Passage p = a;
        if (b.isValid() && a.document == b.document && b.range.firstBlock >= a.range.lastBlock) {
            p.range.lastBlock = b.range.lastBlock;
            p.range.endChar = b.range.endChar;
        }
        return p;
    }();

    BlockRange& q = before.detected.question.range;
    q.lastBlock = after.detected.question.range.lastBlock;
    q.endChar = after.detected.question.range.endChar;
    before.detected.answer = joinedPassage;
    before.included = before.included || after.included;
    if (before.type.isEmpty())
        before.type = after.type;
    if (!before.detected.score && after.detected.score)
        before.detected.score = after.detected.score;
    items_.removeAt(i);
    ImportItem& merged = items_[i - 1];
    writeQuestion(merged);
    if (asOneStretch) {
        writeAnswer(merged);
    } else {
        merged.answerFile = answerFile;
        merged.answerStamp = answerStamp;
        merged.answerText = answerText;
    }
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
    refuseEdited(item, QStringLiteral("拆分"));
    ImportItem rest = item;
    rest.detected.question.range = {block, 0, r.lastBlock, r.endChar};
    rest.detected.answer = {};
    rest.label = item.label + QStringLiteral("（续）");
    rest.similar.reset();
    r.lastBlock = block - 1;
    r.endChar = -1;
    while (r.lastBlock > r.firstBlock && isBlankBlock(paperBlocks_[r.lastBlock]))
        --r.lastBlock;
    writeQuestion(item);  // its answer stays as it is
    refresh(rest);
    items_.insert(i + 1, rest);
}

void PaperImport::moveToAnswer(int i, int block) {
    if (i < 0 || i >= items_.size())
        return;
    ImportItem& item = items_[i];
    BlockRange& r = item.detected.question.range;
    if (block <= r.firstBlock || block > r.lastBlock)
        throw PaperImportError(QStringLiteral("请选择这道试题第一段以后的一个段落，从它起的段落将移到答案中。"));
    refuseEdited(item, QStringLiteral("移动段落"));
    const BlockRange moved{block, 0, r.lastBlock, r.endChar};
    const QString movedFile = newFile(QStringLiteral("答案"));
    paper_->saveRangeAs(moved, movedFile);
    const bool hadAnswer = item.hasAnswer();
    if (hadAnswer) {
        // The moved paragraphs go before the answer as it is now.
        const auto joined = word_.open(movedFile);
        joined->append(QStringLiteral("\r"));
        joined->appendDocument(item.answerFile);
        joined->save();
        joined->close();
        item.answerText = passageText(paperBlocks_, moved) + u'\r' + item.answerText;
        item.answerStamp = QByteArray("joined");
    } else {
        item.detected.answer = {Passage::Paper, moved};
        item.answerText = passageText(paperBlocks_, moved);
        item.answerStamp = digestOf(movedFile);
    }
    item.answerFile = movedFile;
    if (!item.detected.answer.isValid())
        item.detected.answer = {Passage::Paper, moved};
    r.lastBlock = block - 1;
    r.endChar = -1;
    while (r.lastBlock > r.firstBlock && isBlankBlock(paperBlocks_[r.lastBlock]))
        --r.lastBlock;
    writeQuestion(item);
}

void PaperImport::giveAnswer(int i, int to) {
    if (i < 0 || i >= items_.size() || to < 0 || to >= items_.size() || i == to)
        return;
    ImportItem& from = items_[i];
    ImportItem& target = items_[to];
    if (!from.hasAnswer())
        throw PaperImportError(QStringLiteral("第 %1 题没有答案可以移走。").arg(from.label));
    if (target.hasAnswer())
        throw PaperImportError(QStringLiteral("第 %1 题已经有答案了。请先把它的答案移给别的试题，"
                                              "或者用“编辑”把两份答案合在一起。")
                                   .arg(target.label));
    std::swap(from.answerFile, target.answerFile);
    std::swap(from.answerStamp, target.answerStamp);
    std::swap(from.answerText, target.answerText);
    std::swap(from.detected.answer, target.detected.answer);
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
    {
        // Questions whose documents are gone: nothing is written beside them,
        // not even an empty documents folder.
        Bank bank(bankPath, Bank::Mode::ReadOnly);
        if (const QString lost = lostDocumentsMessage(bank); !lost.isEmpty())
            throw StoreError(lost);
    }
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
            // The scores the paper gave its questions are kept with them.
            bank.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS \"试题分值\" "
                                        "(\"题目编号\" TEXT PRIMARY KEY, \"分值\" TEXT)"));
            for (int k = 0; k < chosen.size(); ++k) {
                const auto score = chosen[k]->detected.score;
                if (!score)
                    continue;
                bank.executeBound(QStringLiteral("DELETE FROM \"试题分值\" WHERE \"题目编号\" = ?"), {numbers[k]});
                bank.executeBound(QStringLiteral("INSERT INTO \"试题分值\" (\"题目编号\", \"分值\") VALUES (?, ?)"),
                                  {numbers[k], scoreText(*score)});
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

QMap<QString, double> typeScoresToOffer(const QList<ImportItem>& items, const QString& bankPath) {
    QMap<QString, QMap<double, int>> seen;
    for (const ImportItem& item : items)
        if (item.included && !item.type.isEmpty() && item.detected.score && parseScore(scoreText(*item.detected.score)))
            ++seen[item.type][*item.detected.score];
    QMap<QString, double> out;
    if (seen.isEmpty())
        return out;
    Bank bank(bankPath, Bank::Mode::ReadOnly);
    const TypeScores stored = TypeScores::load(bank);
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
        if (stored.of(it.key()))
            continue;
        double best = 0;
        int most = 0;
        for (auto s = it->cbegin(); s != it->cend(); ++s)
            if (s.value() > most) {
                most = s.value();
                best = s.key();
            }
        out.insert(it.key(), best);
    }
    return out;
}

void saveTypeScores(const QString& bankPath, const QMap<QString, double>& scores) {
    Bank bank(bankPath);
    TypeScores stored = TypeScores::load(bank);
    for (auto it = scores.cbegin(); it != scores.cend(); ++it)
        stored.set(it.key(), parseScore(scoreText(it.value())));
    stored.save(bank);
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
