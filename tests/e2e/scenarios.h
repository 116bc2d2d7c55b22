#pragma once

#include <string>

namespace e2e {

struct Scenario {
    const char* name;
    void (*run)(const std::string& exePath);
    const char* summary;
};

// All scenarios, in the order `e2e_driver.exe` lists them.
const Scenario* Scenarios(int* count);

// The scenarios of extremes.cpp, which Scenarios() lists after its own.
const Scenario* ExtremeScenarios(int* count);

// Reads the executable file itself; starts nothing.
void CheckResources(const std::string& exePath);

}  // namespace e2e
