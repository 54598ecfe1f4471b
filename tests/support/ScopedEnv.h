#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace orvanta::test {

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(name_, value.c_str());
    }
    ~ScopedEnv() { Set(name_, old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    // No value removes the variable (so does an empty one on Windows).
    static void Set(const char* name, const char* value) {
#ifdef _WIN32
        ::_putenv_s(name, value != nullptr ? value : "");
#else
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
#endif
    }
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace orvanta::test
