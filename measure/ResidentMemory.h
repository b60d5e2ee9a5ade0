#pragma once
// The resident set of this process in MB (from /proc/self/statm): the tests' memory bounds and the
// benchmarks' figures read it the same way. Header only, standard library and POSIX only.

#include <unistd.h>

#include <fstream>

namespace measure {

inline double ResidentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

}  // namespace measure
