// The process's processor time from the system: GetProcessTimes on Windows (where
// clock() would give the time since start), the process clock elsewhere.
#include "app/processor_time.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace tav {

double ProcessorSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0.0;
  // FILETIMEs count 100-nanosecond steps.
  const auto seconds = [](const FILETIME& time) {
    return (static_cast<double>(time.dwHighDateTime) * 4294967296.0 + time.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
#else
  timespec time{};
  if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time) != 0) return 0.0;
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
#endif
}

}  // namespace tav
