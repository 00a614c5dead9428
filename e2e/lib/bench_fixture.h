// GoogleTest fixture for end-to-end tests: a fresh stand-in log per test, and every process
// the test started (or named with AlsoKill) ended when the test is over, pass or fail.
#pragma once

#include <gtest/gtest.h>

#include "bench.h"

namespace bench {

class BenchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Taskbar(), nullptr) << "no Shell_TrayWnd: run the test inside scripts/e2e.sh";
        log = StandinLogPath();
        ClearLog(log);
    }

    void TearDown() override {
        const int leftovers = session.KillLeftovers();
        if (!allowLeftovers) {
            EXPECT_EQ(leftovers, 0) << "processes were still running at the end of the test";
        }
    }

    // Starts a program that lies beside the test exe, with optional arguments.
    Process StartProgram(const std::string& exeName, const std::string& args = "", DWORD idleMs = 10000) {
        std::string cmd = Quote(ProgramPath(exeName));
        if (!args.empty()) cmd += " " + args;
        return session.Start(cmd, nullptr, idleMs);
    }

    Session session;
    std::string log;
    // A test that ends its programs by design through the fixture sets this.
    bool allowLeftovers = false;
};

}  // namespace bench
