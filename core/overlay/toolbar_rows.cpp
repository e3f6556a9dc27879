#include "overlay/toolbar_rows.h"

#include <algorithm>
#include <limits>

namespace zentrel {

namespace {

constexpr double unreachable = std::numeric_limits<double>::infinity();

class RowWidths
{
public:
    RowWidths(const std::vector<double> &groupWidths, double gap, double widthLimit)
        : m_gap(gap)
        , m_limit(widthLimit)
    {
        m_sums.push_back(0);
        for (const double width : groupWidths) {
            m_sums.push_back(m_sums.back() + width);
        }
    }

    // Groups [first, end) on one row; unreachable where they do not fit.
    double width(std::size_t first, std::size_t end) const
    {
        const double width =
            m_sums[end] - m_sums[first] + m_gap * static_cast<double>(end - first - 1);
        return width <= m_limit || end - first == 1 ? width : unreachable;
    }

private:
    std::vector<double> m_sums;
    double m_gap;
    double m_limit;
};

std::size_t fewestRows(const RowWidths &rows, std::size_t count)
{
    std::size_t rowCount = 1;
    std::size_t first = 0;
    for (std::size_t end = 2; end <= count; ++end) {
        if (rows.width(first, end) == unreachable) {
            ++rowCount;
            first = end - 1;
        }
    }
    return rowCount;
}

} // namespace

std::vector<std::size_t>
toolbarRowStarts(const std::vector<double> &groupWidths, double gap, double widthLimit)
{
    const std::size_t count = groupWidths.size();
    if (count == 0) {
        return {};
    }
    const RowWidths rows(groupWidths, gap, widthLimit);
    const std::size_t rowCount = fewestRows(rows, count);
    // widest[r][n]: the narrowest widest row of the first n groups in r rows; start[r][n] where
    // the last of those rows begins, as late as it can among equals so upper rows are fuller.
    std::vector<std::vector<double>> widest(rowCount + 1,
                                            std::vector<double>(count + 1, unreachable));
    std::vector<std::vector<std::size_t>> start(rowCount + 1, std::vector<std::size_t>(count + 1));
    widest[0][0] = 0;
    for (std::size_t r = 1; r <= rowCount; ++r) {
        for (std::size_t n = r; n <= count; ++n) {
            for (std::size_t first = r - 1; first < n; ++first) {
                const double candidate = std::max(widest[r - 1][first], rows.width(first, n));
                if (candidate <= widest[r][n]) {
                    widest[r][n] = candidate;
                    start[r][n] = first;
                }
            }
        }
    }
    std::vector<std::size_t> starts(rowCount);
    std::size_t end = count;
    for (std::size_t r = rowCount; r > 0; --r) {
        starts[r - 1] = start[r][end];
        end = starts[r - 1];
    }
    return starts;
}

} // namespace zentrel
