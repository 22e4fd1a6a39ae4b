// The charge log at 2,000,000 lines: compact rows in a model behind the log window's table
// against formatted lines in a QStringList and in a QListWidget, and the cost of one more line
// at that size in the log window, in a QListView and in a QListWidget. Time and heap bytes per line.
#include "RatioReporter.h"
#include "platform/NumberText.h"
#include "process/Formprotokoll.h"
#include "process/Variabelen.h"

#include <QApplication>
#include <QListView>
#include <QListWidget>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kLines = kStoreSize;

std::size_t allocatedBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A plausible sample k of a charge: the voltage wanders, the capacity grows.
struct Sample {
    float messNr, u, i, q;
};

Sample sample(int k)
{
    return {float(k), float(7000 + k % 1000), 10000, float(k / 360)};
}

QString formattedLine(const Sample& s)
{
    const QChar tab(u'\t');
    return blankText(s.messNr) + tab + blankText(s.u) + tab + blankText(s.i) + tab + blankText(s.q);
}

void settle()
{
    for (int k = 0; k < 5; ++k)
        QCoreApplication::processEvents();
}

std::map<std::string, double> bytesPerLine;

// Runs fill() on a fresh container from make() per iteration; times only the filling and
// records the heap it holds afterwards.
template <typename Make, typename Fill>
void measure(benchmark::State& state, const std::string& name, Make make, Fill fill)
{
    double bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::size_t before = allocatedBytes();
        auto container = make();
        state.ResumeTiming();
        fill(*container);
        state.PauseTiming();
        bytes = double(allocatedBytes() - before) / kLines;
        container.reset();
        state.ResumeTiming();
    }
    state.counters["bytes/line"] = bytes;
    state.counters["ns/line"] = benchmark::Counter(double(kLines) * state.iterations(),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    bytesPerLine[name] = bytes;
}

void BM_ModelRows(benchmark::State& state)
{
    measure(state, "BM_ModelRows", [] { return std::make_unique<ProtokollModel>(); },
            [](ProtokollModel& model) {
                for (int k = 1; k <= kLines; ++k) {
                    const Sample s = sample(k);
                    model.append(s.messNr, s.u, s.i, s.q);
                }
            });
}
BENCHMARK(BM_ModelRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// The log window as the program shows it: the model behind its table, laid out.
void BM_LogWindow(benchmark::State& state)
{
    measure(state, "BM_LogWindow",
            [] {
                auto form = std::make_unique<Formprotokoll>();
                form->resize(320, 300);
                form->show();
                settle();
                return form;
            },
            [](Formprotokoll& form) {
                for (int k = 1; k <= kLines; ++k) {
                    const Sample s = sample(k);
                    form.model->append(s.messNr, s.u, s.i, s.q);
                }
                settle();
            });
}
BENCHMARK(BM_LogWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_NaiveStringList(benchmark::State& state)
{
    measure(state, "BM_NaiveStringList", [] { return std::make_unique<QStringList>(); },
            [](QStringList& lines) {
                for (int k = 1; k <= kLines; ++k)
                    lines.append(formattedLine(sample(k)));
            });
}
BENCHMARK(BM_NaiveStringList)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_NaiveListWidget(benchmark::State& state)
{
    measure(state, "BM_NaiveListWidget",
            [] {
                auto list = std::make_unique<QListWidget>();
                list->setUniformItemSizes(true);
                list->resize(320, 300);
                list->show();
                settle();
                return list;
            },
            [](QListWidget& list) {
                for (int k = 1; k <= kLines; ++k)
                    list.addItem(formattedLine(sample(k)));
                settle();
            });
}
BENCHMARK(BM_NaiveListWidget)->Unit(benchmark::kMillisecond)->Iterations(1);

// One more line a second with the log open at 2,000,000 lines, as during a long run.
template <typename View>
void liveLine(benchmark::State& state, View& view, ProtokollModel& model)
{
    view.resize(320, 300);
    view.show();
    for (int k = 1; k <= kLines; ++k) {
        const Sample s = sample(k);
        model.append(s.messNr, s.u, s.i, s.q);
    }
    settle();
    int k = kLines;
    for (auto _ : state) {
        const Sample s = sample(++k);
        model.append(s.messNr, s.u, s.i, s.q);
        settle();
    }
}

void BM_LiveLineAtFullLog(benchmark::State& state)
{
    Formprotokoll form;
    liveLine(state, form, *form.model);
}
BENCHMARK(BM_LiveLineAtFullLog)->Unit(benchmark::kMillisecond);

// The same model in a QListView, which lays out all rows again after every insertion.
void BM_LiveLineInQListView(benchmark::State& state)
{
    ProtokollModel model;
    QListView list;
    list.setUniformItemSizes(true);
    list.setModel(&model);
    liveLine(state, list, model);
}
BENCHMARK(BM_LiveLineInQListView)->Unit(benchmark::kMillisecond);

void BM_NaiveLiveLineAtFullLog(benchmark::State& state)
{
    QListWidget list;
    list.setUniformItemSizes(true);
    list.resize(320, 300);
    list.show();
    for (int k = 1; k <= kLines; ++k)
        list.addItem(formattedLine(sample(k)));
    settle();
    int k = kLines;
    for (auto _ : state) {
        list.addItem(formattedLine(sample(++k)));
        list.scrollToBottom();
        settle();
    }
}
BENCHMARK(BM_NaiveLiveLineAtFullLog)->Unit(benchmark::kMillisecond);

// The model's figures against the naive form's, with their ratios.
void printComparison(const RatioReporter& reporter, const char* what, const std::string& model,
                     const std::string& naive)
{
    const auto value = [](const std::map<std::string, double>& map, const std::string& name) {
        const auto found = map.find(name);
        return found == map.end() ? 0.0 : found->second;
    };
    const double fast = value(reporter.times, model);
    const double slow = value(reporter.times, naive);
    if (fast <= 0 || slow <= 0)
        return;
    std::printf("%s: %.2f ms against %.2f ms, %.1fx faster", what, fast, slow, slow / fast);
    const double compact = value(bytesPerLine, model);
    const double wide = value(bytesPerLine, naive);
    if (compact > 0 && wide > 0)
        std::printf("; %.1f against %.1f bytes per line, %.1fx smaller", compact, wide, wide / compact);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n2,000,000 log lines\n");
    printComparison(reporter, "model rows vs QStringList", "BM_ModelRows", "BM_NaiveStringList");
    printComparison(reporter, "log window vs QListWidget", "BM_LogWindow", "BM_NaiveListWidget");
    printComparison(reporter, "one more line at 2,000,000, log window vs QListView", "BM_LiveLineAtFullLog",
                    "BM_LiveLineInQListView");
    printComparison(reporter, "one more line at 2,000,000, log window vs QListWidget", "BM_LiveLineAtFullLog",
                    "BM_NaiveLiveLineAtFullLog");
    benchmark::Shutdown();
    return 0;
}
