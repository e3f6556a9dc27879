#include "whiteboard/model/excalidraw/export/excalidraw_member_value.h"

#include "common/json/json_text.h"

#include <cmath>

namespace zentrel {

ExcalidrawMemberValue &ExcalidrawMemberValue::operator=(nlohmann::json tree)
{
    m_tree = std::move(tree);
    return become(Kind::tree);
}

ExcalidrawMemberValue &ExcalidrawMemberValue::operator=(std::string text)
{
    m_text = std::move(text);
    return become(Kind::text);
}

ExcalidrawMemberValue &ExcalidrawMemberValue::become(Kind kind)
{
    // What a value held before is let go, so that a member set again holds nothing twice.
    if (kind != Kind::text) {
        m_text.clear();
    }
    if (kind != Kind::tree && !m_tree.is_null()) {
        m_tree = nullptr;
    }
    m_kind = kind;
    return *this;
}

bool ExcalidrawMemberValue::isFinite() const
{
    return m_kind != Kind::number || std::isfinite(m_number);
}

nlohmann::json ExcalidrawMemberValue::toJson() const
{
    switch (m_kind) {
    case Kind::null:
        return nullptr;
    case Kind::boolean:
        return m_boolean;
    case Kind::integer:
        return m_integer;
    case Kind::natural:
        return m_natural;
    case Kind::number:
        return m_number;
    case Kind::text:
        return m_text;
    case Kind::tree:
        return m_tree;
    }
    return nullptr;
}

void ExcalidrawMemberValue::appendTo(std::string &out, int indent, int level) const
{
    switch (m_kind) {
    case Kind::null:
        out += "null";
        break;
    case Kind::boolean:
        out += m_boolean ? "true" : "false";
        break;
    case Kind::integer:
        appendJsonNumber(out, m_integer);
        break;
    case Kind::natural:
        appendJsonNumber(out, m_natural);
        break;
    case Kind::number:
        appendJsonNumber(out, m_number);
        break;
    case Kind::text:
        appendJsonString(out, m_text);
        break;
    case Kind::tree:
        appendJsonText(out, m_tree, indent, level);
        break;
    }
}

} // namespace zentrel
