#include "plan/planexact.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

namespace zs {

namespace {

using Clock = std::chrono::steady_clock;

constexpr Offset kNoBound = std::numeric_limits<Offset>::max();

// The largest r with weight × r² <= slack.
Offset allowedDeviation(Offset slack, int weight) {
    if (slack < 0)
        return -1;
    Offset r = Offset(std::sqrt(double(slack) / weight));
    while (weight * (r + 1) * (r + 1) <= slack)
        ++r;
    while (r > 0 && weight * r * r > slack)
        --r;
    return r;
}

Offset square(Offset x) {
    return x * x;
}

}  // namespace

// ---------------------------------------------------------------- ExactPool

ExactPool::ExactPool(const CandidatePool& pool) : pool_(pool) {
    const int m = pool.size();
    classOf_.resize(m);
    std::map<std::tuple<int, int, std::vector<int>>, int> classIndex;
    for (int r = 0; r < m; ++r) {
        std::vector<int> hitSlots(pool.knowledgeBegin(r), pool.knowledgeEnd(r));
        auto key = std::make_tuple(pool.typeSlot(r), pool.level(r), hitSlots);
        const auto [it, added] = classIndex.try_emplace(std::move(key), int(classes_.size()));
        if (added)
            classes_.push_back({pool.typeSlot(r), pool.level(r), std::move(hitSlots)});
        classOf_[r] = it->second;
    }

    // The classes of every question, with one candidate row for each.
    std::vector<std::vector<std::pair<int, int>>> ofNumber(pool.distinctNumbers());
    for (int r = 0; r < m; ++r) {
        auto& list = ofNumber[pool.numberId(r)];
        const int c = classOf_[r];
        if (std::none_of(list.begin(), list.end(), [c](const auto& e) { return e.first == c; }))
            list.emplace_back(c, r);
    }
    std::map<std::vector<int>, int> groupIndex;
    groupOfNumber_.assign(pool.distinctNumbers(), -1);
    for (int id = 0; id < int(ofNumber.size()); ++id) {
        auto& list = ofNumber[id];
        if (list.empty())
            continue;
        std::sort(list.begin(), list.end());
        std::vector<int> key;
        for (const auto& e : list)
            key.push_back(e.first);
        const auto [it, added] = groupIndex.try_emplace(key, int(groups_.size()));
        if (added)
            groups_.push_back({key, {}, {}});
        Group& g = groups_[it->second];
        g.numbers.push_back(id);
        for (const auto& e : list)
            g.rows.push_back(e.second);
        groupOfNumber_[id] = it->second;

        std::array<bool, kTypeSlotCount> types{};
        std::array<bool, kLevelCount> levels{};
        for (const auto& e : list) {
            const Class& c = classes_[e.first];
            if (c.type >= 0)
                types[c.type] = true;
            if (c.level >= 0)
                levels[c.level] = true;
        }
        for (int t = 0; t < kTypeSlotCount; ++t)
            typeQuestions_[t] += types[t];
        for (int l = 0; l < kLevelCount; ++l)
            levelQuestions_[l] += levels[l];
    }

    std::vector<char> hit(pool.knowledgePointCount() + 1, 0);
    for (const Class& c : classes_)
        for (int s : c.hitSlots)
            hit[s] = 1;
    hittable_ = int(std::count(hit.begin(), hit.end(), 1));
    sortedHits_.resize(m);
    for (int r = 0; r < m; ++r)
        sortedHits_[r] = pool.knowledgeHits(r);
    std::sort(sortedHits_.begin(), sortedHits_.end());
}

std::pair<Offset, Offset> ExactPool::hitRange(int total) const {
    const int m = int(sortedHits_.size());
    total = std::clamp(total, 0, m);
    Offset fewest = 0, most = 0;
    for (int i = 0; i < total; ++i) {
        fewest += sortedHits_[i];
        most += sortedHits_[m - 1 - i];
    }
    return {fewest, most};
}

// ---------------------------------------------------------------- ExactModel

namespace {

// The totals of knowledge hits whose rounded mean is `mean`, within [lo, hi].
std::pair<Offset, Offset> bandOf(const CandidatePool& pool, Offset mean, Offset lo, Offset hi) {
    const Offset k = pool.knowledgePointCount();
    Offset first = std::max(lo, k * mean - k), last = std::min(hi, k * mean + k);
    while (first <= last && pool.knowledgeMean(first) != mean)
        ++first;
    while (last >= first && pool.knowledgeMean(last) != mean)
        --last;
    return {first, last};
}

}  // namespace

void ExactModel::addDeviation(std::vector<Deviation>& list, Offset lo, Offset hi, Offset target, int weight,
                              std::vector<std::pair<int, double>> members) {
    if (lo > hi) {
        possible_ = false;
        return;
    }
    Deviation d;
    d.target = target;
    d.weight = weight;
    d.column = problem_.addColumn(double(lo), double(hi), 0, true);
    std::vector<std::pair<int, double>> link = members;
    link.emplace_back(d.column, -1.0);
    problem_.addRow(link, 0, 0);
    // f(x) = (x − target)²; the epigraph's lowest value is f at the point of
    // [lo, hi] nearest the target.
    const Offset nearest = std::clamp(target, lo, hi);
    d.epigraph = problem_.addColumn(double(square(nearest - target)), MipProblem::kInfinity, weight, false);
    for (Offset v = lo; v < hi; ++v) {
        // The chord from v to v + 1: f(v) + (2(v − target) + 1)(x − v).
        const Offset slope = 2 * (v - target) + 1;
        problem_.addRow({{d.epigraph, 1.0}, {d.column, -double(slope)}}, double(square(v - target) - slope * v),
                        MipProblem::kInfinity);
    }
    d.members = std::move(members);
    list.push_back(std::move(d));
}

ExactModel::ExactModel(const ExactPool& pool, int total, const std::vector<Offset>& means, Offset upperBound,
                       const TypeLimits* typeLimits)
    : pool_(pool), total_(total), plans_(int(means.size())) {
    const CandidatePool& cp = pool.pool();
    const int k = cp.knowledgePointCount();
    const auto& classes = pool.classes();
    const auto& groups = pool.groups();
    // Only plans strictly better than the bound matter: offsets are whole numbers.
    const Offset slack = upperBound == kNoBound ? kNoBound : upperBound - 1;
    const Offset r5 = slack == kNoBound ? Offset(total) * 64 : allowedDeviation(slack, 5);
    const Offset r1 = slack == kNoBound ? Offset(total) * 64 : allowedDeviation(slack, 1);

    zStart_.assign(plans_, std::vector<int>(groups.size()));
    deviations_.resize(plans_);
    // Per class, the z columns of each plan.
    std::vector<std::vector<std::vector<int>>> zOfClass(plans_, std::vector<std::vector<int>>(classes.size()));
    for (int p = 0; p < plans_; ++p) {
        std::vector<std::pair<int, double>> all;
        for (int g = 0; g < int(groups.size()); ++g) {
            const auto& group = groups[g];
            const double most = double(std::min<size_t>(group.numbers.size(), size_t(total)));
            zStart_[p][g] = problem_.columns();
            for (int c : group.classes) {
                // With type limits a candidate of no type slot has no place.
                const bool typed = !typeLimits || classes[c].type >= 0;
                const int z = problem_.addColumn(0, typed ? most : 0, 0, true);
                zOfClass[p][c].push_back(z);
                all.emplace_back(z, 1.0);
            }
        }
        problem_.addRow(all, total, total);
    }
    // No question more often than it exists (in one plan or across plans).
    for (int g = 0; g < int(groups.size()); ++g) {
        const auto& group = groups[g];
        if (plans_ == 1 && group.classes.size() == 1)
            continue;  // its column's bound says it
        std::vector<std::pair<int, double>> terms;
        for (int p = 0; p < plans_; ++p)
            for (int i = 0; i < int(group.classes.size()); ++i)
                terms.emplace_back(zStart_[p][g] + i, 1.0);
        problem_.addRow(terms, 0, double(group.numbers.size()));
    }

    for (int p = 0; p < plans_ && possible_; ++p) {
        // Types: 5 × (count − target)².
        for (int t = 0; t < kTypeSlotCount && possible_; ++t) {
            const Offset target = cp.typeTargets()[t];
            std::vector<std::pair<int, double>> members;
            for (int c = 0; c < int(classes.size()); ++c)
                if (classes[c].type == t)
                    for (int z : zOfClass[p][c])
                        members.emplace_back(z, 1.0);
            if (members.empty()) {
                if (typeLimits && typeLimits->least[t] > 0)
                    possible_ = false;
                constant_ += 5 * square(target);
                continue;
            }
            Offset lo = std::max<Offset>(0, target - r5);
            Offset hi = std::min<Offset>({total, pool.questionsOfType(t), target + r5});
            if (typeLimits) {
                lo = std::max<Offset>(lo, typeLimits->least[t]);
                hi = std::min<Offset>(hi, typeLimits->most[t]);
            }
            addDeviation(deviations_[p], lo, hi, target, 5, std::move(members));
        }
        // Levels: (count − target)².
        for (int l = 0; l < kLevelCount && possible_; ++l) {
            const Offset target = cp.levelTargets()[l];
            std::vector<std::pair<int, double>> members;
            for (int c = 0; c < int(classes.size()); ++c)
                if (classes[c].level == l)
                    for (int z : zOfClass[p][c])
                        members.emplace_back(z, 1.0);
            if (members.empty()) {
                constant_ += square(target);
                continue;
            }
            const Offset hi = std::min<Offset>({total, pool.questionsOfLevel(l), target + r1});
            addDeviation(deviations_[p], std::max<Offset>(0, target - r1), hi, target, 1, std::move(members));
        }
        if (k == 0 || !possible_)
            continue;
        // Knowledge slots: 5 × (hits − mean)², and the band of the mean.
        const Offset mean = means[p];
        std::vector<std::vector<std::pair<int, double>>> slotMembers(k + 1);
        std::vector<Offset> most(k + 1, 0);
        std::vector<std::pair<int, double>> hits;
        for (int c = 0; c < int(classes.size()); ++c) {
            const auto& hitSlots = classes[c].hitSlots;
            for (size_t i = 0; i < hitSlots.size();) {
                size_t j = i;
                while (j < hitSlots.size() && hitSlots[j] == hitSlots[i])
                    ++j;
                for (int z : zOfClass[p][c])
                    slotMembers[hitSlots[i]].emplace_back(z, double(j - i));
                most[hitSlots[i]] = std::max<Offset>(most[hitSlots[i]], Offset(j - i));
                i = j;
            }
            if (!hitSlots.empty())
                for (int z : zOfClass[p][c])
                    hits.emplace_back(z, double(hitSlots.size()));
        }
        for (int s = 0; s <= k && possible_; ++s) {
            if (slotMembers[s].empty()) {
                constant_ += 5 * square(mean);
                continue;
            }
            const Offset hi = std::min<Offset>(most[s] * total, mean + r5);
            addDeviation(deviations_[p], std::max<Offset>(0, mean - r5), hi, mean, 5, std::move(slotMembers[s]));
        }
        const auto [fewest, mostHits] = pool.hitRange(total);
        const auto [first, last] = bandOf(cp, mean, fewest, mostHits);
        if (first > last) {
            possible_ = false;
            break;
        }
        problem_.addRow(hits, double(first), double(last));
    }
    // Two plans of one mean: the one with fewer knowledge hits is plan A.
    if (possible_ && plans_ == 2 && k > 0 && means[0] == means[1]) {
        std::vector<std::pair<int, double>> terms;
        for (int p = 0; p < 2; ++p)
            for (int g = 0; g < int(groups.size()); ++g)
                for (int i = 0; i < int(groups[g].classes.size()); ++i) {
                    const double h = double(classes[groups[g].classes[i]].hitSlots.size());
                    if (h > 0)
                        terms.emplace_back(zStart_[p][g] + i, p == 0 ? h : -h);
                }
        if (!terms.empty())
            problem_.addRow(terms, -MipProblem::kInfinity, 0);
    }
    if (upperBound != kNoBound && constant_ >= upperBound)
        possible_ = false;
}

std::vector<double> ExactModel::valuesOf(const std::vector<Plan>& plans) const {
    const CandidatePool& cp = pool_.pool();
    std::vector<double> values(problem_.columns(), 0.0);
    for (int p = 0; p < plans_ && p < int(plans.size()); ++p) {
        for (int r : plans[p]) {
            if (r < 0)
                continue;
            const int g = pool_.groupOfNumber(cp.numberId(r));
            const auto& classes = pool_.groups()[g].classes;
            const int i = int(std::lower_bound(classes.begin(), classes.end(), pool_.classOf(r)) - classes.begin());
            values[zStart_[p][g] + i] += 1;
        }
        for (const Deviation& d : deviations_[p]) {
            double count = 0;
            for (const auto& [column, a] : d.members)
                count += a * values[column];
            values[d.column] = count;
            values[d.epigraph] = double(square(Offset(std::llround(count)) - d.target));
        }
    }
    return values;
}

double ExactModel::objectiveOf(const std::vector<double>& values) const {
    double sum = double(constant_);
    for (int c = 0; c < problem_.columns(); ++c)
        sum += problem_.cost()[c] * values[c];
    return sum;
}

bool ExactModel::satisfies(const std::vector<double>& values) const {
    constexpr double tolerance = 1e-6;
    for (int c = 0; c < problem_.columns(); ++c) {
        const double v = values[c];
        if (v < problem_.columnLower()[c] - tolerance || v > problem_.columnUpper()[c] + tolerance)
            return false;
        if (problem_.integer()[c] && std::abs(v - std::round(v)) > tolerance)
            return false;
    }
    for (int r = 0; r < problem_.rows(); ++r) {
        double sum = 0;
        for (int e = problem_.rowStart()[r]; e < problem_.rowStart()[r + 1]; ++e)
            sum += problem_.entryValue()[e] * values[problem_.entryColumn()[e]];
        if (sum < problem_.rowLower()[r] - tolerance || sum > problem_.rowUpper()[r] + tolerance)
            return false;
    }
    return true;
}

std::vector<Plan> ExactModel::plansOf(const std::vector<double>& solution) const {
    std::vector<Plan> plans(plans_);
    const auto& groups = pool_.groups();
    for (int g = 0; g < int(groups.size()); ++g) {
        const auto& group = groups[g];
        const int width = int(group.classes.size());
        size_t next = 0;  // the group's next unused question
        for (int p = 0; p < plans_; ++p)
            for (int i = 0; i < width; ++i) {
                const long long count = std::llround(solution[zStart_[p][g] + i]);
                for (long long n = 0; n < count && next < group.numbers.size(); ++n, ++next)
                    plans[p].push_back(group.rows[next * width + i]);
            }
    }
    return plans;
}

// ---------------------------------------------------------------- the exact stage

Offset planMean(const CandidatePool& pool, const Plan& plan) {
    Offset hits = 0;
    for (int r : plan)
        hits += pool.knowledgeHits(r);
    return pool.knowledgeMean(hits);
}

namespace {

// What no plan of the mean can go below in its knowledge term: the hits spread
// as evenly as possible over the slots that can be hit.
Offset knowledgeBound(const ExactPool& pool, int total, Offset mean) {
    const CandidatePool& cp = pool.pool();
    const Offset k = cp.knowledgePointCount();
    if (k == 0)
        return 0;
    const auto [fewest, most] = pool.hitRange(total);
    const auto [first, last] = bandOf(cp, mean, fewest, most);
    if (first > last)
        return kNoBound;
    const Offset spread = pool.hittableSlots();
    Offset best = kNoBound;
    for (Offset h = first; h <= last; ++h) {
        Offset sum = (k + 1 - spread) * square(mean);
        if (spread > 0) {
            const Offset q = h / spread, r = h % spread;
            sum += r * square(q + 1 - mean) + (spread - r) * square(q - mean);
        } else if (h > 0) {
            continue;
        }
        best = std::min(best, 5 * sum);
    }
    return best;
}

// What `plans` plans lose at least on types and levels that have fewer
// questions than the plans ask for together.
Offset shortage(int plans, Offset target, Offset available) {
    if (target * plans <= available)
        return Offset(0);
    const Offset q = available / plans, r = available % plans;
    return r * square(target - q - 1) + (plans - r) * square(target - q);
}

// The part of shortageBound that the levels give.
Offset levelShortage(const ExactPool& pool, int plans) {
    Offset sum = 0;
    for (int l = 0; l < kLevelCount; ++l)
        sum += shortage(plans, pool.pool().levelTargets()[l], pool.questionsOfLevel(l));
    return sum;
}

Offset shortageBound(const ExactPool& pool, int plans) {
    Offset sum = levelShortage(pool, plans);
    for (int t = 0; t < kTypeSlotCount; ++t)
        sum += 5 * shortage(plans, pool.pool().typeTargets()[t], pool.questionsOfType(t));
    return sum;
}

Offset ceilingOf(double bound) {
    if (!std::isfinite(bound))
        return bound > 0 ? kNoBound : 0;
    return Offset(std::ceil(bound - 1e-6));
}

// True when the plans have `total` slots each and no number twice in all of them.
bool validPlans(const CandidatePool& pool, const std::vector<Plan>& plans, int total) {
    std::vector<char> taken(pool.distinctNumbers(), 0);
    for (const Plan& plan : plans) {
        if (int(plan.size()) != total)
            return false;
        for (int r : plan) {
            if (r < 0 || r >= pool.size() || taken[pool.numberId(r)])
                return false;
            taken[pool.numberId(r)] = 1;
        }
    }
    return true;
}

}  // namespace

ExactResult exactPlans(const CandidatePool& pool, const std::vector<Plan>& start, const ExactOptions& options,
                       MipSolver* solver) {
    const Clock::time_point deadline = Clock::now() + options.timeLimit;
    ExactResult result;
    result.plans = start;
    for (const Plan& plan : start)
        result.offset += pool.offset(plan);
    result.bound = result.offset;
    const int plans = int(start.size());
    if (plans == 0 || start[0].empty())
        return result;
    const int total = int(start[0].size());
    std::unique_ptr<MipSolver> own;
    if (!solver) {
        own = makeCbcSolver();
        solver = own.get();
    }

    const TypeLimits* limits = options.typeLimits ? &*options.typeLimits : nullptr;
    // A start outside the type limits is no plan to beat: any admitted plan is better.
    bool startAdmitted = true;
    for (const Plan& plan : start)
        startAdmitted = startAdmitted && (!limits || limits->admit(pool, plan));
    if (!startAdmitted)
        result.offset = kNoBound;

    const ExactPool exactPool(pool);
    // The means a plan can have, and what each costs at least.
    Offset lowest = 0, highest = 0;
    if (pool.knowledgePointCount() > 0) {
        const auto [fewest, most] = exactPool.hitRange(total);
        lowest = pool.knowledgeMean(fewest);
        highest = pool.knowledgeMean(most);
    }
    std::map<Offset, Offset> meanBound;
    for (Offset mean = lowest; mean <= highest; ++mean)
        meanBound[mean] = knowledgeBound(exactPool, total, mean);
    Offset shortage = shortageBound(exactPool, plans);
    if (limits)
        shortage = std::max(shortage,
                            levelShortage(exactPool, plans) + plans * limits->leastTypeSum(pool.typeTargets(), total));

    struct Case {
        std::vector<Offset> means;
        Offset bound;
    };
    std::vector<Case> cases;
    std::vector<Offset> startMeans;
    for (const Plan& plan : start)
        startMeans.push_back(planMean(pool, plan));
    std::sort(startMeans.begin(), startMeans.end());
    for (Offset a = lowest; a <= highest; ++a) {
        if (plans == 1) {
            cases.push_back({{a}, meanBound[a] == kNoBound ? kNoBound : meanBound[a] + shortage});
            continue;
        }
        for (Offset b = a; b <= highest; ++b) {
            const bool none = meanBound[a] == kNoBound || meanBound[b] == kNoBound;
            cases.push_back({{a, b}, none ? kNoBound : meanBound[a] + meanBound[b] + shortage});
        }
    }
    // The means of the start first (most often the best), then the most promising.
    std::stable_sort(cases.begin(), cases.end(), [&](const Case& x, const Case& y) {
        const bool xs = x.means == startMeans, ys = y.means == startMeans;
        if (xs != ys)
            return xs;
        return x.bound < y.bound;
    });

    Offset unsolved = kNoBound;  // the least bound of the cases not finished
    for (const Case& c : cases) {
        if (c.bound >= result.offset)
            continue;  // cannot beat the best known plans
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            unsolved = std::min(unsolved, c.bound);
            result.stoppedAtLimit = true;
            continue;
        }
        const ExactModel model(exactPool, total, c.means, result.offset, limits);
        if (!model.possible())
            continue;
        MipOptions mo;
        if (result.offset != kNoBound)
            mo.cutoff = double(result.offset - model.constant()) - 0.5;
        mo.integralObjective = true;
        mo.timeLimit = left;
        const MipResult solved = solver->solve(model.problem(), mo);
        ++result.modelsSolved;
        if (!solved.solution.empty()) {
            std::vector<Plan> found = model.plansOf(solved.solution);
            Offset offset = 0;
            for (const Plan& plan : found)
                offset += pool.offset(plan);
            const bool admitted = std::all_of(found.begin(), found.end(),
                                              [&](const Plan& plan) { return !limits || limits->admit(pool, plan); });
            if (validPlans(pool, found, total) && admitted && offset < result.offset) {
                result.plans = std::move(found);
                result.offset = offset;
            }
        }
        switch (solved.status) {
        case MipResult::Status::Optimal:
        case MipResult::Status::NoSolution:
            break;
        case MipResult::Status::Stopped:
            result.stoppedAtLimit = true;
            unsolved = std::min(unsolved, std::max(c.bound, ceilingOf(solved.bound + double(model.constant()))));
            break;
        case MipResult::Status::Failed:
            unsolved = std::min(unsolved, c.bound);
            break;
        }
    }
    // A plan of one mean stays plan A: order two plans by offset, A first.
    if (plans == 2 && pool.offset(result.plans[1]) < pool.offset(result.plans[0]))
        std::swap(result.plans[0], result.plans[1]);
    if (result.offset == kNoBound) {
        // No admitted plan was found: the start stays, with nothing proven.
        result.offset = 0;
        for (const Plan& plan : result.plans)
            result.offset += pool.offset(plan);
        result.bound = std::min(result.offset, unsolved == kNoBound ? Offset(0) : unsolved);
        return result;
    }
    result.bound = std::min(result.offset, unsolved);
    return result;
}

}  // namespace zs
