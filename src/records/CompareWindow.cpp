// The comparison window: controls, the plot with its axis labels, the legend, the PNG export, and
// reading the records to compare.
#include "records/CompareWindow.h"

#include "export/export.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "platform/WriteWhole.h"
#include "records/RecordFile.h"
#include "records/SavedRecord.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Room around the plot for the value labels (left), the time or capacity labels (below) and the
// half of the last label across that stands right of the plot's edge.
constexpr int kLeft = 72;
constexpr int kTop = 10;
constexpr int kRight = 36;
constexpr int kBottom = 30;

void legendEntry(const QColor& color, const QString& text, int number, QWidget* parent, QGridLayout* grid)
{
    QPixmap swatch(28, 6);
    swatch.fill(color);
    auto* mark = new QLabel(parent);
    mark->setPixmap(swatch);
    mark->setObjectName(QStringLiteral("swatch%1").arg(number));
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("legend%1").arg(number));
    const int row = (number - 1) / 2, column = (number - 1) % 2 * 2;
    grid->addWidget(mark, row, column);
    grid->addWidget(label, row, column + 1);
}

}  // namespace

CompareWindow::CompareWindow(std::vector<ComparedRecord> records, QWidget* parent)
    : QWidget(parent)
    , quantityBox(new QComboBox(this))
    , acrossBox(new QComboBox(this))
    , saveButton(new QPushButton(QStringLiteral("Als PNG speichern"), this))
    , records_(std::move(records))
    , picture_(new QWidget(this))
    , axesArea_(new QWidget(picture_))
{
    setObjectName(QStringLiteral("CompareWindow"));
    quantityBox->setObjectName(QStringLiteral("quantity"));
    quantityBox->addItems({QStringLiteral("Spannung"), QStringLiteral("Strom"), QStringLiteral("Ladung")});
    acrossBox->setObjectName(QStringLiteral("across"));
    acrossBox->addItems({QStringLiteral("Zeit"), QStringLiteral("Ladung (mAh)")});
    saveButton->setObjectName(QStringLiteral("savePng"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Kurve:"), this));
    controls->addWidget(quantityBox);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(QStringLiteral("x-Achse:"), this));
    controls->addWidget(acrossBox);
    controls->addStretch();
    controls->addWidget(saveButton);

    plot = new PlotSurface(axesArea_);
    plot->setObjectName(QStringLiteral("Picture1"));
    for (size_t k = 0; k < valueLabels_.size(); ++k) {
        valueLabels_[k] = new QLabel(axesArea_);
        valueLabels_[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        valueLabels_[k]->setObjectName(QStringLiteral("value%1").arg(k));
        acrossLabels_[k] = new QLabel(axesArea_);
        acrossLabels_[k]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        acrossLabels_[k]->setObjectName(QStringLiteral("across%1").arg(k));
    }
    axesArea_->setMinimumSize(360, 220);
    axesArea_->installEventFilter(this);

    auto* legend = new QGridLayout;
    legend->setColumnStretch(1, 1);
    legend->setColumnStretch(3, 1);
    for (size_t r = 0; r < records_.size(); ++r)
        legendEntry(kComparePalette[r], records_[r].legend, static_cast<int>(r) + 1, picture_, legend);

    auto* pictureLayout = new QVBoxLayout(picture_);
    pictureLayout->addWidget(axesArea_, 1);
    pictureLayout->addLayout(legend);
    picture_->setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(picture_, 1);
    resize(660, 470);

    connect(quantityBox, &QComboBox::currentIndexChanged, this, &CompareWindow::redraw);
    connect(acrossBox, &QComboBox::currentIndexChanged, this, &CompareWindow::redraw);
    connect(saveButton, &QPushButton::clicked, this, &CompareWindow::savePng);
}

CompareView CompareWindow::view() const
{
    return {static_cast<Quantity>(quantityBox->currentIndex()),
            static_cast<Across>(acrossBox->currentIndex())};
}

bool CompareWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == axesArea_ && event->type() == QEvent::Resize) {
        plot->setGeometry(kLeft, kTop, std::max(1, axesArea_->width() - kLeft - kRight),
                          std::max(1, axesArea_->height() - kTop - kBottom));
        redraw();
    }
    return QWidget::eventFilter(watched, event);
}

void CompareWindow::redraw()
{
    std::vector<const Record*> records;
    for (const ComparedRecord& compared : records_)
        records.push_back(&compared.record);
    placeLabels(drawComparison(plot, records, view()));
}

void CompareWindow::placeLabels(const CompareAxes& axes)
{
    const QRect area = plot->geometry();
    for (int k = 0; k <= kMostDivisions; ++k) {
        QLabel* value = valueLabels_[k];
        QLabel* across = acrossLabels_[k];
        value->setVisible(k <= axes.value.divisions);
        across->setVisible(k <= axes.across.divisions);
        if (k <= axes.value.divisions) {
            const int y = area.y() + area.height() - area.height() * k / axes.value.divisions;
            value->setText(valueLabel(axes, view().quantity, k));
            value->setGeometry(0, y - 9, kLeft - 6, 18);
        }
        if (k <= axes.across.divisions) {
            const int x = area.x() + area.width() * k / axes.across.divisions;
            across->setText(acrossLabel(axes, view().across, k));
            across->setGeometry(x - kRight, area.y() + area.height() + 10, 2 * kRight, 18);
        }
    }
}

QImage CompareWindow::picture() const { return picture_->grab().toImage(); }

void CompareWindow::savePng()
{
    const QImage image = picture();
    saveAs({.title = QStringLiteral("Als PNG speichern"),
            .filter = QStringLiteral("PNG-Bilder (*.png)|*.png"),
            .initialFolder = QStringLiteral("C:\\"),
            .proposedName = QStringLiteral("Vergleich01.PNG"),
            .defaultExtension = QStringLiteral(".png")},
           [&image](const QString& path) {
               return writeWhole(path, [&image](QIODevice& file) { return image.save(&file, "PNG"); });
           });
}

QString legendText(const QString& path)
{
    const QFileInfo info(path);
    const RecordFacts facts = readFacts(path).value_or(RecordFacts{});
    const QDate date = recordStart(path, facts).date();
    const QString battery = facts.notes[0].trimmed();
    // "?" is the battery window's start text: no name given.
    if (battery.isEmpty() || battery == u"?")
        return info.fileName() + QStringLiteral(", ") + dateText(date);
    return info.fileName() + QStringLiteral(" – ") + battery + QStringLiteral(", ") + dateText(date);
}

CompareWindow* comparisonOf(const QStringList& paths)
{
    const QString title = QStringLiteral("Ladomat Link");
    std::vector<ComparedRecord> records;
    for (qsizetype n = 0; n < paths.size(); ++n) {
        if (records.size() == kMostCompared) {
            showMessageBox(QStringLiteral("Es lassen sich höchstens sechs Aufzeichnungen vergleichen; "
                                          "die übrigen %1 bleiben weg.")
                               .arg(paths.size() - n),
                           title);
            break;
        }
        RecordFile file = readRecordFile(paths[n]);
        if (!file.message.isEmpty())
            showMessageBox(file.message, title);
        if (file.record)
            records.push_back({std::move(*file.record), legendText(paths[n])});
    }
    if (records.size() < 2) {
        showMessageBox(QStringLiteral("Zum Vergleichen braucht es mindestens zwei lesbare Aufzeichnungen."),
                       title);
        return nullptr;
    }
    return new CompareWindow(std::move(records));
}
