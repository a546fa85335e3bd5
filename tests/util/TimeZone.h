#pragma once
// Sets the process's time zone for one test and restores the previous one afterwards.

#include <cstdlib>
#include <ctime>
#include <string>

namespace tachy::test {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
            m_hadOld = true;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        m_hadOld ? ::setenv("TZ", m_old.c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::string m_old;
    bool m_hadOld = false;
};

} // namespace tachy::test
