#include "common/json/json_tokenizer.h"

#include "common/json/json_plain_bytes.h"
#include "common/text.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace zentrel {
namespace {

using Token = JsonTokenizer::Token;

bool isBlank(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char *skipDigits(const char *at, const char *end)
{
    while (at != end && isDigit(*at)) {
        ++at;
    }
    return at;
}

// Four hexadecimal digits in either case; -1 when they are not.
int codeUnit(const char *at, const char *end)
{
    if (end - at < 4) {
        return -1;
    }
    int unit = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = at[i];
        int digit = -1;
        if (isDigit(c)) {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return -1;
        }
        unit = unit * 16 + digit;
    }
    return unit;
}

void appendUtf8(std::string &out, unsigned codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Whether a well-formed number too far from zero for a double to hold any other way is tiny
// (the library reads it as zero) rather than huge (the library refuses it): the decimal exponent
// of its leading digit is negative.
bool isTiny(std::string_view number)
{
    if (number.front() == '-') {
        number.remove_prefix(1);
    }
    const std::size_t exponentAt = number.find_first_of("eE");
    std::int64_t exponent = 0;
    if (exponentAt != std::string_view::npos) {
        const std::string_view digits = number.substr(exponentAt + 1);
        const bool negative = digits.front() == '-';
        const std::size_t sign = digits.front() == '-' || digits.front() == '+' ? 1 : 0;
        for (const char c : digits.substr(sign)) {
            // Past a trillion the digits of the text cannot bring the exponent back.
            exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), 1'000'000'000'000);
        }
        exponent = negative ? -exponent : exponent;
        number = number.substr(0, exponentAt);
    }
    const std::size_t pointAt = std::min(number.find('.'), number.size());
    const std::size_t leading = number.find_first_not_of("0.");
    if (leading == std::string_view::npos) {
        return true; // zero, which always fits; not reached
    }
    const auto place = static_cast<std::int64_t>(pointAt) - static_cast<std::int64_t>(leading);
    return (leading < pointAt ? place - 1 : place) + exponent < 0;
}

} // namespace

JsonTokenizer::JsonTokenizer(std::string_view text)
    : m_at(text.data())
    , m_end(text.data() + text.size())
{
    // A byte-order mark is read past as the very first bytes only, and must be whole there.
    if (m_at != m_end && static_cast<unsigned char>(*m_at) == 0xEF) {
        m_refused = text.substr(0, 3) != "\xEF\xBB\xBF";
        m_at += m_refused ? 0 : 3;
    }
}

Token JsonTokenizer::next()
{
    while (m_at != m_end && isBlank(*m_at)) {
        ++m_at;
    }
    // The library reads a NUL byte between tokens as the end of the text.
    if (m_refused || m_at == m_end || *m_at == '\0') {
        return m_refused ? Token::refused : Token::end;
    }
    const char c = *m_at++;
    switch (c) {
    case '{':
        return Token::beginObject;
    case '}':
        return Token::endObject;
    case '[':
        return Token::beginArray;
    case ']':
        return Token::endArray;
    case ':':
        return Token::nameSeparator;
    case ',':
        return Token::valueSeparator;
    case '"':
        return scanString();
    case 't':
        return scanLiteral("rue", Token::literalTrue);
    case 'f':
        return scanLiteral("alse", Token::literalFalse);
    case 'n':
        return scanLiteral("ull", Token::literalNull);
    default:
        return c == '-' || isDigit(c) ? scanNumber(m_at - 1) : Token::refused;
    }
}

Token JsonTokenizer::scanString()
{
    m_text.clear();
    for (;;) {
        const char *run = m_at;
        while (m_at != m_end && isPlainJsonStringByte(*m_at)) {
            ++m_at;
        }
        m_text.append(run, m_at);
        if (m_at == m_end) {
            return Token::refused;
        }
        const auto c = static_cast<unsigned char>(*m_at);
        if (c == '"') {
            ++m_at;
            return Token::string;
        }
        if (c == '\\') {
            if (!appendEscape()) {
                return Token::refused;
            }
            continue;
        }
        const std::size_t length =
            c < 0x80 ? 0 : utf8SequenceLength({m_at, static_cast<std::size_t>(m_end - m_at)});
        if (length == 0) {
            return Token::refused; // a control byte or ill-formed UTF-8
        }
        m_text.append(m_at, length);
        m_at += length;
    }
}

bool JsonTokenizer::appendEscape()
{
    if (m_end - m_at < 2) {
        return false;
    }
    const char c = m_at[1];
    m_at += 2;
    constexpr std::string_view escaped = "\"\\/bfnrt";
    constexpr std::string_view meant = "\"\\/\b\f\n\r\t";
    if (const std::size_t at = escaped.find(c); at != std::string_view::npos) {
        m_text += meant[at];
        return true;
    }
    const int first = c == 'u' ? codeUnit(m_at, m_end) : -1;
    if (first < 0 || (first >= 0xDC00 && first <= 0xDFFF)) {
        return false;
    }
    m_at += 4;
    auto codePoint = static_cast<unsigned>(first);
    if (first >= 0xD800 && first <= 0xDBFF) {
        // A high surrogate needs its low one, escaped right after it.
        const bool escape = m_end - m_at >= 2 && m_at[0] == '\\' && m_at[1] == 'u';
        const int second = escape ? codeUnit(m_at + 2, m_end) : -1;
        if (second < 0xDC00 || second > 0xDFFF) {
            return false;
        }
        m_at += 6;
        codePoint =
            0x10000 + ((codePoint - 0xD800) << 10) + (static_cast<unsigned>(second) - 0xDC00);
    }
    appendUtf8(m_text, codePoint);
    return true;
}

Token JsonTokenizer::scanNumber(const char *start)
{
    const bool negative = *start == '-';
    const char *at = negative ? start + 1 : start;
    if (at == m_end || !isDigit(*at)) {
        return Token::refused;
    }
    // A leading zero stands alone: "01" is two numbers, which the grammar then refuses.
    at = *at == '0' ? at + 1 : skipDigits(at, m_end);
    bool whole = true;
    if (at != m_end && *at == '.') {
        whole = false;
        if (++at == m_end || !isDigit(*at)) {
            return Token::refused;
        }
        at = skipDigits(at, m_end);
    }
    if (at != m_end && (*at == 'e' || *at == 'E')) {
        whole = false;
        if (++at != m_end && (*at == '+' || *at == '-')) {
            ++at;
        }
        if (at == m_end || !isDigit(*at)) {
            return Token::refused;
        }
        at = skipDigits(at, m_end);
    }
    m_at = at;
    // Integers too large for their type are read as floating-point numbers, as the library does.
    if (whole && negative && std::from_chars(start, at, m_integer).ec == std::errc()) {
        return Token::integer;
    }
    if (whole && !negative && std::from_chars(start, at, m_unsigned).ec == std::errc()) {
        return Token::unsignedInteger;
    }
    const std::errc error = std::from_chars(start, at, m_float).ec;
    if (error == std::errc::result_out_of_range) {
        const std::string_view text(start, static_cast<std::size_t>(at - start));
        if (!isTiny(text)) {
            return Token::refused; // the library refuses a number that overflows
        }
        m_float = negative ? -0.0 : 0.0;
    } else if (error != std::errc()) {
        return Token::refused;
    }
    return Token::floatNumber;
}

Token JsonTokenizer::scanLiteral(std::string_view rest, Token token)
{
    if (static_cast<std::size_t>(m_end - m_at) < rest.size()
        || std::memcmp(m_at, rest.data(), rest.size()) != 0) {
        return Token::refused;
    }
    m_at += rest.size();
    return token;
}

} // namespace zentrel
