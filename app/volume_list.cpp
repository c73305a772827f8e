// Volumes from QStorageInfo, filtered to file systems that can hold user data.
#include "app/volume_list.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/paths.h"

namespace {

bool IsPseudoFileSystem(const QByteArray& type) {
  static const char* const kPseudo[] = {
      "proc",      "sysfs",       "devtmpfs",        "devpts",     "cgroup",
      "cgroup2",   "securityfs",  "debugfs",         "tracefs",    "pstore",
      "bpf",       "mqueue",      "hugetlbfs",       "configfs",   "fusectl",
      "autofs",    "binfmt_misc", "efivarfs",        "nsfs",       "rpc_pipefs",
      "selinuxfs", "squashfs",    "fuse.gvfsd-fuse", "fuse.portal"};
  for (const char* name : kPseudo)
    if (type == name)
      return true;
  return false;
}

}  // namespace

bool HoldsUserFiles(const QByteArray& fileSystemType, const QString& rootPath) {
  if (IsPseudoFileSystem(fileSystemType))
    return false;
  if (fileSystemType != "tmpfs" && fileSystemType != "ramfs")
    return true;
  // Memory file systems hold user files too (a tmpfs /tmp), except those the system keeps for
  // itself.
  const QString root = QDir::cleanPath(rootPath);
  for (const char* system : {"/dev", "/run", "/sys", "/proc", "/var/run", "/var/lock"}) {
    const QString dir = QString::fromLatin1(system);
    if (root == dir || root.startsWith(dir + QLatin1Char('/')))
      return false;
  }
  return true;
}

QStringList SystemVolumeList::Roots() const {
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady())
      continue;
    if (!HoldsUserFiles(volume.fileSystemType(), volume.rootPath()))
      continue;
    const QString root = QDir::toNativeSeparators(volume.rootPath());
    if (!roots.contains(root))
      roots.append(root);
  }
  std::sort(roots.begin(), roots.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  return roots;
}

FixedVolumeList::FixedVolumeList(QStringList roots) : m_roots(std::move(roots)) {
  std::sort(m_roots.begin(), m_roots.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
}

void FixedVolumeList::Add(const QString& root) {
  m_roots.append(root);
  std::sort(m_roots.begin(), m_roots.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
}

QString VolumeOf(const QStringList& roots, const QString& path) {
  std::vector<std::string> texts;
  for (const QString& root : roots)
    texts.push_back(root.toStdString());
  return QString::fromStdString(ledgrix::platform::VolumeOf(texts, path.toStdString()));
}

bool IsOnVolume(const QStringList& roots, const QString& path) {
  if (!ledgrix::platform::IsAbsolute(path.toStdString()))
    return false;
  return !VolumeOf(roots, path).isEmpty();
}
