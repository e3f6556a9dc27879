#include "whiteboard/editor/whiteboard_clipboard_mime.h"

#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

using namespace zentrel;

TEST(WhiteboardClipboardMime, CarriesEachEntryUnderItsOwnType)
{
    const WhiteboardClipboardContents contents{
        "[{\"id\":\"A\"}]", "{\"type\":\"excalidraw\"}", "<svg/>"};
    const std::unique_ptr<QMimeData> data(toMimeData(contents));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("com.zentrel.whiteboard.elements")));
    EXPECT_EQ(data->text(), QStringLiteral("{\"type\":\"excalidraw\"}"));
    EXPECT_EQ(data->data(QStringLiteral("image/svg+xml")), QByteArray("<svg/>"));
    EXPECT_EQ(fromMimeData(*data), contents);
}

TEST(WhiteboardClipboardMime, AForeignClipboardGivesOnlyWhatItHolds)
{
    QMimeData data;
    data.setText(QStringLiteral("just words"));
    const WhiteboardClipboardContents contents = fromMimeData(data);
    EXPECT_FALSE(contents.elementsJSON.has_value());
    EXPECT_EQ(contents.plainText, std::optional<std::string>("just words"));
    EXPECT_FALSE(contents.svg.has_value());
}
