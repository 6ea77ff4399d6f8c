// The benchmark's results as a table for people, as JSON for programs, and
// every single time as CSV.
#pragma once

#include <string>
#include <vector>

#include "results.hpp"

namespace bench {

// Where and how the figures were taken.
struct Setting {
    std::string command;  // the tool's command line as timed
    std::string host;     // the machine running the VM
    std::string guest;    // the VM: kernel and CPUs
    std::string locale;   // LANG the tool ran with
};

std::string formatTable(const Setting& setting, const Figures& figures);

std::string formatJson(const Setting& setting, const Figures& figures);

// One line per run: decoys, which program, its place in the run order, time.
std::string formatSamplesCsv(const std::vector<LevelSamples>& levels);

}  // namespace bench
