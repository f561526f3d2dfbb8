#include "link/backends/installation_wait.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvid::platform {
namespace {

// A fake world: time moves only when the wait sleeps, and the probes turn ready
// at given moments.
struct FakeWorld {
    uint64_t nowMs = 1000;
    uint64_t queueEmptyFromMs = 0;
    uint64_t nodesReadyFromMs = 0;
    std::vector<uint32_t> sleeps;

    InstallationWaitEnvironment environment() {
        return {
            .eventQueueEmpty = [this] { return nowMs >= queueEmptyFromMs; },
            .programmerNodesReady = [this] { return nowMs >= nodesReadyFromMs; },
            .nowMs = [this] { return nowMs; },
            .sleepMs =
                [this](uint32_t ms) {
                    sleeps.push_back(ms);
                    nowMs += ms;
                },
        };
    }
};

TEST(InstallationWait, SettledSystemReturnsWithoutSleeping) {
    FakeWorld world;
    EXPECT_TRUE(waitForSettledInstallations(world.environment()));
    EXPECT_TRUE(world.sleeps.empty());
}

TEST(InstallationWait, AnEmptyQueueAloneIsNotEnough) {
    FakeWorld world;
    world.nodesReadyFromMs = 1000 + 730;  // udev applies the access rule late
    EXPECT_TRUE(waitForSettledInstallations(world.environment()));
    EXPECT_EQ(world.nowMs, 1000u + 750);
    EXPECT_EQ(world.sleeps, std::vector<uint32_t>(15, 50));
}

TEST(InstallationWait, AccessibleNodesWaitForTheQueueToDrain) {
    FakeWorld world;
    world.queueEmptyFromMs = 1000 + 100;
    EXPECT_TRUE(waitForSettledInstallations(world.environment()));
    EXPECT_EQ(world.nowMs, 1000u + 100);
}

TEST(InstallationWait, GivesUpAtTheBoundAfterOneLastLook) {
    FakeWorld world;
    world.nodesReadyFromMs = UINT64_MAX;
    EXPECT_FALSE(waitForSettledInstallations(world.environment()));
    EXPECT_EQ(world.nowMs, 1000u + 10000);

    FakeWorld readyAtTheBound;
    readyAtTheBound.queueEmptyFromMs = 1000 + 10000;
    EXPECT_TRUE(waitForSettledInstallations(readyAtTheBound.environment()));
}

TEST(InstallationWait, LastPauseIsCutToTheBound) {
    FakeWorld world;
    world.queueEmptyFromMs = UINT64_MAX;
    EXPECT_FALSE(waitForSettledInstallations(world.environment(), {.boundMs = 120, .pollMs = 50}));
    EXPECT_EQ(world.sleeps, (std::vector<uint32_t>{50, 50, 20}));
}

}  // namespace
}  // namespace korvid::platform
