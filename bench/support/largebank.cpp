#include "support/largebank.h"

#include "store/bank.h"
#include "store/paths.h"
#include "store/textnumbers.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <random>

namespace zs::bench {

namespace {

const QString kVolume = QStringLiteral("1-初中数学\\1-人教版\\7-七年级\\1-上册");

struct LargeBank {
    QTemporaryDir dir;
    QString path;
    LargeBank() {
        path = QDir(dir.path()).filePath(kBankFileName);
        QDir(dir.path()).mkdir(kDocumentsFolderName);
        Bank::create(path);
        Bank bank(path);
        std::mt19937 random(7);
        bank.transaction([&] {
            for (int c = 1; c <= 20; ++c)
                for (int s = 1; s <= 6; ++s)
                    for (const char* point : {"1-正数", "2-负数", "3-绝对值"})
                        bank.addRow("教材设置", {{"科目", "1-初中数学"},
                                                 {"教材版本", "1-人教版"},
                                                 {"年级", "7-七年级"},
                                                 {"上下册", "1-上册"},
                                                 {"章", QStringLiteral("%1-第%1章").arg(c)},
                                                 {"节", QStringLiteral("%1-第%1节").arg(s)},
                                                 {"知识点", QString::fromUtf8(point)}});
            int rows = 0;
            int questions = 0;
            while (rows < kLargeBankRows) {
                const QString number = questionNumberText(++questions % 32767 + 1);
                const int scopes = 1 + int(random() % 3);
                for (int s = 0; s < scopes && rows < kLargeBankRows; ++s, ++rows)
                    bank.addRow("试题库",
                                {{"题目编号", number},
                                 {"考查范围", largeBankSection(int(random() % 20 + 1), int(random() % 6 + 1))},
                                 {"题型", "单选题"},
                                 {"难度", "0.5"},
                                 {"知识点", "1-正数|2-负数"},
                                 {"试题识别码", "张三-" + number},
                                 {"入库日期", QDate(2026, 1, 1)},
                                 {"入库教师", "张三"}});
            }
        });
    }
};

}  // namespace

const QString& largeBankPath() {
    static LargeBank bank;
    return bank.path;
}

QString largeBankSection(int chapter, int section) {
    return kVolume + QStringLiteral("\\%1-第%1章\\%2-第%2节").arg(chapter).arg(section);
}

}  // namespace zs::bench
