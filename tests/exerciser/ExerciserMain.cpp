// kavra_exerciser: a seeded random walk over the whole main window, checking
// every invariant after each step.
//
//   kavra_exerciser [--classic] [--seed S] (--steps N | --seconds T) [--memory-mb M]
//
// A failure prints the seed, the step, the last 50 actions and the command that
// replays the run; with --seconds the number of steps reached is printed so that
// the replay uses --steps. --classic runs the same walk over the classic edition
// (kavra_exerciser_classic, beside this program). The resident memory is
// measured every 500 steps: from step 1000 on it must stay within M MiB (by
// default: twice what it was at step 1000, and at least that plus 256 MiB, or
// plus 1 GiB under AddressSanitizer).

#include "Exerciser.h"

#include "ui/Edition.h"

#include <QApplication>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

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
    rlimit size{};  // a step that meets a full disk must not keep the report from its log
    if (getrlimit(RLIMIT_FSIZE, &size) == 0) {
        size.rlim_cur = size.rlim_max;
        setrlimit(RLIMIT_FSIZE, &size);
    }
    std::fprintf(stderr, "\nkavra_exerciser: %s at step %lld of seed %llu\nLast actions:\n", what, running->steps(),
                 static_cast<unsigned long long>(runSeed));
    for (const QString &line : running->history())
        std::fprintf(stderr, "  %s\n", line.toLocal8Bit().constData());
    std::fprintf(stderr, "Replay: kavra_exerciser%s --seed %llu --steps %lld\n",
                 kavra::kClassicEdition ? " --classic" : "", static_cast<unsigned long long>(runSeed), running->steps());
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
    double memoryMb = 0;
    bool classic = false;
    bool ok = true;
};

constexpr long long kMemoryBaseStep = 1000, kMemoryEvery = 500;
// Under AddressSanitizer freed memory waits in its quarantine (256 MiB) and the
// allocator keeps its own caches, all of it resident.
#ifdef __SANITIZE_ADDRESS__
constexpr double kMemoryAllowanceMb = 1024;
#else
constexpr double kMemoryAllowanceMb = 256;
#endif

// The resident set of this process, in MiB.
double residentMb()
{
    long pages = 0, resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The classic edition's exerciser, beside this one, in place of this process.
int runClassic(char **argv)
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::fprintf(stderr, "kavra_exerciser: cannot find its own folder\n");
        return 2;
    }
    self[length] = '\0';
    std::string classic = self;
    classic = classic.substr(0, classic.rfind('/') + 1) + "kavra_exerciser_classic";
    execv(classic.c_str(), argv);
    std::fprintf(stderr, "kavra_exerciser: cannot run %s: %s\n", classic.c_str(), std::strerror(errno));
    return 2;
}

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
        else if (arg == "--memory-mb" && value)
            options.memoryMb = std::atof(value), ++i;
        else if (arg == "--classic")
            options.classic = true;
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
        std::fprintf(stderr, "usage: kavra_exerciser [--classic] [--seed S] (--steps N | --seconds T) [--memory-mb M]\n");
        return 2;
    }
    if (options.classic && !kavra::kClassicEdition)
        return runClassic(argv);
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

    std::printf("kavra_exerciser: seed %llu%s\n", static_cast<unsigned long long>(options.seed),
                kavra::kClassicEdition ? ", classic edition" : "");
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double baseMb = 0, limitMb = 0, highestMb = 0;
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
        if (exerciser.steps() % kMemoryEvery == 0) {
            const double now = residentMb();
            if (exerciser.steps() == kMemoryBaseStep) {
                baseMb = now;
                limitMb = options.memoryMb > 0 ? options.memoryMb : std::max(2 * now, now + kMemoryAllowanceMb);
            }
            highestMb = std::max(highestMb, now);
            if (limitMb > 0 && now > limitMb) {
                const std::string what = "memory grows: " + std::to_string(int(now)) + " MiB resident, " +
                                         std::to_string(int(baseMb)) + " MiB at step 1000, limit " +
                                         std::to_string(int(limitMb)) + " MiB";
                printFailure(what.c_str());
                running = nullptr;
                return 1;
            }
        }
    }
    running = nullptr;
    const double seconds = elapsed();
    std::printf("kavra_exerciser: %lld steps in %.1f s (%.0f steps/s), no fault\nactions:", exerciser.steps(), seconds,
                double(exerciser.steps()) / std::max(seconds, 1e-9));
    for (const auto &[kind, count] : exerciser.actionCounts())
        std::printf(" %s %lld;", kind.c_str(), count);
    std::printf("\nchecks:");
    for (const auto &[kind, count] : exerciser.checkCounts())
        std::printf(" %s %lld;", kind.c_str(), count);
    std::printf("\n");
    std::printf("memory: %.0f MiB resident at step %lld, highest %.0f MiB, at the end %.0f MiB\n", baseMb,
                kMemoryBaseStep, highestMb, residentMb());
    std::printf("Replay: kavra_exerciser%s --seed %llu --steps %lld\n", kavra::kClassicEdition ? " --classic" : "",
                static_cast<unsigned long long>(options.seed), exerciser.steps());
    std::fflush(stdout);
    // Qt's pooled threads end by themselves after half a minute idle; one that
    // ends while the leak check at exit holds the other threads still can crash
    // that check. They are ended here, before it runs.
    QThreadPool::globalInstance()->waitForDone();
    return 0;
}
