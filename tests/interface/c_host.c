/* A C11 host: loads the shipped sample through the plain functions, turns it
   gray and black-and-white, and checks what a C caller can see of the result.
   Built with -std=c11 -Wall -Wextra -Werror; exits non-zero on the first
   fact that does not hold, naming it. */
#include <math.h>
#include <stdio.h>

#include "vexolith_c.h"

static int failures = 0;

static void check(int ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "c_host: %s\n", what);
    ++failures;
  }
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: c_host SAMPLE.bmp\n");
    return 2;
  }
  check(vexolith_round(-2.6) == -2, "vexolith_round(-2.6) is -2");
  check(round(-2.6) == -3.0, "the C library's round(-2.6) is still -3");

  IMG picture = OpenDF(argv[1]);
  check(picture.valid == 1, "the sample loads");
  if (!picture.valid) return 1;
  check(picture.gray == 0, "the sample is 24-bit");

  IMG gray = Img24To8(picture);
  DeleteImg(picture);
  check(gray.valid == 1, "the gray copy is made");
  if (!gray.valid) return 1;
  check(gray.gray == 1, "the gray copy is an 8-bit image");

  RECT all = {0, 0, gray.width, gray.height};
  ThresholdImage(gray, 128, all);
  long black = 0, other = 0;
  for (int y = 0; y < gray.height; ++y) {
    const unsigned char* row = gray.bits + (long)y * gray.stride;
    for (int x = 0; x < gray.width; ++x) {
      if (row[x] == 0) ++black;
      else if (row[x] != 255) ++other;
    }
  }
  check(other == 0, "the thresholded image holds only 0 and 255");
  check(black > 0, "the sample's figure gives black pixels");
  check(black < (long)gray.width * gray.height, "the page gives white pixels");

  F_LINE diagonal = MakeParallelLine((F_LINE){3, 1, 1.0, 0.0}, 0.0, 5.0);
  double x = 0, y = 0;
  check(Intersection(diagonal, (F_LINE){3, 1, -1.0, 5.0}, &x, &y) == 0, "two crossing lines meet");
  check(fabs(x - 0.0) < 1e-12, "they meet at x 0");
  DeleteImg(gray);
  return failures == 0 ? 0 : 1;
}
