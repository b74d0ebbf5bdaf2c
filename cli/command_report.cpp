#include "cli/command_report.h"

#include <cmath>
#include <cstdio>

namespace vxcli {
namespace {

// A number for JSON: NaN and infinities (a degenerate cell) become null.
std::string Number(double v, int decimals) {
  if (!std::isfinite(v)) return "null";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

// Length of the UTF-8 sequence starting at s[i], 0 when it is not valid.
std::size_t Utf8Length(const std::string& s, std::size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t n = 0;
  unsigned int cp = 0;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF)
    n = 2, cp = c & 0x1F;
  else if (c >= 0xE0 && c <= 0xEF)
    n = 3, cp = c & 0x0F;
  else if (c >= 0xF0 && c <= 0xF4)
    n = 4, cp = c & 0x07;
  else
    return 0;
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const unsigned char d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not valid.
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n;
}

}  // namespace

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else if (c >= 0x80) {
      const std::size_t n = Utf8Length(s, i);
      if (n == 0) {
        out += "\\ufffd";
        ++i;
        continue;
      }
      out.append(s, i, n);
      i += n;
      continue;
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out + "\"";
}

std::string FormatRows(const std::string& path, const ReadResult& r, bool header) {
  std::string out;
  if (header) out += path + ":\n";
  for (std::size_t n = 0; n < r.figures.size(); ++n) {
    const FigureReading& f = r.figures[n];
    if (n) out += '\n';  // figures of one picture apart by an empty line
    for (int i = 0; i < f.rows; ++i) {
      for (int j = 0; j < f.cols; ++j) out += f.black[static_cast<std::size_t>(i) * f.cols + j] ? '#' : '.';
      out += '\n';
    }
  }
  return out;
}

namespace {

// rows x cols numbers as a list of rows.
std::string Table(const std::vector<double>& v, int rows, int cols) {
  std::string out = "[";
  for (int i = 0; i < rows; ++i) {
    out += i ? ",[" : "[";
    for (int j = 0; j < cols; ++j) {
      if (j) out += ',';
      out += Number(v[static_cast<std::size_t>(i) * cols + j], 4);
    }
    out += ']';
  }
  return out + "]";
}

// The fields of one figure, without braces.
std::string FigureFields(const FigureReading& f) {
  std::string out = "\"corners\":[";
  for (int k = 0; k < 4; ++k) {
    out += k ? ",[" : "[";
    out += Number(f.corners[k].x, 2) + "," + Number(f.corners[k].y, 2) + "]";
  }
  out += "],\"values\":" + Table(f.values, f.rows, f.cols);
  out += ",\"margins\":" + Table(f.margins, f.rows, f.cols);
  out += ",\"verdicts\":[";
  for (int i = 0; i < f.rows; ++i) {
    out += i ? ",\"" : "\"";
    for (int j = 0; j < f.cols; ++j) out += f.black[static_cast<std::size_t>(i) * f.cols + j] ? '#' : '.';
    out += '"';
  }
  out += "],\"black\":" + std::to_string(f.black_count);
  out += ",\"threshold\":" + Number(f.threshold, 4) + ",\"confidence\":" + Number(f.confidence, 4);
  return out;
}

}  // namespace

std::string FormatJson(const std::string& path, const ReadResult& r, bool all) {
  std::string out = "{\"file\":" + JsonString(path);
  if (!r.ok || r.figures.empty()) return out + ",\"ok\":false,\"error\":" + JsonString(r.fault) + "}\n";
  const FigureReading& first = r.figures.front();
  out += ",\"ok\":true,\"rows\":" + std::to_string(first.rows) + ",\"cols\":" + std::to_string(first.cols);
  if (!all) return out + "," + FigureFields(first) + "}\n";
  out += ",\"figures\":[";
  for (std::size_t n = 0; n < r.figures.size(); ++n) out += (n ? ",{" : "{") + FigureFields(r.figures[n]) + "}";
  return out + "]}\n";
}

std::string FaultLine(const std::string& path, const ReadResult& r) {
  std::string line = "vexolith: " + path + ": " + r.fault;
  for (char& ch : line)
    if (ch == '\n' || ch == '\r') ch = ' ';  // one line, whatever the file name holds
  return line + "\n";
}

}  // namespace vxcli
