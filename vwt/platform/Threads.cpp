#include "vwt/platform/Threads.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vwt {
namespace platform {

long currentThreadId() { return static_cast<long>(syscall(SYS_gettid)); }

void setThreadLevel(long threadId, int level) {
  // Nice values per thread: lowest runs at 10, the others at the normal 0
  // (raising needs privileges; a failure keeps the current value).
  int nice = level >= 5 ? 10 : level <= 1 ? -5 : 0;
  if (setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), nice) != 0 && nice < 0)
    setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), 0);
}

}  // namespace platform
}  // namespace vwt
