// Writes straight into the pixels of a 32-bit image: a QPainter strokes or fills one-pixel-wide
// shapes pixel by pixel at many times the cost, and the chart draws a great many of them.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstddef>

class ColumnWriter {
 public:
  // canvas: QImage::Format_ARGB32_Premultiplied or RGB32. Coordinates are logical, as a painter's
  // on it (the canvas' device pixel ratio applied).
  explicit ColumnWriter(QImage& canvas);

  // The pixels of rect (corners included) within clip.
  void Fill(const QRect& rect, const QRect& clip, QRgb color);
  // Column x from row top to row bottom, both included, within clip.
  void Column(int x, int top, int bottom, const QRect& clip, QRgb color) {
    Fill(QRect(QPoint(x, top), QPoint(x, bottom)), clip, color);
  }

 private:
  int Physical(int v, int limit) const;

  QRgb* m_bits;
  std::ptrdiff_t m_stride;
  qreal m_ratio;
  int m_width;
  int m_height;
};
