#include "startup_guard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using app::StartupDecision;

// Steps that answer as told and record which of them ran.
class ScriptedSteps final : public app::InstanceCountSteps {
public:
    bool directory = true;
    bool load = true;
    bool find = true;
    std::uint32_t count = 1;
    bool countThrows = false;
    std::vector<std::string> ran;

    bool FindSystemDirectory() override { return note("directory", directory); }
    bool LoadInstanceLibrary() override { return note("load", load); }
    bool FindGetCount() override { return note("find", find); }
    std::uint32_t GetCount() override {
        ran.push_back("count");
        if (countThrows) {
            throw std::runtime_error("library fault");
        }
        return count;
    }

private:
    bool note(const char* step, bool result) {
        ran.push_back(step);
        return result;
    }
};

TEST(StartupGuard, CountDecidesWhetherToRun) {
    struct Case {
        std::uint32_t count;
        StartupDecision expected;
    };
    for (const Case& c : {Case{0, StartupDecision::Run}, Case{1, StartupDecision::Run},
                          Case{2, StartupDecision::AlreadyRunning},
                          Case{0xFFFFFFFFu, StartupDecision::AlreadyRunning}}) {
        ScriptedSteps steps;
        steps.count = c.count;
        EXPECT_EQ(app::DecideStartup(steps), c.expected) << "count " << c.count;
        EXPECT_EQ(steps.ran, (std::vector<std::string>{"directory", "load", "find", "count"}));
    }
}

TEST(StartupGuard, AFailedStepMeansDamagedFilesAndStopsThere) {
    struct Case {
        const char* failing;
        std::vector<std::string> ran;
    };
    for (const Case& c : {Case{"directory", {"directory"}}, Case{"load", {"directory", "load"}},
                          Case{"find", {"directory", "load", "find"}},
                          Case{"count", {"directory", "load", "find", "count"}}}) {
        ScriptedSteps steps;
        const std::string failing = c.failing;
        steps.directory = failing != "directory";
        steps.load = failing != "load";
        steps.find = failing != "find";
        steps.countThrows = failing == "count";
        EXPECT_EQ(app::DecideStartup(steps), StartupDecision::FilesDamaged) << c.failing;
        EXPECT_EQ(steps.ran, c.ran) << c.failing;
    }
}

}  // namespace
