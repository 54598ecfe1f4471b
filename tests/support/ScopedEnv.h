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
        Set(value);
    }
    ~ScopedEnv() {
        if (old_) {
            Set(*old_);
        } else {
#ifdef _WIN32
            ::_putenv_s(name_, "");
#else
            ::unsetenv(name_);
#endif
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const std::string& value) {
#ifdef _WIN32
        ::_putenv_s(name_, value.c_str());
#else
        ::setenv(name_, value.c_str(), 1);
#endif
    }
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace orvanta::test
