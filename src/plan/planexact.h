#pragma once

// The exact stage of intelligent composition: after the classic search and
// the refinement, a mixed-integer model of the same offset proves the best
// plan (or improves on it) and gives a lower bound for the teacher's message.
//
// The offset's squared deviations of whole counts are convex and are written
// exactly with chords between neighbouring integers. The rounded knowledge
// mean is not: it is fixed per model, one model per value (a band on the total
// of knowledge hits), and a mean whose lower bound cannot beat the best known
// plan is never built. Candidates that weigh the same in the offset (same type
// slot, level and knowledge slots) form one class; questions (题目编号) whose
// rows fall into the same classes form one group, so that a model counts
// questions per class instead of choosing single rows, and no question is
// taken twice. Two plans (A/B papers) share one model with no question in
// both; their offsets are minimised together.

#include "plan/candidates.h"
#include "plan/mipsolver.h"

#include <array>
#include <chrono>
#include <limits>
#include <optional>
#include <vector>

namespace zs {

// The pool seen by the models: classes of interchangeable candidates and
// groups of questions with the same classes.
class ExactPool {
public:
    explicit ExactPool(const CandidatePool& pool);

    const CandidatePool& pool() const { return pool_; }

    struct Class {
        int type = -1;
        int level = -1;
        std::vector<int> hitSlots;  // knowledge slots, one entry per hit, sorted
    };
    struct Group {
        std::vector<int> classes;  // sorted class indexes
        std::vector<int> numbers;  // number ids of its questions
        // rows[m * classes.size() + i]: the candidate of number m in class i.
        std::vector<int> rows;
    };
    const std::vector<Class>& classes() const { return classes_; }
    const std::vector<Group>& groups() const { return groups_; }
    int classOf(int candidate) const { return classOf_[candidate]; }
    int groupOfNumber(int numberId) const { return groupOfNumber_[numberId]; }

    // Questions (distinct numbers) of each type slot and level.
    int questionsOfType(int t) const { return typeQuestions_[t]; }
    int questionsOfLevel(int l) const { return levelQuestions_[l]; }
    // The knowledge slots some candidate hits.
    int hittableSlots() const { return hittable_; }
    // The lowest and highest total of knowledge hits a plan of `total`
    // different candidates can have (a range that holds every real plan).
    std::pair<Offset, Offset> hitRange(int total) const;

private:
    const CandidatePool& pool_;
    std::vector<Class> classes_;
    std::vector<int> classOf_;
    std::vector<Group> groups_;
    std::vector<int> groupOfNumber_;
    std::array<int, kTypeSlotCount> typeQuestions_{};
    std::array<int, kLevelCount> levelQuestions_{};
    int hittable_ = 0;
    std::vector<int> sortedHits_;
};

// One model: `plans` plans of `total` slots each, plan p with the knowledge
// mean means[p] (means in rising order). Only plans whose offsets sum below
// `upperBound` need to be solutions (the ranges of the counts are narrowed by
// it); the default keeps every plan of these means. Two plans of one mean are
// told apart by their knowledge hits: plan A has no more than plan B.
class ExactModel {
public:
    ExactModel(const ExactPool& pool, int total, const std::vector<Offset>& means,
               Offset upperBound = std::numeric_limits<Offset>::max(), const TypeLimits* typeLimits = nullptr);

    // False when no plan of these means can have offsets summing below the
    // upper bound (the model is then not worth solving).
    bool possible() const { return possible_; }
    const MipProblem& problem() const { return problem_; }
    // The part of the offset that no column carries.
    Offset constant() const { return constant_; }

    // The column values that stand for the plans (every number at most once).
    std::vector<double> valuesOf(const std::vector<Plan>& plans) const;
    // The objective of column values, constant included.
    double objectiveOf(const std::vector<double>& values) const;
    // True when the values satisfy every row and bound (within a tolerance).
    bool satisfies(const std::vector<double>& values) const;
    // The plans of a solution: questions taken per group and class, in the
    // groups' order.
    std::vector<Plan> plansOf(const std::vector<double>& solution) const;

private:
    // One squared deviation weight × (count − target)²: the count column is
    // the sum of its members, the epigraph column lies on or above the chords.
    struct Deviation {
        int column = -1;
        int epigraph = -1;
        Offset target = 0;
        int weight = 1;
        std::vector<std::pair<int, double>> members;
    };
    void addDeviation(std::vector<Deviation>& list, Offset lo, Offset hi, Offset target, int weight,
                      std::vector<std::pair<int, double>> members);

    const ExactPool& pool_;
    int total_;
    int plans_;
    bool possible_ = true;
    MipProblem problem_;
    Offset constant_ = 0;
    // z columns: zStart_[p][g] + i is the count of group g's class i in plan p.
    std::vector<std::vector<int>> zStart_;
    std::vector<std::vector<Deviation>> deviations_;  // per plan: types, levels, knowledge
};

struct ExactOptions {
    // The time all models together may take; then the best plan so far is the
    // answer, with the bound of what was left unsolved.
    std::chrono::milliseconds timeLimit{2000};
    // The type counts every plan keeps; the offset and the bound then refer to
    // such plans only.
    std::optional<TypeLimits> typeLimits = std::nullopt;
};

struct ExactResult {
    std::vector<Plan> plans;
    Offset offset = 0;  // the sum of the plans' offsets
    // No plans of these sizes (every number once, none in two plans) have a
    // lower sum of offsets.
    Offset bound = 0;
    bool proven() const { return bound >= offset; }
    bool stoppedAtLimit = false;
    int modelsSolved = 0;
};

// Improves `start` (valid plans of one size: no empty slot, no number twice,
// no number in two plans) to the plans of least offset sum, or as close as the
// time allows, with the proven bound.
ExactResult exactPlans(const CandidatePool& pool, const std::vector<Plan>& start, const ExactOptions& options = {},
                       MipSolver* solver = nullptr);

// The knowledge mean of a plan (its total hits / K, halves to even).
Offset planMean(const CandidatePool& pool, const Plan& plan);

}  // namespace zs
