// Command URLs come from any program on the desktop: `zentrel zentrel://...`.
#include "shell/commands/command_url.h"

#include <QString>
#include <QUrl>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QUrl url(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    (void)zentrel::parseCommandUrl(zentrel::commandUrlParts(url));
    return 0;
}
