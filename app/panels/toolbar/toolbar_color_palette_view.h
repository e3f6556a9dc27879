#pragma once

#include "common/color.h"
#include "common/signal.h"

#include <QPointer>
#include <QWidget>

#include <utility>
#include <vector>

class QAbstractButton;
class QColorDialog;

namespace zentrel {

class AppPreferences;

// Whether a swatch shows as the drawing colour: red, green and blue each differ by less than
// 0.01; alpha does not count, and a colour with a component that is not a finite number
// matches nothing.
bool drawingColorsMatch(const Color &first, const Color &second);

// The live-drawing colours: one swatch per quick colour and a custom colour well, all writing
// the drawing colour at once. The swatch matching the drawing colour shows a ring, whoever
// set the colour.
class ToolbarColorPaletteView : public QWidget
{
    Q_OBJECT

public:
    explicit ToolbarColorPaletteView(AppPreferences &preferences, QWidget *parent = nullptr);

private:
    void refresh();
    void showColorDialog();

    AppPreferences &m_preferences;
    std::vector<std::pair<Color, QAbstractButton *>> m_swatches;
    QAbstractButton *m_customColor = nullptr;
    QPointer<QColorDialog> m_colorDialog;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
