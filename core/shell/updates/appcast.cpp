#include "shell/updates/appcast.h"

#include "common/text.h"

#include <cctype>

namespace zentrel {
namespace {

enum class PartKind {
    number,
    separator,
    text,
};

struct VersionPart
{
    PartKind kind;
    std::string_view text;
};

PartKind kindOf(char c)
{
    if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
        return PartKind::number;
    }
    return c == '.' ? PartKind::separator : PartKind::text;
}

std::vector<VersionPart> versionParts(std::string_view version)
{
    std::vector<VersionPart> parts;
    std::size_t start = 0;
    while (start < version.size()) {
        const PartKind kind = kindOf(version[start]);
        std::size_t end = start + 1;
        // Each full stop is a part of its own; digits and other characters run on.
        while (kind != PartKind::separator && end < version.size()
               && kindOf(version[end]) == kind) {
            ++end;
        }
        parts.push_back(VersionPart{kind, version.substr(start, end - start)});
        start = end;
    }
    return parts;
}

int compareNumbers(std::string_view left, std::string_view right)
{
    // Compared as digit strings, so no length of number overflows.
    const auto significant = [](std::string_view digits) {
        const auto first = digits.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : digits.substr(first);
    };
    left = significant(left);
    right = significant(right);
    if (left.size() != right.size()) {
        return left.size() < right.size() ? -1 : 1;
    }
    return left.compare(right) < 0 ? -1 : (left == right ? 0 : 1);
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

int compareVersions(std::string_view left, std::string_view right)
{
    const std::vector<VersionPart> leftParts = versionParts(left);
    const std::vector<VersionPart> rightParts = versionParts(right);
    const std::size_t common = std::min(leftParts.size(), rightParts.size());
    for (std::size_t i = 0; i < common; ++i) {
        const VersionPart &l = leftParts[i];
        const VersionPart &r = rightParts[i];
        if (l.kind == r.kind) {
            const int order = l.kind == PartKind::number ? compareNumbers(l.text, r.text)
                                                         : sign(l.text.compare(r.text));
            if (order != 0) {
                return order;
            }
            continue;
        }
        // Text marks a pre-release: anything else at that place is newer.
        if (l.kind == PartKind::text) {
            return -1;
        }
        if (r.kind == PartKind::text) {
            return 1;
        }
        // A number against a full stop: the number carries on a shorter version.
        return l.kind == PartKind::number ? 1 : -1;
    }
    if (leftParts.size() == rightParts.size()) {
        return 0;
    }
    // The longer one is newer unless what it adds starts with text ("1.0b1" < "1.0").
    const bool leftLonger = leftParts.size() > rightParts.size();
    const VersionPart &extra = leftLonger ? leftParts[common] : rightParts[common];
    const bool longerIsNewer = extra.kind != PartKind::text;
    return leftLonger == longerIsNewer ? 1 : -1;
}

std::optional<AppcastItem> newestUpdate(const std::vector<AppcastItem> &items,
                                        std::string_view currentVersion)
{
    const AppcastItem *newest = nullptr;
    for (const AppcastItem &item : items) {
        if (!item.version.empty()
            && (!newest || compareVersions(item.version, newest->version) > 0)) {
            newest = &item;
        }
    }
    if (!newest || compareVersions(newest->version, currentVersion) <= 0) {
        return std::nullopt;
    }
    return *newest;
}

bool isUpdateCheckDue(std::optional<Timestamp> lastCheck,
                      Timestamp now,
                      std::chrono::seconds interval)
{
    return !lastCheck || *lastCheck > now || now - *lastCheck >= interval;
}

bool isWebAddress(std::string_view url)
{
    const std::string lowered = asciiLowercased(url.substr(0, url.find(':') + 1));
    return (lowered == "https:" || lowered == "http:")
           && url.substr(lowered.size()).starts_with("//") && url.size() > lowered.size() + 2;
}

bool isWorthTelling(UpdateCheckResult result, bool userStarted)
{
    return userStarted || result == UpdateCheckResult::updateAvailable;
}

} // namespace zentrel
