#pragma once

// The one entry point the intelligent composition screen calls: the candidates
// of the parameters, the classic search, then, unless switched off
// ("精细优化" unticked), the refinement; and the texts the screen shows with
// the result.

#include "plan/planexact.h"
#include "plan/planrefine.h"
#include "plan/plansearch.h"

#include <QString>
#include <functional>
#include <optional>
#include <random>

namespace zs {

class Bank;

inline const QString kPlanHandOverMessage =
    QStringLiteral("<最优组卷方案>已经成功获取！\r\r<双向细目表>马上为你展示！");
// Window caption of the manual composition screen showing the plan.
inline const QString kSmartCompositionCaption = QStringLiteral("智能组卷");

struct ComposeOptions {
    // "精细优化": refine the classic plan (on by default). Off, the result is
    // exactly the classic search's. On, the type counts are hard: the plan
    // holds the asked count of every type the candidates can fill and no type
    // that was not asked (askedTypeLimits), and its offset and bound refer
    // to such plans.
    bool refine = true;
    RefineOptions refinement;
    // After the refinement, prove the best plan with the exact stage (the
    // screen's "精细优化" asks for it); the message then tells how good the plan is.
    bool exact = false;
    ExactOptions exactStage;
    // "同时生成A/B卷": a second plan (the B paper) with no question of the
    // first; with the exact stage the two are optimal together.
    bool twoPapers = false;
};

// The line the result message gains when the exact stage ran: the plan is the
// proven best, or at most `gap` above the best possible.
QString planQualityLine(Offset gap, bool twoPapers = false);
// The line of the B paper's offset in the result message.
QString secondPlanLine(Offset offset);
inline const QString kTooFewForTwoPapersMessage =
    QStringLiteral("对不起，所选考查范围内的题目不够组成两套没有相同题目的A/B卷，无法同时生成A/B卷！");

// What the candidates cannot give: every ticked type and every level whose
// questions (different 题目编号) are fewer than the paper (or both papers)
// ask for, one line each, such as "单选题：需要 10 道，所选范围内只有 6 道。".
QStringList requestShortfalls(const CandidatePool& pool, int papers = 1);
// The question put to the teacher before the search when there are shortfalls
// (OK: compose the closest plan; Cancel: change the request).
QString shortfallQuestion(const QStringList& shortfalls);

// What the candidates hold: the questions (different 题目编号) in all, of
// every type slot and of every level.
struct ScopeCounts {
    int questions = 0;
    std::array<int, kTypeSlotCount> types{};
    std::array<int, kLevelCount> levels{};
};
ScopeCounts scopeCounts(const CandidatePool& pool);
// The same counted in the bank by the candidate statement's conditions
// (throws StoreError); all zero without a scope path.
ScopeCounts scopeCountsInBank(Bank& bank, const CompositionParameters& parameters);
// "共 40 道题。题型：单选题 14 道，填空题 13 道，计算题 13 道；难度：容易题 8 道，…"
// (types and levels of no question left out).
QString scopeCountsText(const ScopeCounts& counts);
// A refusal with what the scope holds: the refusal, a blank line, "所选范围内" + the counts.
QString refusalWithCounts(const QString& refusal, const ScopeCounts& counts);

// The refusal when the ticked types together hold fewer questions than the
// paper (or each of two papers) needs, naming each ticked type's count.
QString askedTypesTooFewMessage(const CandidatePool& pool, int totalWanted, int papers = 1);
// The line the result message gains when the plan's type counts differ from
// the asked ones (types the scope cannot fill): the plan's count of each type.
QString planTypesLine(const CandidatePool& pool, const Plan& plan, int papers = 1);

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
    // Two papers: the B paper's plan and offset.
    Plan SecondPlan;
    Offset SecondOffset = 0;
    // After the exact stage: no plan (no pair of plans, for A/B papers) has a
    // lower offset (sum of offsets) than this.
    std::optional<Offset> bound;
    bool stoppedAtLimit = false;
};

// True when the search will not refuse the request before searching (enough
// candidates, and different questions where the options need them).
bool composable(const CandidatePool& pool, int totalWanted, const ComposeOptions& options);

// The plan search the screen runs after the parameter check passed.
ComposeResult composePlan(const CandidatePool& pool, int totalWanted, std::mt19937& random,
                          const ComposeOptions& options = {});
ComposeResult composePlan(const CandidateTable& candidates, const CompositionParameters& parameters,
                          std::mt19937& random, const ComposeOptions& options = {});

// What the teacher asks of intelligent composition: the parameters the
// screen collected and the options ticked there.
struct CompositionRequest {
    CompositionParameters parameters;
    ComposeOptions options;
};

// The outcome of the whole command: the candidates, the search's result and
// the rows of the best plan.
struct Composition {
    CandidateTable candidates;
    ComposeResult result;
    PlanRows rows;        // the best plan's rows (empty rows where no candidate stands)
    PlanRows secondRows;  // the B paper's rows (two papers only)
};

// The one way into intelligent composition, as the screen runs it: the
// request's candidates are read from the bank once (throws StoreError) and
// measured once; the screen may explain the shortfalls, then the search runs
// on them. The tests and the benchmarks go the same way (composeFromBank).
class PreparedComposition {
public:
    PreparedComposition(const QString& bankPath, CompositionRequest request);

    const CompositionRequest& request() const { return request_; }
    const CandidatePool& pool() const { return pool_; }
    // The types and levels the scope cannot fill, when the refined search
    // would run (the question put to the teacher before it); else empty.
    QStringList shortfalls() const;
    // The search; the candidates move into the result, so it runs once.
    Composition run(std::mt19937& random);

private:
    CompositionRequest request_;
    CandidateTable candidates_;
    CandidatePool pool_;
};

// The whole command on a bank in one call: PreparedComposition, then run.
Composition composeFromBank(const QString& bankPath, const CompositionRequest& request, std::mt19937& random);

}  // namespace zs
