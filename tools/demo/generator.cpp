#include "demo/generator.h"

#include "app/appfolder.h"
#include "demo/catalogue.h"
#include "demo/documents.h"
#include "demo/figures.h"
#include "demo/rng.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <stdexcept>

namespace zs::demo {

namespace {

// The catalogue columns of 教材设置, top to bottom.
const QStringList kCatalogueColumns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};

// The highest question number the demo bank's numbering reaches (five digits).
constexpr int kHighestNumber = 99999;

const QList<DemoQuestion>& storedMathQuestions() {
    static const QList<DemoQuestion> questions = mathQuestions();
    return questions;
}

const QList<DemoQuestion>& storedPhysicsQuestions() {
    static const QList<DemoQuestion> questions = physicsQuestions();
    return questions;
}

// A question row as it goes into 试题库.
struct Row {
    QString scope;
    QString points;  // joined by "|"
};

// One question to store: its shared values and its rows.
struct Planned {
    QString type, difficulty, source, teacher;
    QDate entered;
    QDate lastUsed;  // invalid: never used
    int uses = 0;
    QList<Row> rows;
    const DemoQuestion* text = nullptr;
};

void report(const Options& options, const QString& line) {
    if (options.progress)
        options.progress(line);
}

// Teachers enter questions on school days.
QDate schoolDay(QDate day, const QDate& today) {
    if (day.dayOfWeek() == 6)
        return day.addDays(-1);
    if (day.dayOfWeek() == 7)
        return day.addDays(1) <= today ? day.addDays(1) : day.addDays(-2);
    return day;
}

// A use record for a question entered on `entered`: how often and when last.
void maybeUsed(Planned& q, Rng& rng, const QDate& today, double chance, int maxUses) {
    const qint64 span = q.entered.daysTo(today);
    if (span < 2 || !rng.chance(chance))
        return;
    q.uses = rng.between(1, maxUses);
    q.lastUsed = schoolDay(q.entered.addDays(rng.between(1, int(span))), today);
    if (q.lastUsed <= q.entered)
        q.lastUsed = q.entered.addDays(1);
}

// The knowledge points of a scope, prefixed and in catalogue order, joined by "|".
QString pointList(const CatalogueSection& section, const QStringList& names, const QString& where) {
    QList<int> positions;
    for (const QString& name : names) {
        const QString full = Catalogue::prefixedPoint(section, name);
        if (full.isEmpty())
            throw std::logic_error(
                QStringLiteral("%1：节“%2”没有知识点“%3”").arg(where, section.section, name).toStdString());
        positions << int(section.points.indexOf(full));
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    QStringList out;
    for (int p : positions)
        out << section.points[p];
    return out.join(u'|');
}

QString numberText(int n) {
    return questionNumberText(n);
}

// Removes what a failed run made, so that the folder can be used again.
class Cleanup {
public:
    explicit Cleanup(const QString& dir) : bank_(AppFolder(dir).file(kBankFileName)) {
        bankExisted_ = QFileInfo::exists(bank_);
    }
    void addDocument(const QString& path) { documents_ << path; }
    void dismiss() { active_ = false; }
    ~Cleanup() {
        if (!active_)
            return;
        for (const QString& doc : std::as_const(documents_))
            QFile::remove(doc);
        if (!bankExisted_)
            QFile::remove(bank_);
    }

private:
    QString bank_;
    bool bankExisted_ = false;
    bool active_ = true;
    QStringList documents_;
};

void storeCatalogue(Bank& bank, const Catalogue& catalogue) {
    for (const QStringList& row : catalogue.rows()) {
        RowValues values;
        for (int c = 0; c < kCatalogueColumns.size(); ++c)
            if (!row[c].isEmpty())
                values.append({kCatalogueColumns[c], row[c]});
        bank.addRow(QStringLiteral("教材设置"), values);
    }
}

void storeAccountsAndSources(Bank& bank, const QList<Account>& accounts) {
    for (const QString& source : sourceNames())
        bank.addRow(QStringLiteral("试题来源"), {{"试题来源", source}});
    for (const Account& a : accounts)
        bank.addRow(QStringLiteral("用户管理"), {{"实名用户名", a.name},
                                                 {"密码", a.password},
                                                 {"所在学校详名", a.school},
                                                 {"所任学科", a.subject},
                                                 {"联系方式", a.qq}});
}

void storeQuestion(Bank& bank, const QString& number, const Planned& q) {
    for (const Row& row : q.rows) {
        RowValues values = {{"题目编号", number},   {"考查范围", row.scope}, {"题型", q.type},
                            {"难度", q.difficulty}, {"知识点", row.points},  {"试题识别码", q.teacher + u'-' + number},
                            {"试题来源", q.source}, {"入库日期", q.entered}, {"入库教师", q.teacher}};
        if (q.uses > 0) {
            values.append({"最后使用日期", q.lastUsed});
            values.append({"使用次数", q.uses});
        }
        bank.addRow(QStringLiteral("试题库"), values);
    }
}

void prepareFolder(const QString& dir, Office& office, const Options& options) {
    const QString refusal = refusalFor(dir);
    if (!refusal.isEmpty())
        throw StoreError(refusal);
    report(options, QStringLiteral("正在准备程序文件夹（题库、模板、使用教程）……"));
    AppFolder(dir).prepare(office);
}

const QList<Account>& syntheticAccounts() {
    static const QList<Account> accounts = [] {
        QList<Account> out = demoAccounts();
        out << Account{"王老师", "123456", "育才市第一中学", "初中化学", "30577215"}
            << Account{"赵老师", "123456", "育才市第二中学", "初中生物", "41266308"}
            << Account{"刘老师", "123456", "育才市第二中学", "初中数学", "52390417"}
            << Account{"陈老师", "123456", "育才市实验中学", "初中物理", "63418522"};
        return out;
    }();
    return accounts;
}

}  // namespace

QStringList sourceNames() {
    return {"1-期中考试", "2-期末考试", "3-课后练习", "4-中考真题"};
}

const QList<Account>& demoAccounts() {
    static const QList<Account> accounts = {
        {"张老师", "123456", "育才市第一中学", "初中数学", "10254387"},
        {"李老师", "123456", "育才市第一中学", "初中物理", "20863145"},
    };
    return accounts;
}

QString refusalFor(const QString& dir) {
    const QFileInfo info(dir);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (info.exists() && !info.isDir())
        return QStringLiteral("“%1”是一个文件，不是文件夹。").arg(shown);
    if (QFileInfo::exists(QDir(dir).filePath(kBankFileName)))
        return QStringLiteral("文件夹“%1”中已经有试题库（%"
                              "2），不会覆盖它。\r请换一个新的文件夹，或者先移走原来的试题库。")
            .arg(shown, kBankFileName);
    const QDir documents(QDir(dir).filePath(kDocumentsFolderName));
    if (documents.exists() && !documents.entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty())
        return QStringLiteral("文件夹“%1”中已经有试题文档（%2），不会覆盖它们。\r请换一个新的文件夹。")
            .arg(shown, kDocumentsFolderName);
    return {};
}

Summary writeDemoFolder(const QString& dir, Office& office, const Options& options) {
    const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
    const QString refusal = refusalFor(dir);
    if (!refusal.isEmpty())
        throw StoreError(refusal);
    Cleanup cleanup(dir);
    prepareFolder(dir, office, options);

    Catalogue catalogue;
    catalogue.add(mathTextbook());
    catalogue.add(physicsTextbook());
    const Account& mathTeacher = demoAccounts()[0];
    const Account& physicsTeacher = demoAccounts()[1];

    // Every question with its rows, checked against the catalogue.
    QList<Planned> planned;
    auto plan = [&](const QList<DemoQuestion>& questions, const Textbook& book, const Account& teacher) {
        for (const DemoQuestion& q : questions) {
            const QString where = q.question.section(u'\n', 0, 0).left(30);
            Planned p{q.type, q.difficulty, sourceNames().value(q.source - 1), teacher.name, {}, {}, 0, {}, &q};
            // Rows in the order of the scope tree, as question entry writes them.
            QList<QPair<qsizetype, Row>> rows;
            for (const QuestionScope& scope : q.scopes) {
                const CatalogueSection* section = catalogue.find(book.subject, scope.section);
                if (!section)
                    throw std::logic_error(QStringLiteral("%1：没有“%2”节").arg(where, scope.section).toStdString());
                rows.append({section - catalogue.sections.constData(),
                             Row{section->scopePath(), pointList(*section, scope.points, where)}});
            }
            std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& row : rows)
                p.rows << row.second;
            if (p.rows.isEmpty())
                throw std::logic_error(QStringLiteral("%1：没有考查范围").arg(where).toStdString());
            planned << p;
        }
    };
    plan(storedMathQuestions(), mathTextbook(), mathTeacher);
    plan(storedPhysicsQuestions(), physicsTextbook(), physicsTeacher);

    // Entered over the last five months, a few of them today; numbers follow
    // the order of entry.
    Rng rng(options.seed);
    rng.shuffle(planned);
    QList<QDate> dates;
    for (int i = 0; i < planned.size(); ++i)
        dates << (i < 4 ? today : schoolDay(today.addDays(-rng.between(1, 150)), today));
    std::sort(dates.begin(), dates.end());
    for (int i = 0; i < planned.size(); ++i) {
        planned[i].entered = dates[i];
        maybeUsed(planned[i], rng, today, 0.35, 5);
    }

    Summary summary;
    summary.sections = int(catalogue.sections.size());
    summary.points = catalogue.pointCount();

    const QString bankPath = AppFolder(dir).file(kBankFileName);
    {
        const auto word = office.startWord();
        FigureFiles figureFiles;
        const int total = int(planned.size()) * 2;
        for (int i = 0; i < planned.size(); ++i) {
            const QString number = numberText(i + 1);
            const QString questionPath = questionDocumentPath(bankPath, number);
            const QString answerPath = answerDocumentPath(bankPath, number);
            cleanup.addDocument(questionPath);
            cleanup.addDocument(answerPath);
            writeDocument(*word, planned[i].text->question, questionPath, figureFiles);
            writeDocument(*word, planned[i].text->answer, answerPath, figureFiles);
            summary.documents += 2;
            if ((i + 1) % 20 == 0 || i + 1 == planned.size())
                report(options, QStringLiteral("已写入试题文档 %1/%2").arg(summary.documents).arg(total));
        }
        word->quit();
    }

    Bank bank(bankPath);
    bank.transaction([&] {
        storeCatalogue(bank, catalogue);
        storeAccountsAndSources(bank, demoAccounts());
        for (int i = 0; i < planned.size(); ++i) {
            const QString number = numberText(i + 1);
            storeQuestion(bank, number, planned[i]);
            StoredQuestion stored{number, planned[i].teacher, planned[i].text, {}};
            for (const Row& row : planned[i].rows)
                stored.scopes << row.scope;
            summary.stored << stored;
            summary.rows += int(planned[i].rows.size());
        }
    });
    summary.questions = int(planned.size());
    cleanup.dismiss();
    return summary;
}

Summary writeSyntheticFolder(const QString& dir, int rows, Office& office, const Options& options) {
    if (rows < 1)
        throw StoreError(QStringLiteral("试题行数必须是正整数。"));
    const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
    const QString refusal = refusalFor(dir);
    if (!refusal.isEmpty())
        throw StoreError(refusal);

    Rng rng(options.seed);
    const Catalogue catalogue = syntheticCatalogue(rng);
    const QList<Account>& accounts = syntheticAccounts();

    // Sections of the same volume, for questions filed under several sections.
    QList<int> volumeOf(catalogue.sections.size());
    QList<QList<int>> volumes;
    {
        QString last;
        for (int i = 0; i < catalogue.sections.size(); ++i) {
            const CatalogueSection& s = catalogue.sections[i];
            const QString key = QStringList{s.subject, s.edition, s.grade, s.volume}.join(u'\\');
            if (key != last) {
                volumes.append(QList<int>());
                last = key;
            }
            volumes.last() << i;
            volumeOf[i] = int(volumes.size()) - 1;
        }
    }

    const QStringList types = Bank::defaultTypes();
    const QStringList levels = Bank::defaultDifficulties();
    QList<Planned> planned;
    int remaining = rows;
    while (remaining > 0) {
        if (planned.size() >= kHighestNumber)
            throw StoreError(QStringLiteral("试题行数太多：题目编号最多到 %1。").arg(kHighestNumber));
        Planned q;
        q.type = types[rng.weighted({25, 8, 20, 8, 14, 6, 15, 4})];
        q.difficulty = levels[rng.weighted({3, 7, 12, 15, 18, 16, 12, 9, 5, 3})];
        q.source = sourceNames()[rng.weighted({25, 25, 35, 15})];
        q.teacher = accounts[rng.below(int(accounts.size()))].name;
        const int want = std::min(remaining, 1 + rng.weighted({60, 28, 12}));
        QList<int> chosen = {rng.below(int(catalogue.sections.size()))};
        while (chosen.size() < want) {
            const QList<int>& volume = volumes[volumeOf[chosen.first()]];
            const int next =
                rng.chance(0.7) ? volume[rng.below(int(volume.size()))] : rng.below(int(catalogue.sections.size()));
            if (!chosen.contains(next))
                chosen << next;
        }
        for (int index : chosen) {
            const CatalogueSection& section = catalogue.sections[index];
            const int count = std::min(int(section.points.size()), 1 + rng.weighted({40, 35, 18, 7}));
            QList<int> picks;
            while (picks.size() < count) {
                const int p = rng.below(int(section.points.size()));
                if (!picks.contains(p))
                    picks << p;
            }
            std::sort(picks.begin(), picks.end());
            QStringList names;
            for (int p : picks)
                names << section.points[p];
            q.rows << Row{section.scopePath(), names.join(u'|')};
        }
        remaining -= int(q.rows.size());
        planned << q;
    }
    QList<QDate> dates;
    for (int i = 0; i < planned.size(); ++i)
        dates << schoolDay(today.addDays(-rng.between(0, 3 * 365)), today);
    std::sort(dates.begin(), dates.end());
    for (int i = 0; i < planned.size(); ++i) {
        planned[i].entered = dates[i];
        maybeUsed(planned[i], rng, today, 0.3, 8);
    }

    Cleanup cleanup(dir);
    prepareFolder(dir, office, options);

    // A real question and answer document per type, written once and copied.
    report(options, QStringLiteral("正在写入样板文档……"));
    QMap<QString, QPair<QByteArray, QByteArray>> samples;
    {
        QTemporaryDir scratch;
        const auto word = office.startWord();
        FigureFiles figureFiles;
        for (const QString& type : types) {
            const auto it = std::find_if(storedMathQuestions().begin(), storedMathQuestions().end(),
                                         [&](const DemoQuestion& q) { return q.type == type; });
            const DemoQuestion& q = it != storedMathQuestions().end() ? *it : storedMathQuestions().first();
            const QString qPath = scratch.filePath(QStringLiteral("q.doc"));
            const QString aPath = scratch.filePath(QStringLiteral("a.doc"));
            writeDocument(*word, q.question, qPath, figureFiles);
            writeDocument(*word, q.answer, aPath, figureFiles);
            QFile qf(qPath), af(aPath);
            if (!qf.open(QIODevice::ReadOnly) || !af.open(QIODevice::ReadOnly))
                throw StoreError(QStringLiteral("无法读取样板文档。"));
            samples.insert(type, {qf.readAll(), af.readAll()});
        }
        word->quit();
    }

    const QString bankPath = AppFolder(dir).file(kBankFileName);
    auto writeCopy = [&](const QString& path, const QByteArray& bytes) {
        cleanup.addDocument(path);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            throw StoreError(QStringLiteral("无法写入文件：%1").arg(QDir::toNativeSeparators(path)));
    };
    Summary summary;
    summary.sections = int(catalogue.sections.size());
    summary.points = catalogue.pointCount();
    const int step = std::max(1, int(planned.size()) / 10);
    for (int i = 0; i < planned.size(); ++i) {
        const QString number = numberText(i + 1);
        const auto& sample = samples[planned[i].type];
        writeCopy(questionDocumentPath(bankPath, number), sample.first);
        writeCopy(answerDocumentPath(bankPath, number), sample.second);
        summary.documents += 2;
        if ((i + 1) % step == 0 || i + 1 == planned.size())
            report(options, QStringLiteral("已复制试题文档 %1/%2").arg(summary.documents).arg(planned.size() * 2));
    }

    report(options, QStringLiteral("正在写入题库……"));
    Bank bank(bankPath);
    bank.transaction([&] {
        storeCatalogue(bank, catalogue);
        storeAccountsAndSources(bank, accounts);
        for (int i = 0; i < planned.size(); ++i) {
            const QString number = numberText(i + 1);
            storeQuestion(bank, number, planned[i]);
            StoredQuestion stored{number, planned[i].teacher, nullptr, {}};
            for (const Row& row : planned[i].rows)
                stored.scopes << row.scope;
            summary.stored << stored;
            summary.rows += int(planned[i].rows.size());
        }
    });
    summary.questions = int(planned.size());
    cleanup.dismiss();
    return summary;
}

}  // namespace zs::demo
