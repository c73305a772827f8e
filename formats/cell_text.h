// Texts of quote values as the quotes grid, the CLI and the export show them.
#pragma once

#include <string>

namespace ledgrix::formats {

// "%.4f", or "N/A" for a value below 0 or not a number.
std::string PriceText(float value);
// "%.0f", or "N/A".
std::string VolumeText(float value);
// "%.2f", or "N/A" (the export's volume and open interest).
std::string ExportVolumeText(float value);

}  // namespace ledgrix::formats
