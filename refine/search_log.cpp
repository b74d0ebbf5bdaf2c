// Writing the searches' score logs without the process locale.
#include "refine/search_log.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <system_error>

namespace vx {

namespace {

constexpr int kFieldWidth = 7;  // "%7.5f": at least 7 characters, right-aligned
constexpr int kDecimals = 5;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string DecimalComma(double v) {
  // to_chars never looks at the locale; 340 characters hold any double in
  // fixed notation with five decimals.
  char buf[400];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, kDecimals);
  std::string text = r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("nan");
  for (char& c : text) {
    if (c == '.') c = ',';
  }
  if (text.size() < static_cast<std::size_t>(kFieldWidth)) text.insert(0, kFieldWidth - text.size(), ' ');
  return text;
}

void WriteDecimalCommaLog(const char* name, const double* values, int count) {
  File f(std::fopen(name, "w"));
  if (!f) return;
  for (int i = 0; i < count; ++i) {
    const std::string line = DecimalComma(values[i]) + "\n";
    std::fputs(line.c_str(), f.get());
  }
}

void WriteIntegerLog(const char* name, const int* values, int count) {
  File f(std::fopen(name, "w"));
  if (!f) return;
  for (int i = 0; i < count; ++i) {
    char buf[16];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf - 2, values[i]);
    r.ptr[0] = '\n';
    r.ptr[1] = '\0';
    std::fputs(buf, f.get());
  }
}

}  // namespace vx
