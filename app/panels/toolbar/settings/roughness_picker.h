#pragma once

#include "shell/roughness_level.h"

#include <QWidget>

#include <array>

class QAbstractButton;
class QLabel;

namespace zentrel {

// The segmented control for the hand-drawn roughness: "Smooth", "Slightly Rough", "Rough" and
// "Very Rough". Each segment's object name is its level's stored number.
class RoughnessPicker : public QWidget
{
    Q_OBJECT

public:
    explicit RoughnessPicker(QWidget *parent = nullptr);

    static QString label(RoughnessLevel level);

    RoughnessLevel level() const { return m_level; }

    // Shows the level; levelChosen stays silent.
    void setLevel(RoughnessLevel level);
    // The "Roughness" title before the segments; settings panels hide it.
    void setTitleVisible(bool visible);

Q_SIGNALS:
    // The user pressed a segment; the picker shows it only once the caller sets it.
    void levelChosen(zentrel::RoughnessLevel level);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    RoughnessLevel m_level = RoughnessLevel::medium;
    QLabel *m_title;
    QWidget *m_segmentRow;
    std::array<QAbstractButton *, allRoughnessLevels.size()> m_segments{};
};

} // namespace zentrel
