// Drawing of code-detection test pictures. Nothing here calls the library,
// so the pictures can judge it.
#include "tools/code_picture.h"

#include <algorithm>
#include <random>

namespace vxgen {
namespace {

class Canvas {
 public:
  explicit Canvas(CodePicture& picture) : p_(picture) {}

  // Paints the rectangle [x0, x1) x [y0, y1) black, cut to the picture.
  void Black(int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, p_.width), y1 = std::min(y1, p_.height);
    for (int y = y0; y < y1; ++y) std::fill(&p_.gray[y * p_.width + x0], &p_.gray[y * p_.width + x1], 0);
  }

 private:
  CodePicture& p_;
};

bool Overlaps(const CodeBox& a, const CodeBox& b, int gap) {
  return a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom + gap && b.top < a.bottom + gap;
}

// A code figure: an L of solid modules along its left and bottom sides, a
// dashed line along the top and right, random modules inside, so its
// outline is square and its inside dense.
void DrawCode(Canvas& canvas, const CodeBox& box, int module, std::mt19937& rng) {
  const int n = (box.right - box.left) / module;
  for (int my = 0; my < n; ++my)
    for (int mx = 0; mx < n; ++mx) {
      bool black;
      if (mx == 0 || my == n - 1) {
        black = true;
      } else if (my == 0 || mx == n - 1) {
        black = (mx + my) % 2 == 0;
      } else {
        black = rng() % 2 == 0;
      }
      if (black) {
        const int x = box.left + mx * module, y = box.top + my * module;
        canvas.Black(x, y, x + module, y + module);
      }
    }
}

// One glyph of height h at (x, y) with strokes of width s: a few letter-like
// shapes made of bars. Returns its width.
int DrawGlyph(Canvas& canvas, int x, int y, int h, int s, int shape) {
  const int w = std::max(3 * s, h * 3 / 5), mid = y + h / 2;
  switch (shape) {
    case 0:  // l
      canvas.Black(x, y, x + s, y + h);
      return s;
    case 1:  // o
      canvas.Black(x, mid - h / 6, x + w, mid - h / 6 + s);
      canvas.Black(x, y + h - s, x + w, y + h);
      canvas.Black(x, mid - h / 6, x + s, y + h);
      canvas.Black(x + w - s, mid - h / 6, x + w, y + h);
      return w;
    case 2:  // n
      canvas.Black(x, mid - h / 6, x + s, y + h);
      canvas.Black(x, mid - h / 6, x + w, mid - h / 6 + s);
      canvas.Black(x + w - s, mid - h / 6, x + w, y + h);
      return w;
    case 3:  // e
      canvas.Black(x, mid - h / 6, x + w, mid - h / 6 + s);
      canvas.Black(x, mid + h / 6, x + w, mid + h / 6 + s);
      canvas.Black(x, y + h - s, x + w, y + h);
      canvas.Black(x, mid - h / 6, x + s, y + h);
      return w;
    case 4:  // t
      canvas.Black(x + w / 2 - s / 2, y + h / 6, x + w / 2 - s / 2 + s, y + h);
      canvas.Black(x, mid - h / 6, x + w, mid - h / 6 + s);
      return w;
    default:  // h
      canvas.Black(x, y, x + s, y + h);
      canvas.Black(x, mid - h / 6, x + w, mid - h / 6 + s);
      canvas.Black(x + w - s, mid - h / 6, x + w, y + h);
      return w;
  }
}

// A block of text lines filling `box`: words of 2 to 9 glyphs, glyphs 8 to
// 18 pixels high, lines 1.6 to 2.2 glyph heights apart.
void DrawParagraph(Canvas& canvas, const CodeBox& box, std::mt19937& rng) {
  auto pick = [&](int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
  };
  const int h = pick(8, 18), s = std::max(1, h / 7), pitch = h * pick(16, 22) / 10;
  for (int y = box.top; y + h <= box.bottom; y += pitch) {
    int x = box.left + (rng() % 3 == 0 ? pick(0, 4 * h) : 0);
    while (x < box.right) {
      const int glyphs = pick(2, 9);
      int word_end = x;
      for (int g = 0; g < glyphs; ++g) word_end += std::max(3 * s, h * 3 / 5) + s + 1;
      if (word_end > box.right) break;
      for (int g = 0; g < glyphs; ++g) x += DrawGlyph(canvas, x, y, h, s, pick(0, 5)) + pick(s, s + 2);
      x += pick(h / 2, h);
    }
  }
}

}  // namespace

CodePicture RenderCodePicture(const CodePictureParams& params, int clearance) {
  std::mt19937 rng(params.seed);
  auto pick = [&](int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
  };
  CodePicture picture;
  picture.width = params.width, picture.height = params.height;
  picture.gray.assign(static_cast<size_t>(params.width) * params.height, 255);
  Canvas canvas(picture);

  std::vector<int> modules;
  const int wanted = pick(1, params.max_codes);
  for (int tries = 0; static_cast<int>(picture.codes.size()) < wanted && tries < 200; ++tries) {
    const int module = pick(params.min_module, params.max_module);
    const int size = module * pick(params.min_modules, params.max_modules);
    const int gap = 2 * module + clearance;
    if (size + 2 * gap > std::min(params.width, params.height)) continue;
    const int left = pick(gap, params.width - size - gap), top = pick(gap, params.height - size - gap);
    const CodeBox box{left, top, left + size, top + size};
    bool free = true;
    for (size_t i = 0; i < picture.codes.size(); ++i)
      free = free && !Overlaps(box, picture.codes[i], std::max(gap, 2 * modules[i] + clearance));
    if (!free) continue;
    DrawCode(canvas, box, module, rng);
    picture.codes.push_back(box);
    modules.push_back(module);
  }

  for (int p = 0; p < params.paragraphs; ++p) {
    const int w = pick(params.width / 8, params.width / 2), h = pick(params.height / 20, params.height / 3);
    const int left = pick(0, params.width - w), top = pick(0, params.height - h);
    const CodeBox box{left, top, left + w, top + h};
    bool free = true;
    for (size_t i = 0; i < picture.codes.size(); ++i)
      free = free && !Overlaps(box, picture.codes[i], 2 * modules[i] + clearance);
    if (free) DrawParagraph(canvas, box, rng);
  }
  return picture;
}

}  // namespace vxgen
