// Keyboard order of a skinned window: the skin places its controls freely, so Tab would
// follow the order they were made in. These helpers chain them as a reader scans the
// window instead: rows from top to bottom, each row from left to right.
#pragma once

#include <QList>

class QWidget;

namespace quelt {

// `widgets` in reading order, by their positions in `frame`'s coordinates: a widget joins
// the row of the widgets above it when it shares a line with one of them (the middle of
// one lies within the height of the other); each row is read left to right.
QList<QWidget*> InReadingOrder(QList<QWidget*> widgets, const QWidget* frame);

// The direct children of `parent` that Tab can reach (hidden ones included: Tab skips them
// while they are hidden and finds them in place once shown).
QList<QWidget*> TabReachableChildren(const QWidget* parent);

// Makes Tab go through `widgets` in this order (and Shift+Tab back).
void ChainTabOrder(const QList<QWidget*>& widgets);

}  // namespace quelt
