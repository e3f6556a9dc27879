#pragma once

#include "e2e/drawing_test.h"
#include "whiteboard/model/whiteboard_library.h"

#include <QSize>
#include <QString>

namespace zentrel {

// A whiteboard scenario about text in one of the hand-drawn fonts the build bundles beside
// zentrel: skipped when the build could not fetch them.
class HandDrawnTextTest : public DrawingTest
{
protected:
    explicit HandDrawnTextTest(const QString &fontFileName);

    void SetUp() override;

    // The ink of text at pixelSize in the bundled font, as the text_ink tool measures it.
    QSize inkInBundledFont(int pixelSize, const QString &text) const;
    // Saves library where zentrel keeps its boards, starts zentrel and opens the whiteboard.
    void openWhiteboardOn(const WhiteboardLibrary &library);

    const QString m_bundledFont;
};

} // namespace zentrel
