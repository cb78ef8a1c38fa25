#pragma once

// The classic plan search of intelligent composition: the evolutionary search
// for the plan with the lowest offset over a candidate pool.

#include "plan/candidates.h"

#include <QString>
#include <random>

namespace zs {

// A random whole number below n: floor(u × n), u uniform in [0, 1).
int randomBelow(std::mt19937& random, int n);

// `total` distinct candidate indexes below `candidateCount`, drawn in slot
// order (requires total <= candidateCount).
Plan DrawRandomPlan(int candidateCount, int total, std::mt19937& random);

enum class PlanStatus { RefusedTotal, RefusedTooFew, Ready };

inline constexpr Offset kInitialBestOffset = 3000000;
inline constexpr int kGenerations = 5000;

inline const QString kTotalZeroMessage = QStringLiteral("目前设置的试题总数为0，还不能进行智能组卷！");
inline const QString kTotalBelowOneMessage = QStringLiteral("目前设置的试题总数小于1，还不能进行智能组卷！");
inline const QString kTooFewCandidatesMessage =
    QStringLiteral("对不起，所选考查范围内的总题数小于您组卷所需的总题数，无法进行智能组卷！");

// Whether a plan of `totalWanted` slots can be searched for in the pool, and
// if not why: no total, or fewer candidates than slots. With
// `distinctQuestions` the candidates must also hold as many different
// 题目编号 as slots (a plan that never repeats a question).
PlanStatus checkPlanRequest(const CandidatePool& pool, int totalWanted, bool distinctQuestions = false);
// The message of a refusal (empty for Ready).
QString refusalMessage(PlanStatus status, int totalWanted);

// The message that reports a finished search with its offset.
QString planResultMessage(Offset bestOffset);

struct PlanSearchResult {
    PlanStatus status = PlanStatus::RefusedTotal;
    // True after a search ran to its end.
    bool PlanReady() const { return status == PlanStatus::Ready; }
    Plan BestPlan;  // all -1 when no child ever beat the initial BestOffset
    Offset BestOffset = kInitialBestOffset;
    // The refusal or the result message.
    QString message;
    // The two parents as the last generation left them.
    std::array<Plan, 2> parents;
};

// The classic search: four random plans, the two parents chosen once, then
// kGenerations generations of mutation and single-point crossover; only
// children can become BestPlan. When no candidate lies outside both parents the
// mutation leaves that parent unchanged for the generation.
PlanSearchResult SearchPlan(const CandidatePool& pool, int totalWanted, std::mt19937& random);

}  // namespace zs
