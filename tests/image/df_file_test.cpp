// SaveDF and OpenDF (uncompressed 24-bit bitmap files only), and handles of
// loaded pictures: issued, queried and released.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "image/bitmap_handle.h"
#include "support/images.h"
#include "support/picture_writers.h"

namespace {

using vxtest::Bytes;
using vxtest::Image;

Image Open(const std::string& path) { return Image::Adopt(OpenDF(path.c_str())); }

std::uint32_t Field32(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(DfFile, GrayImageIsWrittenAs24BitWithThreeEqualBytes) {
  Image gray = Image::Gray(5, 3);
  for (int i = 0; i < 15; ++i) gray.at(i % 5, i / 5) = static_cast<unsigned char>(10 * (i / 5) + i % 5);
  const std::string path = vxtest::TempPath("gray.bmp");
  ASSERT_EQ(SaveDF(path.c_str(), gray.img()), 0);
  const Bytes file = vxtest::ReadFile(path);
  ASSERT_EQ(file.size(), 102u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 2), "BM");
  // File size, data offset, header size, width, height, planes and bits, compression, data size.
  const std::pair<size_t, std::uint32_t> fields[] = {{2, 102}, {10, 54},           {14, 40}, {18, 5},
                                                     {22, 3},  {26, 1 | 24 << 16}, {30, 0},  {34, 48}};
  for (auto [at, want] : fields) EXPECT_EQ(Field32(file, at), want) << "offset " << at;
  Image back = Open(path);
  ASSERT_EQ(back.img().gray, 0);
  ASSERT_EQ(back.img().stride, 16);
  for (int y = 0; y < 3; ++y)
    for (int i = 0; i < 16; ++i) EXPECT_EQ(back.row(y)[i], i < 15 ? 10 * y + i / 3 : 0) << y << "," << i;
}

// Also read back by the general reader.
TEST(DfFile, RoundTripsAreByteIdentical) {
  for (int width = 1; width <= 9; ++width) {
    SCOPED_TRACE(width);
    Image color = Image::Color(width, 4);
    for (int i = 0; i < 12 * width; ++i) color.row(i / (3 * width))[i % (3 * width)] = 31 * i + width;
    const size_t size = static_cast<size_t>(color.img().stride) * 4;
    const std::string first = vxtest::TempPath("first.bmp"), second = vxtest::TempPath("second.bmp");
    ASSERT_EQ(SaveDF(first.c_str(), color.img()), 0);
    Image back = Open(first), general = Image::Adopt(OpenGraphFile(first.c_str()));
    for (const Image* img : {&back, &general}) {
      ASSERT_EQ(img->img().stride, color.img().stride);
      EXPECT_EQ(std::memcmp(img->img().bits, color.img().bits, size), 0);
    }
    ASSERT_EQ(SaveDF(second.c_str(), back.img()), 0);
    EXPECT_EQ(vxtest::ReadFile(first), vxtest::ReadFile(second));
  }
}

// OpenDF reads 24-bit files whatever their row order or header size; the
// general reader takes the other variants but no unknown header size.
TEST(DfFile, ReadsOnly24BitFiles) {
  const vxtest::TestPicture picture = vxtest::RandomPicture(7, 5, 11, 6);
  const std::tuple<const char*, Bytes, bool, bool> cases[] = {
      {"top-down", vxtest::WriteBmp(picture, {.top_down = true}), true, true},
      {"V5 header", vxtest::WriteBmp(picture, {.info_size = 124}), true, true},
      {"20-byte header", vxtest::Patched(vxtest::WriteBmp(picture), {{14, 20}}), true, false},
      // OpenDF reads the 40-byte layout whatever the size field says; to the
      // general reader 12 means 16-bit sizes, here a height of 0.
      {"header size field 12", vxtest::Patched(vxtest::WriteBmp(picture), {{14, 12}}), true, false},
      {"8-bit palette", vxtest::WriteBmp(picture, {.bits = 8}), false, true},
      {"32-bit", vxtest::WriteBmp(picture, {.bits = 32}), false, true},
  };
  auto result = [&](const Image& img) {
    return img.img().valid ? vxtest::MaxDifference(img.img(), picture) : -1;
  };
  for (const auto& [name, bytes, df, general] : cases) {
    SCOPED_TRACE(name);
    const std::string path = vxtest::TempPath("layout.bmp");
    vxtest::WriteFile(path, bytes);
    EXPECT_EQ(result(Open(path)), df ? 0 : -1);
    EXPECT_EQ(result(Image::Adopt(OpenGraphFile(path.c_str()))), general ? 0 : -1);
  }
}

TEST(DfFile, SaveRefusesWhatItCannotWrite) {
  Image color = Image::Color(4, 4);
  const IMG img = color.img();
  const std::string ok = vxtest::TempPath("ok.bmp");
  const std::tuple<const char*, std::string, IMG> cases[] = {
      {"disk full", "/dev/full", img},
      {"null bits", ok, {nullptr, 4, img.stride, 4, 1, 0}},
      {"zero width", ok, {img.bits, 0, img.stride, 4, 1, 0}},
      {"negative height", ok, {img.bits, 4, img.stride, -2, 1, 0}},
      {"stride shorter than a row", ok, {img.bits, 4, 11, 4, 1, 0}},
  };
  for (const auto& [name, path, bad] : cases) EXPECT_EQ(SaveDF(path.c_str(), bad), 1) << name;
  EXPECT_EQ(SaveDF(nullptr, img), 1);
}

// Rows are written as they are in memory, stride x height bytes with the
// record's own stride and its padding bytes, and the header states that stride.
TEST(DfFile, SaveWritesTheBufferAsItIs) {
  for (int stride : {16, 20}) {
    SCOPED_TRACE(stride);
    std::vector<unsigned char> buffer(static_cast<size_t>(stride) * 3);
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<unsigned char>(7 * i + 1);
    const std::string path = vxtest::TempPath("padding.bmp");
    ASSERT_EQ(SaveDF(path.c_str(), IMG{buffer.data(), 5, stride, 3, 1, 0}), 0);
    const Bytes file = vxtest::ReadFile(path);
    ASSERT_EQ(file.size(), 54 + buffer.size());
    EXPECT_EQ(Field32(file, 2), 54 + buffer.size()) << "file size";
    EXPECT_EQ(Field32(file, 34), buffer.size()) << "image size";
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), file.begin() + 54)) << "pixel bytes";
  }
}

// A FIFO (or any file that is not a regular file) is refused at once by
// every reader and by SaveDF, instead of waiting for the other end. A
// regression would block in open(): the watchdog then opens the other ends
// itself, so the test fails instead of hanging.
TEST(DfFile, FifosAreRefusedWithoutWaiting) {
  const std::string fifo = vxtest::TempPath("pipe.bmp");
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  Image color = Image::Color(4, 4);
  std::promise<std::vector<long>> results;
  std::future<std::vector<long>> done = results.get_future();
  std::thread calls([&] {
    results.set_value({OpenDF(fifo.c_str()).valid, OpenGraphFile(fifo.c_str()).valid,
                       static_cast<long>(LoadPictureFile(fifo.c_str())), SaveDF(fifo.c_str(), color.img()),
                       SaveDF("/dev/null", color.img())});
  });
  const bool prompt = done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  EXPECT_TRUE(prompt) << "a call blocked on the FIFO";
  while (!prompt && done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
    for (int flags : {O_RDONLY | O_NONBLOCK, O_WRONLY | O_NONBLOCK}) {
      const int fd = open(fifo.c_str(), flags);
      if (fd >= 0) close(fd);
    }
  }
  calls.join();
  EXPECT_EQ(done.get(), (std::vector<long>{0, 0, 0, 1, 1}))
      << "OpenDF, OpenGraphFile, LoadPictureFile, SaveDF x2";
  std::remove(fifo.c_str());
}

const std::string& SmallPng() {
  static const std::string path = [] {
    std::string p = vxtest::TempPath("handle.png");
    vxtest::WriteFile(p, vxtest::WritePng(vxtest::RandomPicture(9, 4, 1)));
    return p;
  }();
  return path;
}

TEST(PictureHandle, LoadGivesAHandleThatIsReleasedOnce) {
  const std::uint32_t handle = LoadPictureFile(SmallPng().c_str());
  ASSERT_NE(handle, 0u);
  int width = 0, height = 0;
  ASSERT_TRUE(vx::PictureSize(handle, &width, &height));
  EXPECT_EQ(width, 9);
  EXPECT_EQ(height, 4);
  // 27 pixel bytes and one padding byte per row; rows too short are refused.
  std::vector<unsigned char> rows(4 * 40, 0xAB);
  EXPECT_FALSE(vx::FetchPictureRows(handle, rows.data(), 26, 4));
  EXPECT_TRUE(vx::FetchPictureRows(handle, rows.data(), 40, 4));
  EXPECT_EQ(rows[27], 0) << "padding byte";
  EXPECT_EQ(rows[28], 0xAB) << "beyond the row";
  EXPECT_EQ(DeleteObject(handle), 1);
  EXPECT_EQ(DeleteObject(handle), 0);
  EXPECT_FALSE(vx::PictureSize(handle, &width, &height));
  EXPECT_EQ(DeleteObject(0), 0);
}

// Handles come from a counter. OpenGraphFile hands its decoded buffer over
// without registering it, so it takes no handle in between.
TEST(PictureHandle, OpenGraphFileTakesNoHandle) {
  const std::uint32_t before = LoadPictureFile(SmallPng().c_str());
  vxtest::Image img = vxtest::Image::Adopt(OpenGraphFile(SmallPng().c_str()));
  const std::uint32_t after = LoadPictureFile(SmallPng().c_str());
  ASSERT_EQ(img.img().valid, 1);
  EXPECT_EQ(after, before + 1);
  EXPECT_EQ(DeleteObject(before), 1);
  EXPECT_EQ(DeleteObject(after), 1);
}

// Loads from several threads at once each get a picture and a handle of their own.
TEST(PictureHandle, ConcurrentLoadsGetDistinctHandles) {
  constexpr int kThreads = 4, kLoads = 25;
  std::vector<std::uint32_t> handles(kThreads * kLoads);
  std::atomic<int> valid{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kLoads; ++i) {
        handles[t * kLoads + i] = LoadPictureFile(SmallPng().c_str());
        vxtest::Image img = vxtest::Image::Adopt(OpenGraphFile(SmallPng().c_str()));
        valid += img.img().valid;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(valid, kThreads * kLoads);
  const std::set<std::uint32_t> all(handles.begin(), handles.end());
  EXPECT_EQ(all.size(), handles.size()) << "distinct";
  EXPECT_EQ(all.count(0), 0u) << "none refused";
  for (std::uint32_t h : all) EXPECT_EQ(DeleteObject(h), 1);
}

}  // namespace
