#include "module.h"

namespace vxpy {

int FindQuietly(CONTOUR& store, IMG img, RECT rect, unsigned char colour, unsigned long mode) {
  return store.Find(img, rect, colour, mode);
}

}  // namespace vxpy
