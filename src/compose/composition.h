#pragma once

// The one entry point the intelligent composition screen calls: the candidates
// of the parameters, the classic search, then, unless switched off
// ("精细优化" unticked), the refinement; and the texts the screen shows with
// the result.

#include "compose/planrefine.h"
#include "compose/plansearch.h"

#include <QString>
#include <random>

namespace zs {

inline const QString kPlanHandOverMessage =
    QStringLiteral("<最优组卷方案>已经成功获取！\r\r<双向细目表>马上为你展示！");
// SortTrigger of the manual composition screen after intelligent composition.
inline const QString kSmartCompositionTrigger = QStringLiteral("ZhiNengZuJuan");
// Window caption of the manual composition screen showing the plan.
inline const QString kSmartCompositionCaption = QStringLiteral("智能组卷");

struct ComposeOptions {
    // "精细优化": refine the classic plan (on by default). Off, the result is
    // exactly the classic search's.
    bool refine = true;
    RefineOptions refinement;
};

struct ComposeResult {
    PlanStatus status = PlanStatus::RefusedTotal;
    // True after a search ran to its end.
    bool PlanReady() const { return status == PlanStatus::Ready; }
    Plan BestPlan;
    Offset BestOffset = kInitialBestOffset;
    // The refusal or the result message (with the final offset).
    QString message;
    // What the classic stage found (equal to BestOffset without refinement).
    Offset classicOffset = kInitialBestOffset;
};

// The plan search the screen runs after the parameter check passed.
ComposeResult composePlan(const CandidatePool& pool, int totalWanted, std::mt19937& random,
                          const ComposeOptions& options = {});
ComposeResult composePlan(const CandidateTable& candidates, const CompositionParameters& parameters,
                          std::mt19937& random, const ComposeOptions& options = {});

// The whole command on a bank file: the candidates, the search, and the rows
// of the best plan. Throws StoreError when the bank cannot be read.
struct Composition {
    CandidateTable candidates;
    ComposeResult result;
    PlanRows rows;  // the best plan's rows (empty rows where no candidate stands)
};
Composition composeFromBank(const QString& bankPath, const CompositionParameters& parameters, std::mt19937& random,
                            const ComposeOptions& options = {});

}  // namespace zs
