// ladomat-sim: sends what the charger sends, one second at a time, to a pseudo-terminal it creates
// or to a serial device it is given.
#include "Frames.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUsage = R"(Usage: ladomat-sim [options]
Sends what a charger sends, one second at a time, to a new pseudo-terminal (announced on
standard output as "PTY <path>") or to a device.

  --scenario NAME  the scenario to send (default nimh-charge)
  --speed F        seconds of the scenario per real second (default 1, fractions allowed)
  --device PATH    write to this existing device instead of a pseudo-terminal
  --replay FILE    send a curve text file of "n,mV,tenthmA,mAh" lines instead of a scenario
  --delay S        wait S real seconds after opening the line before the first second
  --envelope SE    the start and end character of each frame (default \x02 and \r); escapes
                   \r, \n, \t, \\ and \xHH give other bytes: --envelope 0F, --envelope '@\r'
  --loop           start again at the end
  --bunch N        hold N seconds and write them together, cut at random points into writes a
                   few milliseconds apart (what a late reader or a chunking adapter sees)
  --list           print the scenario names
  --help           print this text
)";

// Unread bytes on the pseudo-terminal beyond which they are dropped: a serial line keeps nothing
// for a listener who is not there, and a full terminal buffer would block the simulator.
constexpr int kUnreadLimit = 2048;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

struct Options {
    std::string scenario = "nimh-charge";
    double speed = 1;
    double delay = 0;
    std::string device;
    std::string replay;
    bool loop = false;
    int bunch = 1;
    ladomat::sim::Envelope envelope;
};

// Where the bytes go: a pseudo-terminal's master, or a device.
struct Line {
    int out = -1;
    int master = -1;  // -1 on a device
    int slave = -1;  // held open so the master never sees a hang-up while clients close and reopen
    std::string slavePath;
};

int usageError(const std::string& message)
{
    std::cerr << "ladomat-sim: " << message << "\n\n" << kUsage;
    return 2;
}

// Two characters, each plain or as an escape (\r, \n, \t, \\, \xHH).
std::optional<ladomat::sim::Envelope> parseEnvelope(std::string_view text)
{
    std::string bytes;
    while (!text.empty()) {
        if (text[0] != '\\' || text.size() < 2) {
            bytes += text[0];
            text.remove_prefix(1);
            continue;
        }
        const char kind = text[1];
        text.remove_prefix(2);
        if (kind == 'x') {
            unsigned value = 0;
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + std::min<std::size_t>(2, text.size()), value, 16);
            if (error != std::errc() || end != text.data() + 2)
                return std::nullopt;
            bytes += static_cast<char>(value);
            text.remove_prefix(2);
        } else if (kind == 'r' || kind == 'n' || kind == 't' || kind == '\\') {
            bytes += kind == 'r' ? '\r' : kind == 'n' ? '\n' : kind == 't' ? '\t' : '\\';
        } else {
            return std::nullopt;
        }
    }
    if (bytes.size() != 2)
        return std::nullopt;
    return ladomat::sim::Envelope{bytes[0], bytes[1]};
}

std::optional<Line> failed(const std::string& what)
{
    std::perror(("ladomat-sim: " + what).c_str());
    return std::nullopt;
}

std::optional<Line> openDevice(const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY);
    if (fd < 0)
        return failed(path);
    // A serial port gets the charger's line: 9600 baud, 8 data bits, no parity, 1 stop bit.
    termios settings;
    if (tcgetattr(fd, &settings) == 0) {
        cfmakeraw(&settings);
        cfsetspeed(&settings, B9600);
        settings.c_cflag &= ~CSTOPB;
        settings.c_cflag |= CLOCAL;
        if (tcsetattr(fd, TCSANOW, &settings) != 0)
            return failed(path);
    }
    Line device;
    device.out = fd;
    return device;
}

std::optional<Line> openPseudoTerminal()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return failed("pseudo-terminal");
    const char* path = ptsname(master);
    if (!path)
        return failed("pseudo-terminal");
    const int slave = open(path, O_RDWR | O_NOCTTY);
    termios settings;
    if (slave < 0 || tcgetattr(slave, &settings) != 0)
        return failed(path);
    // Raw, so that every byte passes unchanged and nothing is echoed back.
    cfmakeraw(&settings);
    if (tcsetattr(slave, TCSANOW, &settings) != 0)
        return failed(path);
    return Line{master, master, slave, path};
}

// Waits until `due`, reading and discarding whatever a client writes meanwhile so that the
// pseudo-terminal never fills up in that direction. False once a stop was requested.
bool waitUntil(const Line& line, Clock::time_point due, const sigset_t& unblocked)
{
    pollfd master{line.master, POLLIN, 0};  // poll ignores it on a device (fd -1)
    while (!stopRequested) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(due - Clock::now()).count();
        if (left <= 0)
            return true;
        const timespec timeout{static_cast<time_t>(left / 1'000'000'000),
                               static_cast<long>(left % 1'000'000'000)};
        if (ppoll(&master, 1, &timeout, &unblocked) > 0 && (master.revents & POLLIN)) {
            char discard[256];
            if (read(line.master, discard, sizeof discard) < 0)
                std::perror("ladomat-sim: read");
        }
    }
    return false;
}

// Sends one second's bytes in one write (continued only if the system takes fewer).
bool send(const Line& line, const std::string& bytes)
{
    int unread = 0;
    if (line.slave >= 0 && ioctl(line.slave, FIONREAD, &unread) == 0 && unread > kUnreadLimit)
        tcflush(line.slave, TCIFLUSH);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = write(line.out, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            std::perror("ladomat-sim: write");
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Sends bytes as writes of random lengths (1 to 40 bytes), 1 to 3 ms apart.
bool sendCut(const Line& line, const std::string& bytes, std::mt19937& random, const sigset_t& unblocked)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t length = std::uniform_int_distribution<std::size_t>(1, 40)(random);
        if (!send(line, bytes.substr(done, length)))
            return false;
        done += length;
        const int ms = std::uniform_int_distribution<int>(1, 3)(random);
        if (!waitUntil(line, Clock::now() + std::chrono::milliseconds(ms), unblocked))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (option == "--list") {
            for (const std::string& name : ladomat::sim::scenarioNames())
                std::cout << name << '\n';
            return 0;
        }
        if (option == "--loop") {
            options.loop = true;
            continue;
        }
        if (option != "--scenario" && option != "--speed" && option != "--device" && option != "--replay" &&
            option != "--delay" && option != "--bunch" && option != "--envelope")
            return usageError("unknown option " + std::string(option));
        if (i + 1 == argc)
            return usageError(std::string(option) + " needs a value");
        const std::string value = argv[++i];
        if (option == "--scenario") {
            options.scenario = value;
        } else if (option == "--device") {
            options.device = value;
        } else if (option == "--replay") {
            options.replay = value;
        } else if (option == "--envelope") {
            const auto envelope = parseEnvelope(value);
            if (!envelope)
                return usageError("--envelope needs two characters, for example 0F or '@\\r'");
            options.envelope = *envelope;
        } else if (option == "--bunch") {
            char* end = nullptr;
            const long number = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != '\0' || number < 1 || number > 60)
                return usageError("--bunch needs a whole number from 1 to 60");
            options.bunch = int(number);
        } else {
            char* end = nullptr;
            const double number = std::strtod(value.c_str(), &end);
            const bool delay = option == "--delay";
            if (end == value.c_str() || *end != '\0' || !std::isfinite(number) || number < 0 ||
                (!delay && number == 0))
                return usageError(std::string(option) +
                                  (delay ? " needs a number of 0 or more" : " needs a number above 0"));
            (delay ? options.delay : options.speed) = number;
        }
    }

    std::vector<std::string> seconds;
    std::string what;
    if (!options.replay.empty()) {
        std::ifstream file(options.replay, std::ios::binary);
        if (!file) {
            std::perror(("ladomat-sim: " + options.replay).c_str());
            return 1;
        }
        // A folder opens as a stream but cannot be read: that is an error, not an empty curve.
        if (std::filesystem::is_directory(options.replay)) {
            std::cerr << "ladomat-sim: " << options.replay << ": is a folder\n";
            return 1;
        }
        std::ostringstream text;
        text << file.rdbuf();
        seconds = ladomat::sim::replayCurveFile(text.str(), options.envelope);
        what = "curve file " + options.replay;
    } else {
        seconds = ladomat::sim::scenario(options.scenario, options.envelope);
        if (seconds.empty())
            return usageError("unknown scenario " + options.scenario + " (--list names them)");
        what = "scenario " + options.scenario;
    }

    const std::optional<Line> line =
        options.device.empty() ? openPseudoTerminal() : openDevice(options.device);
    if (!line)
        return 1;

    // The stop signals only get through while waiting, so a stop never cuts a second's bytes short.
    struct sigaction action { };
    action.sa_handler = requestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigset_t stopSignals;
    sigset_t unblocked;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, &unblocked);

    if (line->master >= 0)
        std::cout << "PTY " << line->slavePath << std::endl;
    std::cerr << "ladomat-sim: sending " << what << " (" << seconds.size() << " s) at speed " << options.speed
              << '\n';

    // A listener that opens the line only after the announcement gets the whole run.
    const auto start = Clock::now() +
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.delay));
    const auto due = [&](std::size_t second) {
        return start +
            std::chrono::duration_cast<Clock::duration>(
                   std::chrono::duration<double>(second / options.speed));
    };
    std::mt19937 random{std::random_device{}()};
    std::string held;  // seconds bunched together, sent with the last of them
    for (std::size_t second = 0; options.loop || second < seconds.size(); ++second) {
        if (!waitUntil(*line, due(second), unblocked))
            return 0;
        if (options.loop && second > 0 && second % seconds.size() == 0)
            std::cerr << "ladomat-sim: starting again\n";
        held += seconds[second % seconds.size()];
        if (options.bunch == 1) {
            if (!send(*line, held))
                return 1;
        } else if ((second + 1) % options.bunch == 0 || (!options.loop && second + 1 == seconds.size())) {
            if (!sendCut(*line, held, random, unblocked))
                return stopRequested ? 0 : 1;
        } else {
            continue;
        }
        held.clear();
    }
    // The last second runs out before the line closes.
    waitUntil(*line, due(seconds.size()), unblocked);
    std::cerr << "ladomat-sim: done\n";
    return 0;
}
