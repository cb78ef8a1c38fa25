#pragma once

// A small real bank for the intelligent composition screen: one volume with
// two chapters of two sections each, three knowledge points per section, and
// questions of three types and all difficulties by two teachers from two
// sources; every fifth question is filed under a second section.

#include "store/bank.h"
#include "store/textnumbers.h"
#include "support/testsupport.h"
#include "ui/common/scopetreewidget.h"
#include "ui/compose/Form_znzj.h"

#include <QCheckBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVariant>

namespace zs::test {

inline const QString kVolume = QStringLiteral("1-数学\\1-人教版\\7-七年级\\1-上册");
inline const QStringList kChapters = {QStringLiteral("1-第一章 有理数"), QStringLiteral("2-第二章 整式")};
inline const QList<QStringList> kSections = {{QStringLiteral("1-1.1 正数和负数"), QStringLiteral("2-1.2 有理数")},
                                             {QStringLiteral("1-2.1 整式"), QStringLiteral("2-2.2 整式的加减")}};

inline QString chapterPath(int c) {
    return kVolume + u'\\' + kChapters[c];
}
inline QString sectionPath(int c, int s) {
    return chapterPath(c) + u'\\' + kSections[c][s];
}
inline QString pointOf(int c, int s, int p) {
    return QStringLiteral("%1-知识点%2%3").arg(p + 1).arg(c * 2 + s + 1).arg(p + 1);
}

// Fills the application bank of `app` with the catalogue and `questions`
// questions (numbers 00001 on).
inline void fillCompositionBank(TestApp& app, int questions = 40) {
    Bank bank(app.bankPath());
    const QStringList volume = kVolume.split(u'\\');
    for (int c = 0; c < 2; ++c)
        for (int s = 0; s < 2; ++s)
            for (int p = 0; p < 3; ++p) {
                const QStringList values = volume + QStringList{kChapters[c], kSections[c][s], pointOf(c, s, p)};
                static const QStringList columns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
                RowValues row;
                for (int i = 0; i < values.size(); ++i)
                    row << qMakePair(columns[i], QVariant(values[i]));
                bank.addRow("教材设置", row);
            }
    static const QStringList types = {"单选题", "填空题", "计算题"};
    static const QStringList teachers = {"张三", "李四"};
    static const QStringList sources = {"1-课本", "2-练习册"};
    bank.transaction([&] {
        for (int q = 0; q < questions; ++q) {
            const QString number = questionNumberText(q + 1);
            const int section = q % 4;
            QList<int> filed = {section};
            if (q % 5 == 0)
                filed << (section + 1) % 4;
            for (int f : filed) {
                const int c = f / 2, s = f % 2;
                QString knowledge = pointOf(c, s, q % 3);
                if (q % 4 == 1)
                    knowledge += u'|' + pointOf(c, s, (q + 1) % 3);
                bank.addRow("试题库", {{"题目编号", number},
                                       {"考查范围", sectionPath(c, s)},
                                       {"题型", types[q % 3]},
                                       {"难度", Bank::defaultDifficulties()[(q * 7) % 10]},
                                       {"知识点", knowledge},
                                       {"试题识别码", teachers[q % 2] + "-" + number},
                                       {"试题来源", sources[(q / 2) % 2]},
                                       {"入库日期", QDate(2012, 3, 7)},
                                       {"入库教师", teachers[q % 2]},
                                       {"最后使用日期", q % 3 == 0 ? QVariant() : QVariant(QDate(2013, 1, 1 + q))}});
            }
        }
    });
}

// A one-section bank whose best knowledge coverage lies in types a request
// leaves out: 8 单选题 all on the section's first point, 6 填空题 one on each
// of its six points, 4 解答题 on points 2–5 and one 多选题 on point 6; every
// question 中等 (0.5).
inline void fillUnevenTypeBank(TestApp& app) {
    Bank bank(app.bankPath());
    const QStringList volume = kVolume.split(u'\\');
    QStringList points;
    for (int p = 0; p < 6; ++p) {
        points << pointOf(0, 0, p);
        static const QStringList columns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
        const QStringList values = volume + QStringList{kChapters[0], kSections[0][0], points.last()};
        RowValues row;
        for (int i = 0; i < values.size(); ++i)
            row << qMakePair(columns[i], QVariant(values[i]));
        bank.addRow("教材设置", row);
    }
    int number = 0;
    auto add = [&](const QString& type, const QString& point) {
        const QString n = questionNumberText(++number);
        bank.addRow("试题库", {{"题目编号", n},
                               {"考查范围", sectionPath(0, 0)},
                               {"题型", type},
                               {"难度", QStringLiteral("0.5")},
                               {"知识点", point},
                               {"试题识别码", "张三-" + n},
                               {"试题来源", QStringLiteral("1-课本")},
                               {"入库日期", QDate(2012, 3, 7)},
                               {"入库教师", QStringLiteral("张三")}});
    };
    bank.transaction([&] {
        for (int i = 0; i < 8; ++i)
            add(QStringLiteral("单选题"), points[0]);
        for (int i = 0; i < 6; ++i)
            add(QStringLiteral("填空题"), points[i]);
        for (int i = 1; i <= 4; ++i)
            add(QStringLiteral("解答题"), points[i]);
        add(QStringLiteral("多选题"), points[5]);
    });
}

// Drives the screen through its controls.
class ZnzjDriver {
public:
    explicit ZnzjDriver(Form_znzj& f) : form(f) {}

    template <typename T> T* find(const QString& name) { return test::child<T>(&form, name); }
    QLabel* label(const QString& name) { return find<QLabel>(name); }
    QString text(const QString& name) { return label(name)->text(); }
    ScopeTreeWidget* scopeTree() { return find<ScopeTreeWidget>("TreeView_kcfw"); }
    QTreeWidget* tree(const QString& name) { return find<QTreeWidget>(name); }

    void tickType(int i, int count) {
        form.Check_tx[i]->click();
        form.Text_ts[i]->setText(QString::number(count));
    }
    void setShares(const std::array<int, 5>& tens) {
        for (int k = 0; k < 5; ++k)
            form.HScroll_ndbl[k]->setValue(tens[k]);
    }
    // Ticks or unticks a scope node the way a click on its box does.
    void tickScope(const QString& path, bool ticked = true) {
        const int node = scopeTree()->model().findByPath(path);
        scopeTree()->itemOf(node)->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    }
    bool scopeTicked(const QString& path) {
        const int node = scopeTree()->model().findByPath(path);
        return scopeTree()->itemOf(node)->checkState(0) == Qt::Checked;
    }
    void compute() { find<QPushButton>("Command_jszyfa")->click(); }

    // A typical request over both chapters: 4 单选题, 2 填空题, 2 计算题;
    // shares 20/30/30/10/10 %.
    void typicalRequest() {
        tickScope(chapterPath(0));
        tickScope(chapterPath(1));
        tickType(0, 4);
        tickType(2, 2);
        tickType(4, 2);
        setShares({2, 3, 3, 1, 1});
    }

    Form_znzj& form;
};

}  // namespace zs::test
