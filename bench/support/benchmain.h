#pragma once

// The main of a benchmark program over the bank store and the plan search: a
// Qt core application around Google Benchmark.

namespace zs::bench {

int runBenchmarks(int argc, char** argv);

}  // namespace zs::bench
