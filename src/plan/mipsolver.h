#pragma once

// The mixed-integer solver the exact composition works with, behind one small
// interface: a problem of bounded columns (integer or continuous), ranged rows
// and a linear objective to minimise; the answer is the best solution found
// below a cutoff with a proven lower bound. The one implementation is COIN-OR
// CBC (cbcsolver.cpp); nothing else in the program knows it.

#include <chrono>
#include <limits>
#include <memory>
#include <vector>

namespace zs {

class MipProblem {
public:
    static constexpr double kInfinity = std::numeric_limits<double>::infinity();

    // Adds a column and returns its index.
    int addColumn(double lower, double upper, double cost, bool integer);
    // Adds a row lower <= Σ coefficient × column <= upper.
    void addRow(const std::vector<std::pair<int, double>>& terms, double lower, double upper);

    int columns() const { return int(lower_.size()); }
    int rows() const { return int(rowLower_.size()); }

    const std::vector<double>& columnLower() const { return lower_; }
    const std::vector<double>& columnUpper() const { return upper_; }
    const std::vector<double>& cost() const { return cost_; }
    const std::vector<char>& integer() const { return integer_; }
    const std::vector<double>& rowLower() const { return rowLower_; }
    const std::vector<double>& rowUpper() const { return rowUpper_; }
    // The rows in compressed form: row r holds entries rowStart[r] .. rowStart[r + 1] − 1.
    const std::vector<int>& rowStart() const { return rowStart_; }
    const std::vector<int>& entryColumn() const { return entryColumn_; }
    const std::vector<double>& entryValue() const { return entryValue_; }

private:
    std::vector<double> lower_, upper_, cost_;
    std::vector<char> integer_;
    std::vector<double> rowLower_, rowUpper_;
    std::vector<int> rowStart_{0};
    std::vector<int> entryColumn_;
    std::vector<double> entryValue_;
};

struct MipOptions {
    // Only solutions whose objective is below the cutoff are wanted.
    double cutoff = MipProblem::kInfinity;
    // Every solution's objective is a whole number: a better one is at least 1 lower.
    bool integralObjective = false;
    std::chrono::milliseconds timeLimit{1000};
};

struct MipResult {
    enum class Status {
        Optimal,     // `solution` is optimal
        NoSolution,  // proven: no solution below the cutoff
        Stopped,     // time ran out; `solution` (if any) is the best found
        Failed,      // the solver gave up for another reason
    };
    Status status = Status::Failed;
    std::vector<double> solution;  // empty when none was found
    double objective = MipProblem::kInfinity;
    // No solution has a lower objective (with a cutoff: or none below the cutoff).
    double bound = -MipProblem::kInfinity;
};

class MipSolver {
public:
    virtual ~MipSolver() = default;
    virtual MipResult solve(const MipProblem& problem, const MipOptions& options) = 0;
};

// COIN-OR CBC, single-threaded.
std::unique_ptr<MipSolver> makeCbcSolver();

}  // namespace zs
