#pragma once

#include "common/json/json_tokenizer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// Reads `text` as one strict JSON value and reports it to `handler` through the calls of
// nlohmann/json's SAX interface, in the order and with the values nlohmann::json::sax_parse
// reports, only several times faster; number_float alone is given no text, which no handler of
// ours reads. Returns false as soon as the text is found malformed or a call returns false;
// describeJsonFailure gives the library's words for why. When `reach` is given, it points one
// past the token that caused each call while the call is made.
template <typename Handler>
bool readJsonEvents(std::string_view text, Handler &handler, const char **reach = nullptr)
{
    using Token = JsonTokenizer::Token;
    constexpr auto unknownSize = static_cast<std::size_t>(-1);
    static const std::string noText;
    JsonTokenizer tokens(text);
    const auto next = [&tokens, reach] {
        const Token token = tokens.next();
        if (reach != nullptr) {
            *reach = tokens.tokenEnd();
        }
        return token;
    };
    // A member's key and its colon; its value comes next.
    const auto member = [&tokens, &handler, &next](Token token) {
        return token == Token::string && handler.key(tokens.text())
               && next() == Token::nameSeparator;
    };
    std::vector<std::uint8_t> inArray; // per open array or object, innermost last
    Token token = next();
    for (;;) {
        bool read = true;
        switch (token) {
        case Token::beginObject:
            if (!handler.start_object(unknownSize)) {
                return false;
            }
            if ((token = next()) == Token::endObject) {
                read = handler.end_object();
                break;
            }
            if (!member(token)) {
                return false;
            }
            inArray.push_back(0);
            token = next();
            continue;
        case Token::beginArray:
            if (!handler.start_array(unknownSize)) {
                return false;
            }
            if ((token = next()) == Token::endArray) {
                read = handler.end_array();
                break;
            }
            inArray.push_back(1);
            continue;
        case Token::string:
            read = handler.string(tokens.text());
            break;
        case Token::integer:
            read = handler.number_integer(tokens.integer());
            break;
        case Token::unsignedInteger:
            read = handler.number_unsigned(tokens.unsignedInteger());
            break;
        case Token::floatNumber:
            read = handler.number_float(tokens.floatNumber(), noText);
            break;
        case Token::literalTrue:
        case Token::literalFalse:
            read = handler.boolean(token == Token::literalTrue);
            break;
        case Token::literalNull:
            read = handler.null();
            break;
        default:
            return false; // no value starts here
        }
        if (!read) {
            return false;
        }
        // A value has ended: close what ends with it, up to the next value.
        for (;;) {
            if (inArray.empty()) {
                return next() == Token::end;
            }
            token = next();
            if (token == Token::valueSeparator) {
                token = next();
                if (!inArray.back() && !member(token)) {
                    return false;
                }
                token = inArray.back() ? token : next();
                break;
            }
            const bool array = inArray.back() != 0;
            if (token != (array ? Token::endArray : Token::endObject)
                || !(array ? handler.end_array() : handler.end_object())) {
                return false;
            }
            inArray.pop_back();
        }
    }
}

} // namespace zentrel
