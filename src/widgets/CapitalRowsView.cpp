#include "widgets/CapitalRowsView.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QPointer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

// Wraps a view's own delegate (a drop-down list's delegate draws like a menu): painting stays
// the view's, only the height hint grows.
class CapitalRowsDelegate : public QAbstractItemDelegate {
public:
    CapitalRowsDelegate(QAbstractItemDelegate* inner, QObject* parent)
        : QAbstractItemDelegate(parent)
        , m_inner(inner) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        m_inner->paint(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = m_inner->sizeHint(option, index);
        size.setHeight(std::max(size.height(), capitalRowHeight(option.font)));
        return size;
    }
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        return m_inner->editorEvent(event, model, option, index);
    }
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        return m_inner->helpEvent(event, view, option, index);
    }

private:
    QPointer<QAbstractItemDelegate> m_inner;
};

} // namespace

int capitalRowHeight(const QFont& font) {
    const QFontMetrics metrics(font);
    // The ink of the tallest capitals with marks, and a pixel of air above and below.
    const QRect ink = metrics.tightBoundingRect(u"ÇĞİÖŞÜ"_s);
    return std::max(metrics.height(), ink.height() + 2) + 2;
}

void keepCapitalsWhole(QAbstractItemView& view) {
    QAbstractItemDelegate* current = view.itemDelegate();
    if (!current || dynamic_cast<CapitalRowsDelegate*>(current))
        return;
    view.setItemDelegate(new CapitalRowsDelegate(current, &view));
}

void keepCapitalsWhole(QWidget& root) {
    QList<QAbstractItemView*> views = root.findChildren<QAbstractItemView*>();
    if (auto* self = qobject_cast<QAbstractItemView*>(&root))
        views << self;
    for (QComboBox* box : root.findChildren<QComboBox*>())
        views << box->view();
    for (QAbstractItemView* view : views)
        keepCapitalsWhole(*view);
}

} // namespace tavlix
