#include "whiteboard/editor/whiteboard_clipboard_mime.h"

#include <QMimeData>

namespace zentrel {
namespace {

const QString elementsType = QString::fromUtf8(whiteboardElementsClipboardType.data(),
                                               qsizetype(whiteboardElementsClipboardType.size()));
const QString svgType = QStringLiteral("image/svg+xml");

QByteArray bytes(const std::string &text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

std::optional<std::string> entry(const QMimeData &data, const QString &type)
{
    if (!data.hasFormat(type)) {
        return std::nullopt;
    }
    return data.data(type).toStdString();
}

} // namespace

QMimeData *toMimeData(const WhiteboardClipboardContents &contents)
{
    auto *data = new QMimeData;
    if (contents.elementsJSON) {
        data->setData(elementsType, bytes(*contents.elementsJSON));
    }
    if (contents.plainText) {
        data->setText(QString::fromStdString(*contents.plainText));
    }
    if (contents.svg) {
        data->setData(svgType, bytes(*contents.svg));
    }
    return data;
}

WhiteboardClipboardContents fromMimeData(const QMimeData &data)
{
    WhiteboardClipboardContents contents;
    contents.elementsJSON = entry(data, elementsType);
    if (data.hasText()) {
        contents.plainText = data.text().toStdString();
    }
    contents.svg = entry(data, svgType);
    return contents;
}

} // namespace zentrel
