#include "shell/window_placement.h"

#include "capture/capture_geometry.h"
#include "common/qt_path.h"
#include "common/qt_shell_ports.h"
#include "platform/platform_services.h"
#include "shell/active_screen.h"
#include "shell/dropped_window_fitter.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <optional>

namespace zentrel {
namespace {

// Found again by name: a class without a meta-object of its own cannot be looked up by type.
const QString fitterName = QStringLiteral("windowFitter");

// Before the window manager frames a window, the frame it gave the last one, or one as large as
// window managers draw: fitted without, a window's frame would reach past the screen, and the
// window manager would move it back on, maybe after the fit made once it is framed.
FrameMargins &expectedFrame()
{
    static FrameMargins frame{8, 48, 8, 8};
    return frame;
}

// The frame in points as the window manager says it is now. Qt's own frame is renewed only on a
// ConfigureNotify, and measured from the window manager's frame window where that has said
// nothing yet: KWin's reaches 16 pixels below what it draws. Some (xfwm4) say there is none once
// the window is hidden, where Qt keeps the last.
QMargins currentFrame(const QWidget &window)
{
    const std::optional<QMargins> told = windowManagerFrame(window);
    if (told && !told->isNull()) {
        const qreal ratio = window.devicePixelRatioF();
        return QMargins(qRound(told->left() / ratio),
                        qRound(told->top() / ratio),
                        qRound(told->right() / ratio),
                        qRound(told->bottom() / ratio));
    }
    const QWindow *handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

} // namespace

FrameMargins frameMarginsOf(const QWidget &window)
{
    const QMargins margins = currentFrame(window);
    // At a scale such as 150 % the frame's pixels round to whole points, down as often as up, and
    // Qt sizes the window in steps of two pixels, which window managers may round up (mutter,
    // metacity): two points more of each side of the frame keep it on the screen.
    const qreal ratio = window.devicePixelRatioF();
    const int slack = ratio == std::floor(ratio) ? 0 : 2;
    const auto side = [slack](int margin) {
        return double(margin > 0 ? margin + slack : 0);
    };
    return {
        side(margins.left()), side(margins.top()), side(margins.right()), side(margins.bottom())};
}

// QWidget::move goes by the frame Qt last knew, which a window shown again keeps from the window
// Qt gave up as it closed.
void moveFrameTo(QWidget &window, QPoint frame)
{
    const QMargins margins = currentFrame(window);
    const QPoint client = frame + QPoint(margins.left(), margins.top());
    window.move(client - (window.geometry().topLeft() - window.pos()));
}

namespace {

// The screen to the fraction of a point: Qt rounds its size to whole points, which at a scale
// such as 150 % reach a pixel past the monitor.
QRectF screenInPoints(const QScreen &screen)
{
    const QRect geometry = screen.geometry();
    const std::optional<QRect> pixels = monitorPixels(geometry);
    if (!pixels) {
        return geometry;
    }
    const SizeF size = screenSizeInPoints(
        toSizeF(geometry.size()), pixels->width(), pixels->height(), screen.devicePixelRatio());
    return QRectF(geometry.topLeft(), QSizeF(size.width, size.height));
}

// Fits its window, and again as the window manager frames it: fitted before that, the frame may
// reach past the screen's usable area. Shown again, a window gets a frame again, maybe on another
// screen, so each fit watches for the frame anew.
class WindowFitter : public QObject
{
public:
    explicit WindowFitter(QWidget &window)
        : QObject(&window)
        , m_window(window)
        , m_dropped(new DroppedWindowFitter(window))
    {
        setObjectName(fitterName);
        window.installEventFilter(this);
        followWindowManagerFrame(window, [this] { fitOnceFramed(); });
    }

    void fit(QScreen &screen, WindowPlace place)
    {
        m_screen = &screen;
        m_place = place;
        m_sizes = {toSizeF(m_window.size()), toSizeF(m_window.minimumSize())};
        m_isFittedWithFrame = false;
        if (QWindow *handle = m_window.windowHandle()) {
            handle->installEventFilter(this);
        }
        apply();
    }

protected:
    // The window manager moves the window as it puts its frame around it, or frames it where it
    // is and then shows it, as openbox does with a window shown again. A window hidden before
    // then is placed anew as it is shown again.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window && event->type() == QEvent::Hide) {
            m_isFittedWithFrame = true;
        }
        const bool mayBeFramed =
            (watched == &m_window && event->type() == QEvent::Move)
            || (watched == m_window.windowHandle() && event->type() == QEvent::Expose);
        if (mayBeFramed && !m_isFittedWithFrame) {
            QTimer::singleShot(0, this, &WindowFitter::fitOnceFramed);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Framed as the window manager says now: a window shown again keeps in its frame geometry
    // the frame of the window Qt gave up as it closed.
    void fitOnceFramed()
    {
        if (m_isFittedWithFrame || !m_screen || !m_window.isVisible()
            || frameMarginsOf(m_window) == FrameMargins{}) {
            return;
        }
        m_isFittedWithFrame = true;
        expectedFrame() = frameMarginsOf(m_window);
        apply();
    }

    // On the screen before it takes its place: Qt turns a place into X pixels at the scale of
    // the window's screen, so a window left on a screen of another scale would land elsewhere, at
    // the wrong size. A window manager that first maps it elsewhere (mutter) would otherwise keep
    // it on another monitor.
    void apply()
    {
        if (m_window.screen() != m_screen) {
            m_window.setScreen(m_screen);
        }
        const QRectF screen = screenInPoints(*m_screen);
        FrameMargins frame = frameMarginsOf(m_window);
        if (!m_isFittedWithFrame && frame == FrameMargins{} && windowManagerRuns()) {
            frame = expectedFrame();
        }
        const WindowFit fit = fitWindow(toRectF(QRectF(m_screen->availableGeometry()) & screen),
                                        toRectF(screen),
                                        m_sizes,
                                        frame,
                                        m_place);
        m_window.setMinimumSize(toQSize(fit.minimum));
        m_window.resize(toQSize(fit.size));
        moveFrameTo(m_window, QPoint(int(fit.frame.x), int(fit.frame.y)));
        m_dropped->fittedOn(*m_screen, m_sizes.minimum);
    }

    static QSize toQSize(SizeF size) { return QSize(int(size.width), int(size.height)); }

    QWidget &m_window;
    QPointer<QScreen> m_screen;
    WindowPlace m_place = WindowPlace::middle;
    WindowSizes m_sizes;
    bool m_isFittedWithFrame = false;
    DroppedWindowFitter *m_dropped;
};

} // namespace

QScreen *activeScreen()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const std::optional<std::size_t> active = QtScreenLocator().activeScreen();
    if (!active || *active >= std::size_t(screens.size())) {
        return nullptr;
    }
    return screens[qsizetype(*active)];
}

void fitOnScreen(QWidget &window, QScreen &screen, WindowPlace place)
{
    auto *fitter = static_cast<WindowFitter *>(
        window.findChild<QObject *>(fitterName, Qt::FindDirectChildrenOnly));
    if (!fitter) {
        fitter = new WindowFitter(window);
    }
    fitter->fit(screen, place);
}

void fitOnActiveScreen(QWidget &window, WindowPlace place)
{
    if (QScreen *screen = activeScreen()) {
        fitOnScreen(window, *screen, place);
    }
}

} // namespace zentrel
