#include "cli/command_run.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <thread>

#include "cli/command_options.h"

namespace vxcli {

void ReadAll(const std::vector<std::string>& paths, const ReadOptions& options, int jobs,
             const std::function<void(int, const ReadResult&)>& emit) {
  const int count = static_cast<int>(paths.size());
  if (count == 0) return;
  const int workers = std::clamp(jobs, 1, count);
  std::vector<std::optional<ReadResult>> done(count);
  std::mutex mutex;
  std::condition_variable ready;
  std::atomic<int> next{0};

  auto work = [&] {
    for (int k = next++; k < count; k = next++) {
      ReadOptions mine = options;
      if (!options.marked.empty()) mine.marked = MarkedPath(options.marked, k, count);
      ReadResult r;
      try {
        r = ReadPictureFile(paths[k], mine);
      } catch (const std::bad_alloc&) {
        r = ReadResult{};
        r.fault = "not enough memory to read the picture";
      } catch (const std::exception& e) {
        r = ReadResult{};
        r.fault = std::string("cannot read the picture: ") + e.what();
      }
      {
        std::lock_guard<std::mutex> lock(mutex);
        done[k] = std::move(r);
      }
      ready.notify_all();
    }
  };

  std::vector<std::thread> threads;
  threads.reserve(workers);
  for (int w = 0; w < workers; ++w) threads.emplace_back(work);
  for (int k = 0; k < count; ++k) {
    ReadResult r;
    {
      std::unique_lock<std::mutex> lock(mutex);
      ready.wait(lock, [&] { return done[k].has_value(); });
      r = std::move(*done[k]);
      done[k].reset();
    }
    emit(k, r);
  }
  for (std::thread& t : threads) t.join();
}

}  // namespace vxcli
