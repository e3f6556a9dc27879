#pragma once

#include "shell/updates/appcast.h"

#include <QByteArray>
#include <QString>

#include <tl/expected.hpp>

#include <vector>

namespace zentrel {

// The releases of a Sparkle-style appcast: an RSS channel whose items carry their versions in
// "sparkle:" attributes of the enclosure or in "sparkle:" elements. A feed that is not such XML
// gives the reason.
tl::expected<std::vector<AppcastItem>, QString> readAppcast(const QByteArray &feed);

} // namespace zentrel
