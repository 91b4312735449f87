#pragma once

namespace vwt {
namespace platform {

// The kernel's id of the calling thread.
long currentThreadId();

// Sets a thread's scheduling level: 1 highest, 3 normal, 5 lowest. An
// ordinary user cannot raise priority above normal; that part is ignored.
void setThreadLevel(long threadId, int level);

}  // namespace platform
}  // namespace vwt
