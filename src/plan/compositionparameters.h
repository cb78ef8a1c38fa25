#pragma once

// What an automatically composed paper must satisfy, and the computations the
// intelligent composition screen (Form_znzj) makes on its controls. Everything
// here works on the texts and values the controls show, so the screen only
// moves them between its widgets and these functions.

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace zs {

class Bank;

inline constexpr int kTypeSlotCount = 8;
inline constexpr int kLevelCount = 5;
// The shares are set in steps of 10 %: a scroll bar runs from 0 to 10.
inline constexpr int kShareSteps = 10;
// The largest paper the plan search can size (question numbers are 16-bit).
inline constexpr int kMaxTotalWanted = 32767;

// Captions of the eight type tick boxes Check_tx(0..7); a question belongs to
// slot i when its 题型 equals caption i.
const std::array<QString, kTypeSlotCount>& typeSlotCaptions();
// Names of the five difficulty levels 0 容易题 .. 4 困难题.
const std::array<QString, kLevelCount>& levelNames();

// The last-use date limits: DTPicker_zzzh ("在这之后") and DTPicker_zzzq ("在这之前").
struct DateRange {
    QDate after;
    QDate before;
};

struct CompositionParameters {
    // Full paths of the deepest ticked scope nodes, in tree order.
    QStringList ScopePaths;
    // Slot 0 is an empty text; from slot 1 on the knowledge points of the scope
    // paths in the order found (duplicates stay).
    QStringList ScopeKnowledgePoints{QString()};
    int TotalWanted = 0;
    std::array<int, kTypeSlotCount> TypeTargets{};
    std::array<float, kLevelCount> LevelShares{};
    std::array<int, kLevelCount> LevelTargets{};
    QStringList AuthorFilter;
    QStringList SourceFilter;
    // Present only when both date boxes are ticked.
    std::optional<DateRange> LastUseRange;
    // "近 N 天内用过的题不选": questions last used on or after this day are not
    // candidates (present only when that box is ticked).
    std::optional<QDate> UsedSince;

    // K: the number of knowledge points after slot 0.
    int knowledgePointCount() const { return int(ScopeKnowledgePoints.size()) - 1; }
};

// ---------------------------------------------------------------- type counts

// Label_tszj after a change of a type box or count: the sum of the numeric
// values of the ticked counts, as the shortest decimal text ("0" when none).
QString RecountTotal(const std::array<bool, kTypeSlotCount>& ticked, const std::array<QString, kTypeSlotCount>& counts);
// Text_ts after "-": one less when its numeric value is above 0, else unchanged.
QString countAfterMinus(const QString& count);
// Text_ts after "+": one more (no upper limit).
QString countAfterPlus(const QString& count);

// ---------------------------------------------------------------- difficulty shares

inline const QString kShareExcessMessage = QStringLiteral("各种难度题所占比例总和不能超过：100%");

// Label_ndbl of a scroll-bar value: "00%", "30%", "100%".
QString shareLabelText(int scrollValue);

// What happens when scroll bar `changed` is set and the five values sum past
// 10: the bar is lowered one step at a time, and each step shows
// kShareExcessMessage once (the lowering raises the change event again before
// the message is shown).
struct ShareExcess {
    int value = 0;     // the changed bar's value after the lowering
    int messages = 0;  // how many times the message is shown
};
ShareExcess lowerShareExcess(const std::array<int, kLevelCount>& values, int changed);

// Label_ztnd: Σ value(k) × (2k + 1) / 10 / s accumulated in single precision,
// s the sum of the values (0 when s is 0), formatted "0.00".
QString ShowOverallDifficulty(const std::array<int, kLevelCount>& values);

// ShareTotal (a percentage) and the text of Label_blzj, from the five labels.
struct ShareSum {
    int total = 0;
    QString text;
};
ShareSum ShowShareTotal(const std::array<QString, kLevelCount>& shareLabels);
// Label_blzj is black only when it reads exactly "100%", red otherwise.
bool shareTotalIsComplete(const QString& shareTotalText);

// ---------------------------------------------------------------- parameters

// Wanted questions per difficulty level, together exactly totalWanted, by
// largest remainder over single-precision shares; `totalValue` is the numeric
// value of Label_tszj.
std::array<int, kLevelCount> levelTargets(double totalValue, int totalWanted,
                                          const std::array<float, kLevelCount>& shares);

// The catalogue query of the knowledge points of one scope path.
QString knowledgePointQuery(const QString& scopePath);
// Slot 0 empty, then every non-null knowledge point of each path in order.
QStringList scopeKnowledgePoints(Bank& bank, const QStringList& scopePaths);

// The teachers and the sources of the bank's questions, offered by the filter
// trees of the screen.
QStringList questionAuthors(Bank& bank);
QStringList questionSources(Bank& bank);

// What the screen shows when "计算最优方案" is clicked. The three lists come
// from the trees (the scope tree's deepest ticked paths, the ticked teachers
// and sources).
struct CompositionInputs {
    QStringList ScopePaths;
    std::array<bool, kTypeSlotCount> typeTicked{};
    std::array<QString, kTypeSlotCount> typeCounts;  // Text_ts(i)
    QString totalText = QStringLiteral("0");         // Label_tszj
    std::array<QString, kLevelCount> shareTexts;     // Label_ndbl(k)
    QString shareTotalText = QStringLiteral("00%");  // Label_blzj
    QStringList AuthorFilter;
    QStringList SourceFilter;
    bool afterTicked = false;      // Check_zzzh
    QDate afterDate;               // DTPicker_zzzh
    bool beforeTicked = false;     // Check_zzzq
    QDate beforeDate;              // DTPicker_zzzq
    bool recentUseTicked = false;  // Check_jtnyg
    int recentUseDays = 0;         // Text_jtnyg
    QDate today;                   // the day the recent use is counted back from
};

// The first day of "近 `days` 天": today and the days − 1 days before it.
QDate recentUseStart(const QDate& today, int days);

// Builds the parameters from the screen's values; the knowledge points are read
// from the bank (throws StoreError when that fails).
CompositionParameters CollectParameters(const CompositionInputs& inputs, Bank& bank);
// The same with the knowledge points already known (no bank needed).
CompositionParameters CollectParameters(const CompositionInputs& inputs, const QStringList& scopeKnowledgePoints);

inline const QString kParameterProblemsHeader = QStringLiteral("还有以下参数设置有点问题，请前去设置好了再开始：");
inline const QString kSearchNotice =
    QStringLiteral("计算<最优方案>的时间可能有点长，在这段时间内要稍安勿躁，不要乱点鼠标哦~");

// The verdict on the parameters and the message the screen shows for it: the
// list of problems (passed = false) or the notice that the search starts.
struct ParameterCheck {
    bool passed = false;
    QString message;
};
ParameterCheck checkParameters(const CompositionInputs& inputs, const CompositionParameters& parameters);

}  // namespace zs
