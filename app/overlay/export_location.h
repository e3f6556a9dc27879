#pragma once

#include <QString>

#include <string_view>

namespace zentrel {

// Where a save dialog starts: the user's Pictures folder (home when there is none) and the
// default file name for the feature word and extension, stamped with the local time now.
QString defaultExportPath(std::string_view featureWord, std::string_view extension);

} // namespace zentrel
