// Twenty teachers on one school bank of 100 000 question rows, through TCP on
// the loopback: each enters, searches, changes and composes for a bounded
// time (ZS_LOAD_SECONDS, 60 by default), while a client is killed in the
// middle of entries now and then. Afterwards the bank is checked: no number
// carried by two questions, no lost, doubled or half-written question, and
// nothing of a killed entry. Reports the counts and the search latencies.

#include "catalogue/numberpool.h"
#include "doubles/privatecluster.h"
#include "plan/candidates.h"
#include "plan/compositionparameters.h"
#include "questions/questionrecord.h"
#include "questions/questionsearch.h"
#include "store/bank.h"
#include "store/paths.h"
#include "store/serverdocuments.h"
#include "store/serverlocation.h"
#include "support/benchmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

using namespace zs;
using zs::test::PrivateCluster;

// ZS_LOAD_TEACHERS changes the number of teachers (to compare with one alone).
const int kTeachers =
    qEnvironmentVariableIsSet("ZS_LOAD_TEACHERS") ? qEnvironmentVariableIntValue("ZS_LOAD_TEACHERS") : 20;
constexpr int kRows = 100000;
constexpr int kRowsPerQuestion = 4;
constexpr int kSections = 40;

QString section(int i) {
    return QStringLiteral("1-数学\\1-人教版\\7-七年级\\1-上册\\%1-第%1章\\%2-第%2节").arg(i / 4 + 1).arg(i % 4 + 1);
}

// 25 000 questions of four rows each, their documents, made on the server.
void fillBank(const QString& location) {
    Bank bank(location);
    bank.transaction([&] {
        for (int i = 0; i < kSections; ++i) {
            const QStringList parts = section(i).split(u'\\');
            for (int k = 1; k <= 3; ++k)
                bank.addRow(QStringLiteral("教材设置"), {{"科目", parts[0]},
                                                         {"教材版本", parts[1]},
                                                         {"年级", parts[2]},
                                                         {"上下册", parts[3]},
                                                         {"章", parts[4]},
                                                         {"节", parts[5]},
                                                         {"知识点", QStringLiteral("%1-知识点%1").arg(k)}});
        }
        QStringList scopes;
        for (int i = 0; i < kSections; ++i)
            scopes << u'\'' + section(i) + u'\'';
        // Bound, not translated: the statement is the server's own (ARRAY[…]).
        bank.executeBound(
            QStringLiteral(
                "INSERT INTO \"试题库\" (\"题目编号\", \"考查范围\", \"题型\", \"难度\", \"知识点\", "
                "\"试题识别码\", \"入库日期\", \"入库教师\") SELECT lpad((g / %1 + 1)::text, 5, '0'), "
                "(ARRAY[%2])[mod(g / %1 + mod(g, %1), %3) + 1], (ARRAY['单选题','填空题','解答题'])[mod(g / %1, 3) + "
                "1], "
                "'0.' || (mod(g / %1, 9) + 1), '1-知识点1|2-知识点2', '老教师-' || lpad((g / %1 + 1)::text, 5, "
                "'0'), DATE '2024-03-07', '老教师' FROM generate_series(0, %4) AS g")
                .arg(kRowsPerQuestion)
                .arg(scopes.join(u','))
                .arg(kSections)
                .arg(kRows - 1),
            {});
        bank.executeBound(
            QStringLiteral("INSERT INTO \"试题文档\" (\"文件名\", \"内容\") SELECT lpad(g::text, 5, '0') || "
                           "s, convert_to(repeat('文档', 100), 'UTF8') FROM generate_series(1, %1) AS g, "
                           "(VALUES ('-题目.doc'), ('-答案.doc')) AS d(s)")
                .arg(kRows / kRowsPerQuestion),
            {});
    });
}

struct Latencies {
    std::mutex guard;
    std::vector<double> search, first;
    void add(double s, double f) {
        std::lock_guard lock(guard);
        search.push_back(s);
        first.push_back(f);
    }
};

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

struct Entered {
    QString number, code;
};

struct Counts {
    std::atomic<int> entries{0}, searches{0}, changes{0}, refusedChanges{0}, compositions{0}, failures{0}, killed{0},
        numbersUsedUp{0};
};

void writeDocuments(const QString& location, const QString& number, const QString& teacher) {
    for (const QString& path : {questionDocumentPath(location, number), answerDocumentPath(location, number)}) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write((teacher + QStringLiteral(" 的试题 ") + number).toUtf8());
    }
}

void teacher(int id, const QString& location, qint64 deadline, Counts& counts, Latencies& latencies,
             std::vector<Entered>& entered) {
    std::mt19937 random(unsigned(1000 + id));
    const QString name = QStringLiteral("老师%1").arg(id);
    NumberPool pool;
    QElapsedTimer clock;
    clock.start();
    // The bank's 25 000 questions leave 7 767 numbers: a fast run may use them
    // up, and the teacher goes on without entering.
    bool numbersLeft = true;
    while (clock.elapsed() < deadline) {
        const int action = int(random() % 10);
        try {
            if (action < 4) {
                if (!numbersLeft)
                    continue;
                // Entry: the lowest number of the teacher's pool.
                int slot = 1;
                while (slot <= NumberPool::kSlots && pool.isEmpty(slot))
                    ++slot;
                if (slot > NumberPool::kSlots) {
                    if (!refillNumberPool(pool, location).completed) {
                        numbersLeft = false;
                        ++counts.numbersUsedUp;
                        continue;
                    }
                    slot = 1;
                }
                QuestionRecord r;
                r.number = pool.slot(slot);
                pool.setSlot(slot, QString());
                r.code = makeIdentificationCode(name, r.number);
                r.type = QStringLiteral("单选题");
                r.difficulty = QStringLiteral("0.5");
                r.date = QDate(2024, 9, 1);
                r.teacher = name;
                const int s = int(random() % kSections);
                r.scopes = {{section(s), QStringLiteral("1-知识点1")}, {section((s + 1) % kSections), "2-知识点2"}};
                writeDocuments(location, r.number, name);
                Bank bank(location);
                addQuestion(bank, r);
                entered.push_back({r.number, r.code});
                ++counts.entries;
            } else if (action < 7) {
                // Search, then show the first question with its documents.
                SearchConditions c;
                c.scopePath = section(int(random() % kSections));
                c.type = QStringLiteral("单选题");
                QElapsedTimer t;
                t.start();
                Bank bank(location);
                QuestionBrowser browser;
                browser.search(bank, BuildSearchQuery(c));
                const double searched = double(t.nsecsElapsed()) / 1e6;
                if (browser.results.hasCurrent()) {
                    const DisplayedQuestion shown = loadDisplayedQuestion(bank, browser.results);
                    fetchDocuments(bank, {shown.number});
                }
                latencies.add(searched, double(t.nsecsElapsed()) / 1e6);
                ++counts.searches;
            } else if (action < 9) {
                // A change of a question entered by anybody: found by its code.
                QString code;
                if (!entered.empty() && random() % 2 == 0)
                    code = entered[random() % entered.size()].code;
                else
                    code = QStringLiteral("老教师-%1").arg(int(random() % 25000 + 1), 5, 10, QChar(u'0'));
                Bank bank(location);
                ResultSet results;
                results.load(bank, questionByCodeQuery(code));
                if (!results.hasCurrent())
                    continue;
                const DisplayedQuestion shown = loadDisplayedQuestion(bank, results);
                QuestionRecord r;
                r.number = shown.number;
                r.code = shown.code;
                r.type = random() % 2 ? QStringLiteral("填空题") : QStringLiteral("单选题");
                r.difficulty = shown.difficulty;
                r.date = QDate(2024, 9, 1);
                r.teacher = name;
                r.scopes = shown.scopes;
                r.revision = shown.revision;
                try {
                    replaceQuestion(bank, r);
                    ++counts.changes;
                } catch (const StoreError& e) {
                    if (e.message() != kChangedByOtherMessage)
                        throw;
                    ++counts.refusedChanges;
                }
            } else {
                // Composing: the candidates of three sections, then the use of ten questions.
                CompositionParameters p;
                for (int k = 0; k < 3; ++k)
                    p.ScopePaths << section(int(random() % kSections));
                Bank bank(location);
                const CandidateTable candidates = BuildCandidates(bank, p);
                bank.transaction([&] {
                    for (size_t k = 0; k < std::min<size_t>(10, candidates.size()); ++k)
                        bank.executeBound(QStringLiteral("UPDATE \"试题库\" SET \"最后使用日期\" = ?, \"使用次数\" = "
                                                         "coalesce(\"使用次数\", 0) + 1 WHERE \"题目编号\" = ?"),
                                          {QDate(2024, 9, 2), candidates[k * 7 % candidates.size()].number});
                });
                ++counts.compositions;
            }
        } catch (const StoreError& e) {
            ++counts.failures;
            std::fprintf(stderr, "老师%d: %s\n", id, qUtf8Printable(e.message() + u' ' + e.details()));
        }
    }
}

// The number of the n-th entry cut off: reserved before the run for no
// teacher's pool, so that rows carrying it after the run are its own.
QString killedNumber(int n) {
    return QStringLiteral("%1").arg(30000 + n, 5, 10, QChar(u'0'));
}

// An entry whose client dies between its rows: the server ends the connection
// in the middle of the transaction. Returns the number it was entering.
QString killedEntry(const QString& location, PrivateCluster& cluster, int n) {
    const QString number = killedNumber(n);
    try {
        Bank bank(location);
        bank.transaction([&] {
            bank.addRow(QStringLiteral("试题库"), {{"题目编号", number}, {"试题识别码", "被中断-" + number}});
            const QString pid = bank.query(QStringLiteral("select pg_backend_pid()")).text(0, 0);
            cluster.administer(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid));
            bank.addRow(QStringLiteral("试题库"), {{"题目编号", number}, {"试题识别码", "被中断-" + number}});
        });
    } catch (const StoreError&) {
        // The connection is gone: what the client saw.
    }
    return number;
}

// A private server on the loopback with a filled school bank, and the local
// cache its documents are fetched into.
struct FilledSchoolBank {
    PrivateCluster cluster;
    QTemporaryDir cache;
    QString location;

    // False (and the benchmark skipped) when no server starts.
    bool start(benchmark::State& state) {
        cluster.listenOnLoopback(20000 + int(::getpid() % 20000));
        QString error;
        if (!cluster.start(&error)) {
            state.SkipWithError(qPrintable(QStringLiteral("no PostgreSQL: ") + error));
            return false;
        }
        setServerCacheRoot(cache.path());
        location = cluster.loopbackLocation(ServerLocation::parse(cluster.newDatabase()).database);
        Bank::create(location);
        fillBank(location);
        return true;
    }
};

void BM_TwentyTeachersOnASchoolBank(benchmark::State& state) {
    const int seconds =
        qEnvironmentVariableIsSet("ZS_LOAD_SECONDS") ? qEnvironmentVariableIntValue("ZS_LOAD_SECONDS") : 60;
    FilledSchoolBank school;
    if (!school.start(state))
        return;
    PrivateCluster& cluster = school.cluster;
    const QString& location = school.location;
    {
        Bank bank(location);
        for (int k = 0; k < 5; ++k)
            bank.addRow(QStringLiteral("题目编号预留"), {{"题目编号", killedNumber(k)}, {"预留者", "中断的录入"}});
    }

    Counts counts;
    Latencies latencies;
    std::vector<std::vector<Entered>> entered(kTeachers);
    QStringList killedNumbers;
    for (auto _ : state) {
        std::vector<std::thread> threads;
        for (int i = 0; i < kTeachers; ++i)
            threads.emplace_back(teacher, i + 1, location, qint64(seconds) * 1000, std::ref(counts),
                                 std::ref(latencies), std::ref(entered[i]));
        for (int k = 0; k < 5; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(seconds * 1000 / 6));
            killedNumbers << killedEntry(location, cluster, k);
            ++counts.killed;
        }
        for (std::thread& t : threads)
            t.join();
    }

    // The bank after the run.
    Bank bank(location);
    int problems = 0;
    const RowSet shared =
        bank.query(QStringLiteral("select 题目编号 from 试题库 group by 题目编号 having count(distinct "
                                  "试题识别码) > 1"));
    for (int r = 0; r < shared.count(); ++r)
        std::fprintf(stderr, "number %s carried by two questions\n", qUtf8Printable(shared.text(r, 0)));
    problems += shared.count();
    int total = 0;
    for (const auto& list : entered)
        for (const Entered& e : list) {
            const RowSet rows =
                bank.query(QStringLiteral("select 试题识别码 from 试题库 where 题目编号='") + e.number + u'\'');
            const RowSet documents = bank.query(QStringLiteral("select 文件名 from 试题文档 where 文件名 like '") +
                                                e.number + QStringLiteral("-%'"));
            if (rows.count() != 2 || rows.text(0, 0) != e.code || documents.count() != 2) {
                std::fprintf(stderr, "question %s (%s): %d rows, first code %s, %d documents\n",
                             qUtf8Printable(e.number), qUtf8Printable(e.code), int(rows.count()),
                             qUtf8Printable(rows.text(0, 0)), int(documents.count()));
                ++problems;
            }
            ++total;
        }
    const int rows = bank.query(QStringLiteral("select count(*) from 试题库")).value(0, 0).toInt();
    if (rows != kRows + 2 * total) {
        std::fprintf(stderr, "%d question rows, %d expected\n", rows, kRows + 2 * total);
        ++problems;
    }
    for (const QString& n : killedNumbers)
        if (const int left = bank.query(QStringLiteral("select * from 试题库 where 题目编号='") + n + u'\'').count()) {
            std::fprintf(stderr, "killed entry %s left %d rows\n", qUtf8Printable(n), left);
            problems += left;
        }

    state.counters["entries"] = double(counts.entries.load());
    state.counters["searches"] = double(counts.searches.load());
    state.counters["changes"] = double(counts.changes.load());
    state.counters["refused"] = double(counts.refusedChanges.load());
    state.counters["compositions"] = double(counts.compositions.load());
    state.counters["failures"] = double(counts.failures.load());
    state.counters["killed"] = double(counts.killed.load());
    state.counters["numbers_used_up"] = double(counts.numbersUsedUp.load());
    state.counters["problems"] = problems;
    state.counters["search_p50_ms"] = percentile(latencies.search, 0.5);
    state.counters["search_p95_ms"] = percentile(latencies.search, 0.95);
    state.counters["first_p95_ms"] = percentile(latencies.first, 0.95);
    closeServerConnections();
    cluster.stop();
}
BENCHMARK(BM_TwentyTeachersOnASchoolBank)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

double median(std::vector<double> v) {
    return percentile(std::move(v), 0.5);
}

// One teacher's search on the idle bank, phase by phase: opening the bank
// (a new connection, then one kept from the last operation), translating the
// statement, running it on the server, reading its rows, showing the first
// question and fetching its documents. Prints the server's plan once.
void BM_OneSearchByPhase(benchmark::State& state) {
    FilledSchoolBank school;
    if (!school.start(state))
        return;
    PrivateCluster& cluster = school.cluster;
    const QString& location = school.location;
    {
        Bank bank(location);
        bank.execute(QStringLiteral("ANALYZE"));
    }

    SearchConditions c;
    c.scopePath = section(17);
    c.type = QStringLiteral("单选题");
    const QString statement = BuildSearchQuery(c);
    {
        Bank bank(location);
        const RowSet plan = bank.query(QStringLiteral("EXPLAIN (ANALYZE, BUFFERS) ") + statement);
        std::fprintf(stderr, "%s\n", qUtf8Printable(toPostgres(statement)));
        for (int r = 0; r < plan.count(); ++r)
            std::fprintf(stderr, "  %s\n", qUtf8Printable(plan.text(r, 0)));
    }

    std::vector<double> newOpen, newFirst, keptOpen, translate, server, whole, first, documents;
    int found = 0;
    auto since = [](QElapsedTimer& t) {
        const double ms = double(t.nsecsElapsed()) / 1e6;
        t.restart();
        return ms;
    };
    for (auto _ : state) {
        for (int i = 0; i < 30; ++i) {
            // A new connection, and its first statement (the server process
            // reads the tables' descriptions for it).
            closeServerConnections();
            QElapsedTimer t;
            t.start();
            {
                Bank bank(location);
                newOpen.push_back(since(t));
                bank.query(statement);
                newFirst.push_back(since(t));
            }
            t.restart();
            Bank bank(location);
            keptOpen.push_back(since(t));
            const QString translated = toPostgres(statement);
            translate.push_back(since(t));
            {
                // The statement alone on the same connection: the server's work
                // and the transfer, without the rows made into values.
                QSqlQuery q(QSqlDatabase::database(
                    QSqlDatabase::connectionNames().filter(QStringLiteral("zs-bank-")).value(0), false));
                q.setForwardOnly(true);
                t.restart();
                q.exec(translated);
                while (q.next()) {
                }
                server.push_back(since(t));
            }
            t.restart();
            QuestionBrowser browser;
            browser.search(bank, statement);
            whole.push_back(since(t));
            found = browser.results.count();
            const DisplayedQuestion shown = loadDisplayedQuestion(bank, browser.results);
            first.push_back(since(t));
            fetchDocuments(bank, {shown.number});
            documents.push_back(since(t));
        }
    }
    state.counters["rows"] = found;
    state.counters["open_new_ms"] = median(newOpen);
    state.counters["first_statement_new_ms"] = median(newFirst);
    state.counters["open_kept_ms"] = median(keptOpen);
    state.counters["translate_ms"] = median(translate);
    state.counters["server_ms"] = median(server);
    state.counters["query_ms"] = median(whole);
    state.counters["first_question_ms"] = median(first);
    state.counters["documents_ms"] = median(documents);
    closeServerConnections();
    cluster.stop();
}
BENCHMARK(BM_OneSearchByPhase)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return zs::bench::runBenchmarks(argc, argv);
}
