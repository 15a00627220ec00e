#include "widgets/DropDownListView.h"
#include "widgets/MessageBoxPrompt.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

class TipWhenCut : public QObject {
public:
    explicit TipWhenCut(QLineEdit& edit)
        : QObject(&edit)
        , m_edit(edit) {
        setObjectName(u"tipWhenCut"_s);
        edit.installEventFilter(this);
        // A text the program sets (no textEdited follows textChanged) is shown from its start.
        connect(&edit, &QLineEdit::textEdited, this, [this] { m_typed = true; });
        connect(&edit, &QLineEdit::textChanged, this, [this] {
            update();
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_typed)
                        m_edit.setCursorPosition(0);
                    m_typed = false;
                },
                Qt::QueuedConnection);
        });
        update();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::FocusOut)
            update();
        return false;
    }

private:
    void update() {
        const QString text = m_edit.text();
        // The text's room: the field less its frame and the margins the line edit keeps.
        const int room =
            m_edit.width() - 2 * m_edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 8;
        const bool cut = m_edit.fontMetrics().horizontalAdvance(text) > room;
        m_edit.setToolTip(cut ? plainToolTip(text) : QString());
    }

    QLineEdit& m_edit;
    bool m_typed = false;
};

class WholeEntries : public QObject {
public:
    explicit WholeEntries(QComboBox& box)
        : QObject(&box)
        , m_box(box) {
        setObjectName(u"wholeEntries"_s);
        // The list's popup frame; made with the view, shown each time the list opens.
        box.view()->window()->installEventFilter(this);
        QAbstractItemModel* model = box.model();
        connect(model, &QAbstractItemModel::rowsInserted, this, &WholeEntries::fit);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &WholeEntries::fit);
        connect(model, &QAbstractItemModel::modelReset, this, &WholeEntries::fit);
        connect(model, &QAbstractItemModel::dataChanged, this, &WholeEntries::fit);
        if (QLineEdit* edit = box.lineEdit())
            tipWhenCut(*edit);
        fit();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            openOnValue();
        return false;
    }

private:
    // The entry that is the box's value highlighted, or none when the value is no entry.
    void openOnValue() {
        QAbstractItemView* view = m_box.view();
        const int row =
            m_box.findText(m_box.currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
        const QModelIndex index = m_box.model()->index(row, m_box.modelColumn());
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        if (!index.isValid())
            view->selectionModel()->clear();
    }

    void fit() {
        if (m_fitting)
            return;
        m_fitting = true;
        const QFontMetrics metrics(m_box.view()->font());
        int widest = 0;
        for (int row = 0; row < m_box.count(); ++row) {
            const QString text = m_box.itemText(row);
            widest = std::max(widest, metrics.horizontalAdvance(text));
            if (m_box.itemData(row, Qt::ToolTipRole).toString() != text)
                m_box.setItemData(row, text, Qt::ToolTipRole);
        }
        QAbstractItemView* view = m_box.view();
        // The entry's text, the item's padding and check column, the frame and a scroll bar.
        int width = widest + 32 + 2 * view->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        if (m_box.count() > m_box.maxVisibleItems())
            width += view->verticalScrollBar()->sizeHint().width();
        const QScreen* screen = m_box.screen() ? m_box.screen() : QGuiApplication::primaryScreen();
        if (screen)
            width = std::min(width, screen->availableGeometry().width());
        view->setMinimumWidth(width);
        m_fitting = false;
    }

    QComboBox& m_box;
    bool m_fitting = false;
};

} // namespace

void keepEntriesWhole(QComboBox& box) {
    if (!box.findChild<QObject*>(u"wholeEntries"_s, Qt::FindDirectChildrenOnly))
        new WholeEntries(box);
}

void keepEntriesWhole(QWidget& root) {
    QList<QComboBox*> boxes = root.findChildren<QComboBox*>();
    if (auto* self = qobject_cast<QComboBox*>(&root))
        boxes << self;
    for (QComboBox* box : boxes)
        keepEntriesWhole(*box);
}

void tipWhenCut(QLineEdit& edit) {
    if (!edit.findChild<QObject*>(u"tipWhenCut"_s, Qt::FindDirectChildrenOnly))
        new TipWhenCut(edit);
}

} // namespace tavlix
