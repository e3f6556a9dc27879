#pragma once

#include <QWidget>

class QIcon;
class QMenu;
class QToolButton;

namespace zentrel {

// The small window that offers the tray menu where the desktop has no tray. Like a launcher, it
// sits in the bottom-right corner of the screen the pointer is on, clear of the windows of ours
// that open in the middle, and never above them. Closing it only hides it.
class TrayFallbackWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TrayFallbackWindow(QMenu *menu);

    // The window's and the button's: the button shows its own copy.
    void setIcon(const QIcon &icon);

    // Shows it, or moves it if shown, in the corner of the screen the pointer is on.
    void showInCorner();

Q_SIGNALS:
    // By the user, through the window manager: not by hide().
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QToolButton *m_button;
};

} // namespace zentrel
