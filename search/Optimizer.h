// Automatic dimensioning: a grid over the free dimensions, each candidate made by the dimension
// edit so that the chains hold, judged completely; the wall of least concrete that meets every
// target wins, and the next ones are kept as runners-up.
#pragma once

#include "model/Project.h"
#include "search/Evaluation.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pendrake {

// A dimension the search may change: its label index, its bounds and its step, in Length (the
// backfill slope in n of 1 : n).
struct FreeDimension {
    int Index = 0;
    double Min = 0;
    double Max = 0;
    double Step = 0;
};

// TopWidth, ToeWidth, ToeHeight and BottomWidth over ranges that cover walls of the default's
// kind, in the project's length unit.
std::vector<FreeDimension> DefaultFreeDimensions(const Project& project);

// Grids larger than this are refused: the ranking keeps an area per point.
inline constexpr int64_t MaxGridSize = 2'000'000;

// The points from Min to Max by Step before two decimals may fold neighbours together (so at
// least as many as GridValues gives), without building them; for a Step above 0 and Max >= Min.
double GridStepCount(const FreeDimension& dimension);

// The values of a free dimension's grid, smallest first, each to two decimals.
std::vector<double> GridValues(const FreeDimension& dimension);

// The wall at one point of the grid: the base with each free dimension edited in turn. Nothing
// when the point is no valid wall: an edit refused, a free dimension changed again by a later
// edit's absorption, a dimension negative or a chain open.
std::optional<Project> MakeCandidate(
    const Project& base, const std::vector<FreeDimension>& free, const std::vector<double>& values);

struct SearchCandidate {
    std::vector<double> Values; // of the free dimensions, in their order
    int64_t GridIndex = 0; // the first free dimension varies slowest
    Project Wall;
    WallEvaluation Evaluation;
};

struct OptimizeOptions {
    int RunnersUp = 5;
    // Evaluate every valid candidate instead of stopping once the least-concrete passing walls
    // are known; the answer is the same, only slower.
    bool Exhaustive = false;
    // Called on the calling thread between batches: candidates evaluated, valid candidates.
    std::function<void(int64_t, int64_t)> Progress;
    const std::atomic<bool>* Cancel = nullptr;
};

struct OptimizationResult {
    std::string Error; // non-empty: the free dimensions were refused, nothing was searched
    bool Cancelled = false;
    bool Found = false; // Best holds a wall that meets every target
    SearchCandidate Best;
    std::vector<SearchCandidate> RunnersUp; // next least concrete passing walls, in order
    int64_t GridSize = 0;
    int64_t ValidCandidates = 0;
    int64_t CandidatesEvaluated = 0;
};

// Searches the grid on `threads` threads (0: every core). The candidates are judged in the order
// of their concrete area (ties by grid index), so the answer does not depend on the threads.
OptimizationResult Optimize(const Project& project, const std::vector<FreeDimension>& free,
    const DesignTargets& targets, int threads, const OptimizeOptions& options = {});

} // namespace pendrake
