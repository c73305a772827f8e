// Volumes from QStorageInfo, filtered to file systems that can hold user data.
#include "app/volume_list.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>

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

QString Normalised(const QString& path) {
  QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
  return clean;
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
  const QString target = Normalised(path);
  QString best;
  qsizetype bestLength = -1;
  for (const QString& root : roots) {
    const QString r = Normalised(root);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const bool inside = target.compare(r, cs) == 0 ||
                        (target.startsWith(r, cs) &&
                         (r.endsWith(QLatin1Char('/')) || target.at(r.size()) == QLatin1Char('/')));
    if (inside && r.size() > bestLength) {
      best = root;
      bestLength = r.size();
    }
  }
  return best;
}

bool IsOnVolume(const QStringList& roots, const QString& path) {
  if (path.isEmpty() || QDir::isRelativePath(path))
    return false;
  return !VolumeOf(roots, path).isEmpty();
}
