#include "capture/loupe/loupe_view.h"

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace zentrel;

namespace {

const QSize screenSize(800, 600);
const QPoint centre(400, 300);
const QColor grey(0x80, 0x80, 0x80);
const QColor red(0xd0, 0x30, 0x30);
const QColor blue(0x30, 0x50, 0xd0);
// A 40 px red square around the centre of a grey screen.
const QRect redSquare(380, 280, 40, 40);

// Each area the view was asked to paint, in turn.
class PaintRecorder : public QObject
{
public:
    std::vector<QRegion> painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted.push_back(static_cast<QPaintEvent *>(event)->region());
        }
        return false;
    }
};

QImage screen()
{
    QImage image(screenSize, QImage::Format_RGB32);
    image.fill(grey);
    QPainter(&image).fillRect(redSquare, red);
    return image;
}

bool isNear(QRgb pixel, const QColor &colour)
{
    return qAbs(qRed(pixel) - colour.red()) <= 8 && qAbs(qGreen(pixel) - colour.green()) <= 8
           && qAbs(qBlue(pixel) - colour.blue()) <= 8;
}

class LoupeViewPaint : public testing::Test
{
protected:
    LoupeViewPaint()
    {
        view.resize(screenSize);
        view.setMouseLocation(centre);
        view.installEventFilter(&recorder);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        settle();
        recorder.painted.clear();
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }

    QImage rendered()
    {
        QImage image(screenSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        view.render(&image);
        return image;
    }

    // A frame of the screen's area around `at`, as the stream delivers it.
    static QImage frameAround(const QImage &picture, QPoint at)
    {
        const QRect area(at - QPoint(84, 84), QSize(168, 168));
        QImage frame = picture.copy(area);
        frame.setOffset(area.topLeft());
        return frame;
    }

    LoupeView view{screen(), screenSize};
    PaintRecorder recorder;
};

TEST_F(LoupeViewPaint, ShowsTheScreenUnderThePointerMagnifiedWithinItsRimsAndNothingAround)
{
    const QImage shown = rendered();
    EXPECT_TRUE(isNear(shown.pixel(centre), red));
    // 35 points right of the centre the loupe shows the screen 17.5 px right of it, still red;
    // the screen itself is grey there.
    EXPECT_TRUE(isNear(shown.pixel(centre + QPoint(35, 0)), red));
    EXPECT_TRUE(isNear(shown.pixel(centre + QPoint(60, 0)), grey));
    // The white rim lies 116 to 120 points from the centre of the 240-point loupe.
    EXPECT_GT(qGray(shown.pixel(centre + QPoint(118, 0))), 230);
    EXPECT_GT(qAlpha(shown.pixel(centre + QPoint(0, -118))), 230);
    EXPECT_EQ(qAlpha(shown.pixel(centre + QPoint(125, 0))), 0);
    EXPECT_EQ(qAlpha(shown.pixel(QPoint(10, 10))), 0);
}

TEST_F(LoupeViewPaint, RepaintsOnlyWhereTheLoupeWasAndIsWhenThePointerMoves)
{
    view.setMouseLocation(centre);
    view.setSettings(view.settings());
    settle();
    EXPECT_TRUE(recorder.painted.empty()) << "an unmoved pointer repainted the view";

    view.setMouseLocation(centre + QPoint(30, 0));
    settle();
    ASSERT_EQ(recorder.painted.size(), 1U);
    const QRegion painted = recorder.painted.front();
    EXPECT_TRUE(painted.contains(centre - QPoint(119, 0)));
    EXPECT_TRUE(painted.contains(centre + QPoint(30 + 119, 0)));
    EXPECT_FALSE(painted.contains(centre - QPoint(125, 0)));
    EXPECT_FALSE(painted.contains(centre + QPoint(30 + 125, 0)));
    EXPECT_FALSE(painted.contains(centre + QPoint(0, 125)));
}

TEST_F(LoupeViewPaint, RepaintsTheWholeLoupeWhenItsSizeChanges)
{
    view.setSettings({300, 2.0});
    settle();
    ASSERT_EQ(recorder.painted.size(), 1U);
    EXPECT_TRUE(recorder.painted.front().contains(centre + QPoint(149, 0)));
    EXPECT_FALSE(recorder.painted.front().contains(centre + QPoint(160, 0)));
}

TEST_F(LoupeViewPaint, RepaintsForAFrameOnlyWhenItChangesPixelsUnderTheLoupe)
{
    QImage now = screen();
    view.updateRegion(frameAround(now, centre));
    settle();
    EXPECT_TRUE(recorder.painted.empty()) << "a frame of the same pixels repainted the view";

    const QPoint away(100, 100);
    QPainter(&now).fillRect(QRect(away - QPoint(20, 20), QSize(40, 40)), blue);
    view.updateRegion(frameAround(now, away));
    settle();
    EXPECT_TRUE(recorder.painted.empty()) << "a change far from the loupe repainted it";

    QPainter(&now).fillRect(redSquare, blue);
    view.updateRegion(frameAround(now, centre));
    settle();
    ASSERT_EQ(recorder.painted.size(), 1U);
    EXPECT_TRUE(isNear(rendered().pixel(centre), blue));

    // What changed away from the loupe was kept, and shows once the loupe gets there.
    view.setMouseLocation(away);
    EXPECT_TRUE(isNear(rendered().pixel(away), blue));
}

} // namespace
