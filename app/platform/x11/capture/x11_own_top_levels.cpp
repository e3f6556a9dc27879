#include "platform/x11/capture/x11_own_top_levels.h"

#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

#include <algorithm>

namespace zentrel {

X11OwnTopLevels::X11OwnTopLevels(xcb_connection_t *connection, std::uint32_t root)
    : m_connection(connection)
    , m_root(root)
{}

void X11OwnTopLevels::ask(const std::vector<std::uint32_t> &windows)
{
    std::erase_if(m_paths, [&windows](const auto &kept) {
        return std::find(windows.begin(), windows.end(), kept.first) == windows.end();
    });
    m_checks.clear();
    for (const std::uint32_t window : windows) {
        Check check{window, {}};
        if (const auto kept = m_paths.find(window); kept != m_paths.end()) {
            for (const std::uint32_t step : kept->second) {
                check.requests.push_back(xcb_query_tree(m_connection, step).sequence);
            }
        }
        m_checks.push_back(std::move(check));
    }
}

std::vector<std::uint32_t> X11OwnTopLevels::take()
{
    std::vector<std::uint32_t> topLevels;
    for (const Check &check : m_checks) {
        if (!holds(check)) {
            m_paths[check.window] = x11PathToRoot(m_connection, m_root, check.window);
        }
        const std::vector<std::uint32_t> &path = m_paths[check.window];
        if (!path.empty()) {
            topLevels.push_back(path.back());
        }
    }
    m_checks.clear();
    return topLevels;
}

// Each window of the kept path still has the next for its parent, and the last the root.
bool X11OwnTopLevels::holds(const Check &check) const
{
    const auto kept = m_paths.find(check.window);
    bool holds = kept != m_paths.end() && !check.requests.empty()
                 && kept->second.size() == check.requests.size();
    for (std::size_t i = 0; i < check.requests.size(); ++i) {
        // Every answer is read, also after one that no longer holds.
        const XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, {check.requests[i]}, nullptr));
        if (!holds) {
            continue;
        }
        const std::vector<std::uint32_t> &path = kept->second;
        const std::uint32_t parent = i + 1 < path.size() ? path[i + 1] : m_root;
        holds = tree && tree->parent == parent;
    }
    return holds;
}

} // namespace zentrel
