#pragma once

namespace Utilities {

// Base of objects that hand out their address (event subjects and observers, model values):
// a copy would leave the lists that point at the original dangling.
class NonCopyable
{
public:
    NonCopyable(const NonCopyable &) = delete;
    NonCopyable &operator=(const NonCopyable &) = delete;

protected:
    NonCopyable() = default;
    ~NonCopyable() = default;
};

} // namespace Utilities
