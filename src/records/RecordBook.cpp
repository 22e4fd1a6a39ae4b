// The record book's rows from the facts files, and its buttons.
#include "records/RecordBook.h"

#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "records/SavedRecord.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { start, battery, duration, capacity, energy, end, columns };
constexpr int kSortRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kFilterRole = Qt::UserRole + 2;
constexpr int kMostCompared = 6;

const QString kTitle = QStringLiteral("Ladomat Link");

// The facts of a record with its summary: kept ones as they are; otherwise the summary is computed
// from the curve file and kept, in facts made from the file name where there were none. Facts that
// cannot be read stay untouched: they may be a newer program's.
RecordFacts factsWithSummary(const QFileInfo& file, std::optional<Summary>& summary)
{
    const QString path = file.filePath();
    std::optional<RecordFacts> facts = readFacts(path);
    if (facts && (summary = summaryFromJson(facts->summary)))
        return *facts;
    const bool unreadable = !facts && QFileInfo::exists(factsPath(path));
    if (!facts) {
        facts.emplace();
        facts->start = recordStart(path, {});
        facts->endReason = RecordEnd::unknown;
    }
    summary = summarizeFile(path, unreadable ? RecordFacts{} : *facts).summary;
    if (summary && !unreadable) {
        facts->summary = summaryJson(*summary);
        writeFacts(path, *facts);
    }
    return *facts;
}

QStandardItem* item(const QString& text, const QVariant& sortKey)
{
    auto* cell = new QStandardItem(text);
    cell->setData(sortKey, kSortRole);
    cell->setEditable(false);
    return cell;
}

QString mahText(double mah) { return patternText(mah, QStringLiteral("0")); }
QString whText(double wh) { return patternText(wh, QStringLiteral("0.00")); }

// Capacity and energy: what was charged and discharged, both where a record did both; sorted by
// the larger.
QPair<QString, double> moved(const Summary& s, double Figures::*figure, QString (*text)(double))
{
    if (!s.phases)
        return {text(s.whole.*figure), s.whole.*figure};
    const double in = s.charge.*figure, out = s.discharge.*figure;
    if (in > 0 && out > 0)
        return {text(in) + QStringLiteral(" / ") + text(out), std::max(in, out)};
    return {text(std::max(in, out)), std::max(in, out)};
}

QList<QStandardItem*> row(const QFileInfo& file)
{
    std::optional<Summary> summary;
    const RecordFacts facts = factsWithSummary(file, summary);
    const QDateTime when = recordStart(file.filePath(), facts);
    QList<QStandardItem*> cells{
        item(QLocale().toString(when, QLocale::ShortFormat), when.toMSecsSinceEpoch()),
        item(facts.notes[0], facts.notes[0].toLower())};
    if (summary) {
        const auto [mah, mahKey] = moved(*summary, &Figures::mah, mahText);
        const auto [wh, whKey] = moved(*summary, &Figures::wh, whText);
        const QString ending = recordEndText(summary->end.value_or(RecordEnd::unknown));
        cells << item(durationText(summary->seconds), summary->seconds) << item(mah, mahKey)
              << item(wh, whKey) << item(ending, ending.toLower());
    } else {
        cells << item(QStringLiteral("–"), -1) << item(QStringLiteral("–"), -1)
              << item(QStringLiteral("–"), -1)
              << item(QStringLiteral("nicht lesbar"), QStringLiteral("nicht lesbar"));
    }
    for (QStandardItem* cell : cells)
        cell->setData(cell->text(), Qt::ToolTipRole);
    for (int column : {duration, capacity, energy})
        cells[column]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cells[start]->setData(file.filePath(), kPathRole);
    cells[start]->setData(facts.notes[0] + QLatin1Char('\n') + file.fileName(), kFilterRole);
    return cells;
}

}  // namespace

bool RecordBook::Sorted::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QVariant a = left.data(kSortRole), b = right.data(kSortRole);
    if (a != b)
        return QVariant::compare(a, b) == QPartialOrdering::Less;
    return left.siblingAtColumn(start).data(kPathRole).toString() <
        right.siblingAtColumn(start).data(kPathRole).toString();
}

RecordBook::RecordBook(QString folder, const QString& writingPath, QWidget* parent)
    : QWidget(parent)
    , filter(new QLineEdit(this))
    , list(new QTableView(this))
    , openButton(new QPushButton(QStringLiteral("Öffnen"), this))
    , compareButton(new QPushButton(QStringLiteral("Vergleichen"), this))
    , trashButton(new QPushButton(QStringLiteral("In den Papierkorb"), this))
    , folder_(std::move(folder))
{
    setWindowTitle(QStringLiteral("Aufzeichnungsbuch"));
    filter->setObjectName(QStringLiteral("filter"));
    filter->setPlaceholderText(QStringLiteral("Suchen nach Akku oder Dateiname"));
    filter->setClearButtonEnabled(true);
    list->setObjectName(QStringLiteral("records"));
    openButton->setObjectName(QStringLiteral("open"));
    compareButton->setObjectName(QStringLiteral("compare"));
    trashButton->setObjectName(QStringLiteral("trash"));

    model_.setHorizontalHeaderLabels({QStringLiteral("Beginn"), QStringLiteral("Akku"),
                                      QStringLiteral("Dauer"), QStringLiteral("mAh"), QStringLiteral("Wh"),
                                      QStringLiteral("Ende")});
    sorted_.setSourceModel(&model_);
    sorted_.setSortRole(kSortRole);
    sorted_.setFilterRole(kFilterRole);
    sorted_.setFilterKeyColumn(start);
    sorted_.setFilterCaseSensitivity(Qt::CaseInsensitive);
    list->setModel(&sorted_);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(true);
    list->sortByColumn(start, Qt::DescendingOrder);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    list->setWordWrap(false);
    list->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openButton);
    buttons->addWidget(compareButton);
    buttons->addStretch();
    buttons->addWidget(trashButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filter);
    layout->addWidget(list);
    layout->addLayout(buttons);

    connect(filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        sorted_.setFilterFixedString(text);
        selectionChanged();
    });
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RecordBook::selectionChanged);
    connect(list, &QTableView::doubleClicked, this, &RecordBook::Oeffnen_Click);
    connect(openButton, &QPushButton::clicked, this, &RecordBook::Oeffnen_Click);
    connect(compareButton, &QPushButton::clicked, this, &RecordBook::Vergleichen_Click);
    connect(trashButton, &QPushButton::clicked, this, &RecordBook::Papierkorb_Click);
    refresh(writingPath);
}

void RecordBook::refresh(const QString& writingPath)
{
    writingPath_ = writingPath;
    model_.removeRows(0, model_.rowCount());
    const QFileInfo writing(writingPath);
    const QFileInfoList files =
        QDir(folder_).entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files)
        if (writingPath.isEmpty() || file != writing)
            model_.appendRow(row(file));
    list->resizeColumnsToContents();
    selectionChanged();
}

QStringList RecordBook::shownPaths() const
{
    QStringList paths;
    for (int r = 0; r < sorted_.rowCount(); ++r)
        paths << sorted_.index(r, start).data(kPathRole).toString();
    return paths;
}

QStringList RecordBook::selectedPaths() const
{
    QStringList paths;
    for (const QModelIndex& index : list->selectionModel()->selectedRows(start))
        paths << index.data(kPathRole).toString();
    return paths;
}

void RecordBook::selectionChanged()
{
    const qsizetype selected = selectedPaths().size();
    openButton->setEnabled(selected == 1);
    compareButton->setEnabled(selected >= 2 && selected <= kMostCompared);
    trashButton->setEnabled(selected > 0);
}

void RecordBook::Oeffnen_Click()
{
    const QStringList paths = selectedPaths();
    if (paths.size() == 1)
        emit openRequested(paths.first());
}

void RecordBook::Vergleichen_Click()
{
    const QStringList paths = selectedPaths();
    if (paths.size() >= 2 && paths.size() <= kMostCompared)
        emit compareRequested(paths);
}

void RecordBook::Papierkorb_Click()
{
    const QStringList paths = selectedPaths();
    if (paths.isEmpty())
        return;
    const QString question = paths.size() == 1
        ? QStringLiteral("Die Aufzeichnung %1 in den Papierkorb verschieben?")
              .arg(QFileInfo(paths.first()).fileName())
        : QStringLiteral("Die %1 ausgewählten Aufzeichnungen in den Papierkorb verschieben?")
              .arg(paths.size());
    if (!askQuestion(question, kTitle))
        return;
    for (const QString& path : paths) {
        const QString facts = factsPath(path);
        if (!QFile::moveToTrash(path) || (QFile::exists(facts) && !QFile::moveToTrash(facts)))
            showMessageBox(
                QStringLiteral("Die Aufzeichnung %1 konnte nicht in den Papierkorb verschoben werden !")
                    .arg(QFileInfo(path).fileName()),
                kTitle);
    }
    refresh(writingPath_);
}
