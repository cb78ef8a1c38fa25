#include "plan/planrefine.h"

#include "plan/plansearch.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace zs {

// ---------------------------------------------------------------- PlanCounts

PlanCounts::PlanCounts(const CandidatePool& pool, Plan plan)
    : pool_(&pool), plan_(std::move(plan)), hits_(pool.knowledgePointCount() + 1, 0),
      numberCount_(pool.distinctNumbers(), 0) {
    for (int t = 0; t < kTypeSlotCount; ++t)
        typeSum_ += Offset(pool.typeTargets()[t]) * pool.typeTargets()[t];
    for (int l = 0; l < kLevelCount; ++l)
        levelSum_ += Offset(pool.levelTargets()[l]) * pool.levelTargets()[l];
    for (int r : plan_)
        add(r, +1);
}

void PlanCounts::add(int r, int sign) {
    const CandidatePool& pool = *pool_;
    if (const int t = pool.typeSlot(r); t >= 0) {
        const Offset before = typeCount_[t] - pool.typeTargets()[t];
        typeCount_[t] += sign;
        typeSum_ += (before + sign) * (before + sign) - before * before;
    }
    if (const int l = pool.level(r); l >= 0) {
        const Offset before = levelCount_[l] - pool.levelTargets()[l];
        levelCount_[l] += sign;
        levelSum_ += (before + sign) * (before + sign) - before * before;
    }
    for (const int* k = pool.knowledgeBegin(r); k != pool.knowledgeEnd(r); ++k) {
        const Offset h = hits_[*k];
        squaredHits_ += sign * 2 * h + 1;
        hits_[*k] += sign;
    }
    hitTotal_ += sign * pool.knowledgeHits(r);
    if (const int id = pool.numberId(r); id >= 0)
        numberCount_[id] += sign;
}

Offset PlanCounts::offset() const {
    return 5 * typeSum_ + levelSum_ + 5 * pool_->knowledgeSum(hitTotal_, squaredHits_);
}

Offset PlanCounts::offsetAfterReplace(int slot, int b) const {
    const int a = plan_[slot];
    if (a == b)
        return offset();
    const CandidatePool& pool = *pool_;
    Offset typeSum = typeSum_, levelSum = levelSum_;
    // One less of a's type and level, one more of b's.
    auto shift = [](Offset& sum, int from, int to, const auto& count, const auto& target) {
        if (from == to)
            return;
        if (from >= 0)
            sum += -2 * (count[from] - target[from]) + 1;
        if (to >= 0)
            sum += 2 * (count[to] - target[to]) + 1;
    };
    shift(typeSum, pool.typeSlot(a), pool.typeSlot(b), typeCount_, pool.typeTargets());
    shift(levelSum, pool.level(a), pool.level(b), levelCount_, pool.levelTargets());

    // Knowledge slots: both lists are sorted; each slot changes by b's hits
    // minus a's hits there.
    Offset squared = squaredHits_;
    const int *pa = pool.knowledgeBegin(a), *ea = pool.knowledgeEnd(a);
    const int *pb = pool.knowledgeBegin(b), *eb = pool.knowledgeEnd(b);
    while (pa != ea || pb != eb) {
        const int k = pb == eb || (pa != ea && *pa < *pb) ? *pa : *pb;
        Offset change = 0;
        while (pa != ea && *pa == k)
            --change, ++pa;
        while (pb != eb && *pb == k)
            ++change, ++pb;
        squared += 2 * hits_[k] * change + change * change;
    }
    const Offset hits = hitTotal_ - pool.knowledgeHits(a) + pool.knowledgeHits(b);
    return 5 * typeSum + levelSum + 5 * pool.knowledgeSum(hits, squared);
}

void PlanCounts::replace(int slot, int candidate) {
    vacate(slot);
    fill(slot, candidate);
}

bool PlanCounts::keepsNumbersDistinct(int slot, int candidate) const {
    const int id = pool_->numberId(candidate);
    if (id < 0)
        return true;
    const int own = pool_->numberId(plan_[slot]) == id ? 1 : 0;
    return numberCount_[id] - own == 0;
}

bool PlanCounts::isValid() const {
    for (int r : plan_)
        if (r < 0 || numberCount_[pool_->numberId(r)] != 1)
            return false;
    return true;
}

void PlanCounts::vacate(int slot) {
    add(plan_[slot], -1);
}

Offset PlanCounts::offsetWithAdded(int r) const {
    const CandidatePool& pool = *pool_;
    Offset typeSum = typeSum_, levelSum = levelSum_;
    if (const int t = pool.typeSlot(r); t >= 0)
        typeSum += 2 * (typeCount_[t] - pool.typeTargets()[t]) + 1;
    if (const int l = pool.level(r); l >= 0)
        levelSum += 2 * (levelCount_[l] - pool.levelTargets()[l]) + 1;
    Offset squared = squaredHits_;
    for (const int *k = pool.knowledgeBegin(r), *e = pool.knowledgeEnd(r); k != e;) {
        Offset c = 0;
        const int slot = *k;
        while (k != e && *k == slot)
            ++c, ++k;
        squared += c * (2 * hits_[slot] + c);
    }
    return 5 * typeSum + levelSum + 5 * pool.knowledgeSum(hitTotal_ + pool.knowledgeHits(r), squared);
}

void PlanCounts::fill(int slot, int candidate) {
    plan_[slot] = candidate;
    add(candidate, +1);
}

// ---------------------------------------------------------------- refinement

namespace {

using Clock = std::chrono::steady_clock;

// Candidates that weigh the same in the offset (same type slot, level and
// knowledge slots) form one class; a move is tried once per class.
struct CandidateClasses {
    std::vector<int> representative;  // a member, for type, level and slots
    std::vector<int> memberStart;
    std::vector<int> members;

    explicit CandidateClasses(const CandidatePool& pool) {
        std::vector<int> order(pool.size());
        std::iota(order.begin(), order.end(), 0);
        auto less = [&](int x, int y) {
            if (pool.typeSlot(x) != pool.typeSlot(y))
                return pool.typeSlot(x) < pool.typeSlot(y);
            if (pool.level(x) != pool.level(y))
                return pool.level(x) < pool.level(y);
            return std::lexicographical_compare(pool.knowledgeBegin(x), pool.knowledgeEnd(x), pool.knowledgeBegin(y),
                                                pool.knowledgeEnd(y));
        };
        std::stable_sort(order.begin(), order.end(), less);
        members = order;
        for (int i = 0; i < int(order.size()); ++i) {
            if (i == 0 || less(order[i - 1], order[i])) {
                representative.push_back(order[i]);
                memberStart.push_back(i);
            }
        }
        memberStart.push_back(int(order.size()));
    }
    int size() const { return int(representative.size()); }
};

class Refiner {
public:
    Refiner(const CandidatePool& pool, std::mt19937& random, Clock::time_point deadline, const TypeLimits* limits)
        : pool_(pool), classes_(pool), random_(random), deadline_(deadline), limits_(limits) {}

    bool timeUp() const { return Clock::now() >= deadline_; }

    // A member of class c whose number the plan does not hold, or -1.
    int freeMember(const PlanCounts& state, int c) const {
        for (int i = classes_.memberStart[c]; i < classes_.memberStart[c + 1]; ++i)
            if (state.holders(pool_.numberId(classes_.members[i])) == 0)
                return classes_.members[i];
        return -1;
    }

    // With a slot of type `vacated` taken out: true when a candidate of type
    // `added` in its place keeps the type counts within their limits.
    bool typeAllowed(const PlanCounts& state, int vacated, int added) const {
        if (!limits_ || vacated == added)
            return true;
        if (added < 0 || state.typeCount(added) + 1 > limits_->most[added])
            return false;
        return vacated < 0 || state.typeCount(vacated) >= limits_->least[vacated];
    }

    // With a slot of type `vacated` taken out: the candidate of lowest offset
    // below `bound` whose number is free and whose type keeps the limits, or -1.
    // Only candidates of type `onlyType` when that is given.
    int bestFor(const PlanCounts& state, Offset bound, int vacated, int onlyType = -2) const {
        int best = -1;
        for (int c = 0; c < classes_.size(); ++c) {
            const int type = pool_.typeSlot(classes_.representative[c]);
            if (onlyType != -2 ? type != onlyType : !typeAllowed(state, vacated, type))
                continue;
            const Offset o = state.offsetWithAdded(classes_.representative[c]);
            if (o < bound) {
                if (const int m = freeMember(state, c); m >= 0) {
                    bound = o;
                    best = m;
                }
            }
        }
        return best;
    }

    // Fills empty slots and slots whose number already stands in the plan.
    void repair(PlanCounts& state) const {
        const Plan& plan = state.plan();
        for (int s = 0; s < int(plan.size()); ++s) {
            const int a = plan[s];
            if (a >= 0 && state.holders(pool_.numberId(a)) == 1)
                continue;
            state.vacate(s);
            const int vacated = pool_.typeSlot(a);
            int b = bestFor(state, std::numeric_limits<Offset>::max(), vacated, a >= 0 ? vacated : -2);
            if (b < 0)
                b = bestFor(state, std::numeric_limits<Offset>::max(), vacated);
            state.fill(s, b >= 0 ? b : a);
        }
        repairTypes(state);
    }

    // Moves questions from types above their limits (or of no type slot) to
    // types below theirs, each move the one that costs least, until the
    // counts are within the limits or no move is left.
    void repairTypes(PlanCounts& state) const {
        if (!limits_)
            return;
        const TypeLimits& l = *limits_;
        const int n = int(state.plan().size());
        for (int move = 0; move < 2 * n; ++move) {
            int under = -1;
            for (int t = 0; t < kTypeSlotCount && under < 0; ++t)
                if (state.typeCount(t) < l.least[t])
                    under = t;
            bool over = false;
            for (int s = 0; s < n && !over; ++s) {
                const int t = pool_.typeSlot(state.plan()[s]);
                over = t < 0 || state.typeCount(t) > l.most[t];
            }
            if (under < 0 && !over)
                return;
            // A slot that must go (over its limit) or may go (above its least).
            auto leaves = [&](int t, bool mustOnly) {
                return t < 0 || state.typeCount(t) > (mustOnly ? l.most[t] : l.least[t]);
            };
            int bestSlot = -1, bestCandidate = -1;
            Offset bestOffset = std::numeric_limits<Offset>::max();
            for (int s = 0; s < n; ++s) {
                const int a = state.plan()[s];
                const int ta = pool_.typeSlot(a);
                if (!leaves(ta, over))
                    continue;
                state.vacate(s);
                for (int t = 0; t < kTypeSlotCount; ++t) {
                    if (t == ta || (under >= 0 ? t != under : state.typeCount(t) >= l.most[t]))
                        continue;
                    const int b = bestFor(state, bestOffset, ta, t);
                    if (b >= 0) {
                        bestOffset = state.offsetWithAdded(b);
                        bestSlot = s;
                        bestCandidate = b;
                    }
                }
                state.fill(s, a);
            }
            if (bestSlot < 0)
                return;
            state.replace(bestSlot, bestCandidate);
        }
    }

    // Best single replacement per slot, slots in random order, until a whole
    // pass improves nothing or the time is up.
    void localSearch(PlanCounts& state) {
        const int n = int(state.plan().size());
        std::vector<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        bool improved = true;
        while (improved) {
            improved = false;
            shuffle(order);
            for (int s : order) {
                if (timeUp())
                    return;
                const Offset current = state.offset();
                const int a = state.plan()[s];
                state.vacate(s);
                const int b = bestFor(state, current, pool_.typeSlot(a));
                state.fill(s, b >= 0 ? b : a);
                improved = improved || b >= 0;
            }
        }
    }

    // A few random replacements that keep the numbers distinct: two to four,
    // and more the longer no better plan was found.
    void perturb(PlanCounts& state, int stall) {
        const int n = int(state.plan().size());
        const int moves = std::min(n, 2 + randomBelow(random_, 3) + stall / 16);
        for (int i = 0; i < moves; ++i) {
            const int s = randomBelow(random_, n);
            for (int attempt = 0; attempt < 64; ++attempt) {
                const int r = randomBelow(random_, pool_.size());
                if (r != state.plan()[s] && state.keepsNumbersDistinct(s, r) && keepsTypes(state, s, r)) {
                    state.replace(s, r);
                    break;
                }
            }
        }
    }

private:
    // True when `candidate` in `slot` keeps the type counts within their limits.
    bool keepsTypes(const PlanCounts& state, int slot, int candidate) const {
        if (!limits_)
            return true;
        const int ta = pool_.typeSlot(state.plan()[slot]), tb = pool_.typeSlot(candidate);
        if (ta == tb)
            return true;
        return tb >= 0 && state.typeCount(tb) + 1 <= limits_->most[tb] &&
               (ta < 0 || state.typeCount(ta) - 1 >= limits_->least[ta]);
    }

    void shuffle(std::vector<int>& v) {
        for (int i = int(v.size()) - 1; i > 0; --i)
            std::swap(v[i], v[randomBelow(random_, i + 1)]);
    }

    const CandidatePool& pool_;
    CandidateClasses classes_;
    std::mt19937& random_;
    Clock::time_point deadline_;
    const TypeLimits* limits_;
};

}  // namespace

RefineResult refinePlan(const CandidatePool& pool, const Plan& start, std::mt19937& random,
                        const RefineOptions& options) {
    const Clock::time_point deadline = Clock::now() + options.budget;
    RefineResult result;
    if (start.empty() || pool.size() == 0) {
        result.plan = start;
        result.offset = pool.offset(start);
        result.valid = false;
        return result;
    }
    Refiner refiner(pool, random, deadline, options.typeLimits ? &*options.typeLimits : nullptr);
    PlanCounts current(pool, start);
    refiner.repair(current);
    if (!current.isValid()) {
        result.plan = start;
        result.offset = pool.offset(start);
        result.valid = false;
        return result;
    }
    result.valid = true;
    result.plan = current.plan();
    result.offset = current.offset();

    // No plan can go below this: reaching it ends the refinement.
    Offset floor = pool.offsetLowerBound(int(start.size()));
    if (options.typeLimits)
        floor += options.typeLimits->leastTypeSum(pool.typeTargets(), int(start.size()));
    refiner.localSearch(current);
    if (current.offset() < result.offset) {
        result.plan = current.plan();
        result.offset = current.offset();
    }
    int stall = 0;
    while (result.offset > floor && stall < options.stallRounds && !refiner.timeUp()) {
        PlanCounts trial = current;
        refiner.perturb(trial, stall);
        refiner.localSearch(trial);
        ++result.rounds;
        if (trial.offset() < result.offset) {
            result.plan = trial.plan();
            result.offset = trial.offset();
            stall = 0;
        } else {
            ++stall;
        }
        if (trial.offset() <= current.offset())
            current = std::move(trial);
    }
    return result;
}

}  // namespace zs
