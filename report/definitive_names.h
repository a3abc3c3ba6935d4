// The names that the Definitive Edition adds to the older tables.
#pragma once

#include <cstdint>
#include <string_view>

#include "report/names.h"

namespace vantor {

// The cp932 name of an object, technology, unit group, unit type or resource
// that the Definitive Edition defines, or the empty text when it has none.
std::string_view findDefinitiveName(NameKind kind, std::int32_t value);

}  // namespace vantor
