// The charge log window: heading, the list of log lines and its view.
#include "process/Formprotokoll.h"

#include "platform/FixedFont.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The heading's words start every eight characters, one character after the tab stops of
// the lines: each line's numbers then begin with their blank right before the heading word.
constexpr int kTabCharacters = 8;

// Paints a log line with tab stops every eight characters, starting one character in.
class LogLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QWidget* widget = option.widget;
        widget->style()->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        const qreal charWidth = QFontMetricsF(item.font).horizontalAdvance(QLatin1Char(' '));
        QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
        textOption.setWrapMode(QTextOption::NoWrap);
        textOption.setTabStopDistance(kTabCharacters * charWidth);
        const bool selected = item.state & QStyle::State_Selected;
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRectF(item.rect).adjusted(charWidth, 0, 0, 0), text, textOption);
        painter->restore();
    }
};

}  // namespace

ProtokollView::ProtokollView(QWidget* parent)
    : QAbstractItemView(parent)
    , catchUp_(new QTimer(this))
{
    // A list box scrolls line by line.
    setVerticalScrollMode(ScrollPerItem);
    rowHeight_ = fontMetrics().height() + 2;
    catchUp_->setSingleShot(true);
    connect(catchUp_, &QTimer::timeout, this, &ProtokollView::catchUp);
}

void ProtokollView::setModel(QAbstractItemModel* model)
{
    QAbstractItemView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ProtokollView::rowsRemoved);
}

int ProtokollView::rows() const { return model() ? model()->rowCount(rootIndex()) : 0; }

int ProtokollView::topRow() const { return verticalScrollBar()->value(); }

int ProtokollView::rowAt(int y) const
{
    return topRow() + (y >= 0 ? y / rowHeight_ : -1 - (-1 - y) / rowHeight_);
}

int ProtokollView::wholeRows() const { return std::max(1, viewport()->height() / rowHeight_); }

int ProtokollView::verticalOffset() const { return topRow() * rowHeight_; }

QRect ProtokollView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.parent() != rootIndex())
        return {};
    return {0, (index.row() - topRow()) * rowHeight_, viewport()->width(), rowHeight_};
}

QModelIndex ProtokollView::indexAt(const QPoint& point) const
{
    const int row = rowAt(point.y());
    if (point.y() < 0 || row >= rows())
        return {};
    return model()->index(row, 0, rootIndex());
}

void ProtokollView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    const int row = index.row();
    const int top = topRow();
    const int whole = wholeRows();
    int value = top;
    switch (hint) {
    case PositionAtTop:
        value = row;
        break;
    case PositionAtBottom:
        value = row - whole + 1;
        break;
    case PositionAtCenter:
        value = row - whole / 2;
        break;
    case EnsureVisible:
        if (row < top)
            value = row;
        else if (row >= top + whole)
            value = row - whole + 1;
        break;
    }
    verticalScrollBar()->setValue(value);
}

QModelIndex ProtokollView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int count = rows();
    if (count == 0)
        return {};
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : 0;
    if (current.isValid()) {
        switch (action) {
        case MoveUp:
        case MovePrevious:
            row -= 1;
            break;
        case MoveDown:
        case MoveNext:
            row += 1;
            break;
        case MovePageUp:
            row -= wholeRows();
            break;
        case MovePageDown:
            row += wholeRows();
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = count - 1;
            break;
        case MoveLeft:
        case MoveRight:
            break;
        }
    }
    return model()->index(std::clamp(row, 0, count - 1), 0, rootIndex());
}

void ProtokollView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    const QRect area = rect.normalized();
    const int first = std::max(0, rowAt(area.top()));
    const int last = std::min(rows() - 1, rowAt(area.bottom()));
    QItemSelection selection;
    if (first <= last)
        selection.select(model()->index(first, 0, rootIndex()), model()->index(last, 0, rootIndex()));
    selectionModel()->select(selection, command);
}

QRegion ProtokollView::visualRegionForSelection(const QItemSelection& selection) const
{
    const int top = topRow();
    const int bottom = rowAt(viewport()->height());
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid() || range.parent() != rootIndex())
            continue;
        const int first = std::max(range.top(), top);
        const int last = std::min(range.bottom(), bottom);
        if (first <= last)
            region +=
                QRect(0, (first - top) * rowHeight_, viewport()->width(), (last - first + 1) * rowHeight_);
    }
    return region;
}

void ProtokollView::updateGeometries()
{
    // A view at its newest line stays there when lines come or the window changes its size.
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    bar->setSingleStep(1);
    bar->setPageStep(wholeRows());
    bar->setRange(0, std::max(0, rows() - wholeRows()));
    if (atEnd)
        bar->setValue(bar->maximum());
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

void ProtokollView::scrollContentsBy(int, int dy)
{
    // The scroll bar counts lines; what is already drawn moves by their height.
    scrollDirtyRegion(0, dy * rowHeight_);
    viewport()->scroll(0, dy * rowHeight_);
}

void ProtokollView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State state = option.state;
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const int first = std::max(0, rowAt(event->rect().top()));
    const int last = std::min(rows() - 1, rowAt(event->rect().bottom()));
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        option.rect = visualRect(index);
        option.state = state;
        if (selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (focus && index == current)
            option.state |= QStyle::State_HasFocus;
        itemDelegate()->paint(&painter, option, index);
    }
}

void ProtokollView::catchUp()
{
    catchUp_->stop();
    updateGeometries();
    if (changedFrom_ >= 0) {
        const int y = std::max(0, (changedFrom_ - topRow()) * rowHeight_);
        viewport()->update(0, y, viewport()->width(), viewport()->height() - y);
    }
    changedFrom_ = -1;
}

void ProtokollView::showEvent(QShowEvent* event)
{
    QAbstractItemView::showEvent(event);
    catchUp();
}

void ProtokollView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        rowHeight_ = fontMetrics().height() + 2;
    QAbstractItemView::changeEvent(event);
}

void ProtokollView::rowsInserted(const QModelIndex&, int start, int)
{
    changedFrom_ = changedFrom_ < 0 ? start : std::min(changedFrom_, start);
    if (isVisible() && !catchUp_->isActive())
        catchUp_->start();
}

void ProtokollView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    const QScrollBar* bar = verticalScrollBar();
    atEndBeforeRemoval_ = bar->value() == bar->maximum();
    topBeforeRemoval_ = bar->value();
    // The base class moves the current row on past the removed ones; the view keeps its place
    // rather than scroll there, now or when next shown.
    const bool autoScrolls = hasAutoScroll();
    setAutoScroll(false);
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    setAutoScroll(autoScrolls);
}

void ProtokollView::rowsRemoved(const QModelIndex&, int start, int end)
{
    QScrollBar* bar = verticalScrollBar();
    if (atEndBeforeRemoval_) {
        bar->setValue(bar->maximum());
    } else {
        const int top = topBeforeRemoval_;
        bar->setValue(top > end ? top - (end - start + 1) : std::min(top, start));
    }
    changedFrom_ = 0;
    if (isVisible() && !catchUp_->isActive())
        catchUp_->start();
}

Formprotokoll::Formprotokoll(ProtokollModel* log, QWidget* parent)
    : QWidget(parent)
    , model(log)
{
    setObjectName(QStringLiteral("Formprotokoll"));
    const QFont font = fixedPitchFont();

    Label1 = new QLabel(QStringLiteral("  Sek.    mV      mA/10   mAh"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(font);

    List1 = new ProtokollView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(font);
    List1->setSelectionBehavior(QAbstractItemView::SelectRows);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setItemDelegate(new LogLineDelegate(List1));
    List1->setModel(model);
    // The heading's text starts where the list's rows start: inside the list's frame.
    Label1->setIndent(List1->frameWidth());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Label1);
    layout->addWidget(List1);
}
