#pragma once
// Case-insensitive comparison of UTF-8 texts, as Windows compares profile keys, registry keys
// and file names: each character is compared in its lower-case form.

#include <string>
#include <string_view>

namespace tachy::text {

std::string foldCase(std::string_view utf8);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Negative, zero or positive, ordering by the folded forms (then by the raw bytes, so that
// the order is total and stable).
int compareIgnoreCase(std::string_view a, std::string_view b);

} // namespace tachy::text
