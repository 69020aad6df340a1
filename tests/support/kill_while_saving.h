#pragma once
// Kills a saving child process at random moments: `saveForever` runs in a
// forked child (it must never return) and is killed with SIGKILL after 0.5
// to 40 ms, `rounds` times; `check(round)` then reads what the killed save
// left. Returns how many children were still saving when killed.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <thread>

namespace rxt::test {

inline int killWhileSaving(int rounds, uint32_t seed, const std::function<void()>& saveForever,
                           const std::function<void(int round)>& check) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(500, 40000);
    int killedWhileRunning = 0;
    for (int round = 0; round < rounds; ++round) {
        const pid_t child = ::fork();
        if (child < 0) {
            ADD_FAILURE() << "fork failed";
            return killedWhileRunning;
        }
        if (child == 0) {
            saveForever();
            ::_exit(1);  // it must not return: the round is then not counted
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        EXPECT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
            ++killedWhileRunning;
        }
        SCOPED_TRACE("round " + std::to_string(round));
        check(round);
    }
    return killedWhileRunning;
}

}  // namespace rxt::test
