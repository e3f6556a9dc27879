#pragma once

#include "shell/presentation_command.h"

#include <QUrl>

namespace zentrel {

// Splits a URL into scheme, host and decoded path words for the command grammar.
CommandUrlParts commandUrlParts(const QUrl &url);

} // namespace zentrel
