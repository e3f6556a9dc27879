#pragma once

#include <QWidget>

#include <optional>

class QIcon;
class QMenu;
class QToolButton;

namespace zentrel {

// The small window that offers the tray menu where the desktop has no tray. Like a launcher, it
// first sits in the bottom-right corner of the screen the pointer is on, clear of the windows of
// ours that open in the middle, and never above them; the user may move it anywhere. Closing it
// only hides it.
class TrayFallbackWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TrayFallbackWindow(QMenu *menu);

    // The window's and the button's: the button shows its own copy.
    void setIcon(const QIcon &icon);

    // Shows it as the user called for it, or moves it if shown, in the corner of the screen the
    // pointer is on.
    void showInCorner();

    // Shows it again where it was, or in that corner the first time, as it comes by itself:
    // without taking the keyboard from the program in use or rising over it.
    void comeBack();

Q_SIGNALS:
    // By the user, through the window manager: not by hide().
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void moveToCorner();
    void moveToKeptPlace();
    void placeOnceFramed();

    QToolButton *m_button;
    // Its frame's top-left corner, and the window in use, when it was last hidden.
    std::optional<QPoint> m_keptPlace;
    std::optional<WId> m_programInUse;
    bool m_isPlacedWithFrame = false;
    // Comes back by itself, until the window manager has shown it.
    bool m_isComingBack = false;
};

} // namespace zentrel
