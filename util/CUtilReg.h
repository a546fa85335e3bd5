#pragma once
// Reads and writes the suite's registry values. Keys are backslash-separated paths; a value
// that is read but missing is created with the default, so the next read finds it. With the
// trailing `hive` argument 1 the machine store is used, read only.

#include <cstdint>
#include <string>

class CUtilReg {
public:
    static constexpr int kLocalMachine = 1;

    CUtilReg() = default;
    ~CUtilReg() = default;

    std::uint32_t ReadRegDWORD(const std::string& key, const std::string& value,
                               std::uint32_t defaultValue, int hive = 0);
    int WriteRegDWORD(const std::string& key, const std::string& value, std::uint32_t data,
                      int hive = 0);
    std::string ReadRegString(const std::string& key, const std::string& value,
                              const std::string& defaultValue, int hive = 0);
    int WriteRegString(const std::string& key, const std::string& value, const std::string& data,
                       int hive = 0);
};
