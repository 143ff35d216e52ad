#include "app/platform_family.h"

namespace app {

int current_platform_family() { return linux_platform_family; }

}  // namespace app
