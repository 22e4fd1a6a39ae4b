// The charge log's model: compact rows, text made only for the rows on screen.
#include "process/ProtokollModel.h"

#include "platform/NumberText.h"
#include "process/Record.h"

namespace {

// Lines dropped at once from a log that holds a full store's worth.
constexpr int kLogDrop = 100000;

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
