// The charge log window: heading and the list of log lines, tab stops under the heading.
#include "process/Formprotokoll.h"

#include "platform/FixedFont.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

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

Formprotokoll::Formprotokoll(ProtokollModel* log, QWidget* parent)
    : QWidget(parent)
    , model(log)
{
    setObjectName(QStringLiteral("Formprotokoll"));
    const QFont font = fixedPitchFont();

    Label1 = new QLabel(QStringLiteral("  Sek.    mV      mA/10   mAh"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(font);

    List1 = new QTableView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(font);
    List1->setShowGrid(false);
    List1->setWordWrap(false);
    List1->setSelectionBehavior(QAbstractItemView::SelectRows);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->horizontalHeader()->hide();
    List1->horizontalHeader()->setStretchLastSection(true);
    // Rows of one fixed height, like the lines of a list box.
    QHeaderView* rows = List1->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    const int rowHeight = List1->fontMetrics().height() + 2;
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    List1->setItemDelegate(new LogLineDelegate(List1));
    List1->setModel(model);
    // The heading's text starts where the list's rows start: inside the list's frame.
    Label1->setIndent(List1->frameWidth());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Label1);
    layout->addWidget(List1);

    // The list follows the newest line only while the user is at its end. The scroll waits for
    // the event loop so that many lines appended at once cost one layout, not one each.
    auto* follow = new QTimer(this);
    follow->setSingleShot(true);
    connect(follow, &QTimer::timeout, List1, &QTableView::scrollToBottom);
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, follow, [this, follow] {
        const QScrollBar* bar = List1->verticalScrollBar();
        if (!follow->isActive() && bar->value() == bar->maximum())
            follow->start();
    });
}
