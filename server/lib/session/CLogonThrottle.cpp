#include "session/CLogonThrottle.h"

#include "model/CkxUser.h"
#include "protocol/KxMessage.h"

#include <algorithm>

using namespace std::chrono;

namespace {

// Names counted together once the table is full of names inside the window.
const std::string kManyNames = "?";

// The word for a refused log-on in the operation log.
const char* ResultText(int result) {
    switch (result) {
    case CV_USER_LOGIN_ONLINE: return "用户已在线";
    case CV_USER_LOGIN_NOUSER: return "用户不存在";
    case CV_USER_LOGIN_PAUSE: return "账户已暂停";
    case CV_USER_LOGIN_INVALID: return "账户已失效";
    case CV_USER_LOGIN_PASSWORD: return "密码错误";
    case kx::kLogonNoRight: return "无系统管理权限";
    default: return "未知结果";
    }
}

template <class Deque>
void DropOlder(Deque& times, steady_clock::time_point now, milliseconds window, auto timeOf) {
    while (!times.empty() && now - timeOf(times.front()) >= window) times.pop_front();
}

} // namespace

void CLogonThrottle::SetLimits(const KxServerLimits& limits) {
    std::lock_guard lock(m_mutex);
    m_limits = limits;
}

int CLogonThrottle::RecentAddressLocked(const std::string& address, Clock::time_point now) {
    auto it = m_byAddress.find(address);
    if (it == m_byAddress.end()) return 0;
    DropOlder(it->second, now, m_limits.failureWindow, [](Clock::time_point t) { return t; });
    if (it->second.empty()) {
        m_byAddress.erase(it);
        return 0;
    }
    return static_cast<int>(it->second.size());
}

int CLogonThrottle::RecentNameLocked(const std::string& name, Clock::time_point now) {
    auto it = m_byName.find(name);
    if (it == m_byName.end()) return 0;
    DropOlder(it->second.times, now, m_limits.failureWindow, [](const auto& e) { return e.first; });
    if (it->second.times.empty()) {
        m_byName.erase(it);
        return 0;
    }
    return static_cast<int>(it->second.times.size());
}

void CLogonThrottle::SweepLocked(Clock::time_point now) {
    // A walk over every key at most once a second, not at every attempt of a flood.
    if (m_lastSweep && now - *m_lastSweep < seconds(1)) return;
    m_lastSweep = now;
    const auto window = m_limits.failureWindow;
    if (m_byName.size() >= kSweepAt)
        std::erase_if(m_byName, [&](const auto& kv) { return kv.second.times.empty() || now - kv.second.times.back().first >= window; });
    if (m_byAddress.size() >= kSweepAt)
        std::erase_if(m_byAddress, [&](const auto& kv) { return kv.second.empty() || now - kv.second.back() >= window; });
}

CLogonThrottle::Pending* CLogonThrottle::PendingLocked(const std::string& name, const std::string& address) {
    auto it = m_pending.find({name, address});
    if (it != m_pending.end()) return &it->second;
    // Full: the further names of an address are gathered under one line.
    const auto key = m_pending.size() >= kMaxKeys ? std::make_pair(kManyNames, address) : std::make_pair(name, address);
    Pending& p = m_pending[key];
    p.line.name = key.first;
    p.line.address = address;
    return &p;
}

std::optional<CLogonThrottle::Admission> CLogonThrottle::Admit(const std::string& name, const std::string& address,
                                                               Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    SweepLocked(now);
    const std::string& key = m_byName.size() >= kMaxKeys && !m_byName.contains(name) ? kManyNames : name;
    const int fromAddress = RecentAddressLocked(address, now);
    const int forName = RecentNameLocked(key, now);
    const int perAddress = m_limits.failuresPerAddress, perName = m_limits.failuresPerName;
    if ((perAddress > 0 && fromAddress >= perAddress) || (perName > 0 && fromAddress > 0 && forName >= perName)) {
        ++m_nRefusals;
        ++PendingLocked(name, address)->line.unchecked;
        return std::nullopt;
    }
    // Counted at once, so attempts admitted side by side see each other. The counts need to
    // reach the bounds and no further; a few more are kept in case successes take some back.
    const size_t keep = static_cast<size_t>(std::max({perAddress, perName, 0})) + 32;
    Times& times = m_byAddress[address];
    times.push_back(now);
    if (times.size() > keep) times.pop_front();
    auto& named = m_byName[key].times;
    named.emplace_back(now, address);
    if (named.size() > keep) named.pop_front();
    ++m_nChecks;
    return Admission{name, key, address, now};
}

void CLogonThrottle::RecordSuccess(const Admission& admission) {
    std::lock_guard lock(m_mutex);
    if (auto it = m_byAddress.find(admission.address); it != m_byAddress.end()) {
        auto& times = it->second;
        if (auto t = std::find(times.rbegin(), times.rend(), admission.at); t != times.rend())
            times.erase(std::next(t).base());
    }
    if (auto it = m_byName.find(admission.key); it != m_byName.end()) {
        auto& times = it->second.times;
        const auto entry = std::make_pair(admission.at, admission.address);
        if (auto t = std::find(times.rbegin(), times.rend(), entry); t != times.rend()) times.erase(std::next(t).base());
    }
}

void CLogonThrottle::RecordFailure(const Admission& admission, int result, int userId) {
    std::lock_guard lock(m_mutex);
    LogLine& line = PendingLocked(admission.name, admission.address)->line;
    ++line.failed;
    line.lastResult = result;
    if (userId >= 0) line.userId = userId;
}

std::vector<CLogonThrottle::LogLine> CLogonThrottle::TakeLogLines(Clock::time_point now, bool all) {
    std::lock_guard lock(m_mutex);
    std::vector<LogLine> out;
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        Pending& p = it->second;
        const bool quietWindow = !p.lastWritten || now - *p.lastWritten >= m_limits.failureWindow;
        if (p.line.failed + p.line.unchecked > 0 && (all || quietWindow)) {
            out.push_back(p.line);
            p.line.failed = p.line.unchecked = 0;
            p.line.lastResult = 0;
            p.lastWritten = now;
            ++it;
        } else if (p.line.failed + p.line.unchecked == 0 && quietWindow) {
            it = m_pending.erase(it); // nothing to tell, and its window is over
        } else {
            ++it;
        }
    }
    return out;
}

std::string CLogonThrottle::LineText(const LogLine& line) {
    const std::string address = line.address.empty() ? "?" : line.address;
    std::string text = "登录失败: 地址 " + address;
    if (line.failed > 0)
        text += ", 结果 " + std::to_string(line.lastResult) + " " + ResultText(line.lastResult);
    if (line.failed + line.unchecked > 1) text += ", 共 " + std::to_string(line.failed + line.unchecked) + " 次";
    if (line.unchecked > 0) text += ", 未核对 " + std::to_string(line.unchecked) + " 次";
    return text;
}
