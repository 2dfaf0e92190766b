#pragma once
// When a router link may try to connect again after a loss: at once the first time, then after
// a wait that doubles with each failed attempt, up to the longest. Shared by every protocol.
#include <algorithm>
#include <chrono>
#include <string>

namespace vorn_host {

class link_backoff {
public:
    using clock_type = std::chrono::steady_clock;

    // Whether an attempt is due now; when not, `why` says how long it is still to wait.
    bool due(const std::string& address, std::string& why) const {
        const auto now = clock_type::now();
        if (now >= m_nextAttempt) return true;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(m_nextAttempt - now).count();
        why = "not connected to " + address + "; the next attempt is due in " + std::to_string(wait) + " ms";
        return false;
    }
    void succeeded() { m_wait = kFirstWait; }
    void failed() {
        m_nextAttempt = clock_type::now() + m_wait;
        m_wait = std::min(m_wait * 2, kLongestWait);
    }

    // A link's reconnect: `connect` tried when an attempt is due, and the wait set by how it went.
    // False, with the reason in `why` (left by `connect` when it failed), when there is no link.
    template <typename Connect>
    bool reconnect(const std::string& address, std::string& why, Connect connect) {
        if (!due(address, why)) return false;
        if (connect()) {
            succeeded();
            return true;
        }
        failed();
        return false;
    }

private:
    static constexpr std::chrono::milliseconds kFirstWait{100};
    static constexpr std::chrono::milliseconds kLongestWait{5000};

    std::chrono::milliseconds m_wait = kFirstWait;
    clock_type::time_point m_nextAttempt = clock_type::now();
};

}  // namespace vorn_host
