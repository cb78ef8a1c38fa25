// The mixed-integer solver of the exact composition: COIN-OR CBC over CLP,
// run through CBC's own driver so that its presolve, cut generators and
// heuristics all take part.

#include "plan/mipsolver.h"

#include <CbcModel.hpp>
#include <CbcSolver.hpp>
#include <CoinPackedMatrix.hpp>
#include <OsiClpSolverInterface.hpp>
#include <cmath>
#include <string>

namespace zs {

// ---------------------------------------------------------------- MipProblem

int MipProblem::addColumn(double lower, double upper, double cost, bool integer) {
    lower_.push_back(lower);
    upper_.push_back(upper);
    cost_.push_back(cost);
    integer_.push_back(integer ? 1 : 0);
    return int(lower_.size()) - 1;
}

void MipProblem::addRow(const std::vector<std::pair<int, double>>& terms, double lower, double upper) {
    for (const auto& [column, value] : terms) {
        entryColumn_.push_back(column);
        entryValue_.push_back(value);
    }
    rowStart_.push_back(int(entryColumn_.size()));
    rowLower_.push_back(lower);
    rowUpper_.push_back(upper);
}

// ---------------------------------------------------------------- CBC

namespace {

double finite(double value, double infinity) {
    if (std::isinf(value))
        return value > 0 ? infinity : -infinity;
    return value;
}

class CbcSolver final : public MipSolver {
public:
    MipResult solve(const MipProblem& p, const MipOptions& options) override {
        MipResult result;
        OsiClpSolverInterface lp;
        const double inf = lp.getInfinity();
        const int n = p.columns();
        std::vector<int> lengths(p.rows());
        for (int r = 0; r < p.rows(); ++r)
            lengths[r] = p.rowStart()[r + 1] - p.rowStart()[r];
        const CoinPackedMatrix matrix(false, n, p.rows(), CoinBigIndex(p.entryColumn().size()), p.entryValue().data(),
                                      p.entryColumn().data(), p.rowStart().data(), lengths.data());
        std::vector<double> lower(n), upper(n), rowLower(p.rows()), rowUpper(p.rows());
        for (int c = 0; c < n; ++c) {
            lower[c] = finite(p.columnLower()[c], inf);
            upper[c] = finite(p.columnUpper()[c], inf);
        }
        for (int r = 0; r < p.rows(); ++r) {
            rowLower[r] = finite(p.rowLower()[r], inf);
            rowUpper[r] = finite(p.rowUpper()[r], inf);
        }
        lp.loadProblem(matrix, lower.data(), upper.data(), p.cost().data(), rowLower.data(), rowUpper.data());
        for (int c = 0; c < n; ++c)
            if (p.integer()[c])
                lp.setInteger(c);
        lp.messageHandler()->setLogLevel(0);

        CbcModel model(lp);
        CbcSolverUsefulData data;
        data.noPrinting_ = true;
        data.useSignalHandler_ = false;
        CbcMain0(model, data);
        model.setLogLevel(0);
        model.messageHandler()->setLogLevel(0);

        std::vector<std::string> args = {"zs-exact",
                                         "-log",
                                         "0",
                                         "-slog",
                                         "0",
                                         "-threads",
                                         "0",
                                         "-timeMode",
                                         "elapsed",
                                         "-sec",
                                         std::to_string(std::max(0.001, options.timeLimit.count() / 1000.0))};
        if (std::isfinite(options.cutoff)) {
            args.push_back("-cutoff");
            args.push_back(std::to_string(options.cutoff));
        }
        if (options.integralObjective) {
            args.push_back("-increment");
            args.push_back("0.999");
        }
        args.push_back("-solve");
        args.push_back("-quit");
        std::vector<const char*> argv;
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        CbcMain1(
            int(argv.size()), argv.data(), model, [](CbcModel*, int) { return 0; }, data);

        const double* best = model.bestSolution();
        if (best && model.getObjValue() < options.cutoff) {
            result.solution.assign(best, best + n);
            result.objective = model.getObjValue();
        }
        const bool finished = model.status() == 0 && !model.isSecondsLimitReached();
        if (finished && !result.solution.empty()) {
            result.status = MipResult::Status::Optimal;
            result.bound = result.objective;
        } else if (finished) {
            result.status = MipResult::Status::NoSolution;
            result.bound = options.cutoff;
        } else if (model.status() == 1) {
            result.status = MipResult::Status::Stopped;
            result.bound = model.getBestPossibleObjValue();
            if (!result.solution.empty())
                result.bound = std::min(result.bound, result.objective);
        } else {
            result.status = MipResult::Status::Failed;
        }
        return result;
    }
};

}  // namespace

std::unique_ptr<MipSolver> makeCbcSolver() {
    return std::make_unique<CbcSolver>();
}

}  // namespace zs
