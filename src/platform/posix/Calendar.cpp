#include <time.h>

#include "platform/Platform.h"

namespace platform {

CalendarDate today() {
    const time_t now = ::time(nullptr);
    struct tm local {};
    if (::localtime_r(&now, &local) == nullptr) return {};
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace platform
