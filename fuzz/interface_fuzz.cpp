// The exported operations that take IMG records, called on records a host
// could pass by mistake: widths, heights and strides of every sign (0,
// negative, shorter than a row, longer), null bits, `valid` and `gray` of
// any value, and random rectangles, coordinates, factors and modes. The
// buffer behind a record is exactly what a record whose rows hold their
// pixels needs (stride x height bytes), or one row's pixels per row when
// the stride is 0, negative or short, so an operation that trusts such a
// stride reads or writes outside it and the sanitizer reports it. Records that lie about
// a usable size (a stride the buffer does not have) are a host error no
// operation can detect, and are not made.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdio.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vexolith.h"

namespace {

constexpr int kMaxSide = 48;

// A record and the block behind it, owned by the harness.
struct Record {
  std::vector<unsigned char> block;
  IMG img{};
};

int PickStride(FuzzedDataProvider& in, int row_bytes) {
  const int usual = (row_bytes + 3) / 4 * 4;
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0:
      return usual;
    case 1:
      return usual + 4 * in.ConsumeIntegralInRange(1, 4);
    case 2:
      return 0;
    case 3:
      return -usual;
    case 4:
      return std::max(row_bytes - in.ConsumeIntegralInRange(1, 3), 1);
    case 5:
      return row_bytes;
    default:
      return in.ConsumeIntegral<int>();
  }
}

Record MakeRecord(FuzzedDataProvider& in) {
  Record r;
  const int width = in.ConsumeIntegralInRange(-2, kMaxSide);
  const int height = in.ConsumeIntegralInRange(-2, kMaxSide);
  const unsigned char gray = in.ConsumeIntegralInRange(0, 9) == 0 ? 2 : in.ConsumeBool();
  // `gray` 2 breaks the rule that it is 0 or 1; its rows are sized as gray
  // ones, so an operation that takes it for 24-bit must check its stride.
  const int bytes_per_pixel = gray == 0 ? 3 : 1;
  const int row_bytes = std::max(width, 0) * bytes_per_pixel;
  int stride = PickStride(in, row_bytes);
  // Rows of stride bytes that hold their pixels: the buffer is stride x
  // height bytes, as the record says (also for a width of 0 or less, whose
  // rows are all padding).
  const bool usable = height >= 1 && stride >= 1 && stride >= row_bytes;
  const std::int64_t rows = std::max(height, 0);
  std::int64_t bytes = usable ? std::int64_t{stride} * rows
                              : std::int64_t{std::max(row_bytes, 4)} * std::max<std::int64_t>(rows, 1);
  // A huge usable stride would need a huge block: keep the record, shrink the stride.
  if (usable && bytes > (std::int64_t{1} << 20)) {
    stride = std::max((row_bytes + 3) / 4 * 4, 4);
    bytes = std::int64_t{stride} * rows;
  }
  r.block.resize(static_cast<std::size_t>(std::max<std::int64_t>(bytes, 1)));
  for (auto& b : r.block) b = in.ConsumeBool() ? 0 : 255;
  const bool null_bits = in.ConsumeIntegralInRange(0, 15) == 0;
  r.img = IMG{null_bits ? nullptr : r.block.data(),
              width,
              stride,
              height,
              static_cast<unsigned char>(in.ConsumeIntegralInRange(0, 7) == 0 ? 0 : 1),
              gray};
  return r;
}

int Coordinate(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange(-3, kMaxSide + 3) : in.ConsumeIntegral<int>();
}

RECT Rectangle(FuzzedDataProvider& in) {
  return RECT{Coordinate(in), Coordinate(in), Coordinate(in), Coordinate(in)};
}

double Real(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeFloatingPointInRange(-10.0, 60.0) : in.ConsumeFloatingPoint<double>();
}

// Releases an image the library made.
void Drop(IMG img) {
  if (img.valid) DeleteImg(img);
}

void SaveToMemoryFile(IMG img) {
  const int fd = memfd_create("df", MFD_CLOEXEC);
  if (fd < 0) return;
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  SaveDF(path.c_str(), img);
  close(fd);
}

void CallOne(FuzzedDataProvider& in, const IMG& img, const IMG& other, CONTOUR& store) {
  const unsigned char c0 = in.ConsumeIntegral<unsigned char>(), c1 = 0, c2 = 255;
  switch (in.ConsumeIntegralInRange(0, 24)) {
    case 0: {
      // Transform1 consumes a source it accepts and leaves a refused one alone.
      IMG copy{};
      if (CopyIMG(img, &copy) == 0) {
        const IMG framed = Transform1(copy);
        DeleteImg(framed.valid ? framed : copy);
      }
      break;
    }
    case 1:
      ClearImage(img);
      break;
    case 2:
      Drop(Img24To8(img));
      break;
    case 3:
      Drop(Img8To24(img));
      break;
    case 4:
      Drop(IncreaseImg(img, in.ConsumeIntegralInRange(-1, 3)));
      break;
    case 5:
      Drop(ReduceImage(img, in.ConsumeIntegralInRange(-1, 5)));
      break;
    case 6:
      UpDownImage(img);
      break;
    case 7:
      ThresholdImage(img, c0, Rectangle(in));
      break;
    case 8:
      Drop(AdaptiveThresholdImage(img, in.ConsumeIntegralInRange(-2, 20), Rectangle(in),
                                  in.ConsumeIntegralInRange(-1, 3)));
      break;
    case 9:
      Adaptive2ThresholdImage(img, c0, in.ConsumeIntegral<unsigned char>(), Rectangle(in),
                              in.ConsumeIntegralInRange(-2, 20));
      break;
    case 10:
      DrawPoint(img, Coordinate(in), Coordinate(in), c0, c1, c2);
      break;
    case 11:
      DrawLine(img, C_POINT{Coordinate(in), Coordinate(in)}, C_POINT{Coordinate(in), Coordinate(in)}, c0, c1,
               c2);
      break;
    case 12:
      DrawLine(img,
               F_LINE{in.ConsumeIntegralInRange(0, 3), in.ConsumeIntegralInRange(0, 3), Real(in), Real(in)},
               c0, c1, c2);
      break;
    case 13:
      DrawRect(img, Rectangle(in), c0, c1, c2);
      break;
    case 14:
      DrawFillRect(img, Rectangle(in), c0, c1, c2);
      break;
    case 15:
      store.Find(img, Rectangle(in), c0, in.ConsumeIntegralInRange(0, 7));
      break;
    case 16:
      store.DrawContour(img, in.ConsumeIntegralInRange(-1, 3), c0, c1, c2);
      break;
    case 17:
      store.DrawContours(img, c0, c1, c2);
      break;
    case 18:
    case 19: {
      GRID grid(in.ConsumeIntegralInRange(1, 4), in.ConsumeIntegralInRange(1, 4));
      grid.CreateGrid(FOUR_FIG_Pd{
          {Real(in), Real(in)}, {Real(in), Real(in)}, {Real(in), Real(in)}, {Real(in), Real(in)}});
      if (in.ConsumeBool()) {
        grid.RecogCells(img);
      } else {
        grid.RecogCells(img, other);
      }
      break;
    }
    case 20:
      SaveToMemoryFile(img);
      break;
    default: {
      // The pipeline's order: gray, threshold, contours, drawing into a 24-bit copy.
      IMG gray = Img24To8(img);
      if (gray.valid) {
        ThresholdImage(gray, c0, RECT{0, 0, gray.width, gray.height});
        store.Find(gray, RECT{0, 0, gray.width, gray.height}, 0, in.ConsumeIntegralInRange(0, 7));
        IMG display = Img8To24(gray);
        store.DrawContours(display, c0, c1, c2);
        Drop(display);
        DeleteImg(gray);
      }
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Find prints a line per contour; keep the fuzzer's output readable.
  if (freopen("/dev/null", "w", stdout) == nullptr) return 0;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  auto store = std::make_unique<CONTOUR>();  // large: on the heap
  Record first = MakeRecord(in);
  Record second = MakeRecord(in);
  const int calls = in.ConsumeIntegralInRange(1, 8);
  for (int i = 0; i < calls && in.remaining_bytes() > 0; ++i) {
    const bool swap = in.ConsumeBool();
    CallOne(in, swap ? second.img : first.img, swap ? first.img : second.img, *store);
  }
  return 0;
}
