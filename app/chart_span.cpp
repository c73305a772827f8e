#include "app/chart_span.h"

#include <algorithm>
#include <cmath>

namespace {

// Far outside the view is all the same; the clamp keeps the cast in range.
int ColumnOfX(double x) {
  return static_cast<int>(std::floor(std::clamp(x, -1e6, 1e6)));
}

}  // namespace

void ChartSpan::Reset(int count) {
  m_count = std::max(0, count);
  ShowAll();
}

void ChartSpan::Keep(int count) {
  const bool all = showsAll();
  m_count = std::max(0, count);
  if (all)
    ShowAll();
  else
    Clamp();
}

void ChartSpan::SetWidth(int pixels) {
  m_width = std::max(0, pixels);
}

void ChartSpan::ShowAll() {
  m_first = 0.0;
  m_visible = m_count;
}

void ChartSpan::Clamp() {
  const double closest = std::min<double>(kMinVisible, m_count);
  m_visible = std::clamp(m_visible, closest, static_cast<double>(m_count));
  m_first = std::clamp(m_first, 0.0, m_count - m_visible);
}

void ChartSpan::ZoomAt(double x, double factor) {
  if (m_count == 0 || m_width == 0 || !(factor > 0.0))
    return;
  const double anchor = SlotAt(x);
  m_visible /= factor;
  const double closest = std::min<double>(kMinVisible, m_count);
  m_visible = std::clamp(m_visible, closest, static_cast<double>(m_count));
  m_first = anchor - x / pixelsPerQuote();
  Clamp();
}

void ChartSpan::PanBy(double dx) {
  if (m_count == 0 || m_width == 0)
    return;
  m_first -= dx / pixelsPerQuote();
  Clamp();
}

void ChartSpan::Reveal(int i) {
  if (i < 0 || i >= m_count)
    return;
  if (i >= m_first && i + 1 <= m_first + m_visible)
    return;
  m_first = i + 0.5 - m_visible / 2;
  Clamp();
}

double ChartSpan::SlotAt(double x) const {
  const double perQuote = pixelsPerQuote();
  return perQuote > 0.0 ? m_first + x / perQuote : m_first;
}

int ChartSpan::QuoteAt(double x) const {
  if (m_count == 0)
    return -1;
  return std::clamp(static_cast<int>(std::floor(SlotAt(x))), 0, m_count - 1);
}

int ChartSpan::ColumnOf(int i) const {
  return ColumnOfX(XOf(i + 0.5));
}

std::pair<int, int> ChartSpan::VisibleQuotes() const {
  const int begin = std::clamp(static_cast<int>(std::floor(m_first)), 0, m_count);
  const int end = std::clamp(static_cast<int>(std::ceil(m_first + m_visible)), begin, m_count);
  return {begin, end};
}
