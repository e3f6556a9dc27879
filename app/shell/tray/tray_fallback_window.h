#pragma once

#include <QPointer>
#include <QScreen>
#include <QWidget>

class QIcon;
class QMenu;
class QToolButton;

namespace zentrel {

// The small window that offers the tray menu where the desktop has no tray. Like a launcher, it
// sits in the bottom-right corner of the screen the pointer is on, clear of the windows of ours
// that open in the middle, and never above them.
class TrayFallbackWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TrayFallbackWindow(QMenu *menu);

    // The window's and the button's: the button shows its own copy.
    void setIcon(const QIcon &icon);

    void showInCorner();

protected:
    void moveEvent(QMoveEvent *event) override;

private:
    void placeOnceFramed();

    QToolButton *m_button;
    QPointer<QScreen> m_cornerScreen;
    bool m_isPlacedWithFrame = false;
};

} // namespace zentrel
