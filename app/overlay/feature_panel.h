#pragma once

#include <QWidget>

namespace zentrel {

// A borderless, always-on-top, translucent panel that covers one screen and turns Escape into
// escapePressed. Every feature run shows its content on panels like this one.
class FeaturePanel : public QWidget
{
    Q_OBJECT

public:
    FeaturePanel(const QString &title, const QRect &screenGeometry);

Q_SIGNALS:
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
};

} // namespace zentrel
