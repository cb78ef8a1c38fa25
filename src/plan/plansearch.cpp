#include "plan/plansearch.h"

#include <algorithm>
#include <stdexcept>

namespace zs {

// ---------------------------------------------------------------- random plans

int randomBelow(std::mt19937& random, int n) {
    // u = draw / 2^32 is uniform in [0, 1); floor(u × n) in integers.
    return int((std::uint64_t(random()) * std::uint64_t(std::max(n, 0))) >> 32);
}

Plan DrawRandomPlan(int candidateCount, int total, std::mt19937& random) {
    if (total > candidateCount)
        throw std::invalid_argument("DrawRandomPlan: more slots than candidates");
    Plan plan;
    if (total <= 0)
        return plan;
    plan.reserve(total);
    std::vector<char> taken(candidateCount, 0);
    for (int slot = 0; slot < total; ++slot) {
        int r = randomBelow(random, candidateCount);
        while (taken[r])
            r = randomBelow(random, candidateCount);
        taken[r] = 1;
        plan.push_back(r);
    }
    return plan;
}

// ---------------------------------------------------------------- the search

QString planResultMessage(Offset bestOffset) {
    return QStringLiteral("已经计算出一套试卷方案，该方案与预设的各参数之间的偏移值为：") +
           QString::number(bestOffset) + QStringLiteral("\r\r备注：偏移值越小，说明越接近预设要求！\r") +
           QStringLiteral("         题库中总体量越大，偏移值就可能会变得比较小！");
}

PlanStatus checkPlanRequest(const CandidatePool& pool, int totalWanted, bool distinctQuestions) {
    if (totalWanted <= 0)
        return PlanStatus::RefusedTotal;
    if (pool.size() < totalWanted || (distinctQuestions && pool.distinctNumbers() < totalWanted))
        return PlanStatus::RefusedTooFew;
    return PlanStatus::Ready;
}

QString refusalMessage(PlanStatus status, int totalWanted) {
    switch (status) {
    case PlanStatus::RefusedTotal:
        return totalWanted == 0 ? kTotalZeroMessage : kTotalBelowOneMessage;
    case PlanStatus::RefusedTooFew:
        return kTooFewCandidatesMessage;
    case PlanStatus::Ready:
        break;
    }
    return {};
}

namespace {

// The numbers held by the two parents, counted per slot, for the mutation's
// "no slot of either parent" test.
class HeldNumbers {
public:
    HeldNumbers(const CandidatePool& pool, const std::array<Plan, 2>& parents)
        : pool_(pool), count_(pool.distinctNumbers(), 0) {
        for (const Plan& p : parents)
            for (int r : p)
                add(r);
    }
    bool isHeld(int r) const { return count_[pool_.numberId(r)] > 0; }
    // True when some candidate's number lies outside both parents.
    bool anyFree() const { return distinct_ < pool_.distinctNumbers(); }
    void add(int r) {
        if (count_[pool_.numberId(r)]++ == 0)
            ++distinct_;
    }
    void remove(int r) {
        if (--count_[pool_.numberId(r)] == 0)
            --distinct_;
    }

private:
    const CandidatePool& pool_;
    std::vector<int> count_;
    int distinct_ = 0;
};

}  // namespace

PlanSearchResult SearchPlan(const CandidatePool& pool, int totalWanted, std::mt19937& random) {
    PlanSearchResult result;
    result.BestOffset = kInitialBestOffset;
    const int n = totalWanted;
    const int m = pool.size();
    result.status = checkPlanRequest(pool, n);
    if (result.status != PlanStatus::Ready) {
        result.message = refusalMessage(result.status, n);
        return result;
    }

    result.BestPlan.assign(n, -1);
    std::array<Plan, 4> population;
    std::array<Offset, 4> offsets{};
    for (int q = 0; q < 4; ++q)
        population[q] = DrawRandomPlan(m, n, random);
    for (int q = 0; q < 4; ++q)
        offsets[q] = pool.offset(population[q]);

    int first = 0;
    for (int q = 0; q < 4; ++q)
        if (offsets[q] < offsets[first])
            first = q;
    int second = randomBelow(random, 4);
    while (second == first)
        second = randomBelow(random, 4);
    for (int q = 0; q < 4; ++q)
        if (q != first && offsets[q] < offsets[second])
            second = q;
    std::array<Plan, 2>& parents = result.parents;
    parents = {population[first], population[second]};

    HeldNumbers held(pool, parents);
    auto mutate = [&](Plan& parent, int slot) {
        if (!held.anyFree())
            return;  // every number is in a parent: this parent stays as it is
        int r = randomBelow(random, m);
        while (held.isHeld(r))
            r = randomBelow(random, m);
        held.remove(parent[slot]);
        parent[slot] = r;
        held.add(r);
    };

    std::array<Plan, 4> children;
    for (Plan& c : children)
        c.resize(n);
    for (int generation = 0; generation < kGenerations; ++generation) {
        const int m0 = randomBelow(random, n);
        const int m1 = randomBelow(random, n);
        mutate(parents[0], m0);
        mutate(parents[1], m1);
        std::array<int, 4> cuts{};
        for (int& c : cuts)
            c = randomBelow(random, n);
        for (int j = 0; j < 4; ++j) {
            const Plan& head = parents[j % 2 == 0 ? 0 : 1];
            const Plan& tail = parents[j % 2 == 0 ? 1 : 0];
            std::copy(head.begin(), head.begin() + cuts[j], children[j].begin());
            std::copy(tail.begin() + cuts[j], tail.end(), children[j].begin() + cuts[j]);
        }
        for (int j = 0; j < 4; ++j) {
            const Offset o = pool.offset(children[j]);
            if (o < result.BestOffset) {
                result.BestOffset = o;
                result.BestPlan = children[j];
            }
        }
    }
    result.message = planResultMessage(result.BestOffset);
    return result;
}

}  // namespace zs
