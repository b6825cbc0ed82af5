// The part of the single-instance lock that is the same on every system.
#include "base/instance_lock.h"

#include <cstdlib>
#include <cstring>

namespace tav {

bool InstanceLockBypassed() {
  const char* value = std::getenv("TAVROLITH_NO_INSTANCE_LOCK");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace tav
