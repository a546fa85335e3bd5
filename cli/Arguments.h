#pragma once
// A command's words after its name: positional operands and "--name value", "--name=value" or
// "--flag" options, checked against the options the command knows.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tachy::cli {

class Arguments {
public:
    // The options that take a value and those that do not; every command also knows --help,
    // -h, --progress and --data.
    Arguments(std::set<std::string> valueOptions, std::set<std::string> flags);

    // False, with `error` set, for an unknown option or one without its value.
    bool Parse(const std::vector<std::string>& words, std::string& error);

    const std::vector<std::string>& Positional() const { return m_positional; }
    bool Has(const std::string& option) const;
    std::optional<std::string> Value(const std::string& option) const;
    // The option's value as a number; nothing when absent, false through `ok` when not a number.
    std::optional<double> Number(const std::string& option, bool& ok) const;
    bool WantsHelp() const { return Has("--help") || Has("-h"); }

private:
    std::set<std::string> m_valueOptions;
    std::set<std::string> m_flags;
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_values;
};

} // namespace tachy::cli
