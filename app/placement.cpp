#include "app/placement.h"

#include <QGuiApplication>
#include <QScreen>

QSize ScreenWorkArea::WorkArea() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry().size() : QSize(1024, 738);
}

Placement ChoosePlacement(const Placement& stored, QSize workArea, bool* computed) {
  const int w = workArea.width();
  const int h = workArea.height();
  const bool fits = stored.cx > 0 && stored.cy > 0 && stored.x >= 0 && stored.y >= 0 &&
                    stored.cx <= w && stored.cy <= h && stored.x <= w && stored.y <= h;
  if (computed)
    *computed = !fits;
  if (fits)
    return stored;
  // 0.95f is 0.949999988...: widened exactly, so the product truncates below the round value.
  constexpr double kFactor = static_cast<double>(0.95f);
  Placement p;
  p.cx = static_cast<int>(w * kFactor);
  p.cy = static_cast<int>(h * kFactor);
  p.x = (w - p.cx) / 2;
  p.y = (h - p.cy) / 2;
  return p;
}
