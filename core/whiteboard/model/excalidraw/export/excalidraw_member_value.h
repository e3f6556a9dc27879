#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace zentrel {

// A member's value as the element writer sets it. Numbers, booleans and strings are held as they
// are and only lists and objects as JSON trees: an element has some thirty members, and a JSON
// value of its own for each, a heap string for each string, cost more than writing the element.
class ExcalidrawMemberValue
{
public:
    ExcalidrawMemberValue &operator=(nlohmann::json tree);
    ExcalidrawMemberValue &operator=(std::string text);

    ExcalidrawMemberValue &operator=(std::string_view text) { return *this = std::string(text); }

    ExcalidrawMemberValue &operator=(const char *text) { return *this = std::string(text); }

    ExcalidrawMemberValue &operator=(std::nullptr_t) { return become(Kind::null); }

    ExcalidrawMemberValue &operator=(bool value)
    {
        m_boolean = value;
        return become(Kind::boolean);
    }

    // Typed as the JSON library types the same number: signed, unsigned or floating-point.
    template <typename Number, typename = std::enable_if_t<std::is_arithmetic_v<Number>>>
    ExcalidrawMemberValue &operator=(Number number)
    {
        if constexpr (std::is_floating_point_v<Number>) {
            m_number = number;
            return become(Kind::number);
        } else if constexpr (std::is_signed_v<Number>) {
            m_integer = number;
            return become(Kind::integer);
        } else {
            m_natural = number;
            return become(Kind::natural);
        }
    }

    bool isText() const { return m_kind == Kind::text; }

    // The list or object, when the value is one; null otherwise.
    const nlohmann::json &tree() const { return m_tree; }

    // False only for an infinite or NaN number, which JSON cannot carry; a tree is not looked in.
    bool isFinite() const;

    nlohmann::json toJson() const;

    // The value as JSON text, as toJson().dump(indent) would write it, `level` spaces in.
    void appendTo(std::string &out, int indent, int level) const;

private:
    enum class Kind : std::uint8_t {
        null,
        boolean,
        integer, // signed
        natural, // unsigned
        number,  // floating-point
        text,
        tree,
    };

    ExcalidrawMemberValue &become(Kind kind);

    Kind m_kind = Kind::null;
    bool m_boolean = false;
    std::int64_t m_integer = 0;
    std::uint64_t m_natural = 0;
    double m_number = 0;
    std::string m_text;
    nlohmann::json m_tree;
};

} // namespace zentrel
