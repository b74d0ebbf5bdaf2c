// JPEG encoding and decoding of test pictures in memory, so a picture can
// carry the blocks and ringing a phone's JPEG files have.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/test_picture.h"

namespace vxgen {

// The picture as a JPEG file's bytes at `quality` (1..100, 4:2:0 colour);
// empty when the encoder fails.
std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality);

// The picture decoded from JPEG bytes; width 0 when they cannot be decoded.
Picture DecodeJpeg(const std::vector<std::uint8_t>& bytes);

}  // namespace vxgen
