#include "scenario/body.h"

#include <cstring>

namespace vantor {
namespace {

BodyText readText(BodyCursor& cursor, std::int32_t length) noexcept {
    const std::uint8_t* p = cursor.take(length);  // a negative length fails here
    if (!p) return {};
    const void* nul = std::memchr(p, 0, static_cast<std::size_t>(length));
    const std::size_t textLength =
        nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - p) : static_cast<std::size_t>(length);
    return {std::string_view(reinterpret_cast<const char*>(p), textLength), length};
}

}  // namespace

BodyText readString16(BodyCursor& cursor) noexcept {
    const std::int16_t length = cursor.readS16();
    return cursor.ok() ? readText(cursor, length) : BodyText{};
}

BodyText readString32(BodyCursor& cursor) noexcept {
    const std::int32_t length = cursor.readS32();
    return cursor.ok() ? readText(cursor, length) : BodyText{};
}

}  // namespace vantor
