#include "overlay/export_file_name.h"

#include <cstdio>

namespace zentrel {

std::string
exportFileName(std::string_view featureWord, std::string_view extension, const std::tm &localTime)
{
    char stamp[80];
    std::snprintf(stamp,
                  sizeof stamp,
                  "%04d-%02d-%02d %02d.%02d.%02d",
                  localTime.tm_year + 1900,
                  localTime.tm_mon + 1,
                  localTime.tm_mday,
                  localTime.tm_hour,
                  localTime.tm_min,
                  localTime.tm_sec);
    return "Zentrel " + std::string(featureWord) + " " + stamp + "." + std::string(extension);
}

} // namespace zentrel
