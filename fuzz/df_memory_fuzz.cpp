// The 24-bit bitmap reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz_limits.h"
#include "image/bmp_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::Picture picture;
  vx::DecodeDf(vx::ByteView{data, size}, vxfuzz::Limits(), &picture);
  return 0;
}
