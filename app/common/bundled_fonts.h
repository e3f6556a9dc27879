#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zentrel {

// Where the program's own data files lie: installed beside the program under
// share/zentrel, or in the resources folder of a build tree.
QStringList resourceFolders();

// Makes the fonts of "<name>.<extension>" usable by this process: the file at the top of a
// resources folder, else in its "Resources/Fonts". A missing or unusable file is passed over in
// silence; the hand-drawn font then falls back to the next name on its list. Returns the file
// that was registered.
std::optional<QString>
registerBundledFonts(const QStringList &folders, const QString &name, const QString &extension);

} // namespace zentrel
