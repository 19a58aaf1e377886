#pragma once
#include <cstdlib>

// How long the campaign runs: short in ctest, long when scripts/robustness-long.sh
// sets the numbers in the environment.
namespace robustness {

inline long long environmentNumber(const char* name, long long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::atoll(text) : fallback;
}

// Sanitized builds run several times slower; their short runs are shorter.
inline constexpr bool builtWithSanitizers() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

}  // namespace robustness
