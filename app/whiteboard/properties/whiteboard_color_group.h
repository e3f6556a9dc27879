#pragma once

#include "common/color.h"
#include "whiteboard/toolbar/whiteboard_color_swatch.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;

namespace zentrel {

class WhiteboardButton;
class WhiteboardSwatchButton;

// One colour group of the property panel: a title, a row of swatches with a more-colours button,
// and the extra-colour grid that floats below the row over the groups under it. The grid is a
// child of `overlayParent` (the panel) so nothing clips it.
class WhiteboardColorGroup : public QWidget
{
    Q_OBJECT

public:
    // The colour picked (none for transparent) and whether it came from the grid.
    using Choice = std::function<void(const std::optional<Color> &color, bool fromGrid)>;

    WhiteboardColorGroup(const std::vector<WhiteboardColorSwatch> &row,
                         bool offersTransparent,
                         const std::vector<WhiteboardColorSwatch> &gridColors,
                         QWidget *overlayParent,
                         QWidget *parent);

    Choice onChoice;
    std::function<void()> onMoreColors;

    QString title() const;
    void setTitle(const QString &title);
    void showCurrent(const std::optional<std::string> &colorText);
    void setGridOpen(bool open);

    QWidget *grid() const { return m_grid; }

    WhiteboardButton *moreColorsButton() const { return m_moreColors; }

    // Keeps the grid 38 points below the top of the swatch row, wherever the row is now.
    void placeGrid();

private:
    WhiteboardSwatchButton *
    addSwatch(const QString &name, const std::optional<Color> &color, bool inGrid, QWidget *parent);
    QWidget *makeGrid(const std::vector<WhiteboardColorSwatch> &colors, QWidget *overlayParent);

    QLabel *m_title = nullptr;
    QWidget *m_row = nullptr;
    WhiteboardButton *m_moreColors = nullptr;
    QWidget *m_grid = nullptr;
    std::vector<WhiteboardSwatchButton *> m_swatches;
};

} // namespace zentrel
