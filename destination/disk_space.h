// What the destination panel shows of a drive's space, and the space the chosen file sets need.
// Byte counts are 64-bit: drives have long outgrown 32-bit counts.
#pragma once

#include <cstdint>
#include <string>

namespace destination {

// Bytes of the template set and of the three parts of the program set.
constexpr std::int64_t kTemplateSetBytes = 806912;
constexpr std::int64_t kProgramSetParts[] = {299008, 1538048, 1705163};

// The free share in percent: 100 / size * free in extended precision, rounded half to even.
long FreePercent(std::int64_t freeBytes, std::int64_t sizeBytes);

// Whole decimal megabytes, the remainder dropped, followed by " Mb".
std::string MegabytesText(std::int64_t bytes);

// Bytes that the selected sets need.
double RequiredSize(bool templateFiles, bool programFiles);

// "%8.2f" of size x 0.000001 with the given decimal separator, followed by " MB".
std::string RequiredSizeText(double requiredSize, const std::string& decimalSeparator);

} // namespace destination
