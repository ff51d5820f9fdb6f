#pragma once

#include <atomic>
#include <chrono>

namespace orvane::http {

// Asks a call under way on another thread to stop. Every wait that honours
// it looks at it at least once per kCancelSlice.
class CancelToken {
public:
    void cancel() noexcept { m_cancelled.store(true, std::memory_order_release); }
    [[nodiscard]] bool isCancelled() const noexcept
    {
        return m_cancelled.load(std::memory_order_acquire);
    }

private:
    std::atomic<bool> m_cancelled{false};
};

inline constexpr std::chrono::milliseconds kCancelSlice{50};

} // namespace orvane::http
