#include "app/grid_delegate.h"

#include <QAbstractItemView>
#include <QPainter>

void CGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
  const QRect cell = option.rect;
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  // The highlight stays the active one when the grid loses the focus, as the system draws it.
  const QPalette& palette = option.palette;
  const QColor background = selected ? palette.color(QPalette::Active, QPalette::Highlight)
                                     : palette.color(QPalette::Active, QPalette::Base);
  const QColor text = selected ? palette.color(QPalette::Active, QPalette::HighlightedText)
                               : palette.color(QPalette::Active, QPalette::Text);
  painter->save();
  painter->fillRect(cell, background);
  painter->setPen(QPen(QColor(192, 192, 192), 1));
  // Bottom ruling, and the column's right line 2 pixels in from the cell's right edge.
  painter->drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
  painter->drawLine(cell.right() - 1, cell.bottom(), cell.right() - 1, cell.top());
  const QRect textRect(cell.left() + kInset, cell.top(), cell.width() - 2 * kInset, cell.height());
  painter->setClipRect(textRect);
  painter->setFont(option.font);
  painter->setPen(text);
  painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
  painter->setClipping(false);
  DrawFocusPart(painter, option, index, text);
  painter->restore();
}

void CGridDelegate::DrawFocusPart(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index, const QColor& color) {
  // The focus rectangle goes round the whole current row while the grid has the focus; each
  // cell draws its share of it.
  const auto* grid = qobject_cast<const QAbstractItemView*>(option.widget);
  if (!grid || !grid->hasFocus() || grid->currentIndex().row() != index.row())
    return;
  const QRect cell = option.rect;
  const int top = cell.top();
  const int bottom = cell.bottom() - 1;  // the ruling stays visible below it
  painter->setPen(QPen(color, 1, Qt::DotLine));
  painter->drawLine(cell.left(), top, cell.right(), top);
  painter->drawLine(cell.left(), bottom, cell.right(), bottom);
  if (index.column() == 0)
    painter->drawLine(cell.left(), top, cell.left(), bottom);
  if (index.column() == index.model()->columnCount() - 1)
    painter->drawLine(cell.right(), top, cell.right(), bottom);
}

QSize CGridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QString text = index.data(Qt::DisplayRole).toString();
  return QSize(option.fontMetrics.horizontalAdvance(text) + 2 * kInset + 2,
               option.fontMetrics.height() + 3);
}
