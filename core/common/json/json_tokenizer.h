#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrel {

// Splits JSON text held in one buffer into tokens, accepting exactly what nlohmann/json's own
// lexer accepts (strict UTF-8, a leading byte-order mark, a NUL byte as the end) and reading
// numbers into the same types with the same values. It reads the buffer in place, byte runs at a
// time, where the library's lexer copies every byte through an input adapter: several times
// faster on a large document. It refuses what the library would fail without saying why; the
// library's parser gives the words (describeJsonFailure).
class JsonTokenizer
{
public:
    enum class Token : std::uint8_t {
        beginObject,
        endObject,
        beginArray,
        endArray,
        nameSeparator,
        valueSeparator,
        literalTrue,
        literalFalse,
        literalNull,
        string,
        integer,         // negative, fits std::int64_t
        unsignedInteger, // not negative, fits std::uint64_t
        floatNumber,     // with a fraction or exponent, or an integer too large for the above
        end,
        refused,
    };

    explicit JsonTokenizer(std::string_view text);

    Token next();

    // One past the last byte of the token last read.
    const char *tokenEnd() const { return m_at; }

    // A string token's value, unescaped.
    std::string &text() { return m_text; }

    std::int64_t integer() const { return m_integer; }

    std::uint64_t unsignedInteger() const { return m_unsigned; }

    double floatNumber() const { return m_float; }

private:
    Token scanString();
    bool appendEscape();
    Token scanNumber(const char *start);
    Token scanLiteral(std::string_view rest, Token token);

    const char *m_at;
    const char *m_end;
    bool m_refused = false; // a broken byte-order mark: nothing is read
    std::string m_text;
    std::int64_t m_integer = 0;
    std::uint64_t m_unsigned = 0;
    double m_float = 0;
};

} // namespace zentrel
