#pragma once

#include <array>
#include <cstddef>

namespace zentrel {

// Whether a byte stands in a JSON string as it is: printable ASCII but the quote and the
// backslash. Control bytes, escapes and UTF-8 sequences take the slow way when reading and
// writing JSON text.
inline bool isPlainJsonStringByte(char c)
{
    static constexpr std::array<bool, 256> plainBytes = [] {
        std::array<bool, 256> plain{};
        for (int byte = 0x20; byte < 0x80; ++byte) {
            plain[static_cast<std::size_t>(byte)] = byte != '"' && byte != '\\';
        }
        return plain;
    }();
    return plainBytes[static_cast<unsigned char>(c)];
}

} // namespace zentrel
