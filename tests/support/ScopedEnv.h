// Sets an environment variable for the life of the object and puts the old value back (or
// removes the variable when it was not set).
#pragma once

#include <optional>
#include <string>

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};
