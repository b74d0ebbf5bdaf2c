#include "image/bmp_decode.h"

namespace vx {

namespace {

// Escape codes that follow a zero count byte.
constexpr unsigned kEndOfLine = 0;
constexpr unsigned kEndOfBitmap = 1;
constexpr unsigned kDelta = 2;

// Where the next pixel goes, in buffer rows (run-length files are always
// stored bottom-up). Every placement is checked against the picture: a run
// past the end of its row or beyond the last row refuses the file.
class RleCursor {
 public:
  RleCursor(const BmpPalette& palette, Picture* out) : palette_(palette), out_(out) {}

  bool Fits(unsigned count) const {
    return y_ < out_->height && x_ + static_cast<long>(count) <= out_->width;
  }

  bool Put(unsigned index) {
    if (static_cast<int>(index) >= palette_.count) return false;
    const auto& c = palette_.bgr[index];
    PutBgr(out_->Row(y_), static_cast<int>(x_), c[0], c[1], c[2]);
    ++x_;
    return true;
  }

  bool EndLine() {
    if (y_ >= out_->height) return false;
    x_ = 0;
    ++y_;
    return true;
  }

  bool Move(unsigned dx, unsigned dy) {
    x_ += dx;
    y_ += static_cast<int>(dy);
    return x_ <= out_->width && y_ <= out_->height;
  }

  bool AllRowsDone() const { return y_ >= out_->height; }

 private:
  const BmpPalette& palette_;
  Picture* out_;
  long x_ = 0;
  int y_ = 0;
};

// Index of pixel i of a run whose byte holds two 4-bit indices (high first)
// or one 8-bit index.
inline unsigned RunIndex(unsigned byte, unsigned i, bool four_bit) {
  if (!four_bit) return byte;
  return (i % 2 == 0) ? byte >> 4 : byte & 0x0F;
}

}  // namespace

// A run code of 2 bytes gives at most 255 pixels, so data of n bytes fills
// fewer than 128 n pixels. End-of-line, delta and end-of-bitmap codes may
// leave further pixels white, but a picture declared larger than its codes
// can fill many times over is refused before it is allocated: a 64-byte file
// could otherwise claim gigabytes. The allowance of 2^16 pixels keeps small
// pictures that are mostly skipped.
std::uint64_t MaxRlePixels(std::uint64_t data_bytes) {
  constexpr std::uint64_t kPixelsPerByte = 128;
  constexpr std::uint64_t kSkippedAllowance = std::uint64_t{1} << 16;
  return data_bytes * kPixelsPerByte + kSkippedAllowance;
}

bool DecodeBmpRle(ByteView data, bool four_bit, const BmpPalette& palette, Picture* out) {
  RleCursor cursor(palette, out);
  std::size_t at = 0;
  while (at + 2 <= data.size) {
    unsigned count = data.data[at];
    unsigned value = data.data[at + 1];
    at += 2;
    if (count > 0) {
      if (!cursor.Fits(count)) return false;
      for (unsigned i = 0; i < count; ++i) {
        if (!cursor.Put(RunIndex(value, i, four_bit))) return false;
      }
      continue;
    }
    if (value == kEndOfBitmap) return true;
    if (value == kEndOfLine) {
      if (!cursor.EndLine()) return false;
      continue;
    }
    if (value == kDelta) {
      if (at + 2 > data.size || !cursor.Move(data.data[at], data.data[at + 1])) return false;
      at += 2;
      continue;
    }
    // Absolute mode: `value` literal indices, padded to a 16-bit boundary.
    std::size_t bytes = four_bit ? (value + 1) / 2 : value;
    std::size_t padded = (bytes + 1) / 2 * 2;
    if (at + bytes > data.size || !cursor.Fits(value)) return false;
    for (unsigned i = 0; i < value; ++i) {
      unsigned byte = data.data[at + (four_bit ? i / 2 : i)];
      if (!cursor.Put(RunIndex(byte, i, four_bit))) return false;
    }
    at += padded;
  }
  // Data that stops without its end-of-bitmap code is accepted only when the
  // end-of-line codes have already closed every row.
  return cursor.AllRowsDone();
}

}  // namespace vx
