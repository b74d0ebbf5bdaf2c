// Storage of the process-wide run table.
#include "refine/run_table.h"

namespace vx {

namespace {
// Zero-initialised static storage: runCount is 0 before the first probe.
RunTable table;
}  // namespace

RunTable& Runs() { return table; }

}  // namespace vx
