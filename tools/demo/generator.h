#pragma once

#include "demo/questionset.h"
#include "office/office.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace zs::demo {

inline constexpr std::uint32_t kDefaultSeed = 20240901;

struct Options {
    std::uint32_t seed = kDefaultSeed;
    // The day the bank is made: entry and use dates lie before it. Invalid means today.
    QDate today;
    // Progress lines for the person waiting (may be empty).
    std::function<void(const QString&)> progress;
};

// A teacher account of the generated banks.
struct Account {
    QString name, password, school, subject, qq;
};
// The two accounts of the demo bank: 张老师 (数学) and 李老师 (物理).
const QList<Account>& demoAccounts();

// One question as it was stored.
struct StoredQuestion {
    QString number;                      // "00001"
    QString teacher;                     // 入库教师
    const DemoQuestion* text = nullptr;  // its content (demo bank only)
    QStringList scopes;                  // 考查范围 of its rows
};

struct Summary {
    int questions = 0;
    int rows = 0;
    int documents = 0;
    int sections = 0;
    int points = 0;
    QList<StoredQuestion> stored;
};

// Why a folder cannot take a new bank (it already holds one, or question
// documents, or is a file), or an empty text.
QString refusalFor(const QString& dir);

// The demo application folder: what --prepare makes, then the catalogue of 人教版
// 初中数学 and 初中物理, the sources, the two demo accounts and every demo question
// with real documents. Throws StoreError (also for a refused folder) or
// OfficeError; on failure the bank and documents made so far are removed.
Summary writeDemoFolder(const QString& dir, Office& office, const Options& options = {});

// A large bank for benchmarks: `rows` question rows (1–3 per question) over a
// made-up catalogue of about a thousand sections, documents copied from a few
// real ones. Numbers beyond 32767 are used when the rows need them.
Summary writeSyntheticFolder(const QString& dir, int rows, Office& office, const Options& options = {});

}  // namespace zs::demo
