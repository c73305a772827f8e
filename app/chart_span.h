// Which quotes the chart shows across how many pixels, and the zoom and pan arithmetic. Quote i
// fills the slot [i, i + 1); the chart shows the slots [first, first + visible) across width
// pixels.
#pragma once

#include <utility>

class ChartSpan {
 public:
  // The closest zoom shows this many quotes (fewer only when the series is shorter).
  static constexpr double kMinVisible = 10.0;

  // A new series: the whole of it.
  void Reset(int count);
  // A refill of the same series: the same range, held within the new count.
  void Keep(int count);
  void SetWidth(int pixels);
  void ShowAll();

  // factor > 1 zooms in. The slot under pixel x stays under x.
  void ZoomAt(double x, double factor);
  // Moves the content by dx pixels, as a drag does: dragging right brings older quotes in.
  void PanBy(double dx);
  // Keeps the zoom and brings quote i into the middle, unless it is already in view.
  void Reveal(int i);

  int count() const { return m_count; }
  int width() const { return m_width; }
  double first() const { return m_first; }
  double visible() const { return m_visible; }
  bool showsAll() const { return m_first <= 0.0 && m_visible >= m_count; }
  double pixelsPerQuote() const { return m_visible > 0 ? m_width / m_visible : 0.0; }

  double XOf(double slot) const { return (slot - m_first) * pixelsPerQuote(); }
  double SlotAt(double x) const;
  // The quote whose slot holds x, held within the series; -1 when there is none.
  int QuoteAt(double x) const;
  // The pixel column of quote i's centre (outside [0, width) when it is not in view).
  int ColumnOf(int i) const;
  // The quotes with a slot at least partly in view: [begin, end).
  std::pair<int, int> VisibleQuotes() const;

 private:
  void Clamp();

  int m_count = 0;
  int m_width = 0;
  double m_first = 0.0;
  double m_visible = 0.0;
};
