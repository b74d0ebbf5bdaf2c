// The searches' score logs: fixed file names in the current directory,
// rewritten on every call, one value per line.
#pragma once

#include <string>

namespace vx {

// v as "%7.5f" gives it in the "C" locale, with the decimal point written
// as a comma: 12.5 -> "12,50000", 0.25 -> "0,25000". The process locale
// never changes it.
std::string DecimalComma(double v);

// Writes count values, one per line, to the file name in the current
// directory (replacing it). A file that cannot be opened is skipped: the
// logs are diagnostics, and the search's result never depends on them.
void WriteDecimalCommaLog(const char* name, const double* values, int count);
void WriteIntegerLog(const char* name, const int* values, int count);

}  // namespace vx
