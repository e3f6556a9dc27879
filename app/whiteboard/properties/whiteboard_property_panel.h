#pragma once

#include "common/signal.h"
#include "whiteboard/toolbar/whiteboard_color_swatch.h"

#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

class QBoxLayout;
class QLabel;
class QMenu;
class QSlider;
class QSpinBox;
class QToolButton;

namespace zentrel {

class AppPreferences;
class WhiteboardButton;
class WhiteboardColorGroup;
class WhiteboardEditorModel;
class WhiteboardTextAlert;

// The floating panel of element properties beside the whiteboard or Zevizu & Vozurir canvas. It
// shows the style of the selection, or with nothing selected the defaults new elements take,
// and changes both: colours, stroke width, roughness, opacity, stacking order, text size, and
// through "More properties" stroke and fill style, corners, font, alignment and the link. The
// stroke colour, width and roughness also go to the settings live drawing shares. It re-reads
// the model on every change the model publishes; while the selection holds a locked element it
// is disabled.
class WhiteboardPropertyPanel : public QWidget
{
    Q_OBJECT

public:
    WhiteboardPropertyPanel(WhiteboardEditorModel &model,
                            AppPreferences &preferences,
                            QWidget *parent = nullptr);
    ~WhiteboardPropertyPanel() override;

    const std::vector<WhiteboardColorSwatch> &strokeColors() const { return m_strokeColors; }

    const std::vector<WhiteboardColorSwatch> &fillColors() const { return m_fillColors; }

    const std::vector<WhiteboardColorSwatch> &customColors() const { return m_customColors; }

    // The title of the colour group whose extra colours are open, if any.
    const std::optional<QString> &expandedColorSection() const { return m_expandedColorSection; }

    bool isEditingLink() const { return m_isEditingLink; }

    const QString &linkDraft() const { return m_linkDraft; }

    WhiteboardTextAlert *linkAlert() const { return m_linkAlert; }

    // "More properties", filled afresh each time it is about to show.
    QMenu *moreMenu() const { return m_moreMenu; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The opacity slider runs in thousandths so a drag feels continuous.
    static constexpr int opacitySteps = 1000;

    QWidget *makeGroup(const QString &title, int spacing, QBoxLayout **rowLayout);
    void addColorGroups(QBoxLayout *layout);
    void addWidthGroup(QBoxLayout *layout);
    void addRoughnessGroup(QBoxLayout *layout);
    void addOpacityGroup(QBoxLayout *layout);
    void addLayersGroup(QBoxLayout *layout);
    void addTextSizeGroup(QBoxLayout *layout);
    void addMoreProperties(QBoxLayout *layout);
    void makeLinkAlert();
    void fillMoreMenu();
    void startEditingLink();
    void toggleColorSection(const QString &title);
    void refresh();
    void refreshColorGroups();
    void refreshTextSize();
    void applyColorScheme();

    WhiteboardEditorModel &m_model;
    AppPreferences &m_preferences;
    bool m_isEditingLink = false;
    QString m_linkDraft;
    std::optional<QString> m_expandedColorSection;
    std::vector<WhiteboardColorSwatch> m_strokeColors;
    std::vector<WhiteboardColorSwatch> m_fillColors;
    std::vector<WhiteboardColorSwatch> m_customColors;
    std::vector<double> m_widths{1.0, 2.0, 4.0};

    WhiteboardColorGroup *m_strokeGroup = nullptr;
    WhiteboardColorGroup *m_fillGroup = nullptr;
    std::vector<std::pair<double, WhiteboardButton *>> m_widthButtons;
    std::vector<std::pair<int, WhiteboardButton *>> m_roughnessButtons;
    QSlider *m_opacitySlider = nullptr;
    QLabel *m_opacityValue = nullptr;
    std::vector<WhiteboardButton *> m_layerButtons;
    QWidget *m_textSizeGroup = nullptr;
    QLabel *m_textSizeValue = nullptr;
    std::vector<std::pair<int, WhiteboardButton *>> m_textSizeButtons;
    QSpinBox *m_textSizeStepper = nullptr;
    QToolButton *m_moreButton = nullptr;
    QMenu *m_moreMenu = nullptr;
    WhiteboardTextAlert *m_linkAlert = nullptr;
    std::optional<bool> m_isDark;
    ScopedConnection m_modelConnection;
};

} // namespace zentrel
