#pragma once
// Text as a JSON string literal or as XML character data.

#include <string>
#include <string_view>

namespace tachy::cli {

std::string JsonString(std::string_view text);
// The same escaping for XML text and attribute values (without quotes).
std::string XmlText(std::string_view text);

} // namespace tachy::cli
