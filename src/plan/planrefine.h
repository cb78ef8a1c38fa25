#pragma once

// Refinement of a plan found by the classic search: a local search with
// single replacements from outside the plan and perturbation to leave local
// minima. A refined plan never holds the same 题目编号 twice.

#include "plan/candidates.h"

#include <chrono>
#include <optional>
#include <random>

namespace zs {

// A plan with its counts, so that the offset change of one slot is found
// without evaluating the whole plan again.
class PlanCounts {
public:
    PlanCounts(const CandidatePool& pool, Plan plan);

    const Plan& plan() const { return plan_; }
    Offset offset() const;
    // The offset the plan would have with `candidate` in `slot`.
    Offset offsetAfterReplace(int slot, int candidate) const;
    void replace(int slot, int candidate);

    // How many slots hold a candidate of type slot t.
    int typeCount(int t) const { return int(typeCount_[t]); }
    // How many slots hold a candidate of this number id.
    int holders(int numberId) const { return numberId < 0 ? 0 : numberCount_[numberId]; }
    // True when putting `candidate` in `slot` keeps every number once in the plan.
    bool keepsNumbersDistinct(int slot, int candidate) const;
    // True when no slot is empty and no number stands twice.
    bool isValid() const;

    // ---- a slot at a time: take the candidate out, try others, put one in
    void vacate(int slot);
    // The offset with `candidate` in the vacated slot.
    Offset offsetWithAdded(int candidate) const;
    void fill(int slot, int candidate);

private:
    void add(int candidate, int sign);

    const CandidatePool* pool_;
    Plan plan_;
    std::array<Offset, kTypeSlotCount> typeCount_{};
    std::array<Offset, kLevelCount> levelCount_{};
    Offset typeSum_ = 0;
    Offset levelSum_ = 0;
    std::vector<int> hits_;
    Offset hitTotal_ = 0;
    Offset squaredHits_ = 0;
    std::vector<int> numberCount_;
};

struct RefineOptions {
    // The time the refinement may take at most.
    std::chrono::microseconds budget{100000};
    // It stops earlier when this many perturbation rounds in a row found no
    // better plan, or when the plan reaches the pool's offsetLowerBound.
    int stallRounds = 1000;
    // The type counts every plan keeps (none: the type counts may move). A
    // start outside them is brought within them first where the candidates allow.
    std::optional<TypeLimits> typeLimits = std::nullopt;
};

struct RefineResult {
    Plan plan;
    Offset offset = 0;
    // False when the candidates hold fewer distinct numbers than slots, so
    // that no plan can hold every number once (the plan is then the start).
    bool valid = false;
    int rounds = 0;
};

// Improves `start` (slots of -1 or repeated numbers are filled first with the
// best candidates whose numbers the plan does not hold). The result's offset
// is never above the start's when the start holds every number once.
RefineResult refinePlan(const CandidatePool& pool, const Plan& start, std::mt19937& random,
                        const RefineOptions& options = {});

}  // namespace zs
