// Texts of quote values; negative values and NaN mark a field the file does not hold.
#include "formats/cell_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ledgrix::formats {
namespace {

std::string Format(const char* format, float value) {
  if (std::isnan(value) || value < 0)
    return "N/A";
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, format, static_cast<double>(value));
  if (n < 0)
    return {};
  return std::string(buffer, static_cast<std::size_t>(std::min<int>(n, sizeof buffer - 1)));
}

}  // namespace

std::string PriceText(float value) {
  return Format("%.4f", value);
}
std::string VolumeText(float value) {
  return Format("%.0f", value);
}
std::string ExportVolumeText(float value) {
  return Format("%.2f", value);
}

}  // namespace ledgrix::formats
