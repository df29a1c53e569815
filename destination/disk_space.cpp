#include "destination/disk_space.h"

#include <cmath>
#include <cstdio>

namespace destination {

long FreePercent(std::int64_t freeBytes, std::int64_t sizeBytes) {
    long double share = 100.0L / static_cast<long double>(sizeBytes);
    share *= static_cast<long double>(freeBytes);
    // The default rounding mode rounds halves to the even neighbour.
    return static_cast<long>(std::nearbyint(share));
}

std::string MegabytesText(std::int64_t bytes) {
    return std::to_string(bytes / 1000000) + " Mb";
}

double RequiredSize(bool templateFiles, bool programFiles) {
    double size = 0;
    if (templateFiles)
        size += static_cast<double>(kTemplateSetBytes);
    if (programFiles)
        for (std::int64_t part : kProgramSetParts)
            size += static_cast<double>(part);
    return size;
}

std::string RequiredSizeText(double requiredSize, const std::string& decimalSeparator) {
    // Sized by the formatted length: a fixed buffer would cut a large size's digits silently.
    const double megabytes = requiredSize * 0.000001;
    const int length = std::snprintf(nullptr, 0, "%8.2f", megabytes);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, "%8.2f", megabytes);
    std::string::size_type dot = text.find('.');
    if (dot != std::string::npos)
        text.replace(dot, 1, decimalSeparator);
    return text + " MB";
}

} // namespace destination
