#include "cli/Arguments.h"

#include <cstdlib>

namespace tachy::cli {

Arguments::Arguments(std::set<std::string> valueOptions, std::set<std::string> flags)
    : m_valueOptions(std::move(valueOptions)), m_flags(std::move(flags)) {
    m_valueOptions.insert("--data");
    m_flags.insert({"--help", "-h", "--progress"});
}

bool Arguments::Parse(const std::vector<std::string>& words, std::string& error) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            m_positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (m_flags.contains(name) && equals == std::string::npos) {
            m_values[name] = "";
        } else if (m_valueOptions.contains(name) && equals != std::string::npos) {
            m_values[name] = word.substr(equals + 1);
        } else if (m_valueOptions.contains(name) && i + 1 < words.size()) {
            m_values[name] = words[++i];
        } else if (m_valueOptions.contains(name)) {
            error = name + " needs a value";
            return false;
        } else {
            error = "unknown option " + word;
            return false;
        }
    }
    return true;
}

bool Arguments::Has(const std::string& option) const {
    return m_values.contains(option);
}

std::optional<std::string> Arguments::Value(const std::string& option) const {
    const auto found = m_values.find(option);
    if (found == m_values.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<double> Arguments::Number(const std::string& option, bool& ok) const {
    const auto text = Value(option);
    if (!text) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text->c_str(), &end);
    if (text->empty() || end != text->c_str() + text->size()) {
        ok = false;
        return std::nullopt;
    }
    return value;
}

} // namespace tachy::cli
