// The working folder fills up during the shutdown save (a file size limit makes every
// write past it fail, as a full disk does): each file stays whole in its old or its new
// version, the failure is logged, and the next save with room writes them all.
#include "scripted_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <sys/resource.h>

namespace kavex {
namespace {

namespace fs = std::filesystem;

using test::Snapshot;
using test::snapshot;

// Writes past `bytes` fail with "File too large" instead of ending the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

  private:
    rlimit old_{};
};

class DiskFaults : public ::testing::TestWithParam<rlim_t>, protected test::ScriptedGame {};

TEST_P(DiskFaults, EveryFileStaysWholeOldOrNewAndTheFailureIsLogged) {
    begin();
    quotes(3);
    restart(); // the old versions of settings, presets and history are on disk now
    const Snapshot old = snapshot(dir.root);
    client->orderClient().setPassword("pw2");
    quotes(5);
    {
        FileSizeLimit full(GetParam());
        client->unload();
    }
    const Snapshot afterFull = snapshot(dir.root);
    const auto& log = client->controls().log.lines();
    const bool failureLogged =
        std::any_of(log.begin(), log.end(), [](const auto& l) { return l.starts_with("F:"); });
    client->saveUserData(); // with room again: the same data, so these are the new versions
    const Snapshot fresh = snapshot(dir.root);

    int keptOld = 0;
    for (const auto& [name, bytes] : afterFull) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(old.count(name) || fresh.count(name)) << "a temporary was left behind";
        EXPECT_TRUE((old.count(name) && bytes == old.at(name)) || bytes == fresh.at(name));
        keptOld += old.count(name) && bytes == old.at(name) && bytes != fresh.at(name);
    }
    EXPECT_GT(keptOld, 0);
    EXPECT_TRUE(failureLogged);
    EXPECT_NE(fresh.at(SettingsFile::kSettingsName), old.at(SettingsFile::kSettingsName));
}

// No room at all; room for the settings but not the history; room for all but the largest.
INSTANTIATE_TEST_SUITE_P(Faults, DiskFaults, ::testing::Values(rlim_t{0}, rlim_t{2000}, rlim_t{40000}));

} // namespace
} // namespace kavex
