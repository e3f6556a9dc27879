// The update feed comes over the network.
#include "shell/updates/appcast_reader.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto items = zentrel::readAppcast(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (items) {
        (void)zentrel::newestUpdate(*items, "1.0");
    }
    return 0;
}
