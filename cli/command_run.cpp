#include "cli/command_run.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>

namespace vxcli {

std::thread StartThread(std::function<void()> work) { return std::thread(std::move(work)); }

void RunAll(int count, int jobs, const std::function<Outcome(int)>& analyse,
            const std::function<bool(int, const Outcome&)>& emit, const ThreadStarter& start) {
  if (count <= 0) return;
  const int workers = std::clamp(jobs, 1, count);
  std::vector<std::optional<Outcome>> done(count);
  std::mutex mutex;
  std::condition_variable ready;
  std::atomic<int> next{0};

  auto one = [&](int k) {
    try {
      return analyse(k);
    } catch (const std::bad_alloc&) {
      return Outcome{false, "not enough memory to read the picture", ""};
    } catch (const std::exception& e) {
      return Outcome{false, std::string("cannot read the picture: ") + e.what(), ""};
    }
  };
  auto work = [&] {
    for (int k = next++; k < count; k = next++) {
      Outcome r = one(k);
      {
        std::lock_guard<std::mutex> lock(mutex);
        done[k] = std::move(r);
      }
      ready.notify_all();
    }
  };

  // A system short of threads or memory refuses a thread with
  // std::system_error; the ones already started then share the pictures.
  std::vector<std::thread> threads;
  threads.reserve(workers);
  for (int w = 0; w < workers; ++w) {
    try {
      threads.push_back(start(work));
    } catch (const std::system_error&) {
      break;
    }
  }
  if (threads.empty()) {
    for (int k = 0; k < count; ++k)
      if (!emit(k, one(k))) break;
    return;
  }
  for (int k = 0; k < count; ++k) {
    Outcome r;
    {
      std::unique_lock<std::mutex> lock(mutex);
      ready.wait(lock, [&] { return done[k].has_value(); });
      r = std::move(*done[k]);
      done[k].reset();
    }
    if (!emit(k, r)) {
      next = count;  // the workers finish the picture in hand and stop
      break;
    }
  }
  for (std::thread& t : threads) t.join();
}

}  // namespace vxcli
