// Plays one row of the table against the real tool and says what differed.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "scenario.hpp"

namespace e2e {

struct RowResult {
    std::vector<std::string> problems;  // empty when the row passed
    std::chrono::milliseconds toolTime{0};
};

RowResult runScenario(const Scenario& row, const std::string& toolPath);

}  // namespace e2e
