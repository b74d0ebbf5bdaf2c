// Reading many pictures: order of results, threads that cannot be started,
// and stopping when the results are no longer wanted.
#include "cli/command_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

#include "cli/command_options.h"
#include "tests/cli/run_command.h"

namespace {

// Starts the first `allowed` threads, then fails as std::thread does when
// the system has no more threads or memory to give.
vxcli::ThreadStarter StartAtMost(int allowed) {
  return [allowed, started = 0](std::function<void()> work) mutable {
    if (started == allowed) throw std::system_error(EAGAIN, std::generic_category(), "thread");
    ++started;
    return std::thread(std::move(work));
  };
}

// `vexolith read` of the sample and a missing file, alternating.
vxcli::Command Pictures(int count) {
  vxcli::Command c;
  for (int k = 0; k < count; ++k)
    c.pictures.push_back(k % 2 ? vxclitest::TestDir() + "/missing.bmp" : VEXOLITH_SAMPLE_PICTURE);
  return c;
}

TEST(CommandRun, WorkersThatCannotStartLeaveTheReadingToTheOthers) {
  const vxcli::Command c = Pictures(6);
  for (const int allowed : {0, 1, 3, 8}) {
    SCOPED_TRACE(allowed);
    std::vector<int> order;
    std::vector<bool> ok;
    vxcli::RunAll(
        6, 4, [&c](int k) { return vxcli::AnalysePicture(c, k); },
        [&](int k, const vxcli::Outcome& r) {
          order.push_back(k);
          ok.push_back(r.ok);
          return true;
        },
        StartAtMost(allowed));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5})) << "every picture, in order";
    EXPECT_EQ(ok, (std::vector<bool>{true, false, true, false, true, false}));
  }
}

TEST(CommandRun, EmitReturningFalseStopsTheReading) {
  const vxcli::Command c = Pictures(40);
  for (const int allowed : {0, 2}) {
    SCOPED_TRACE(allowed);
    int emitted = 0;
    vxcli::RunAll(
        40, 2, [&c](int k) { return vxcli::AnalysePicture(c, k); },
        [&](int k, const vxcli::Outcome&) { return ++emitted, k < 2; }, StartAtMost(allowed));
    EXPECT_EQ(emitted, 3) << "nothing after the refusal";
  }
}

}  // namespace
