#include "scan/scanstore.h"

#include "marking/marks.h"
#include "results/roster.h"
#include "store/bank.h"
#include "store/naturalorder.h"
#include "store/statement.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace zs {

namespace {

QByteArray readingJson(const PageReading& r) {
    QJsonObject o{{"key", r.identity.key}, {"page", r.identity.page},    {"version", r.identity.version},
                  {"problem", r.problem},  {"examNumber", r.examNumber}, {"examDoubtful", r.examDoubtful},
                  {"examWhy", r.examWhy},  {"absent", r.absent},         {"absentDoubtful", r.absentDoubtful}};
    QJsonArray questions;
    for (const QuestionReading& q : r.questions) {
        QJsonArray marks;
        for (double m : q.marks)
            marks << std::round(m * 1000) / 1000;
        questions << QJsonObject{{"question", q.question}, {"answer", q.answer}, {"doubtful", q.doubtful},
                                 {"why", q.why},           {"marks", marks},     {"confirmed", q.confirmed}};
    }
    o["questions"] = questions;
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

PageReading readingOf(const QByteArray& json) {
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    PageReading r;
    r.identity.key = o["key"].toString();
    r.identity.page = o["page"].toInt(-1);
    r.identity.version = o["version"].toInt();
    r.problem = o["problem"].toString();
    r.examNumber = o["examNumber"].toString();
    r.examDoubtful = o["examDoubtful"].toBool();
    r.examWhy = o["examWhy"].toString();
    r.absent = o["absent"].toBool();
    r.absentDoubtful = o["absentDoubtful"].toBool();
    for (const QJsonValue& v : o["questions"].toArray()) {
        QuestionReading q;
        q.question = v["question"].toInt();
        q.answer = v["answer"].toString();
        q.doubtful = v["doubtful"].toBool();
        q.why = v["why"].toString();
        for (const QJsonValue& m : v["marks"].toArray())
            q.marks << m.toDouble();
        q.confirmed = v["confirmed"].toBool();
        r.questions << q;
    }
    return r;
}

void storePage(Bank& bank, int paperId, const ScannedPage& page) {
    bank.executeBound(
        QStringLiteral(
            "INSERT INTO \"扫描答卷\" (\"试卷编号\", \"页键\", \"来源文件\", \"来源页\", \"来源页数\", "
            "\"卡页\", \"考号\", \"确认考号\", \"读数\", \"图像\", \"扫描时间\") VALUES (?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?) ON CONFLICT (\"试卷编号\", \"页键\") DO UPDATE SET \"来源文件\" = "
            "excluded.\"来源文件\", \"来源页\" = excluded.\"来源页\", \"来源页数\" = excluded.\"来源页数\", "
            "\"卡页\" = excluded.\"卡页\", \"考号\" = excluded.\"考号\", \"确认考号\" = "
            "excluded.\"确认考号\", \"读数\" = excluded.\"读数\", \"图像\" = excluded.\"图像\", "
            "\"扫描时间\" = excluded.\"扫描时间\""),
        {paperId, page.key, page.source.file, page.source.page, page.source.pages, page.cardPage,
         page.reading.examNumber, page.confirmedExamNumber, QString::fromUtf8(readingJson(page.reading)), page.picture,
         page.when.toString(Qt::ISODate)});
}

// The options a teacher typed for a question, in the sheet's order; empty
// optional when they are no options of it.
std::optional<QString> typedOptions(const CardQuestion& q, QString typed) {
    typed = typed.toUpper().remove(QRegularExpression(QStringLiteral("[\\s,，、]")));
    if (q.kind == CardKind::TrueFalse) {
        if (typed.isEmpty())
            return QString();
        if (typed == u"T" || typed == u"√" || typed == u"对")
            return QStringLiteral("T");
        if (typed == u"F" || typed == u"×" || typed == u"X" || typed == u"错")
            return QStringLiteral("F");
        return std::nullopt;
    }
    QString options;
    for (const QChar c : q.options)
        if (typed.contains(c))
            options += c;
    for (const QChar c : typed)
        if (!q.options.contains(c))
            return std::nullopt;
    if (q.kind == CardKind::Single && options.size() > 1)
        return std::nullopt;
    return options;
}

}  // namespace

void ensureScanTables(Bank& bank) {
    bank.executeBound(
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"扫描答卷\" (\"试卷编号\" INTEGER, \"页键\" TEXT, "
                       "\"来源文件\" TEXT, \"来源页\" INTEGER, \"来源页数\" INTEGER, \"卡页\" INTEGER, "
                       "\"考号\" TEXT, \"确认考号\" TEXT, \"读数\" TEXT, \"图像\" TEXT, \"扫描时间\" TEXT)"),
        {});
    bank.executeBound(QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS \"扫描答卷_页\" ON \"扫描答卷\" "
                                     "(\"试卷编号\", \"页键\")"),
                      {});
    ensureMarkTables(bank);
}

QString scanPictureFolder(const QString& scansFolder, int paperId) {
    return QDir(scansFolder).filePath(QString::number(paperId));
}

namespace {

// The stored pages of a paper that meet `condition`, in the order of the table.
QVector<ScannedPage> pagesWhere(Bank& bank, int paperId, const QString& condition = {}) {
    ensureScanTables(bank);
    const RowSet rows = bank.query(QStringLiteral("select 页键, 来源文件, 来源页, 来源页数, 卡页, 确认考号, 读数, "
                                                  "图像, 扫描时间 from 扫描答卷 where 试卷编号 = %1")
                                       .arg(paperId) +
                                   condition);
    QVector<ScannedPage> pages;
    for (int r = 0; r < rows.count(); ++r) {
        ScannedPage p;
        p.key = rows.text(r, 0);
        p.source = ScanSource{rows.text(r, 1), rows.value(r, 2).toInt(), rows.value(r, 3).toInt()};
        p.cardPage = rows.value(r, 4).toInt();
        p.confirmedExamNumber = rows.text(r, 5);
        p.reading = readingOf(rows.text(r, 6).toUtf8());
        p.picture = rows.text(r, 7);
        p.when = QDateTime::fromString(rows.text(r, 8), Qt::ISODate);
        pages << p;
    }
    return pages;
}

QString keyIs(const QString& key) {
    return QStringLiteral(" and 页键 = '") + sqlValue(key) + u'\'';
}

}  // namespace

bool pageStored(Bank& bank, int paperId, const QString& key) {
    return bank.query(QStringLiteral("select count(*) from 扫描答卷 where 试卷编号 = %1").arg(paperId) + keyIs(key))
               .value(0, 0)
               .toInt() > 0;
}

ScannedPage readAndStorePage(Bank& bank, int paperId, const CardLayout& layout, const ScanSource& source,
                             const QString& scansFolder, const QDateTime& when) {
    ScannedPage page;
    page.key = scanPageKey(source);
    page.source = source;
    page.when = when;
    QString problem;
    const QImage picture = loadScanPage(source, problem);
    if (picture.isNull()) {
        page.reading.problem = problem;
    } else {
        page.reading = readCardPage(picture, [&](const QString& key) { return key == layout.key ? &layout : nullptr; });
        if (page.reading.read()) {
            page.cardPage = page.reading.identity.page;
            const QString folder = scanPictureFolder(scansFolder, paperId);
            QDir().mkpath(folder);
            // JPEG: a tenth of the time and size of PNG, and sharp enough to
            // look at and to read again.
            page.picture = page.key + QStringLiteral(".jpg");
            if (!page.reading.aligned.save(QDir(folder).filePath(page.picture), "JPEG", 88)) {
                page.picture.clear();
                page.reading.problem = QStringLiteral("无法保存扫描的图像：%1").arg(QDir::toNativeSeparators(folder));
                page.cardPage = -1;
            }
        }
    }
    page.reading.aligned = QImage();
    storePage(bank, paperId, page);
    return page;
}

QVector<ScannedPage> scannedPages(Bank& bank, int paperId) {
    QVector<ScannedPage> pages = pagesWhere(bank, paperId);
    // In the order the copier gave them: a sheet's later pages follow its first.
    std::sort(pages.begin(), pages.end(), [](const ScannedPage& a, const ScannedPage& b) {
        if (a.source.file != b.source.file)
            return naturalLess(a.source.file, b.source.file);
        return a.source.page < b.source.page;
    });
    return pages;
}

void updateScannedPage(Bank& bank, int paperId, const ScannedPage& page) {
    storePage(bank, paperId, page);
}

void removeScannedPage(Bank& bank, int paperId, const QString& key) {
    bank.executeBound(QStringLiteral("DELETE FROM \"扫描答卷\" WHERE \"试卷编号\" = ? AND \"页键\" = ?"),
                      {paperId, key});
}

QImage scannedPicture(const QString& scansFolder, int paperId, const ScannedPage& page) {
    if (page.picture.isEmpty())
        return {};
    return QImage(QDir(scanPictureFolder(scansFolder, paperId)).filePath(page.picture));
}

ScanResults gatherScans(const QVector<ScannedPage>& pages, const CardLayout& layout, const QVector<Student>& roster) {
    ScanResults results;
    results.pages = int(pages.size());
    QSet<QString> known;
    for (const Student& s : roster)
        known.insert(s.examNumber);

    // Each read page with the 考号 it belongs to: its own, or for a later
    // page of a sheet, that of the first page before it in the same file.
    struct Owned {
        const ScannedPage* page;
        QString examNumber;
    };
    QVector<Owned> owned;
    QString lastFile, lastNumber;
    for (const ScannedPage& p : pages) {
        if (!p.reading.read()) {
            ++results.unread;
            results.review << ReviewItem{
                ReviewItem::Kind::Unread, p.key, {}, 0, {}, p.source.name() + QStringLiteral("：") + p.reading.problem};
            continue;
        }
        if (p.source.file != lastFile) {
            lastFile = p.source.file;
            lastNumber.clear();
        }
        QString number = p.examNumber();
        if (p.cardPage == 0) {
            lastNumber = number;
            if (p.confirmedExamNumber.isEmpty() && p.reading.examDoubtful) {
                results.review << ReviewItem{ReviewItem::Kind::ExamNumber, p.key, {}, 0, number, p.reading.examWhy};
                lastNumber.clear();
                continue;
            }
            if (!known.isEmpty() && !known.contains(number) && p.confirmedExamNumber.isEmpty()) {
                results.review << ReviewItem{
                    ReviewItem::Kind::ExamNumber, p.key, number, 0, number, QStringLiteral("学生名单中没有这个考号")};
                lastNumber.clear();
                continue;
            }
        } else if (number.isEmpty()) {
            number = lastNumber;
            if (number.isEmpty()) {
                results.review << ReviewItem{
                    ReviewItem::Kind::ExamNumber,
                    p.key,
                    {},
                    0,
                    {},
                    QStringLiteral("答题卡第%1页前面没有同一学生的第1页，请填写考号").arg(p.cardPage + 1)};
                continue;
            }
        }
        owned << Owned{&p, number};
    }

    // Pages by student and sheet page; a page twice is a sheet scanned twice
    // when it reads alike, else two students gave one 考号.
    QMap<QString, QMap<int, QVector<const ScannedPage*>>> byStudent;
    for (const Owned& o : owned)
        byStudent[o.examNumber][o.page->cardPage] << o.page;
    const auto alike = [](const ScannedPage* a, const ScannedPage* b) {
        if (a->reading.questions.size() != b->reading.questions.size())
            return false;
        for (int i = 0; i < a->reading.questions.size(); ++i)
            if (a->reading.questions[i].answer != b->reading.questions[i].answer)
                return false;
        return true;
    };
    QStringList numbers = byStudent.keys();
    std::sort(numbers.begin(), numbers.end(), [](const QString& a, const QString& b) { return naturalLess(a, b); });
    for (const QString& number : numbers) {
        ScannedStudent student;
        student.examNumber = number;
        bool twice = false;
        for (auto it = byStudent[number].cbegin(); it != byStudent[number].cend(); ++it) {
            QVector<const ScannedPage*> copies = it.value();
            std::sort(copies.begin(), copies.end(),
                      [](const ScannedPage* a, const ScannedPage* b) { return a->when > b->when; });
            for (int i = 1; i < copies.size(); ++i) {
                if (alike(copies[0], copies[i])) {
                    ++results.repeated;
                    continue;
                }
                twice = true;
                results.review << ReviewItem{ReviewItem::Kind::ExamNumber,
                                             copies[i]->key,
                                             number,
                                             0,
                                             number,
                                             QStringLiteral("考号 %1 出现在两张不同的答题卡上").arg(number)};
            }
            if (twice) {
                results.review << ReviewItem{ReviewItem::Kind::ExamNumber,
                                             copies[0]->key,
                                             number,
                                             0,
                                             number,
                                             QStringLiteral("考号 %1 出现在两张不同的答题卡上").arg(number)};
                break;
            }
            const ScannedPage* page = copies[0];
            student.cardPages << it.key();
            if (it.key() == 0) {
                student.absent = page->reading.absent;
                if (page->reading.absentDoubtful)
                    results.review << ReviewItem{ReviewItem::Kind::Absent,
                                                 page->key,
                                                 number,
                                                 0,
                                                 student.absent ? QStringLiteral("缺考") : QStringLiteral("未缺考"),
                                                 QStringLiteral("缺考标记涂得不清楚")};
            }
            for (const QuestionReading& q : page->reading.questions) {
                student.answers.insert(q.question, q);
                if (q.doubtful && !q.confirmed)
                    results.review << ReviewItem{
                        ReviewItem::Kind::Question, page->key, number, q.question, q.answer, q.why};
            }
            for (const CardArea& a : layout.areas)
                if (a.page == it.key() && a.question > 0)
                    student.pageOfQuestion.insert(a.question, page->key);
        }
        if (twice)
            continue;
        for (int p = 0; p < layout.pages; ++p)
            if (!student.cardPages.contains(p))
                results.review << ReviewItem{ReviewItem::Kind::MissingPage,
                                             {},
                                             number,
                                             0,
                                             {},
                                             QStringLiteral("考号 %1 缺少答题卡第%2页").arg(number).arg(p + 1)};
        results.students << student;
    }
    return results;
}

QString confirmReview(Bank& bank, int paperId, const CardLayout& layout, const ReviewItem& item,
                      const QString& answer) {
    if (item.kind == ReviewItem::Kind::Unread)
        return QStringLiteral("这一页没有读出来：请重新扫描这一页，或删除它。");
    if (item.kind == ReviewItem::Kind::MissingPage)
        return QStringLiteral("请扫描缺少的那一页。");
    QVector<ScannedPage> found = pagesWhere(bank, paperId, keyIs(item.pageKey));
    if (found.isEmpty())
        return QStringLiteral("这一页已经不在了，请重新读取。");
    ScannedPage& page = found.first();
    switch (item.kind) {
    case ReviewItem::Kind::ExamNumber: {
        const QString number = answer.trimmed();
        static const QRegularExpression digits(QStringLiteral("^\\d+$"));
        if (!digits.match(number).hasMatch() || number.size() != layout.examDigits)
            return QStringLiteral("考号要填写%1位数字。").arg(layout.examDigits);
        page.confirmedExamNumber = number;
        break;
    }
    case ReviewItem::Kind::Absent: {
        const QString a = answer.trimmed();
        if (a == u"缺考" || a == u"是" || a == u"1")
            page.reading.absent = true;
        else if (a.isEmpty() || a == u"未缺考" || a == u"否" || a == u"0")
            page.reading.absent = false;
        else
            return QStringLiteral("请填写“缺考”或“未缺考”。");
        page.reading.absentDoubtful = false;
        break;
    }
    case ReviewItem::Kind::Question: {
        const CardQuestion* q = layout.question(item.question);
        if (!q)
            return QStringLiteral("试卷中没有第%1题。").arg(item.question);
        const std::optional<QString> options = typedOptions(*q, answer);
        if (!options)
            return q->kind == CardKind::TrueFalse ? QStringLiteral("判断题请填写 √ 或 ×（T 或 F），没有作答时留空。")
                   : q->kind == CardKind::Single
                       ? QStringLiteral("单选题请填写一个选项（%1 之一），没有作答时留空。").arg(q->options)
                       : QStringLiteral("请填写选项（%1 中的字母），没有作答时留空。").arg(q->options);
        for (QuestionReading& r : page.reading.questions)
            if (r.question == item.question) {
                r.answer = *options;
                r.confirmed = true;
            }
        break;
    }
    case ReviewItem::Kind::Unread:
    case ReviewItem::Kind::MissingPage:
        break;
    }
    updateScannedPage(bank, paperId, page);
    return {};
}

QString setAnswerKey(CardLayout& layout, int question, const QString& typed) {
    for (CardQuestion& q : layout.questions) {
        if (q.number != question)
            continue;
        if (!isObjective(q.kind))
            return QStringLiteral("第%1题不是选择题或判断题。").arg(question);
        const std::optional<QString> key = typedOptions(q, typed);
        if (!key || key->isEmpty())
            return q.kind == CardKind::TrueFalse ? QStringLiteral("判断题的答案请填写 √ 或 ×（T 或 F）。")
                   : q.kind == CardKind::Single
                       ? QStringLiteral("单选题的答案请填写一个选项（%1 之一）。").arg(q.options)
                       : QStringLiteral("多选题的答案请填写选项（%1 中的字母）。").arg(q.options);
        q.key = *key;
        return {};
    }
    return QStringLiteral("试卷中没有第%1题。").arg(question);
}

ObjectiveRule ObjectiveRule::load(Bank& bank) {
    ObjectiveRule rule;
    bool ok = false;
    const double share = bank.setting(QStringLiteral("多选题少选得分比例")).toDouble(&ok);
    if (ok && share >= 0 && share <= 1)
        rule.partialShare = share;
    return rule;
}

void ObjectiveRule::save(Bank& bank) const {
    bank.setSetting(QStringLiteral("多选题少选得分比例"), QString::number(partialShare));
}

double cardFullMark(const CardQuestion& question) {
    return question.score ? *question.score / 10.0 : 1.0;
}

double objectiveScore(const CardQuestion& question, const QString& answer, double fullMark, const ObjectiveRule& rule) {
    if (answer.isEmpty() || question.key.isEmpty())
        return 0;
    if (answer == question.key)
        return fullMark;
    if (question.kind != CardKind::Multiple)
        return 0;
    for (const QChar c : answer)
        if (!question.key.contains(c))
            return 0;
    return std::floor(fullMark * rule.partialShare * 2) / 2;
}

QVector<int> markObjectiveQuestions(Bank& bank, int paperId, const CardLayout& layout, const ScanResults& results,
                                    const ObjectiveRule& rule, const QDateTime& when) {
    ensureMarkTables(bank);
    QVector<int> noKey;
    for (const CardQuestion& q : layout.questions)
        if (isObjective(q.kind) && q.key.isEmpty())
            noKey << q.number;
    bank.transaction([&] {
        QSet<QPair<QString, int>> given;
        for (const ScannedStudent& s : results.students) {
            if (s.absent)
                continue;
            for (const CardQuestion& q : layout.questions) {
                if (!isObjective(q.kind) || q.key.isEmpty())
                    continue;
                const auto reading = s.answers.constFind(q.number);
                if (reading == s.answers.cend() || (reading->doubtful && !reading->confirmed))
                    continue;
                storeMark(bank, paperId,
                          Mark{s.examNumber, q.number, objectiveScore(q, reading->answer, cardFullMark(q), rule), false,
                               kScanMarker, when});
                given.insert({s.examNumber, q.number});
            }
        }
        // Scores the scans gave before and no longer give (a 考号 corrected, a
        // student found absent, a page removed) go.
        for (const Mark& m : paperMarks(bank, paperId)) {
            const CardQuestion* q = layout.question(m.question);
            if (m.marker == kScanMarker && q && isObjective(q->kind) && !given.contains({m.examNumber, m.question}))
                removeMark(bank, paperId, m.examNumber, m.question);
        }
    });
    return noKey;
}

ScanAnswerSource::ScanAnswerSource(QString scansFolder, int paperId, CardLayout layout,
                                   const QVector<ScannedPage>& pages, const ScanResults& results)
    : folder_(std::move(scansFolder)), paperId_(paperId), layout_(std::move(layout)), results_(results) {
    for (const ScannedPage& p : pages)
        pages_.insert(p.key, p);
}

QVector<int> ScanAnswerSource::questions() {
    QVector<int> out;
    for (const CardQuestion& q : layout_.questions)
        if (!isObjective(q.kind))
            out << q.number;
    return out;
}

QStringList ScanAnswerSource::students(int question) {
    QStringList out;
    for (const ScannedStudent& s : results_.students)
        if (!s.absent && s.pageOfQuestion.contains(question))
            out << s.examNumber;
    return out;
}

QImage ScanAnswerSource::answer(const QString& examNumber, int question) {
    const std::optional<CardArea> area = layout_.areaOf(question);
    if (!area)
        return {};
    for (const ScannedStudent& s : results_.students)
        if (s.examNumber == examNumber)
            return cropAligned(picture(s.pageOfQuestion.value(question)), area->rect, 1);
    return {};
}

QImage ScanAnswerSource::picture(const QString& pageKey) {
    // A student's answers are marked one question after another: the page
    // read last is often the next one's too.
    if (pageKey != lastKey_) {
        lastKey_ = pageKey;
        lastPicture_ = scannedPicture(folder_, paperId_, pages_.value(pageKey));
    }
    return lastPicture_;
}

}  // namespace zs
