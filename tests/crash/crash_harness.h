// Runs one write path on an in-memory file system, cuts the power before every operation that
// changes anything (and once more after the path returned), reboots every way the cut can end
// (each prefix of the pending creations, renames and deletions; unflushed data dropped, kept or
// torn) and checks that every index and quote file holds its complete old or complete new
// content, the new one wherever the path had already reported success.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/memory_file_system.h"

namespace ledgrix::testing {

// A file's content in one state of the file system; nullopt when it does not exist.
using FileContent = std::optional<Bytes>;
using FileMap = std::map<std::string, FileContent>;

struct WritePath {
  std::string name;
  // Builds the portfolios (durable before the run).
  std::function<void(MemoryFileSystem&)> setup;
  // Runs the operation with the file system installed; true when it reported success.
  std::function<bool()> run;
  // A delete at either end of a series updates the MASTER dates in steps of their own: until
  // the delete reported success, a MASTER may differ from its old or new content in those dates.
  bool masterDatesMayLag = false;
  // A further check of the files found after a power cut or a fault (with the old and the new
  // content of every file); returns a description of what is wrong, or an empty text.
  std::function<std::string(const FileMap& found, const FileMap& before, const FileMap& after)>
      invariant;
  // A check of the whole file system after a power cut, or after a fault stopped the path (the
  // undo journal's view of it), once the files passed the checks above; returns a description
  // of what is wrong, or an empty text.
  std::function<std::string(const MemoryFileSystem::State& found, bool afterFault,
                            const FileMap& before, const FileMap& after)>
      recovery;
  // A move keeps its source, and reports a failure, while the disk has not confirmed the copy.
  bool stopsWhenUnconfirmed = false;
};

struct CrashReport {
  bool reportedSuccess = false;
  int crashPoints = 0;                // moments at which the power was cut
  long statesChecked = 0;             // rebooted file systems checked
  long violations = 0;                // states in which a file was neither old nor new
  int changedFiles = 0;               // guarded files whose content the path changed
  std::vector<std::string> examples;  // the first few violations, described
};

CrashReport RunPowerLossTest(const WritePath& path);

// Whether a file name is one whose content must survive: MASTER, EMASTER, XMASTER, F<n>.DAT,
// F<n>.MWD or F<n>.DOP (any case).
bool IsGuardedFile(const std::string& key);

// Every file's content in a state, by key.
FileMap Files(const MemoryFileSystem::State& state);

// The first guarded file (of any of the maps) whose content in now differs from want, or an
// empty text; with ignoreMasterDates the first and last dates of MASTER records are not compared.
std::string FirstDifference(const FileMap& now, const FileMap& want, bool ignoreMasterDates,
                            const std::vector<const FileMap*>& alsoKeysOf = {});

// The first guarded file (of any of the maps) that holds neither its old nor its new content,
// described, or an empty text; with masterDatesMayLag MASTER dates may be either.
std::string NeitherOldNorNew(const FileMap& now, const FileMap& before, const FileMap& after,
                             bool masterDatesMayLag);

}  // namespace ledgrix::testing
