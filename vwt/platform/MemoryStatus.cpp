#include "vwt/platform/MemoryStatus.h"

#include <malloc.h>
#include <stdio.h>
#include <unistd.h>

namespace vwt {
namespace platform {

int64_t availablePhysicalMemory() {
  FILE* f = fopen("/proc/meminfo", "r");
  if (f) {
    char line[256];
    long long kb = -1;
    while (fgets(line, sizeof line, f))
      if (sscanf(line, "MemAvailable: %lld kB", &kb) == 1) break;
    fclose(f);
    if (kb >= 0) return static_cast<int64_t>(kb) * 1024;
  }
  long pages = sysconf(_SC_AVPHYS_PAGES);
  long size = sysconf(_SC_PAGESIZE);
  return pages > 0 && size > 0 ? static_cast<int64_t>(pages) * size : 0;
}

void releaseFreeMemory() { malloc_trim(0); }

}  // namespace platform
}  // namespace vwt
