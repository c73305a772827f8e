// The volumes a user can walk for portfolios ("drives"), each named by its root path.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class VolumeList {
 public:
  virtual ~VolumeList() = default;
  // Root paths of the listed volumes, sorted.
  virtual QStringList Roots() const = 0;
};

// A mounted file system that can hold a user's portfolios: no proc, sysfs and the like, and no
// memory file system that the system keeps for itself (/dev, /run, /sys ...).
bool HoldsUserFiles(const QByteArray& fileSystemType, const QString& rootPath);

// The mounted volumes that hold user files.
class SystemVolumeList final : public VolumeList {
 public:
  QStringList Roots() const override;
};

// A fixed list of roots (tests: a temporary tree stands in for a volume).
class FixedVolumeList final : public VolumeList {
 public:
  explicit FixedVolumeList(QStringList roots);
  QStringList Roots() const override { return m_roots; }
  void Add(const QString& root);

 private:
  QStringList m_roots;
};

// The listed volume that holds path: the longest root that is a prefix of it at a separator.
// Empty when none does.
QString VolumeOf(const QStringList& roots, const QString& path);

// True when path is absolute and lies on one of the roots.
bool IsOnVolume(const QStringList& roots, const QString& path);
