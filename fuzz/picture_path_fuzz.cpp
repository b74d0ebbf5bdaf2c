// Both file readers on arbitrary bytes, through a path: the input is
// written to an anonymous in-memory file opened as /proc/self/fd/N.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_limits.h"
#include "image/picture_files.h"
#include "vexolith.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int fd = memfd_create("picture", MFD_CLOEXEC);
  if (fd < 0) return 0;
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  IMG df = vx::OpenDfFile(path.c_str(), vxfuzz::Limits());
  if (df.valid) DeleteImg(df);
  IMG picture = vx::OpenPictureFile(path.c_str(), vxfuzz::Limits());
  if (picture.valid) DeleteImg(picture);
  close(fd);
  return 0;
}
