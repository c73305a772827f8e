// The OK check of the quote dialogs: dates within the loaded series, factors other than 0,
// and numbers where the file holds a value; one message, "Invalid Data Entered", for all.
#pragma once

#include <QStringList>

class CommandHost;

namespace ledgrix::commands {

struct EntryCheck {
  QStringList dates;    // MM/DD/YY texts that must lie within the loaded series
  QStringList factors;  // texts that must hold a number other than 0
  QStringList numbers;  // texts that must hold a number
};

// Runs every test; on any failure shows "Invalid Data Entered" and returns false.
bool EntriesPass(CommandHost& host, const EntryCheck& check);

}  // namespace ledgrix::commands
