#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

struct xcb_connection_t;

namespace zentrel {

// The root's children that hold the program's own windows (their window managers' frames), kept
// from one compose to the next: finding them walks up from each window a round trip a level,
// which a stream would otherwise do on every frame. What is kept is checked on every call with
// requests that travel beside the caller's own, answered in the same round trip. Lives on its
// owner's connection and thread.
class X11OwnTopLevels
{
public:
    X11OwnTopLevels(xcb_connection_t *connection, std::uint32_t root);

    // Sends the checks of what is kept of `windows`; take reads their answers.
    void ask(const std::vector<std::uint32_t> &windows);
    // The root's children that hold the windows last asked for. Walks up again from a window
    // whose ancestors changed, as when a window manager framed it meanwhile.
    std::vector<std::uint32_t> take();

private:
    struct Check
    {
        std::uint32_t window = 0;
        // One for each window of its kept path.
        std::vector<unsigned int> requests;
    };

    bool holds(const Check &check) const;

    xcb_connection_t *m_connection;
    std::uint32_t m_root;
    // Each window with its ancestors below the root, the root's child last.
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> m_paths;
    std::vector<Check> m_checks;
};

} // namespace zentrel
