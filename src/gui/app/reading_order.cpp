#include "gui/app/reading_order.h"

#include <QWidget>
#include <algorithm>

namespace quelt {

QList<QWidget*> InReadingOrder(QList<QWidget*> widgets, const QWidget* frame) {
    // Controls hidden for good (stand-ins for what the skin lacks) go last; their places
    // must not join rows that the shown ones form.
    QList<QWidget*> hidden;
    for (QWidget* w : widgets)
        if (w->isHidden()) hidden << w;
    widgets.removeIf([](const QWidget* w) { return w->isHidden(); });
    auto place = [frame](const QWidget* w) { return QRect(w->mapTo(frame, QPoint(0, 0)), w->size()); };
    std::stable_sort(widgets.begin(), widgets.end(), [&](const QWidget* a, const QWidget* b) {
        const QRect ra = place(a), rb = place(b);
        return ra.top() != rb.top() ? ra.top() < rb.top() : ra.left() < rb.left();
    });
    // Two widgets share a line when the middle of one lies within the height of the other.
    auto sameLine = [](const QRect& a, const QRect& b) {
        const int ma = a.center().y(), mb = b.center().y();
        return (ma >= b.top() && ma <= b.bottom()) || (mb >= a.top() && mb <= a.bottom());
    };
    QList<QWidget*> ordered;
    QList<QWidget*> row;
    auto flush = [&] {
        std::stable_sort(row.begin(), row.end(), [&](const QWidget* a, const QWidget* b) {
            return place(a).left() < place(b).left();
        });
        ordered += row;
        row.clear();
    };
    for (QWidget* w : widgets) {
        const QRect r = place(w);
        if (std::none_of(row.begin(), row.end(), [&](const QWidget* m) { return sameLine(place(m), r); }))
            flush();
        row << w;
    }
    flush();
    return ordered + hidden;
}

QList<QWidget*> TabReachableChildren(const QWidget* parent) {
    QList<QWidget*> reachable;
    for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && (child->focusPolicy() & Qt::TabFocus)) reachable << child;
    return reachable;
}

void ChainTabOrder(const QList<QWidget*>& widgets) {
    for (qsizetype i = 1; i < widgets.size(); ++i) QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

}  // namespace quelt
