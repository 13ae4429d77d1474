// CPU time used by this process, for the benchmarks. The one platform-specific file of bench/.
#pragma once

namespace korvex::bench {

// Seconds of CPU time (user and system) this process has used so far.
double ProcessCpuSeconds();

} // namespace korvex::bench
