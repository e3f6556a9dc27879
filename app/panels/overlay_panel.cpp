#include "panels/overlay_panel.h"

#include "common/escape_key.h"
#include "panels/panel_mask.h"
#include "platform/platform_services.h"

#include <QAbstractSpinBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegion>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace zentrel {
namespace {

Qt::WindowFlags panelFlags(bool isFloating, bool ignoresMouse)
{
    Qt::WindowFlags flags = Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
    // The main window is an ordinary one: some window managers put only those in the
    // full-screen state, which covers their own panels and docks. Floating panels are dialogs
    // of it, not utility windows: KWin hides the utility windows of a program without the
    // keyboard, as the spotlight's and the halo's are.
    flags |= isFloating ? Qt::Dialog : Qt::Window;
    if (isFloating || ignoresMouse) {
        flags |= Qt::WindowDoesNotAcceptFocus;
    }
    if (ignoresMouse) {
        flags |= Qt::WindowTransparentForInput;
    }
    return flags;
}

bool takesText(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (const auto *line = qobject_cast<const QLineEdit *>(widget)) {
            return !line->isReadOnly();
        }
        if (qobject_cast<const QAbstractSpinBox *>(widget)
            || qobject_cast<const QTextEdit *>(widget)
            || qobject_cast<const QPlainTextEdit *>(widget)) {
            return true;
        }
    }
    return false;
}

bool isEnterKey(const QEvent *event)
{
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

OverlayPanel::OverlayPanel(QWidget *content,
                           OverlayPanel *owner,
                           bool ignoresMouse,
                           PanelSurface surface)
    : QWidget(nullptr, panelFlags(owner != nullptr, ignoresMouse))
    , m_owner(owner)
{
    setAttribute(Qt::WA_TranslucentBackground, surface == PanelSurface::translucent);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_TransparentForMouseEvents, ignoresMouse);
    setWindowTitle(QStringLiteral("Zentrel"));
    if (owner) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        // Qt shows tooltips only for the active window, which a floating panel never is.
        setAttribute(Qt::WA_AlwaysShowToolTips);
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    // Window managers read these when the window is first mapped and ignore later changes:
    // xfwm4 and icewm a late WM_TRANSIENT_FOR, icewm and fluxbox a late full-screen state.
    winId();
    if (owner) {
        owner->winId();
        windowHandle()->setTransientParent(owner->windowHandle());
        windowHandle()->installEventFilter(this);
    }
    keepOutOfTaskLists(this);
    if (ignoresMouse) {
        letClicksThroughFrame(this);
    }
}

void OverlayPanel::returnKeyboard()
{
    refuseKeyboard();
    if (m_owner && m_owner->isVisible()) {
        activateOwnWindow(m_owner);
    }
}

// A click on a text control is the one time a floating panel takes the keyboard.
bool OverlayPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && !m_hasKeyboard) {
        const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (takesText(childAt(at))) {
            lendKeyboard();
        }
    } else if (event->type() == QEvent::KeyPress && m_hasKeyboard && isEnterKey(event)) {
        // After the control has taken the key and finished its edit.
        QTimer::singleShot(0, this, &OverlayPanel::returnKeyboard);
    }
    return QWidget::eventFilter(watched, event);
}

void OverlayPanel::coverScreen(const QRect &screenGeometry)
{
    m_coveredScreen = screenGeometry;
    placeOnCoveredScreen();
    // Full screen rather than only screen-sized: window managers then cover their own panels
    // and docks with it instead of keeping them uncovered or moving it aside.
    setWindowState(Qt::WindowFullScreen);
}

// On the screen it covers before it takes that screen's geometry: Qt turns a geometry into X
// pixels at the scale of the window's screen, so a window left on a screen of another scale would
// land elsewhere.
void OverlayPanel::placeOnCoveredScreen()
{
    if (QScreen *covered = QGuiApplication::screenAt(m_coveredScreen.center())) {
        setScreen(covered);
    }
    setGeometry(m_coveredScreen);
    keepFullScreenOn(this, m_coveredScreen);
}

bool OverlayPanel::event(QEvent *event)
{
    if (event->type() == QEvent::Show && m_coveredScreen.isValid()) {
        m_screenReturns = 0;
        // Asked again once mapped, after the window manager has taken the window in.
        QTimer::singleShot(0, this, [this] { keepFullScreenOn(this, m_coveredScreen); });
    }

    if (event->type() == QEvent::ScreenChangeInternal) {
        // Placed on another screen than the one it was made on, or moved there.
        cutCorners();
        // While a window manager frames a full-screen window between monitors of different
        // scales, Qt may take one of its moves for the window's place and leave it drawn at the
        // other monitor's scale: a run stays on its monitor, so it goes back, a few times at most
        // lest it fight a window manager that insists.
        constexpr int mostScreenReturns = 3;
        if (m_coveredScreen.isValid() && screen()->geometry() != m_coveredScreen
            && m_screenReturns < mostScreenReturns) {
            ++m_screenReturns;
            QTimer::singleShot(0, this, &OverlayPanel::placeOnCoveredScreen);
        }
    } else if (event->type() == QEvent::WindowDeactivate && m_hasKeyboard) {
        refuseKeyboard();
    } else if (event->type() == QEvent::Hide && m_hasKeyboard) {
        returnKeyboard();
    }
    return QWidget::event(event);
}

void OverlayPanel::lendKeyboard()
{
    m_hasKeyboard = true;
    windowHandle()->setFlag(Qt::WindowDoesNotAcceptFocus, false);
    activateWindow();
}

void OverlayPanel::refuseKeyboard()
{
    m_hasKeyboard = false;
    if (m_owner) {
        windowHandle()->setFlag(Qt::WindowDoesNotAcceptFocus, true);
    }
}

void OverlayPanel::setPlacement(std::function<QRect(QSize)> placement)
{
    m_placement = std::move(placement);
    // The window follows its content both ways: it grows and shrinks as soon as the content's
    // layout changes, rather than keeping a larger size no one asked for.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setGeometry(m_placement(sizeHint()));
}

void OverlayPanel::setCornerRadius(qreal radius)
{
    m_cornerRadius = radius;
    cutCorners();
}

void OverlayPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A mask of the old size would hide whatever the panel grew by.
    cutCorners();
    if (m_placement) {
        const QPoint corner = m_placement(size()).topLeft();
        if (corner != pos()) {
            move(corner);
        }
    }
}

void OverlayPanel::cutCorners()
{
    if (m_cornerRadius <= 0) {
        return;
    }
    // Cut in the screen's pixels, at the scale of the window's screen now: called again when the
    // window reaches a screen of another scale, even where its logical size stays.
    const QRegion shape = isCompositingActive()
                              ? QRegion()
                              : roundedPanelMask(size(), m_cornerRadius, devicePixelRatioF());
    // Only a new shape is sent: a compositing manager takes each as a reason to repaint.
    if (shape != m_shape) {
        m_shape = shape;
        shapeWindow(this, m_shape);
    }
}

void OverlayPanel::keyPressEvent(QKeyEvent *event)
{
    if (!takeEscapeKey(event, onEscape)) {
        QWidget::keyPressEvent(event);
    }
}

} // namespace zentrel
