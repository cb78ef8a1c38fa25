#include "support/syntheticbank.h"

#include "store/bank.h"
#include "store/textnumbers.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <cmath>
#include <random>

namespace zs::bench {

namespace {

// A pick by weight.
int pick(std::mt19937& random, const std::vector<double>& weights) {
    double total = 0;
    for (double w : weights)
        total += w;
    double u = std::uniform_real_distribution<double>(0, total)(random);
    for (int i = 0; i < int(weights.size()); ++i) {
        if (u < weights[i])
            return i;
        u -= weights[i];
    }
    return int(weights.size()) - 1;
}

bool chance(std::mt19937& random, double p) {
    return std::uniform_real_distribution<double>(0, 1)(random) < p;
}

const QStringList kSubjects = {"1-数学", "2-物理", "3-化学", "4-生物", "5-地理", "6-历史"};
const QStringList kGrades = {"7-七年级", "8-八年级", "9-九年级", "10-高一", "11-高二", "12-高三"};

}  // namespace

BankShape SyntheticBank::shapeFor(int rows) {
    BankShape shape;
    shape.subjects = std::clamp((rows + 24999) / 25000, 1, int(kSubjects.size()));
    return shape;
}

SyntheticBank SyntheticBank::generate(const BankShape& shape, int rowCount, unsigned seed) {
    SyntheticBank bank;
    std::mt19937 random(seed);
    int sectionNumber = 0;
    for (int s = 0; s < shape.subjects; ++s) {
        for (int v = 0; v < shape.volumes; ++v) {
            bank.volumes_.emplace_back();
            const QString grade = kGrades[(v / 2) % kGrades.size()];
            const QString volume = v % 2 == 0 ? "1-上册" : "2-下册";
            for (int c = 0; c < shape.chapters; ++c) {
                bank.chapters_.emplace_back();
                for (int x = 0; x < shape.sections; ++x) {
                    SyntheticSection section;
                    section.chapter = int(bank.chapters_.size()) - 1;
                    section.path = QStringList{kSubjects[s],
                                               "1-人教版",
                                               grade,
                                               volume,
                                               QString("%1-第%1章").arg(c + 1),
                                               QString("%1-第%1节").arg(x + 1)}
                                       .join('\\');
                    const int points = shape.points + (sectionNumber < shape.extraPointSections ? 1 : 0);
                    for (int p = 0; p < points; ++p)
                        section.points << QString("%1-知识点%2.%3").arg(p + 1).arg(sectionNumber + 1).arg(p + 1);
                    bank.chapters_.back().push_back(int(bank.sections_.size()));
                    bank.volumes_.back().push_back(int(bank.sections_.size()));
                    bank.sections_.push_back(section);
                    ++sectionNumber;
                }
            }
        }
    }

    // Some sections have many more questions than others.
    std::vector<double> sectionWeight;
    for (size_t i = 0; i < bank.sections_.size(); ++i)
        sectionWeight.push_back(std::uniform_real_distribution<double>(0.4, 1.6)(random));
    const QStringList types(typeSlotCaptions().begin(), typeSlotCaptions().end());
    const std::vector<double> typeWeight = {30, 6, 22, 6, 14, 4, 16, 2};
    const QStringList difficulties = Bank::defaultDifficulties();
    const std::vector<double> difficultyWeight = {4, 7, 10, 12, 14, 13, 11, 8, 5, 3};

    int question = 0;
    while (int(bank.rows_.size()) < rowCount) {
        ++question;
        const QString number = questionNumberText(question);
        const QString code = "张三-" + number;
        const QString type = types[pick(random, typeWeight)];
        // Now and then a difficulty outside the ten values (old entries).
        const QString difficulty = chance(random, 0.01) ? "0.25" : difficulties[pick(random, difficultyWeight)];
        const int home = pick(random, sectionWeight);
        std::vector<int> filed = {home};
        const std::vector<int>& chapter = bank.chapters_[bank.sections_[home].chapter];
        const int extra = chance(random, 0.17) ? (chance(random, 0.15) ? 2 : 1) : 0;
        for (int e = 0; e < extra && filed.size() < chapter.size(); ++e) {
            int other = chapter[std::uniform_int_distribution<int>(0, int(chapter.size()) - 1)(random)];
            while (std::find(filed.begin(), filed.end(), other) != filed.end())
                other = chapter[std::uniform_int_distribution<int>(0, int(chapter.size()) - 1)(random)];
            filed.push_back(other);
        }
        for (int s : filed) {
            const QStringList& points = bank.sections_[s].points;
            std::vector<double> pointWeight;
            for (int p = 0; p < points.size(); ++p)
                pointWeight.push_back(1.0 / std::sqrt(p + 1.0));
            const int want = std::min(int(points.size()), chance(random, 0.55) ? 1 : chance(random, 0.78) ? 2 : 3);
            QStringList chosen;
            while (chosen.size() < want) {
                const QString& p = points[pick(random, pointWeight)];
                if (!chosen.contains(p))
                    chosen << p;
            }
            bank.rows_.push_back({number, bank.sections_[s].path, type, difficulty, chosen.join('|'), code});
        }
    }
    return bank;
}

QStringList SyntheticBank::pathsOf(const std::vector<int>& sections) const {
    QStringList paths;
    for (int s : sections)
        paths << sections_[s].path;
    return paths;
}

CandidateTable SyntheticBank::candidatesIn(const QStringList& scopePaths) const {
    const QSet<QString> wanted(scopePaths.begin(), scopePaths.end());
    CandidateTable table;
    for (const Candidate& c : rows_)
        if (wanted.contains(c.scope))
            table.push_back(c);
    return table;
}

QStringList SyntheticBank::knowledgePointsOf(const QStringList& scopePaths) const {
    QHash<QString, int> index;
    for (int s = 0; s < int(sections_.size()); ++s)
        index.insert(sections_[s].path, s);
    QStringList points{QString()};
    for (const QString& path : scopePaths)
        if (index.contains(path))
            points += sections_[index[path]].points;
    return points;
}

void SyntheticBank::writeBank(const QString& bankPath) const {
    Bank::create(bankPath);
    Bank bank(bankPath);
    bank.transaction([&] {
        static const QStringList columns = {"科目", "教材版本", "年级", "上下册", "章", "节", "知识点"};
        for (const SyntheticSection& s : sections_) {
            const QStringList names = s.path.split('\\');
            for (const QString& point : s.points) {
                RowValues row;
                for (int i = 0; i < 6; ++i)
                    row << qMakePair(columns[i], QVariant(names[i]));
                row << qMakePair(columns[6], QVariant(point));
                bank.addRow("教材设置", row);
            }
        }
        bank.addRow("试题来源", {{"试题来源", "1-课本"}});
        for (const Candidate& c : rows_)
            bank.addRow("试题库", {{"题目编号", c.number},
                                   {"考查范围", c.scope},
                                   {"题型", c.type},
                                   {"难度", c.difficulty},
                                   {"知识点", c.knowledge},
                                   {"试题识别码", c.code},
                                   {"试题来源", "1-课本"},
                                   {"入库日期", QDate(2024, 3, 7)},
                                   {"入库教师", "张三"}});
    });
}

CompositionParameters requestParameters(const QStringList& scopePaths, const QStringList& knowledgePoints,
                                        const std::array<int, kTypeSlotCount>& typeCounts,
                                        const std::array<int, kLevelCount>& sharePercents) {
    CompositionInputs in;
    in.ScopePaths = scopePaths;
    for (int t = 0; t < kTypeSlotCount; ++t) {
        in.typeTicked[t] = typeCounts[t] > 0;
        in.typeCounts[t] = QString::number(typeCounts[t]);
    }
    in.totalText = RecountTotal(in.typeTicked, in.typeCounts);
    for (int k = 0; k < kLevelCount; ++k)
        in.shareTexts[k] = shareLabelText(sharePercents[k] / 10);
    in.shareTotalText = ShowShareTotal(in.shareTexts).text;
    return CollectParameters(in, knowledgePoints);
}

}  // namespace zs::bench
