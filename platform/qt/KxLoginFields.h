// What the login dialogs of the studio and the console share: the checks of the address, name
// and password fields (one order, one set of texts, which field gets the focus and which one is
// emptied) and the history of recent log-on names ("Logor0".."Logor4" under the program's own
// key, newest first). The history reads and writes through the caller's settings access, so each
// program keeps its values where its profile keeps them.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kx {

// Longest log-on name and password, in GBK bytes; one more is refused.
inline constexpr size_t kLoginFieldMaxBytes = 15;

inline constexpr const char* kLoginEnterAddress = "请输入服务器IP地址";
inline constexpr const char* kLoginEnterName = "请输入用户名";
inline constexpr const char* kLoginNameTooLong = "用户名长度不能超过15";
inline constexpr const char* kLoginEnterPassword = "请输入密码";
inline constexpr const char* kLoginPasswordTooLong = "密码长度不能超过15";

// The field a failed check is about.
enum class LoginField { None, Address, Name, Password };

struct LoginCheck {
    const char* message = nullptr; // null: every check passed
    LoginField field = LoginField::None;
    bool empty = false;            // the field is emptied (a value too long)
    bool Passed() const { return message == nullptr; }
};

// The checks in their order: all four address numbers 0; an empty name; a name of 16 GBK bytes
// or more; an empty password; a password of 16 GBK bytes or more. The first that fails is
// returned.
LoginCheck CheckLoginFields(const std::array<int, 4>& address, const std::string& name,
                            const std::string& password);

// The message of a refused log-on (results 1 to 6 of the server's answer), or null.
const char* LoginRefusalText(int result);
inline constexpr const char* kLoginConnectFailed = "连接后台服务器失败";

// ---- Recent log-on names ----

inline constexpr int kLoginHistorySize = 5;
// Bytes a stored name may take with its closing NUL; a longer value reads as missing.
inline constexpr size_t kLoginHistoryBuffer = 50;

// The value name of history entry i: "Logor<i>".
std::string LoginHistoryValue(int index);

// Reads one text value (empty when it is missing) / writes one.
using ReadSetting = std::function<std::string(const std::string& valueName)>;
using WriteSetting = std::function<void(const std::string& valueName, const std::string& text)>;

// The non-empty entries 0 to 4, in stored order.
std::vector<std::string> ReadLoginHistory(const ReadSetting& read);
// Writes the first (at most five) names, the name at index i as "Logor<i>". Values beyond the
// list's length are left as they were.
void WriteLoginHistory(const std::vector<std::string>& names, const WriteSetting& write);
// The list after a successful log-on of `name`: the name at the head, no other entry equal to
// it, five at most.
std::vector<std::string> PushLoginHistory(std::vector<std::string> names, const std::string& name);

} // namespace kx
