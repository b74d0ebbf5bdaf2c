// GIF through giflib: the first frame only, laid on a canvas of the
// logical screen's size. Pixels outside the frame and pixels of the
// transparent colour are transparent, so they come out white.
#include <gif_lib.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "image/picture_decode.h"

namespace vx {

namespace {

// Most pixels that LZW data of `bytes` bytes can decode to. After a clear,
// the n-th code stands for at most n pixels (each code adds one table entry,
// one pixel longer than the longest before it) and never more than 4096;
// codes start at 3 bits (the smallest code size, 2, plus one) and widen as
// the table fills: at 2^w entries they take w + 1 bits, 12 at most. Clear
// codes only shorten strings again, so data without them bounds every
// file. The count stops once it passes `wanted`, so the loop is short for
// any picture a file can hold and never longer than the file's codes.
bool LzwCanDecode(std::uint64_t bytes, std::uint64_t wanted) {
  constexpr std::uint64_t kFirstFree = 6;  // 4 colours, clear, end
  constexpr std::uint64_t kTableSize = 4096;
  std::uint64_t bits = bytes * 8;
  std::uint64_t pixels = 0;
  for (std::uint64_t n = 1; pixels < wanted; ++n) {
    const std::uint64_t entries = std::min(kFirstFree + n - 1, kTableSize);
    // One bit narrower than the table may need at a boundary: an
    // underestimate of the width overestimates the codes, as a bound must.
    const std::uint64_t width = std::clamp<std::uint64_t>(std::bit_width(entries - 2), 3, 12);
    if (bits < width) return false;
    bits -= width;
    // Past the full table every code costs 12 bits and gives at most 4096 pixels.
    if (entries == kTableSize) return pixels + bits / 12 * kTableSize + kTableSize >= wanted;
    pixels += std::min(n, kTableSize);
  }
  return true;
}

struct MemoryFile {
  ByteView bytes;      // the whole file
  std::size_t at = 0;  // read position
};

int ReadFromBuffer(GifFileType* gif, GifByteType* buffer, int size) {
  auto* file = static_cast<MemoryFile*>(gif->UserData);
  if (size <= 0) return 0;
  const std::size_t count =
      std::min<std::size_t>(static_cast<std::size_t>(size), file->bytes.size - file->at);
  std::memcpy(buffer, file->bytes.data + file->at, count);
  file->at += count;
  return static_cast<int>(count);
}

struct GifCloser {
  GifFileType* gif = nullptr;
  ~GifCloser() {
    int error = 0;
    if (gif) DGifCloseFile(gif, &error);
  }
};

// Reads records up to the first image descriptor; remembers the
// transparent colour of the graphic control block that precedes it.
bool FindFirstFrame(GifFileType* gif, int* transparent) {
  *transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType record;
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) return false;
    if (record == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) != GIF_ERROR;
    if (record == TERMINATE_RECORD_TYPE) return false;
    if (record != EXTENSION_RECORD_TYPE) continue;
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
      GraphicsControlBlock control;
      if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
        *transparent = control.TransparentColor;
    }
    while (block != nullptr) {
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    }
  }
}

// Line order of a frame: interlaced frames store every 8th line from 0,
// then every 8th from 4, every 4th from 2 and every 2nd from 1.
std::vector<int> FrameLineOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  constexpr int kStart[4] = {0, 4, 2, 1};
  constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  }
  return order;
}

}  // namespace

bool DecodeGif(ByteView bytes, const PictureLimits& limits, Picture* out) {
  MemoryFile file{bytes, 0};
  int error = 0;
  GifCloser closer;
  closer.gif = DGifOpen(&file, ReadFromBuffer, &error);
  GifFileType* gif = closer.gif;
  if (gif == nullptr) return false;
  int transparent = NO_TRANSPARENT_COLOR;
  if (!FindFirstFrame(gif, &transparent)) return false;

  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (map == nullptr || frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0)
    return false;
  // A frame reaching beyond the logical screen widens the canvas.
  const std::int64_t width = std::max<std::int64_t>(gif->SWidth, std::int64_t{frame.Left} + frame.Width);
  const std::int64_t height = std::max<std::int64_t>(gif->SHeight, std::int64_t{frame.Top} + frame.Height);
  // The whole canvas, not only the frame, is bounded by what the rest of the
  // file could decode to: a 35-byte file may not claim a 32768 x 32768
  // screen. Frames are normally the screen's size, so real files pass.
  if (!PictureSizeAllowed(width, height, limits)) return false;
  if (!LzwCanDecode(bytes.size - file.at,
                    static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height)))
    return false;
  // A frame covering the whole canvas without a transparent colour writes
  // every pixel; otherwise what it leaves starts white.
  const bool covers = frame.Left == 0 && frame.Top == 0 && frame.Width == width && frame.Height == height &&
                      transparent == NO_TRANSPARENT_COLOR;
  if (!AllocatePicture(width, height, limits, covers ? PixelStart::kUnwritten : PixelStart::kWhite, out))
    return false;

  std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
  for (int y : FrameLineOrder(frame.Height, frame.Interlace)) {
    if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return false;
    unsigned char* dst = out->LineFromTop(frame.Top + y);
    for (int x = 0; x < frame.Width; ++x) {
      const int index = line[static_cast<std::size_t>(x)];
      if (index == transparent) continue;
      if (index >= map->ColorCount) return false;
      const GifColorType& c = map->Colors[index];
      PutBgr(dst, frame.Left + x, c.Blue, c.Green, c.Red);
    }
  }
  return true;
}

}  // namespace vx
