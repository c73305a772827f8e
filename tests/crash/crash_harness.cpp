#include "tests/crash/crash_harness.h"

#include <algorithm>
#include <cctype>

#include "platform/file_system.h"

namespace ledgrix::testing {
namespace {

constexpr std::size_t kRecordSize = 53;
constexpr std::size_t kFirstDateOffset = 25;
constexpr std::size_t kDatesSize = 8;  // firstDate and lastDate
constexpr std::uint32_t kTearSeeds = 2;

std::string BaseName(const std::string& key) {
  return key.substr(key.rfind('/') + 1);
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool IsMaster(const std::string& key) {
  return Upper(BaseName(key)) == "MASTER";
}

// A MASTER with the dates of every symbol record blanked.
FileContent WithoutDates(const FileContent& content) {
  if (!content)
    return content;
  Bytes bytes = *content;
  for (std::size_t record = kRecordSize; record + kRecordSize <= bytes.size();
       record += kRecordSize) {
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(record + kFirstDateOffset), kDatesSize,
                0);
  }
  return bytes;
}

std::string Describe(const FileContent& content) {
  return content ? std::to_string(content->size()) + " bytes" : "absent";
}

}  // namespace

bool IsGuardedFile(const std::string& key) {
  const std::string name = Upper(BaseName(key));
  if (name == "MASTER" || name == "EMASTER" || name == "XMASTER")
    return true;
  const std::string extension = name.size() < 6 ? "" : name.substr(name.size() - 4);
  if (name[0] != 'F' || (extension != ".DAT" && extension != ".MWD" && extension != ".DOP"))
    return false;
  const std::string number = name.substr(1, name.size() - 5);
  return !number.empty() && std::all_of(number.begin(), number.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

FileMap Files(const MemoryFileSystem::State& state) {
  FileMap files;
  for (const auto& [key, node] : state.live)
    files[key] = node->data;
  return files;
}

namespace {

FileContent ContentIn(const FileMap& files, const std::string& key) {
  auto it = files.find(key);
  return it == files.end() ? std::nullopt : it->second;
}

// The guarded files of any of the maps, each once.
std::vector<std::string> GuardedKeys(const std::vector<const FileMap*>& maps) {
  std::vector<std::string> keys;
  for (const FileMap* files : maps) {
    for (const auto& entry : *files) {
      if (IsGuardedFile(entry.first))
        keys.push_back(entry.first);
    }
  }
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  return keys;
}

}  // namespace

std::string FirstDifference(const FileMap& now, const FileMap& want, bool ignoreMasterDates,
                            const std::vector<const FileMap*>& alsoKeysOf) {
  std::vector<const FileMap*> maps = alsoKeysOf;
  maps.push_back(&now);
  maps.push_back(&want);
  for (const std::string& key : GuardedKeys(maps)) {
    FileContent a = ContentIn(now, key), b = ContentIn(want, key);
    if (ignoreMasterDates && IsMaster(key)) {
      a = WithoutDates(a);
      b = WithoutDates(b);
    }
    if (a != b)
      return key + " is " + Describe(a) + ", expected " + Describe(b);
  }
  return {};
}

std::string NeitherOldNorNew(const FileMap& now, const FileMap& before, const FileMap& after,
                             bool masterDatesMayLag) {
  for (const std::string& key : GuardedKeys({&now, &before, &after})) {
    const FileContent content = ContentIn(now, key);
    const FileContent old = ContentIn(before, key);
    const FileContent fresh = ContentIn(after, key);
    if (content == old || content == fresh)
      continue;
    if (masterDatesMayLag && IsMaster(key)) {
      const FileContent masked = WithoutDates(content);
      if (masked == WithoutDates(old) || masked == WithoutDates(fresh))
        continue;
    }
    return key + " is " + Describe(content) + " (old " + Describe(old) + ", new " +
           Describe(fresh) + ")";
  }
  return {};
}

CrashReport RunPowerLossTest(const WritePath& path) {
  MemoryFileSystem fs;
  path.setup(fs);
  const FileMap before = Files(fs.state());

  std::vector<MemoryFileSystem::State> moments;
  fs.SetBeforeChange([&] { moments.push_back(fs.Snapshot()); });
  CrashReport report;
  {
    platform::ScopedFileSystem installed(fs);
    report.reportedSuccess = path.run();
  }
  fs.SetBeforeChange(nullptr);
  moments.push_back(fs.Snapshot());
  const FileMap after = Files(fs.state());

  for (const std::string& key : GuardedKeys({&before, &after})) {
    if (ContentIn(before, key) != ContentIn(after, key))
      ++report.changedFiles;
  }
  report.crashPoints = static_cast<int>(moments.size());
  for (std::size_t moment = 0; moment < moments.size(); ++moment) {
    const bool finished = moment + 1 == moments.size();
    const bool mustBeNew = finished && report.reportedSuccess;
    const MemoryFileSystem::State& state = moments[moment];
    std::vector<std::pair<CrashMode, std::uint32_t>> modes = {{CrashMode::kDrop, 0},
                                                              {CrashMode::kKeep, 0}};
    for (std::uint32_t seed = 1; seed <= kTearSeeds; ++seed)
      modes.emplace_back(CrashMode::kTear, seed);

    for (std::size_t prefix = 0; prefix <= state.pending.size(); ++prefix) {
      for (const auto& [mode, seed] : modes) {
        const MemoryFileSystem::State rebootedState =
            MemoryFileSystem::Crash(state, prefix, mode, seed);
        const FileMap rebooted = Files(rebootedState);
        ++report.statesChecked;
        std::string wrong = mustBeNew
                                ? FirstDifference(rebooted, after, false, {&before})
                                : NeitherOldNorNew(rebooted, before, after, path.masterDatesMayLag);
        if (wrong.empty() && path.invariant)
          wrong = path.invariant(rebooted, before, after);
        if (wrong.empty() && path.recovery)
          wrong = path.recovery(rebootedState, false, before, after);
        if (!wrong.empty()) {
          ++report.violations;
          if (report.examples.size() < 5) {
            static const char* const kModeNames[] = {"dropped", "kept", "torn"};
            report.examples.push_back(path.name + ": power cut " +
                                      (finished ? std::string("after the call returned")
                                                : "before change " + std::to_string(moment + 1)) +
                                      ", " + std::to_string(prefix) + " of " +
                                      std::to_string(state.pending.size()) +
                                      " pending name changes durable, unflushed data " +
                                      kModeNames[static_cast<int>(mode)] + ": " + wrong);
          }
        }
      }
    }
  }
  return report;
}

}  // namespace ledgrix::testing
