// e2e_driver.exe SCENARIO PATH\TO\Quillsparrow.exe
//
// Runs one scenario against the real program, from outside it. Exit code 0: every check held;
// 1: some check failed; 2: the scenario could not be run.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "harness.h"
#include "scenarios.h"

namespace {

void Usage() {
    int count = 0;
    const e2e::Scenario* scenarios = e2e::Scenarios(&count);
    std::printf("usage: e2e_driver.exe SCENARIO PATH\\TO\\Quillsparrow.exe\nscenarios:\n");
    for (int i = 0; i < count; ++i) std::printf("  %-16s %s\n", scenarios[i].name, scenarios[i].summary);
}

}  // namespace

int main(int argc, char** argv) {
    // Messages are UTF-8 for the terminal; keep the C runtime from adding carriage returns.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc != 3) {
        Usage();
        return 2;
    }
    int count = 0;
    const e2e::Scenario* scenarios = e2e::Scenarios(&count);
    const e2e::Scenario* scenario = nullptr;
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(scenarios[i].name, argv[1]) == 0) scenario = &scenarios[i];
    }
    if (!scenario) {
        std::printf("unknown scenario '%s'\n", argv[1]);
        Usage();
        return 2;
    }
    // The program's texts are compared as code page 936 bytes, which only holds when both
    // processes convert with that code page.
    if (GetACP() != 936) {
        std::printf("ERROR: the ANSI code page is %u, not 936: run under a zh_CN locale (LC_ALL=zh_CN.UTF-8)\n",
                    GetACP());
        return 2;
    }
    if (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES) {
        std::printf("ERROR: %s does not exist\n", argv[2]);
        return 2;
    }

    std::printf("scenario %s: %s\n", scenario->name, scenario->summary);
    std::fflush(stdout);
    try {
        e2e::Step step(scenario->name);
        scenario->run(argv[2]);
    } catch (const e2e::Fatal& fatal) {
        std::printf("ERROR [%s] %s\n", scenario->name, fatal.what());
        return 2;
    } catch (const std::exception& error) {
        std::printf("ERROR [%s] %s\n", scenario->name, error.what());
        return 2;
    }
    int failures = e2e::FailureCount();
    std::printf("scenario %s: %s (%d failed checks)\n", scenario->name, failures ? "FAILED" : "passed", failures);
    return failures ? 1 : 0;
}
