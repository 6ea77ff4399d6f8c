#include "results.hpp"

#include <algorithm>
#include <cmath>

namespace bench {
namespace {

// The value below which `fraction` of the sorted samples lie, interpolated
// between neighbours; the median for 0.5.
double quantile(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty()) {
        return 0;
    }
    const double position = fraction * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double weight = position - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * weight;
}

double percentOf(double part, double whole) { return whole > 0 ? 100.0 * part / whole : 0; }

}  // namespace

Spread spreadOf(std::vector<double> samples) {
    std::ranges::sort(samples);
    return {quantile(samples, 0.5), quantile(samples, 0.1), quantile(samples, 0.9)};
}

Figures computeFigures(const std::vector<LevelSamples>& levels, long toolPeakKiB, long floorPeakKiB,
                       std::uint64_t toolBytes, std::uint64_t floorBytes, Limits limits) {
    Figures figures;
    figures.limits = limits;
    figures.toolPeakKiB = toolPeakKiB;
    figures.floorPeakKiB = floorPeakKiB;
    figures.toolBytes = toolBytes;
    figures.floorBytes = floorBytes;
    for (const LevelSamples& level : levels) {
        LevelFigures row;
        row.decoys = level.decoys;
        row.runs = static_cast<int>(std::min(level.floorUs.size(), level.toolUs.size()));
        row.floor = spreadOf(level.floorUs);
        row.tool = spreadOf(level.toolUs);
        row.ratio = row.floor.median > 0 ? row.tool.median / row.floor.median : 0;
        row.floorFaults = spreadOf(level.floorFaults).median;
        row.toolFaults = spreadOf(level.toolFaults).median;
        figures.levels.push_back(row);
    }
    if (figures.levels.empty()) {
        return figures;
    }

    const LevelFigures& first = figures.levels.front();
    const LevelFigures& last = figures.levels.back();
    Scaling& scaling = figures.scaling;
    scaling.fromDecoys = first.decoys;
    scaling.toDecoys = last.decoys;
    scaling.toolAddedUs = last.tool.median - first.tool.median;
    scaling.floorAddedUs = last.floor.median - first.floor.median;
    scaling.netAddedUs = scaling.toolAddedUs - scaling.floorAddedUs;
    const int extra = last.decoys - first.decoys;
    if (extra > 0) {
        scaling.toolPerDeviceUs = scaling.toolAddedUs / extra;
        scaling.netPerDeviceUs = scaling.netAddedUs / extra;
    }
    scaling.toolAddedPercent = percentOf(scaling.toolAddedUs, first.tool.median);
    scaling.floorAddedPercent = percentOf(scaling.floorAddedUs, first.floor.median);
    scaling.netAddedPercent = percentOf(scaling.netAddedUs, first.tool.median);

    figures.ratioMet = first.ratio > 0 && first.ratio <= limits.ratio;
    figures.scalingMet = extra > 0 && scaling.netAddedPercent <= limits.netAddedPercent;
    figures.peakMet = toolPeakKiB > 0 && toolPeakKiB <= limits.peakKiB;
    return figures;
}

}  // namespace bench
