// The volumes a user can walk for portfolios ("drives"), each named by its root path.
#pragma once

#include <QString>
#include <QStringList>

class VolumeList {
 public:
  virtual ~VolumeList() = default;
  // Root paths of the listed volumes, sorted.
  virtual QStringList Roots() const = 0;
};

// The mounted volumes that hold real file systems (no proc, sysfs, tmpfs and the like).
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
