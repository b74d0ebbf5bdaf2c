// Reading and writing picture files of 1, 12 and 48 megapixels with fresh
// memory: after every call the freed memory, the blocks the library keeps
// for reuse included, is given back to the system (outside the timing), so
// each read pays for the pages of its picture as a program that opens one
// file does, not a loop that reuses warm ones.
// The files live in the temporary folder, so the page cache holds them and
// the figures show the readers and writers, not the disk.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "image/buffer.h"
#include "vexolith.h"

namespace {

struct Size {
  int width, height;
};

// Arguments are megapixels; 4:3 pictures.
Size SizeFor(int megapixels) {
  switch (megapixels) {
    case 1:
      return {1152, 864};
    case 12:
      return {4000, 3000};
    default:
      return {8000, 6000};
  }
}

// A picture with a gradient and a checker pattern, in a buffer of its own.
struct Picture {
  std::vector<unsigned char> pixels;
  IMG img{};
};

Picture MakePicture(Size size) {
  Picture p;
  const int stride = (3 * size.width + 3) / 4 * 4;
  p.pixels.assign(static_cast<std::size_t>(stride) * size.height, 0);
  for (int y = 0; y < size.height; ++y) {
    unsigned char* row = p.pixels.data() + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < size.width; ++x) {
      row[3 * x] = static_cast<unsigned char>(x * 255 / size.width);
      row[3 * x + 1] = static_cast<unsigned char>(y * 255 / size.height);
      row[3 * x + 2] = static_cast<unsigned char>((x / 40 + y / 40) % 2 ? 40 : 220);
    }
  }
  p.img = IMG{p.pixels.data(), size.width, stride, size.height, 1, 0};
  return p;
}

// The bitmap file of a picture of the given size, written once per run.
const std::string& BitmapFile(int megapixels) {
  static std::map<int, std::string> files;
  auto it = files.find(megapixels);
  if (it != files.end()) return it->second;
  const std::string path =
      (std::filesystem::temp_directory_path() / ("vexolith_bench_" + std::to_string(megapixels) + "mp.bmp"))
          .string();
  SaveDF(path.c_str(), MakePicture(SizeFor(megapixels)).img);
  return files.emplace(megapixels, path).first->second;
}

void GiveMemoryBack(benchmark::State& state) {
  state.PauseTiming();
  vx::ReleaseKeptBlocks();
  malloc_trim(0);
  state.ResumeTiming();
}

void SetPixels(benchmark::State& state) {
  const Size size = SizeFor(static_cast<int>(state.range(0)));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(size.width) * size.height);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size.width) * size.height * 3);
}

template <IMG (*Open)(const char*)>
void BM_Read(benchmark::State& state) {
  const std::string& path = BitmapFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    IMG img = Open(path.c_str());
    if (!img.valid) {
      state.SkipWithError("the file was not read");
      break;
    }
    benchmark::DoNotOptimize(img.bits);
    DeleteImg(img);
    GiveMemoryBack(state);
  }
  SetPixels(state);
}

void BM_SaveDF(benchmark::State& state) {
  const Picture picture = MakePicture(SizeFor(static_cast<int>(state.range(0))));
  const std::string path = (std::filesystem::temp_directory_path() / "vexolith_bench_save.bmp").string();
  for (auto _ : state) {
    if (SaveDF(path.c_str(), picture.img) != 0) {
      state.SkipWithError("the file was not written");
      break;
    }
  }
  std::remove(path.c_str());
  SetPixels(state);
}

}  // namespace

BENCHMARK(BM_Read<OpenDF>)
    ->Name("BM_OpenDF_FreshMemory")
    ->Arg(1)
    ->Arg(12)
    ->Arg(48)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Read<OpenGraphFile>)
    ->Name("BM_OpenGraphFile_Bmp_FreshMemory")
    ->Arg(1)
    ->Arg(12)
    ->Arg(48)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_SaveDF)->Arg(1)->Arg(12)->Arg(48)->Unit(benchmark::kMillisecond)->UseRealTime();
