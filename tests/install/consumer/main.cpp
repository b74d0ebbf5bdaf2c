// A host built against an installed vexolith.
#include <cmath>
#include <cstdio>

#include "vexolith.h"

int main() {
  IMG gray = Img24To8(IMG{nullptr, 0, 0, 0, 1, 0});
  bool ok = gray.valid == 1 || gray.valid == 0;
  if (gray.valid) DeleteImg(gray);
  volatile double v = -2.6;
  ok = ok && std::round(v) == -3.0 && vexolith::round(v) == -2 && LengthLine(0, 0, 3, 4) == 5.0;
  std::puts(ok ? "consumer ok" : "consumer FAILED");
  return ok ? 0 : 1;
}
