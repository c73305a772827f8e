// Texts of the status codes.
#include "formats/status.h"

#include <array>

namespace ledgrix::formats {

std::string_view StatusText(int code) {
  // Index -code; the format's own spelling, typos included.
  static constexpr std::array<std::string_view, 16> kTexts = {"Sucessfull",
                                                              "Invalid Parm",
                                                              "File Open",
                                                              "Malloc",
                                                              "File Read",
                                                              "File Write",
                                                              "File Seek",
                                                              "File Exists",
                                                              "File Not Found",
                                                              "Record Not Found",
                                                              "No Graphics Found",
                                                              "No Fonts Found",
                                                              "Charts Uninitialized",
                                                              "Max Lines Exceeded",
                                                              "Max Grids Exceeded",
                                                              "Unknown"};
  if (code > 0 || code < -15)
    return {};
  return kTexts[static_cast<std::size_t>(-code)];
}

}  // namespace ledgrix::formats
