#pragma once

#include "whiteboard/model/excalidraw/import/excalidraw_json_reader.h"

#include <QByteArray>
#include <QString>

#include <tl/expected.hpp>

#include <string>

namespace zentrel {

// Larger documents are refused before they are read: no board needs that much, and reading one
// would hold the program up.
inline constexpr qint64 largestExcalidrawImport = excalidrawMaxDocumentBytes;

// The bytes of a document chosen for import, or why it cannot be read.
tl::expected<QByteArray, std::string> readExcalidrawImportFile(const QString &path);

} // namespace zentrel
