#include "qt/KxLoginFields.h"

#include "base/Gbk.h"

#include <algorithm>

namespace kx {

LoginCheck CheckLoginFields(const std::array<int, 4>& address, const std::string& name,
                            const std::string& password) {
    if (std::all_of(address.begin(), address.end(), [](int n) { return n == 0; }))
        return {kLoginEnterAddress, LoginField::Address, false};
    if (name.empty()) return {kLoginEnterName, LoginField::Name, false};
    if (GbkLength(name) > kLoginFieldMaxBytes) return {kLoginNameTooLong, LoginField::Name, true};
    if (password.empty()) return {kLoginEnterPassword, LoginField::Password, false};
    if (GbkLength(password) > kLoginFieldMaxBytes)
        return {kLoginPasswordTooLong, LoginField::Password, true};
    return {};
}

std::string LoginHistoryValue(int index) { return "Logor" + std::to_string(index); }

std::vector<std::string> ReadLoginHistory(const ReadSetting& read) {
    std::vector<std::string> names;
    for (int i = 0; i < kLoginHistorySize; ++i) {
        std::string name = read(LoginHistoryValue(i));
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

void WriteLoginHistory(const std::vector<std::string>& names, const WriteSetting& write) {
    const size_t count = std::min(names.size(), static_cast<size_t>(kLoginHistorySize));
    for (size_t i = 0; i < count; ++i) write(LoginHistoryValue(static_cast<int>(i)), names[i]);
}

std::vector<std::string> PushLoginHistory(std::vector<std::string> names, const std::string& name) {
    std::erase(names, name);
    names.insert(names.begin(), name);
    if (names.size() > static_cast<size_t>(kLoginHistorySize)) names.resize(kLoginHistorySize);
    return names;
}

const char* LoginRefusalText(int result) {
    switch (result) {
    case 1: return "用户已经登录";
    case 2: return "用户无权登录";
    case 3: return "用户不存在";
    case 4: return "用户被暂停";
    case 5: return "用户被禁止";
    case 6: return "用户密码错误";
    default: return nullptr;
    }
}

} // namespace kx
