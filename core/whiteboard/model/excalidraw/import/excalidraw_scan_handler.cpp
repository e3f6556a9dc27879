#include "whiteboard/model/excalidraw/import/excalidraw_scan_handler.h"

#include "common/json/json_text.h"
#include "whiteboard/model/excalidraw/import/excalidraw_scan_keys.h"

namespace zentrel {
namespace {

using json = nlohmann::json;

// The limit in the digits of the message, grouped by thousands: "1,000,000".
ExcalidrawError limitRefusal(ExcalidrawError::Kind kind, std::size_t limit)
{
    const std::string digits = std::to_string(limit);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return ExcalidrawError{kind, grouped};
}

bool isDark(const json &color)
{
    return color.is_string() && excalidrawColorIsDark(color.get_ref<const std::string &>());
}

} // namespace

ExcalidrawScanHandler::ExcalidrawScanHandler(std::size_t maxDepth, ExcalidrawContentLimits limits)
    : m_maxDepth(maxDepth)
    , m_limits(limits)
{
    m_stack.reserve(16);
}

bool ExcalidrawScanHandler::key(std::string &text)
{
    Frame &top = m_stack.back();
    switch (top.scope) {
    case Scope::root:
        top.key = excalidrawDocumentKey(text);
        break;
    case Scope::element:
        top.key = excalidrawElementKey(text);
        m_keyEnd = reach;
        break;
    case Scope::files:
        m_fileKey = text;
        m_fileStart = reach; // just past the key; its value follows the colon
        break;
    case Scope::binding:
        top.key = text == "elementId" ? 0 : excalidrawIgnoredKey;
        break;
    case Scope::roundness:
        top.key = text == "type" ? 0 : excalidrawIgnoredKey;
        break;
    case Scope::appState:
        top.key = excalidrawAppStateKeyOf(text);
        break;
    default:
        break;
    }
    return true;
}

bool ExcalidrawScanHandler::wantsString() const
{
    if (m_stack.empty()) {
        return false;
    }
    const Frame &top = m_stack.back();
    return top.scope != Scope::skipped && top.scope != Scope::points
           && top.key != excalidrawIgnoredKey;
}

bool ExcalidrawScanHandler::tookNumber(double value)
{
    if (m_stack.empty()) {
        return false;
    }
    switch (m_stack.back().scope) {
    case Scope::skipped:
        return true;
    case Scope::point:
        if (m_pointEntries < 2) {
            m_point[m_pointEntries] = value;
        }
        ++m_pointEntries;
        return true;
    default:
        return false;
    }
}

bool ExcalidrawScanHandler::tookText(const std::string &value)
{
    if (m_stack.empty() || m_stack.back().scope != Scope::element
        || !ExcalidrawElementFields::isStringKey(m_stack.back().key)) {
        return false;
    }
    m_fields.setText(m_stack.back().key, value);
    endMember();
    return true;
}

bool ExcalidrawScanHandler::scalar(json &&value)
{
    if (m_stack.empty()) {
        return true; // the document is a bare value, so no Excalidraw document
    }
    const Frame &top = m_stack.back();
    switch (top.scope) {
    case Scope::skipped:
    case Scope::files: // an entry that is no object is no file
        break;
    case Scope::points: // an entry that is no array is no point
        m_fields.pointsExact = false;
        break;
    case Scope::root:
        if (top.key == excalidrawTypeKey) {
            m_typeIsExcalidraw = value == "excalidraw";
        } else if (top.key == excalidrawElementsKey) {
            m_document.elements.clear();
            m_hasElementArray = false;
        } else if (top.key == excalidrawAppStateKey) {
            m_document.blackBackground = false;
            m_document.showsGrid = false;
        } else if (top.key == excalidrawFilesKey) {
            m_document.files.clear();
        }
        break;
    case Scope::elements:
        m_elementsAreObjects = false;
        break;
    case Scope::element:
        elementScalar(std::move(value));
        endMember();
        break;
    case Scope::point:
        if (!value.is_number()) {
            m_fields.pointsExact = false;
        }
        if (m_pointEntries < 2) {
            m_point[m_pointEntries] = excalidrawNumber(&value, 0);
        }
        ++m_pointEntries;
        break;
    case Scope::groups:
        if (value.is_string()) {
            m_fields.groupIds.push_back(std::move(value.get_ref<std::string &>()));
        }
        break;
    case Scope::binding:
        if (top.key == 0) {
            *m_binding = value.is_string() ? std::optional<std::string>(value.get<std::string>())
                                           : std::nullopt;
        }
        break;
    case Scope::roundness:
        if (top.key == 0) {
            m_roundnessType = std::move(value);
        }
        break;
    case Scope::appState:
        if (top.key == excalidrawBackgroundKey) {
            m_document.blackBackground = isDark(value);
        } else if (top.key == excalidrawGridKey) {
            m_document.showsGrid = value.is_number();
        }
        break;
    }
    return true;
}

void ExcalidrawScanHandler::elementScalar(json &&value)
{
    const std::uint8_t key = m_stack.back().key;
    if (key < excalidrawPointsKey) {
        m_fields.set(key, std::move(value));
        return;
    }
    // Structured keys holding a single value read as if missing.
    openInElement(false, /*isContainer*/ false);
}

// Whatever the key held before is replaced, as the library's own tree keeps the last duplicate.
ExcalidrawScanHandler::Scope ExcalidrawScanHandler::openInElement(bool isObject, bool isContainer)
{
    switch (m_stack.back().key) {
    case excalidrawPointsKey:
        m_fields.points.clear();
        return isContainer && !isObject ? Scope::points : Scope::skipped;
    case excalidrawGroupIdsKey:
        m_fields.groupIds.clear();
        return isContainer && !isObject ? Scope::groups : Scope::skipped;
    case excalidrawStartBindingKey:
    case excalidrawEndBindingKey:
        m_binding = m_stack.back().key == excalidrawStartBindingKey ? &m_fields.startBinding
                                                                    : &m_fields.endBinding;
        m_binding->reset();
        return isObject ? Scope::binding : Scope::skipped;
    case excalidrawRoundnessKey:
        m_fields.roundnessType.reset();
        m_roundnessType = nullptr;
        return isObject ? Scope::roundness : Scope::skipped;
    case excalidrawIgnoredKey:
        return Scope::skipped;
    default:
        // An array or object where a single value belongs reads like null.
        m_fields.set(m_stack.back().key, nullptr);
        return Scope::skipped;
    }
}

bool ExcalidrawScanHandler::open(bool isObject)
{
    if (m_stack.size() >= m_maxDepth) {
        m_tooDeep = true;
        return false;
    }
    Scope next = Scope::skipped;
    if (m_stack.empty()) {
        m_rootIsObject = isObject;
        next = isObject ? Scope::root : Scope::skipped;
    } else {
        const Frame &top = m_stack.back();
        switch (top.scope) {
        case Scope::skipped:
        case Scope::groups:
            break;
        case Scope::root:
            if (top.key == excalidrawTypeKey) {
                m_typeIsExcalidraw = false;
            } else if (top.key == excalidrawElementsKey) {
                m_document.elements.clear();
                m_pointCount = 0;
                m_hasElementArray = !isObject;
                m_elementsAreObjects = true;
                next = isObject ? Scope::skipped : Scope::elements;
            } else if (top.key == excalidrawAppStateKey) {
                m_document.blackBackground = false;
                m_document.showsGrid = false;
                next = isObject ? Scope::appState : Scope::skipped;
            } else if (top.key == excalidrawFilesKey) {
                m_document.files.clear();
                next = isObject ? Scope::files : Scope::skipped;
            }
            break;
        case Scope::elements:
            if (isObject) {
                m_fields.clear();
                m_elementStart = reach - 1; // the parser has just read the opening brace
                m_memberStart = reach;
                next = Scope::element;
            } else {
                m_elementsAreObjects = false;
            }
            break;
        case Scope::element:
            next = openInElement(isObject, /*isContainer*/ true);
            break;
        case Scope::points:
            if (!isObject) {
                m_pointEntries = 0;
                next = Scope::point;
            } else {
                m_fields.pointsExact = false;
            }
            break;
        case Scope::point:
            m_fields.pointsExact = false;
            if (m_pointEntries < 2) {
                m_point[m_pointEntries] = 0;
            }
            ++m_pointEntries;
            break;
        case Scope::binding:
            if (top.key == 0) {
                m_binding->reset();
            }
            break;
        case Scope::roundness:
            if (top.key == 0) {
                m_roundnessType = nullptr;
            }
            break;
        case Scope::appState:
            if (top.key == excalidrawBackgroundKey) {
                m_document.blackBackground = false;
            } else if (top.key == excalidrawGridKey) {
                m_document.showsGrid = false;
            }
            break;
        case Scope::files:
            break;
        }
    }
    m_stack.push_back({next, isObject ? excalidrawIgnoredKey : std::uint8_t{0}});
    return true;
}

bool ExcalidrawScanHandler::close()
{
    const Scope scope = m_stack.back().scope;
    m_stack.pop_back();
    switch (scope) {
    case Scope::element:
        // The parser has just read the closing brace.
        m_fields.bytes = std::string_view(m_elementStart, reach - m_elementStart);
        if (m_document.elements.size() == m_limits.elements) {
            m_refusal = limitRefusal(ExcalidrawError::Kind::tooManyElements, m_limits.elements);
            return false;
        }
        m_document.elements.push_back(readExcalidrawElement(m_fields));
        break;
    case Scope::point:
        if (m_pointCount++ == m_limits.points) {
            m_refusal = limitRefusal(ExcalidrawError::Kind::tooManyPoints, m_limits.points);
            return false;
        }
        if (m_pointEntries >= 2) {
            m_fields.points.push_back({m_point[0], m_point[1]});
        }
        if (m_pointEntries != 2) {
            m_fields.pointsExact = false;
        }
        break;
    case Scope::roundness:
        m_fields.roundnessType = excalidrawInteger(&m_roundnessType, 0);
        break;
    default:
        break;
    }
    if (m_stack.empty()) {
        return true;
    }
    if (m_stack.back().scope == Scope::element) {
        endMember();
    } else if (m_stack.back().scope == Scope::files && scope == Scope::skipped
               && m_fileStart != nullptr) {
        // Only objects are file entries; the parser has just read the closing brace.
        if (*(reach - 1) == '}') {
            m_document.files[m_fileKey] = afterSeparators(m_fileStart, reach, ':');
        }
        m_fileStart = nullptr;
    }
    return true;
}

void ExcalidrawScanHandler::endMember()
{
    if (m_stack.empty() || m_stack.back().scope != Scope::element) {
        return;
    }
    m_fields.members.push_back({m_memberStart, m_keyEnd, reach, m_stack.back().key});
    m_memberStart = reach;
}

ExcalidrawScannedDocument ExcalidrawScanHandler::takeResult()
{
    m_document.isExcalidraw =
        m_rootIsObject && m_typeIsExcalidraw && m_hasElementArray && m_elementsAreObjects;
    return std::move(m_document);
}

} // namespace zentrel
