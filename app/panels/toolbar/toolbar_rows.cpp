#include "panels/toolbar/toolbar_rows.h"

#include "overlay/toolbar_rows.h"
#include "panels/panel_style.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zentrel {

ToolbarRows::ToolbarRows(const std::vector<QWidget *> &groups, int spacing, QWidget *parent)
    : QWidget(parent)
    , m_groups(groups)
    , m_spacing(spacing)
{
    for (QWidget *group : m_groups) {
        group->setParent(this);
    }
    arrange({0});
}

QHBoxLayout *ToolbarRows::addGroup(std::vector<QWidget *> &groups, int spacing, QWidget *parent)
{
    auto *group = new QWidget(parent);
    auto *row = new QHBoxLayout(group);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    groups.push_back(group);
    return row;
}

void ToolbarRows::fitWithin(int width)
{
    std::vector<double> widths;
    for (const QWidget *group : m_groups) {
        widths.push_back(group->sizeHint().width());
    }
    QWidget *probe = makeToolbarDivider(nullptr);
    const int gap = 2 * m_spacing + probe->sizeHint().width();
    delete probe;
    arrange(toolbarRowStarts(widths, gap, width));
}

void ToolbarRows::arrange(const std::vector<std::size_t> &rowStarts)
{
    // The groups stay; only the rows and the dividers between their groups are made anew.
    delete layout();
    qDeleteAll(m_dividers);
    m_dividers.clear();

    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(m_spacing);
    for (std::size_t r = 0; r < rowStarts.size(); ++r) {
        const std::size_t end = r + 1 < rowStarts.size() ? rowStarts[r + 1] : m_groups.size();
        auto *row = new QHBoxLayout;
        row->setSpacing(m_spacing);
        for (std::size_t g = rowStarts[r]; g < end; ++g) {
            if (g > rowStarts[r]) {
                m_dividers.push_back(makeToolbarDivider(this));
                row->addWidget(m_dividers.back(), 0, Qt::AlignVCenter);
            }
            row->addWidget(m_groups[g], 0, Qt::AlignVCenter);
        }
        if (rowStarts.size() > 1) {
            row->addStretch();
        }
        rows->addLayout(row);
    }
    // Up to the window at once, so a panel placed right after sizes itself to the new rows.
    for (QWidget *widget = this; widget; widget = widget->parentWidget()) {
        widget->updateGeometry();
    }
}

} // namespace zentrel
