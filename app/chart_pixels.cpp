#include "app/chart_pixels.h"

#include <algorithm>
#include <cmath>

ColumnWriter::ColumnWriter(QImage& canvas)
    : m_bits(reinterpret_cast<QRgb*>(canvas.bits())),
      m_stride(canvas.bytesPerLine() / 4),
      m_ratio(canvas.devicePixelRatio()),
      // A canvas of another depth is left alone rather than written past its end.
      m_width(canvas.depth() == 32 ? canvas.width() : 0),
      m_height(canvas.depth() == 32 ? canvas.height() : 0) {}

void ColumnWriter::Fill(const QRect& rect, const QRect& clip, QRgb color) {
  const QRect r = rect.normalized() & clip;
  if (r.isEmpty())
    return;
  const int x0 = Physical(r.left(), m_width);
  const int x1 = std::min(std::max(x0 + 1, Physical(r.right() + 1, m_width)), m_width);
  const int y0 = Physical(r.top(), m_height);
  const int y1 = std::min(std::max(y0 + 1, Physical(r.bottom() + 1, m_height)), m_height);
  if (x0 >= x1 || y0 >= y1)
    return;
  QRgb* first = m_bits + static_cast<std::ptrdiff_t>(y0) * m_stride + x0;
  if (x1 - x0 == 1) {
    for (int row = y0; row < y1; ++row, first += m_stride)
      *first = color;
    return;
  }
  for (int row = y0; row < y1; ++row, first += m_stride)
    std::fill_n(first, x1 - x0, color);
}

int ColumnWriter::Physical(int v, int limit) const {
  const int scaled = m_ratio == 1.0 ? v : static_cast<int>(std::lround(v * m_ratio));
  return std::clamp(scaled, 0, limit);
}
