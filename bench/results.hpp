// What the benchmark measured, and the figures derived from it: medians, the
// ratio of the tool to the floor, the cost of each extra HID device, and
// whether each target was met.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Times in microseconds, in the order the runs were made.
struct LevelSamples {
    int decoys = 0;
    std::vector<double> floorUs;
    std::vector<double> toolUs;
    std::vector<double> floorFaults;
    std::vector<double> toolFaults;
};

struct Spread {
    double median = 0;
    double p10 = 0;
    double p90 = 0;
};

Spread spreadOf(std::vector<double> samples);

struct LevelFigures {
    int decoys = 0;
    int runs = 0;
    Spread floor;
    Spread tool;
    double ratio = 0;        // tool median / floor median
    double floorFaults = 0;  // median minor page faults of one run
    double toolFaults = 0;
};

// From the fewest decoys measured to the most.
struct Scaling {
    int fromDecoys = 0;
    int toDecoys = 0;
    double toolAddedUs = 0;
    double floorAddedUs = 0;
    double netAddedUs = 0;  // what the tool added beyond the floor's own change
    double toolPerDeviceUs = 0;
    double netPerDeviceUs = 0;
    double toolAddedPercent = 0;   // of the tool's run at the fewest decoys
    double floorAddedPercent = 0;  // of the floor's run at the fewest decoys
    double netAddedPercent = 0;    // of the tool's run at the fewest decoys
};

struct Limits {
    double ratio = 1.15;
    double netAddedPercent = 10.0;
    long peakKiB = 2048;
};

struct Figures {
    std::vector<LevelFigures> levels;
    Scaling scaling;
    long toolPeakKiB = 0;
    long floorPeakKiB = 0;
    std::uint64_t toolBytes = 0;
    std::uint64_t floorBytes = 0;
    Limits limits;
    bool ratioMet = false;
    bool scalingMet = false;
    bool peakMet = false;
};

// `levels` in ascending order of decoys, the first being the one-board run.
Figures computeFigures(const std::vector<LevelSamples>& levels, long toolPeakKiB, long floorPeakKiB,
                       std::uint64_t toolBytes, std::uint64_t floorBytes, Limits limits = {});

}  // namespace bench
