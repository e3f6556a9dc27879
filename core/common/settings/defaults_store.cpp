#include "common/settings/defaults_store.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zentrel {
namespace {

std::string_view skipLeadingSpace(std::string_view text)
{
    while (!text.empty()
           && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n'
               || text.front() == '\r')) {
        text.remove_prefix(1);
    }
    return text;
}

// Text reads as a number by its leading digits, as "12px" → 12; no digits read as 0.
double leadingDouble(const std::string &text)
{
    const char *begin = text.c_str();
    char *end = nullptr;
    const double value = std::strtod(begin, &end);
    return end == begin ? 0.0 : value;
}

std::int64_t leadingInteger(const std::string &text)
{
    const char *begin = text.c_str();
    char *end = nullptr;
    const long long value = std::strtoll(begin, &end, 10);
    return end == begin ? 0 : static_cast<std::int64_t>(value);
}

std::int64_t truncatedToInteger(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double limit = 9.2e18;
    return static_cast<std::int64_t>(std::clamp(value, -limit, limit));
}

// "YES", "true", or a number other than 0 read as true.
bool textIsTrue(const std::string &text)
{
    const std::string_view trimmed = skipLeadingSpace(text);
    if (!trimmed.empty()) {
        const char first = trimmed.front();
        if (first == 'Y' || first == 'y' || first == 'T' || first == 't') {
            return true;
        }
    }
    return leadingInteger(text) != 0;
}

} // namespace

void DefaultsStore::registerDefaults(const nlohmann::json &defaults)
{
    if (!defaults.is_object()) {
        return;
    }
    for (const auto &[key, value] : defaults.items()) {
        m_registered[key] = value;
    }
}

std::optional<nlohmann::json> DefaultsStore::value(const std::string &key) const
{
    if (auto stored = storedValue(key)) {
        return stored;
    }
    if (const auto found = m_registered.find(key); found != m_registered.end()) {
        return *found;
    }
    return std::nullopt;
}

bool DefaultsStore::boolValue(const std::string &key) const
{
    const auto found = value(key);
    if (!found) {
        return false;
    }
    if (found->is_boolean()) {
        return found->get<bool>();
    }
    if (found->is_number()) {
        return found->get<double>() != 0.0;
    }
    if (found->is_string()) {
        return textIsTrue(found->get<std::string>());
    }
    return false;
}

std::int64_t DefaultsStore::integerValue(const std::string &key) const
{
    const auto found = value(key);
    if (!found) {
        return 0;
    }
    if (found->is_boolean()) {
        return found->get<bool>() ? 1 : 0;
    }
    if (found->is_number_integer()) {
        return found->get<std::int64_t>();
    }
    if (found->is_number()) {
        return truncatedToInteger(found->get<double>());
    }
    if (found->is_string()) {
        return leadingInteger(found->get<std::string>());
    }
    return 0;
}

double DefaultsStore::doubleValue(const std::string &key) const
{
    const auto found = value(key);
    if (!found) {
        return 0.0;
    }
    if (found->is_boolean()) {
        return found->get<bool>() ? 1.0 : 0.0;
    }
    if (found->is_number()) {
        return found->get<double>();
    }
    if (found->is_string()) {
        return leadingDouble(found->get<std::string>());
    }
    return 0.0;
}

std::optional<std::string> DefaultsStore::stringValue(const std::string &key) const
{
    const auto found = value(key);
    if (!found) {
        return std::nullopt;
    }
    if (found->is_string()) {
        return found->get<std::string>();
    }
    if (found->is_number_integer()) {
        return std::to_string(found->get<std::int64_t>());
    }
    if (found->is_number()) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", found->get<double>());
        return std::string(text);
    }
    if (found->is_boolean()) {
        return std::string(found->get<bool>() ? "1" : "0");
    }
    return std::nullopt;
}

std::optional<nlohmann::json> DefaultsStore::dictionaryValue(const std::string &key) const
{
    auto found = value(key);
    if (found && found->is_object()) {
        return found;
    }
    return std::nullopt;
}

} // namespace zentrel
