// The charge log window: heading, the list of log lines and the compact model behind it.
#include "process/Formprotokoll.h"

#include "platform/FixedFont.h"
#include "platform/NumberText.h"
#include "process/Record.h"

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

// Lines dropped at once from a log that holds a full store's worth.
constexpr int kLogDrop = 100000;

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

void ProtokollModel::append(float messNr, float u, float i, float q)
{
    // Room for one full record up front; the pages are only taken from the system as rows fill them.
    if (rows_.capacity() == 0)
        rows_.reserve(kStoreSize);
    // A full log drops its oldest lines in one block, so that it never outgrows its room in
    // weeks of runs and the drop costs little per line.
    if (rows_.size() == kStoreSize) {
        beginRemoveRows({}, 0, kLogDrop - 1);
        rows_.erase(rows_.begin(), rows_.begin() + kLogDrop);
        endRemoveRows();
    }
    const int row = static_cast<int>(rows_.size());
    beginInsertRows({}, row, row);
    rows_.push_back({messNr, u, i, q});
    endInsertRows();
}

int ProtokollModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ProtokollModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return line(index.row());
}

QString ProtokollModel::line(int row) const
{
    const Row& r = rows_[row];
    const QChar tab(u'\t');
    return blankText(r.messNr) + tab + blankText(r.u) + tab + blankText(r.i) + tab + blankText(r.q);
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
