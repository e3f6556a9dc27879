#include "capture/cursor_halo/cursor_halo_view.h"

#include "common/settings/memory_defaults_store.h"
#include "shell/app_preferences.h"

#include <QImage>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace zentrel;
using namespace std::chrono_literals;

namespace {

class CursorHaloViewTest : public testing::Test
{
protected:
    CursorHaloViewTest()
    {
        preferences.setCursorHaloSize(100);
        preferences.setCursorHaloOpacity(1.0);
        preferences.setCursorHaloBorderWidth(6);
        preferences.setCursorHaloColor(Color{0, 0, 1, 1});
        view = std::make_unique<CursorHaloView>(preferences, [this] { return now; });
        view->resize(600, 400);
    }

    QImage rendered()
    {
        QImage image(view->size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    Timestamp now = Timestamp(1000s);
    std::unique_ptr<CursorHaloView> view;
};

TEST_F(CursorHaloViewTest, GlowsAroundThePointerAndNowhereElse)
{
    view->updateMouseLocation(QPointF(300, 200));
    const QImage image = rendered();
    EXPECT_GT(qAlpha(image.pixel(300, 200)), 200);
    EXPECT_GT(qAlpha(image.pixel(300 + 20, 200)), 0);
    EXPECT_EQ(qAlpha(image.pixel(300 + 60, 200)), 0);
    EXPECT_EQ(qAlpha(image.pixel(10, 10)), 0);
}

TEST_F(CursorHaloViewTest, ALeftClickRipplesInTheHaloColourWhereItHappened)
{
    preferences.setCursorHaloSize(0);
    view->applyPreferences(preferences);
    view->updateMouseLocation(QPointF(300, 200));
    view->recordClick(CursorClickKind::left, now);
    view->updateMouseLocation(QPointF(100, 100));
    now += 225ms;

    // Half-way: radius 20, stroke 4.5 wide, half faded.
    const QColor onRing = rendered().pixelColor(300 + 20, 200);
    EXPECT_GT(onRing.blue(), 200);
    EXPECT_LT(onRing.red(), 60);
    // Half faded, with the fainter glow below it.
    EXPECT_GE(onRing.alphaF(), 0.45);
    EXPECT_LT(onRing.alphaF(), 0.75);
    EXPECT_EQ(qAlpha(rendered().pixel(300, 200)), 0);
}

TEST_F(CursorHaloViewTest, ARightClickRipplesOrange)
{
    preferences.setCursorHaloSize(0);
    view->applyPreferences(preferences);
    view->updateMouseLocation(QPointF(300, 200));
    view->recordClick(CursorClickKind::right, now);
    now += 225ms;

    const QImage image = rendered();
    int orange = 0;
    int blue = 0;
    for (int x = 280; x <= 320; ++x) {
        for (int y = 180; y <= 220; ++y) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 100 && pixel.red() > 200 && pixel.blue() < 60) {
                ++orange;
            }
            if (pixel.alpha() > 100 && pixel.blue() > 200) {
                ++blue;
            }
        }
    }
    EXPECT_GT(orange, 0);
    EXPECT_EQ(blue, 0);
}

TEST_F(CursorHaloViewTest, TheAnimationStopsOnceTheLastRippleHasFaded)
{
    EXPECT_FALSE(view->isAnimating());
    view->recordClick(CursorClickKind::left, now);
    view->recordClick(CursorClickKind::right, now + 100ms);
    EXPECT_TRUE(view->isAnimating());
    EXPECT_EQ(view->model().clicks().size(), 2u);

    now += 500ms;
    QTest::qWait(60);
    EXPECT_EQ(view->model().clicks().size(), 1u);
    EXPECT_TRUE(view->isAnimating());

    now += 100ms;
    QTest::qWait(60);
    EXPECT_TRUE(view->model().clicks().empty());
    EXPECT_FALSE(view->isAnimating());
}

TEST_F(CursorHaloViewTest, APreferenceChangeReachesTheRunningHalo)
{
    view->updateMouseLocation(QPointF(300, 200));
    preferences.setCursorHaloColor(Color{1, 0, 0, 1});
    view->applyPreferences(preferences);
    const QColor centre = rendered().pixelColor(300 + 20, 200);
    EXPECT_GT(centre.red(), 200);
    EXPECT_LT(centre.blue(), 60);
}

TEST_F(CursorHaloViewTest, AShapedWindowCoversTheHaloAndTheRipplesOnly)
{
    view->updateMouseLocation(QPointF(300, 200));
    view->setShapesWindow(true);
    EXPECT_TRUE(view->shape().contains(QPoint(300, 200)));
    EXPECT_FALSE(view->shape().contains(QPoint(10, 10)));
    EXPECT_EQ(view->mask(), view->shape());
    // Painted opaque: the window shows its pixels as they are. (Rendered without the mask,
    // which render() would apply on its own terms.)
    view->clearMask();
    EXPECT_EQ(qAlpha(rendered().pixel(300 + 20, 200)), 255);

    view->recordClick(CursorClickKind::left, now);
    view->updateMouseLocation(QPointF(100, 100));
    EXPECT_EQ(view->mask(), view->shape());
    EXPECT_TRUE(view->shape().contains(QPoint(300 + 50, 200)));
    EXPECT_FALSE(view->shape().contains(QPoint(300, 200)));
}

TEST_F(CursorHaloViewTest, EscapeRunsTheCallbackAndIsSwallowedWithoutOne)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    escape.ignore();
    QCoreApplication::sendEvent(view.get(), &escape);
    EXPECT_TRUE(escape.isAccepted());
    int escapes = 0;
    view->onEscape = [&escapes] {
        ++escapes;
    };
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(view.get(), &again);
    EXPECT_EQ(escapes, 1);
}

TEST_F(CursorHaloViewTest, ClicksGoThroughTheView)
{
    EXPECT_TRUE(view->testAttribute(Qt::WA_TransparentForMouseEvents));
}

} // namespace
