#pragma once

#include <QWidget>

#include <cstddef>
#include <vector>

class QHBoxLayout;

namespace zentrel {

// A toolbar's groups of controls with a divider between neighbours: in one row, or, where the
// toolbar must keep within a width, in as few rows as do, one under the other from the leading
// edge.
class ToolbarRows : public QWidget
{
    Q_OBJECT

public:
    // The groups become children of the rows; `spacing` lies between controls, groups, dividers
    // and rows alike.
    ToolbarRows(const std::vector<QWidget *> &groups, int spacing, QWidget *parent = nullptr);

    // An empty group for controls, laid out as a row of the toolbar.
    static QHBoxLayout *addGroup(std::vector<QWidget *> &groups, int spacing, QWidget *parent);

    // Breaks the rows anew so that none is wider than `width`.
    void fitWithin(int width);

private:
    void arrange(const std::vector<std::size_t> &rowStarts);

    std::vector<QWidget *> m_groups;
    std::vector<QWidget *> m_dividers;
    int m_spacing;
};

} // namespace zentrel
