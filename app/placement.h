// Where the main window opens: the stored placement when it fits the work area, otherwise 95 %
// of the work area, centred.
#pragma once

#include <QSize>

struct Placement {
  int x = 0, y = 0, cx = 0, cy = 0;
  bool operator==(const Placement&) const = default;
};

// The screen's work area; a seam so that tests can give one.
class WorkAreaSource {
 public:
  virtual ~WorkAreaSource() = default;
  virtual QSize WorkArea() const = 0;
};

// The primary screen's available geometry.
class ScreenWorkArea final : public WorkAreaSource {
 public:
  QSize WorkArea() const override;
};

class FixedWorkArea final : public WorkAreaSource {
 public:
  explicit FixedWorkArea(QSize size) : m_size(size) {}
  QSize WorkArea() const override { return m_size; }

 private:
  QSize m_size;
};

// The stored values when 0 < cx <= W, 0 < cy <= H, 0 <= x <= W and 0 <= y <= H; otherwise the
// computed default (*computed then true). The factor is 0.95 as a float, truncated: 800 -> 759.
Placement ChoosePlacement(const Placement& stored, QSize workArea, bool* computed);
