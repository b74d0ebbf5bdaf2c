// Every picture decoder (chosen by the first bytes, as for files) on
// arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz_limits.h"
#include "image/picture_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::Picture picture;
  vx::DecodePicture(vx::ByteView{data, size}, vxfuzz::Limits(), &picture);
  return 0;
}
