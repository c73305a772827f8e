// Draws a grid cell: grey ruling, the highlight colours for the selected row, the text 2 pixels
// in from each side of its cell, clipped, at the row's top, and the focus rectangle.
#pragma once

#include <QStyledItemDelegate>

class CGridDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  static constexpr int kInset = 2;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  static void DrawFocusPart(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index, const QColor& color);
};
