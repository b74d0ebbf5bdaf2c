#include "cli/command_run.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>

#include "cli/command_files.h"
#include "cli/command_options.h"

namespace vxcli {

std::thread StartThread(std::function<void()> work) { return std::thread(std::move(work)); }

void ReadAll(const std::vector<std::string>& paths, const ReadOptions& options, int jobs,
             const std::function<bool(int, const ReadResult&)>& emit, const ThreadStarter& start) {
  const int count = static_cast<int>(paths.size());
  if (count == 0) return;
  const int workers = std::clamp(jobs, 1, count);
  std::vector<std::optional<ReadResult>> done(count);
  std::mutex mutex;
  std::condition_variable ready;
  std::atomic<int> next{0};

  auto read_one = [&](int k) {
    ReadOptions mine = options;
    if (!options.marked.empty()) mine.marked = MarkedPath(options.marked, k, count);
    ReadResult r;
    r.fault = CheckPictureFile(paths[k]);
    if (r.fault.empty() && !mine.marked.empty()) r.fault = CheckMarkedFile(mine.marked);
    if (!r.fault.empty()) return r;
    try {
      r = ReadPictureFile(paths[k], mine);
    } catch (const std::bad_alloc&) {
      r = ReadResult{};
      r.fault = "not enough memory to read the picture";
    } catch (const std::exception& e) {
      r = ReadResult{};
      r.fault = std::string("cannot read the picture: ") + e.what();
    }
    return r;
  };
  auto work = [&] {
    for (int k = next++; k < count; k = next++) {
      ReadResult r = read_one(k);
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
      if (!emit(k, read_one(k))) break;
    return;
  }
  for (int k = 0; k < count; ++k) {
    ReadResult r;
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
