// Parametric and Monte-Carlo studies: inputs varied over ranges or drawn from distributions,
// each point judged completely, one CSV row per point, and the study's summary. Points are
// numbered so that a study can be split into shards that concatenate into the whole.
#pragma once

#include "model/Project.h"
#include "search/Evaluation.h"
#include "search/Inputs.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pendrake {

// COUNT evenly spaced values from FROM to TO (FROM alone when COUNT is 1).
struct SweepRange {
    WallInput Input;
    double From = 0;
    double To = 0;
    int64_t Count = 1;
};

enum class Distribution {
    Normal, // A mean, B standard deviation
    LogNormal, // A mean, B standard deviation of the value itself (not of its logarithm)
    Uniform, // A lowest, B highest
};

struct SweepSample {
    WallInput Input;
    Distribution Kind = Distribution::Normal;
    double A = 0;
    double B = 0;
};

// Either ranges (every combination, the last range varying fastest) or SampleCount random
// points drawn from Samples with Seed. Point p's values depend on Seed and p only.
struct SweepPlan {
    std::vector<SweepRange> Ranges;
    std::vector<SweepSample> Samples;
    int64_t SampleCount = 0;
    uint64_t Seed = 1;
};

// Empty when the plan can be run, else why not.
std::string CheckSweepPlan(const SweepPlan& plan);
int64_t SweepPointCount(const SweepPlan& plan);
// The values point p asks for, one per range or sample, in the plan's order.
std::vector<double> SweepPointValues(const SweepPlan& plan, int64_t point);

struct SweepPoint {
    int64_t Index = 0;
    // The inputs as the record holds them after the point was applied (a dimension to two
    // decimals), in the plan's order.
    std::vector<double> Inputs;
    // False when a value cannot stand in the record (negative, not finite): not judged.
    bool Valid = false;
    WallEvaluation Evaluation;
};

// The project with the point's values applied in the plan's order, and its evaluation.
SweepPoint EvaluateSweepPoint(
    const Project& project, const SweepPlan& plan, const DesignTargets& targets, int64_t point);

// Points shard, shard + shardCount, ... of the study, in order, on `threads` threads.
struct SweepOptions {
    int64_t Shard = 0;
    int64_t ShardCount = 1;
    std::function<void(int64_t, int64_t)> Progress; // points done, points in the shard
    const std::atomic<bool>* Cancel = nullptr;
};
std::vector<SweepPoint> RunSweep(const Project& project, const SweepPlan& plan,
    const DesignTargets& targets, int threads, const SweepOptions& options = {});

// CSV: Point, the varied inputs by name, the service safety factors, AllSetsStable,
// DesignChecks, LargestUtilisation, ConcreteArea, Result (pass, fail or invalid).
std::string SweepCsvHeader(const SweepPlan& plan);
std::string SweepCsvRow(const SweepPoint& point);

struct SweepExtreme {
    double Value = 0;
    int64_t Point = -1; // -1: no valid point
};

struct SweepSummary {
    int64_t Points = 0;
    int64_t InvalidPoints = 0;
    int64_t FailingPoints = 0; // valid points that miss a target
    double FailFraction = 0; // of the valid points
    // Per service check, the smallest factor over the valid stable points.
    std::array<SweepExtreme, SafetyCheckCount> SmallestSafety {};
    SweepExtreme LargestUtilisation;
};
SweepSummary SummarizeSweep(const std::vector<SweepPoint>& points);

} // namespace pendrake
