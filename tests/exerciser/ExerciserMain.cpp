// kavra_exerciser: a seeded random walk over the whole main window, checking
// every invariant after each step.
//
//   kavra_exerciser [--seed S] (--steps N | --seconds T)
//
// A failure prints the seed, the step, the last 50 actions and the command that
// replays the run; with --seconds the number of steps reached is printed so that
// the replay uses --steps.

#include "Exerciser.h"

#include <QApplication>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

// Under AddressSanitizer its own report of a crash comes first, then ours.
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

constexpr int kHangSeconds = 20;

Exerciser *running = nullptr;
uint64_t runSeed = 0;
std::atomic<long long> stepsDone{0};

void printFailure(const char *what)
{
    if (!running)
        return;
    std::fprintf(stderr, "\nkavra_exerciser: %s at step %lld of seed %llu\nLast actions:\n", what, running->steps(),
                 static_cast<unsigned long long>(runSeed));
    for (const QString &line : running->history())
        std::fprintf(stderr, "  %s\n", line.toLocal8Bit().constData());
    std::fprintf(stderr, "Replay: kavra_exerciser --seed %llu --steps %lld\n", static_cast<unsigned long long>(runSeed),
                 running->steps());
    std::fflush(stderr);
}

[[maybe_unused]] void onDeath()
{
    printFailure("the process died");
}

[[maybe_unused]] void onSignal(int signal)
{
    printFailure(signal == SIGABRT ? "abort" : "crash");
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// A step that takes far longer than any should is a hang.
void watchForHangs()
{
    std::thread([] {
        long long seen = -1;
        int still = 0;
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const long long now = stepsDone.load();
            still = now == seen ? still + 1 : 0;
            seen = now;
            if (still >= kHangSeconds) {
                printFailure("a step hangs");
                std::_Exit(3);
            }
        }
    }).detach();
}

struct Options {
    uint64_t seed = 1;
    long long steps = 0;
    double seconds = 0;
    bool ok = true;
};

Options parse(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--seed" && value)
            options.seed = std::strtoull(value, nullptr, 10), ++i;
        else if (arg == "--steps" && value)
            options.steps = std::atoll(value), ++i;
        else if (arg == "--seconds" && value)
            options.seconds = std::atof(value), ++i;
        else
            options.ok = false;
    }
    if (options.steps <= 0 && options.seconds <= 0)
        options.ok = false;
    return options;
}

}  // namespace

// The offscreen platform's notes about what it cannot do are not faults.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (text.contains(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s%s\n", type >= QtCriticalMsg ? "critical: " : "", text.toLocal8Bit().constData());
}

int main(int argc, char **argv)
{
    const Options options = parse(argc, argv);
    if (!options.ok) {
        std::fprintf(stderr, "usage: kavra_exerciser [--seed S] (--steps N | --seconds T)\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_HASH_SEED", "0");
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);

    Exerciser exerciser(options.seed);
    running = &exerciser;
    runSeed = options.seed;
#ifdef __SANITIZE_ADDRESS__
    __sanitizer_set_death_callback(onDeath);
#else
    std::signal(SIGSEGV, onSignal);
    std::signal(SIGABRT, onSignal);
    std::signal(SIGFPE, onSignal);
#endif
    watchForHangs();

    std::printf("kavra_exerciser: seed %llu\n", static_cast<unsigned long long>(options.seed));
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (;;) {
        if (options.steps > 0 && exerciser.steps() >= options.steps)
            break;
        if (options.steps <= 0 && elapsed() >= options.seconds)
            break;
        if (const auto failure = exerciser.step()) {
            printFailure(("invariant failed: " + failure->toStdString()).c_str());
            running = nullptr;
            return 1;
        }
        stepsDone = exerciser.steps();
    }
    running = nullptr;
    const double seconds = elapsed();
    std::printf("kavra_exerciser: %lld steps in %.1f s (%.0f steps/s), no fault\nactions:", exerciser.steps(), seconds,
                double(exerciser.steps()) / std::max(seconds, 1e-9));
    for (const auto &[kind, count] : exerciser.actionCounts())
        std::printf(" %s %lld;", kind.c_str(), count);
    std::printf("\n");
    std::printf("Replay: kavra_exerciser --seed %llu --steps %lld\n", static_cast<unsigned long long>(options.seed),
                exerciser.steps());
    return 0;
}
