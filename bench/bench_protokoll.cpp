// The charge log filled with 2,000,000 rows: the log window's model behind its table against
// formatted lines in a QListWidget. Memory is the growth of the process's resident set.
#include "Bench.h"

#include "platform/NumberText.h"
#include "process/Formprotokoll.h"
#include "process/Record.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListWidget>

#include <malloc.h>

namespace {

struct Figures {
    double ms = 0;
    double bytesPerRow = 0;
};
Figures ours, naive;

// A charge's rows: the voltage wanders, the capacity grows.
void row(int k, float& u, float& i, float& q)
{
    u = float(7000 + k % 1000);
    i = 10000;
    q = float(k / 360);
}

void settle()
{
    for (int k = 0; k < 5; ++k)
        QCoreApplication::processEvents();
}

// Times fill() on a shown widget and measures the resident memory it adds.
template <typename Widget, typename Fill>
Figures measure(Widget& widget, Fill fill)
{
    widget.resize(320, 300);
    widget.show();
    settle();
    malloc_trim(0);
    const double before = vmRssBytes();
    QElapsedTimer clock;
    clock.start();
    fill(widget);
    settle();
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return {ms, (vmRssBytes() - before) / kStoreSize};
}

}  // namespace

void measureLog()
{
    {
        ProtokollModel model;
        Formprotokoll log(&model);
        ours = measure(log, [](Formprotokoll& form) {
            float u, i, q;
            for (int k = 1; k <= kStoreSize; ++k) {
                row(k, u, i, q);
                form.model->append(float(k), u, i, q);
            }
        });
    }
    malloc_trim(0);
    QListWidget list;
    list.setUniformItemSizes(true);
    naive = measure(list, [](QListWidget& widget) {
        const QChar tab(u'\t');
        float u, i, q;
        for (int k = 1; k <= kStoreSize; ++k) {
            row(k, u, i, q);
            widget.addItem(blankText(float(k)) + tab + blankText(u) + tab + blankText(i) + tab +
                           blankText(q));
        }
    });
}

void reportLog()
{
    table.push_back(
        {"charge log, 2,000,000 rows appended", format("%.0f ms", ours.ms), format("%.0f ms", naive.ms),
         format("%.1fx faster (target 5x); %.1f bytes a row resident (target 32), QListWidget %.1f",
                naive.ms / ours.ms, ours.bytesPerRow, naive.bytesPerRow),
         naive.ms / ours.ms >= 5 && ours.bytesPerRow <= 32});
}
