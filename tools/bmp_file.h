// A minimal writer of uncompressed 24-bit bitmap files, so test pictures can
// be made without the library under test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/test_picture.h"

namespace vxgen {

// The file's bytes: 14-byte file header, 40-byte information header, then
// the rows bottom-up (the picture's last row first), each padded to a
// multiple of 4 bytes.
std::vector<std::uint8_t> EncodeBmp(const Picture& picture);

// Writes EncodeBmp's bytes to path; false when the file cannot be written.
bool WriteBmp(const std::string& path, const Picture& picture);

}  // namespace vxgen
