// Texts of the Definitive Edition, stored as UTF-8, turned into the cp932
// bytes that every report carries.
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The cp932 form of a UTF-8 text.  A character that cp932 holds becomes its
// one or two bytes; any other character becomes one "?"; a byte that does not
// begin a well-formed UTF-8 sequence passes through as it is.  A text of
// ASCII bytes only is returned as it is; any other is built in `scratch`.
std::string_view utf8ToCp932(std::string_view utf8, std::string& scratch);

}  // namespace vantor
