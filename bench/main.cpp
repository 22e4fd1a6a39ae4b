// The benchmark program: every operation that must stay instant with a full store, measured
// against its naive form in the same run, then one table of the figures and their targets.
#include "Bench.h"

#include "platform/PlotSurface.h"
#include "platform/SerialPort.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "shell/MDIForm1.h"
#include "sim/Frames.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <random>

namespace {

// The whole program in a process of its own under /usr/bin/time: start-up to the first frame
// handled as this process sees it, and the peak resident memory with a full store and log.
void measureWholeProgram(const QString& program)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("/usr/bin/time"), {QStringLiteral("-v"), program});
    double firstFrameMs = 0;
    QByteArray out;
    while (process.state() != QProcess::NotRunning || process.bytesAvailable()) {
        process.waitForReadyRead(100);
        out += process.readAllStandardOutput();
        if (firstFrameMs == 0 && out.contains("first frame handled"))
            firstFrameMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    std::fputs(out.constData(), stdout);
    const QByteArray report = process.readAllStandardError();
    double peakKiB = 0;
    for (const QByteArray& line : report.split('\n')) {
        if (line.contains("Maximum resident set size"))
            peakKiB = line.mid(line.lastIndexOf(':') + 1).trimmed().toDouble();
    }
    if (process.exitCode() != 0 || peakKiB == 0) {
        std::printf("whole program: no figures (/usr/bin/time or %s failed)\n%s\n", qPrintable(program),
                    report.constData());
        table.push_back({"whole program: start-up, memory", "-", "-", "not measured", false});
        return;
    }
    table.push_back({"whole program: start-up to first frame", format("%.0f ms", firstFrameMs), "-",
                     "process start to the frame's handling", true});
    table.push_back({"whole program: peak memory, full store and log", format("%.1f MB", peakKiB / 1024), "-",
                     "target < 150 MB (/usr/bin/time -v)", peakKiB / 1024 < 150});
}

void printTable()
{
    std::printf("\n%-48s %-14s %-14s %s\n", "operation", "ours", "naive form", "result");
    std::printf("%s\n", std::string(130, '-').c_str());
    bool all = true;
    for (const TableRow& row : table) {
        std::printf("%-48s %-14s %-14s %s%s\n", row.operation.c_str(), row.ours.c_str(), row.naive.c_str(),
                    row.result.c_str(), row.met ? "" : "  << TARGET NOT MET");
        all = all && row.met;
    }
    std::printf("\n%s\n", all ? "every target met" : "some targets not met");
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    measureLog();

    Bench& b = bench();
    b.port = new MemorySerialPort;
    b.window = std::make_unique<MDIForm1>(b.port);
    b.window->Timer1->stop();
    b.window->Timer2->stop();
    for (QCheckBox* box : {b.window->setgraf->Check1, b.window->setgraf->Check2, b.window->setgraf->Check3})
        box->setChecked(true);
    PlotSurface* plot = b.grafik().Picture1;
    plot->resize(1000, 400);
    plot->Cls();
    std::printf("plot %d x %d pixels; records of %d samples\n", plot->image().width(), plot->image().height(),
                kStoreSize);
    cleanRecord();
    noisyRecord();

    TimeReporter times;
    benchmark::RunSpecifiedBenchmarks(&times);
    reportGesamtkurve(times);
    reportLaufKurve(times);
    reportTextdatei(times);
    reportLog();
    reportFrames(times);
    reportPaintedFrames(times);
    reportRecords(times);
    reportBook(times);
    reportCompare(times);
    b.window.reset();

    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/ladomat-bench-program");
    measureWholeProgram(program);
    printTable();
    benchmark::Shutdown();
    return 0;
}
