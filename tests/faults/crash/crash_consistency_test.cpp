// Crash consistency of the shutdown save, round after round: a client with a full set of
// files (settings, presets, two history files) saves its new state and is killed with
// SIGKILL at a random moment of that save. Afterwards every file must be its old or its
// new version, complete, and the next start must read them and save again cleanly.
//
// Runs only when KAVEX_CRASH_ROUNDS sets the number of rounds (scripts/crash-consistency
// sets 1000); the default test run skips it.
#include "../scripted_game.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace kavex {
namespace {

namespace fs = std::filesystem;
using test::Snapshot;
using test::snapshot;

void restore(const Snapshot& files, const fs::path& folder) {
    for (const auto& [name, bytes] : files)
        writeFileAtomically(folder / name, bytes);
}

// The session whose shutdown save is interrupted: starts on the old files, takes new
// quotes and a new window width. Returns the client ready to save.
void runSession(test::ScriptedGame& g) {
    g.serve();
    g.client->orderClient().setPassword("new");
    g.quotes(4);
}

struct Counts {
    int rounds = 0, killedInSave = 0, finishedFirst = 0;
    int filesOld = 0, filesNew = 0, filesUnchanged = 0, filesTorn = 0, filesMissing = 0;
    int roundsWithTemporaries = 0, temporaries = 0, temporariesAfterNextStart = 0, nextStartFailures = 0;
};

TEST(CrashConsistency, EveryFileIsOldOrNewAfterAKillDuringTheShutdownSave) {
    const char* roundsText = std::getenv("KAVEX_CRASH_ROUNDS");
    if (!roundsText) GTEST_SKIP() << "set KAVEX_CRASH_ROUNDS (scripts/crash-consistency)";
    const int rounds = std::atoi(roundsText);

    // The old set: what a first session saved.
    Snapshot old;
    {
        test::ScriptedGame g;
        g.begin();
        g.quotes(3);
        g.client->unload();
        old = snapshot(g.dir.root);
    }
    // The new set, and how long its save takes.
    Snapshot fresh;
    std::chrono::microseconds saveTime{};
    {
        test::ScriptedGame g;
        restore(old, g.dir.root);
        runSession(g);
        auto start = std::chrono::steady_clock::now();
        g.client->unload();
        saveTime =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
        fresh = snapshot(g.dir.root);
    }
    ASSERT_EQ(old.size(), fresh.size());
    ASSERT_NE(old, fresh);

    std::mt19937 random(2026);
    Counts c;
    for (int round = 0; round < rounds; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Tells the parent its folder as the save begins; ends without any clean-up.
            close(ready[0]);
            test::ScriptedGame g;
            restore(old, g.dir.root);
            runSession(g);
            const std::string path = g.dir.root.string() + "\n";
            (void)!write(ready[1], path.data(), path.size());
            g.client->unload();
            _exit(0);
        }
        close(ready[1]);
        std::string path;
        char byte = 0;
        while (read(ready[0], &byte, 1) == 1 && byte != '\n')
            path += byte;
        close(ready[0]);
        std::uniform_int_distribution<long> delay(0, saveTime.count() * 6 / 5);
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_FALSE(path.empty()) << "the session did not reach its save";
        ++c.rounds;
        (WIFSIGNALED(status) ? c.killedInSave : c.finishedFirst)++;

        const Snapshot after = snapshot(path);
        if (std::getenv("KAVEX_CRASH_VERBOSE"))
            for (const auto& [name, bytes] : after)
                std::printf("%d %s %s %zu\n", WIFSIGNALED(status), name.c_str(),
                            !old.count(name)          ? "tmp"
                            : bytes == old.at(name)   ? "old"
                            : bytes == fresh.at(name) ? "new"
                                                      : "torn",
                            bytes.size());
        bool temporaries = false;
        for (const auto& [name, bytes] : after) {
            if (!old.count(name)) {
                ++c.temporaries;
                temporaries = true;
            } else if (bytes == old.at(name) && bytes != fresh.at(name)) {
                ++c.filesOld;
            } else if (bytes == old.at(name)) {
                ++c.filesUnchanged;
            } else if (bytes == fresh.at(name)) {
                ++c.filesNew;
            } else {
                ++c.filesTorn;
                ADD_FAILURE() << "round " << round << ": " << name << " is neither old nor new";
            }
        }
        for (const auto& [name, bytes] : old)
            c.filesMissing += !after.count(name);
        c.roundsWithTemporaries += temporaries;

        // The next start reads the files and saves again; what it leaves is complete.
        {
            test::ScriptedGame next;
            fs::remove_all(next.dir.root);
            fs::copy(path, next.dir.root);
            next.serve();
            const std::string& password = next.client->settings().password;
            const bool read = password == "pw" || password == "new";
            next.client->unload();
            const Snapshot saved = snapshot(next.dir.root);
            int extra = 0;
            for (const auto& [name, bytes] : saved)
                extra += !old.count(name);
            c.temporariesAfterNextStart += extra;
            c.nextStartFailures += !read || saved.size() < old.size();
        }
        fs::remove_all(path);
    }
    std::printf("crash-consistency rounds: %d (killed during the save %d, save finished first %d)\n"
                "files old %d, new %d, unchanged by the save %d, torn %d, missing %d\n"
                "temporaries left by the kill: %d in %d rounds; left after the next start: %d\n"
                "next starts that failed: %d\n",
                c.rounds, c.killedInSave, c.finishedFirst, c.filesOld, c.filesNew, c.filesUnchanged,
                c.filesTorn, c.filesMissing, c.temporaries, c.roundsWithTemporaries,
                c.temporariesAfterNextStart, c.nextStartFailures);
    EXPECT_EQ(c.filesTorn, 0);
    EXPECT_EQ(c.filesMissing, 0);
    EXPECT_EQ(c.nextStartFailures, 0);
    EXPECT_EQ(c.temporariesAfterNextStart, 0);
}

} // namespace
} // namespace kavex
