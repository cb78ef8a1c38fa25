#include "plan/compositionparameters.h"

#include "store/bank.h"
#include "store/statement.h"
#include "store/textnumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zs {

namespace {

// A whole number held in an int; values beyond its range are clamped (a count
// that large is refused by the checks anyway).
int toInt(double value) {
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, lo, hi));
}

int roundedCount(double value) {
    if (std::isnan(value))
        return 0;
    return toInt(double(roundHalfEven(std::clamp(value, -1e15, 1e15))));
}

}  // namespace

const std::array<QString, kTypeSlotCount>& typeSlotCaptions() {
    static const std::array<QString, kTypeSlotCount> captions = {
        QStringLiteral("单选题"), QStringLiteral("多选题"), QStringLiteral("填空题"), QStringLiteral("判断题"),
        QStringLiteral("计算题"), QStringLiteral("作图题"), QStringLiteral("解答题"), QStringLiteral("作文题")};
    return captions;
}

const std::array<QString, kLevelCount>& levelNames() {
    static const std::array<QString, kLevelCount> names = {QStringLiteral("容易题"), QStringLiteral("较易题"),
                                                           QStringLiteral("中等题"), QStringLiteral("较难题"),
                                                           QStringLiteral("困难题")};
    return names;
}

// ---------------------------------------------------------------- type counts

QString RecountTotal(const std::array<bool, kTypeSlotCount>& ticked,
                     const std::array<QString, kTypeSlotCount>& counts) {
    QString total = QStringLiteral("0");
    for (int i = 0; i < kTypeSlotCount; ++i)
        if (ticked[i])
            total = numberText(leadingNumber(total) + leadingNumber(counts[i]));
    return total;
}

QString countAfterMinus(const QString& count) {
    const double v = leadingNumber(count);
    return v > 0 ? numberText(v - 1) : count;
}

QString countAfterPlus(const QString& count) {
    return numberText(leadingNumber(count) + 1);
}

// ---------------------------------------------------------------- difficulty shares

QString shareLabelText(int scrollValue) {
    return percentText(scrollValue / double(kShareSteps));
}

ShareExcess lowerShareExcess(const std::array<int, kLevelCount>& values, int changed) {
    int sum = 0;
    for (int v : values)
        sum += v;
    ShareExcess result{values[changed], 0};
    // One step per raised change event, as long as the bar can still go down.
    while (sum > kShareSteps && result.value > 0) {
        --result.value;
        --sum;
        ++result.messages;
    }
    return result;
}

QString ShowOverallDifficulty(const std::array<int, kLevelCount>& values) {
    int s = 0;
    for (int v : values)
        s += v;
    float d = 0;
    if (s != 0)
        for (int k = 0; k < kLevelCount; ++k)
            d = float(double(d) + double(values[k] * (2 * k + 1)) / 10.0 / double(s));
    // "0.00": two decimals, halves away from zero. The float times 100 is exact
    // in double precision, so the rounding sees the float's own value.
    const double hundredths = std::floor(double(d) * 100.0 + 0.5);
    return QString::number(hundredths / 100.0, 'f', 2);
}

ShareSum ShowShareTotal(const std::array<QString, kLevelCount>& shareLabels) {
    double sum = 0;
    for (const QString& label : shareLabels)
        sum += leadingNumber(label);
    ShareSum result;
    result.total = roundedCount(sum);
    result.text = percentText(result.total / 100.0);
    return result;
}

bool shareTotalIsComplete(const QString& shareTotalText) {
    return shareTotalText == u"100%";
}

// ---------------------------------------------------------------- parameters

std::array<int, kLevelCount> levelTargets(double totalValue, int totalWanted,
                                          const std::array<float, kLevelCount>& shares) {
    std::array<int, kLevelCount> targets{};
    std::array<float, kLevelCount> remainders{};
    long long running = 0;
    for (int k = 0; k < kLevelCount; ++k) {
        const double product = totalValue * double(shares[k]);
        targets[k] = toInt(std::floor(product));
        remainders[k] = float(product - double(targets[k]));
        running += targets[k];
    }
    while (running < totalWanted) {
        float largest = remainders[0];
        for (int k = 1; k < kLevelCount; ++k)
            if (remainders[k] > largest)
                largest = remainders[k];
        for (int k = 0; k < kLevelCount; ++k) {
            if (remainders[k] == largest) {
                ++targets[k];
                remainders[k] = 0;
                break;
            }
        }
        ++running;
    }
    return targets;
}

QString knowledgePointQuery(const QString& scopePath) {
    QString joined = scopePath;
    joined.remove(u'\\');
    return QStringLiteral("select 知识点 from 教材设置 where [科目] + [教材版本] +[年级] + [上下册] + [章] + [节]= '") +
           sqlValue(joined) + u'\'';
}

QStringList questionAuthors(Bank& bank) {
    return bank.query(QStringLiteral("select distinct 入库教师 from 试题库")).texts(0);
}

QStringList questionSources(Bank& bank) {
    return bank.query(QStringLiteral("select distinct 试题来源 from 试题库")).texts(0);
}

QStringList scopeKnowledgePoints(Bank& bank, const QStringList& scopePaths) {
    QStringList points{QString()};
    for (const QString& path : scopePaths)
        points += bank.query(knowledgePointQuery(path)).texts(0);
    return points;
}

CompositionParameters CollectParameters(const CompositionInputs& inputs, Bank& bank) {
    return CollectParameters(inputs, scopeKnowledgePoints(bank, inputs.ScopePaths));
}

CompositionParameters CollectParameters(const CompositionInputs& inputs, const QStringList& scopeKnowledgePoints) {
    CompositionParameters p;
    p.ScopePaths = inputs.ScopePaths;
    p.ScopeKnowledgePoints = scopeKnowledgePoints;
    if (p.ScopeKnowledgePoints.isEmpty())
        p.ScopeKnowledgePoints << QString();
    const double totalValue = leadingNumber(inputs.totalText);
    p.TotalWanted = roundedCount(totalValue);
    for (int i = 0; i < kTypeSlotCount; ++i)
        p.TypeTargets[i] = inputs.typeTicked[i] ? roundedCount(leadingNumber(inputs.typeCounts[i].trimmed())) : 0;
    for (int k = 0; k < kLevelCount; ++k)
        p.LevelShares[k] = float(leadingNumber(inputs.shareTexts[k]) / 100.0);
    p.LevelTargets = levelTargets(totalValue, p.TotalWanted, p.LevelShares);
    p.AuthorFilter = inputs.AuthorFilter;
    p.SourceFilter = inputs.SourceFilter;
    if (inputs.afterTicked && inputs.beforeTicked)
        p.LastUseRange = DateRange{inputs.afterDate, inputs.beforeDate};
    if (inputs.recentUseTicked && inputs.recentUseDays > 0 && inputs.today.isValid())
        p.UsedSince = recentUseStart(inputs.today, inputs.recentUseDays);
    return p;
}

QDate recentUseStart(const QDate& today, int days) {
    return today.addDays(1 - qint64(std::max(days, 1)));
}

ParameterCheck checkParameters(const CompositionInputs& inputs, const CompositionParameters& parameters) {
    QStringList lines;
    // B, then what the search cannot size (a total below 1 or beyond the
    // largest paper, a negative count), then A, D, E, C.
    const bool totalZero = inputs.totalText == u"0";
    if (totalZero)
        lines << QStringLiteral("*设置的总题数为0！");
    if (!totalZero && parameters.TotalWanted < 1)
        lines << QStringLiteral("*设置的总题数小于1！");
    if (parameters.TotalWanted > kMaxTotalWanted)
        lines << QStringLiteral("*设置的总题数不能超过%1！").arg(kMaxTotalWanted);
    for (int i = 0; i < kTypeSlotCount; ++i)
        if (inputs.typeTicked[i] && leadingNumber(inputs.typeCounts[i]) < 0)
            lines << QStringLiteral("*【%1】的题数不能是负数！").arg(typeSlotCaptions()[i]);
    if (parameters.ScopePaths.isEmpty())
        lines << QStringLiteral("*没有勾选任何【考查范围】！");
    if (parameters.AuthorFilter.isEmpty())
        lines << QStringLiteral("*没有勾选任何【试题作者】！");
    if (parameters.SourceFilter.isEmpty())
        lines << QStringLiteral("*没有勾选任何【试题来源】！");
    if (inputs.shareTotalText != u"100%")
        lines << QStringLiteral("*各难度题数比例的总和小于100%！");

    if (lines.isEmpty())
        return {true, kSearchNotice};
    QString message = kParameterProblemsHeader + QStringLiteral("\r\r");
    for (const QString& line : lines)
        message += QStringLiteral("     ") + line + QStringLiteral("\r\r");
    return {false, message};
}

}  // namespace zs
