// Whole-process startup of orvane-editor under a running X server (DISPLAY), beside a bare
// Qt Widgets window as the yardstick. For each run the program starts with a home folder of
// its own; the X server's map notifications give the moments the splash and the editor are
// shown. Once the editor is up, resident memory is read, and CPU time and context switches
// are sampled over an idle spell: a program that sits idle uses neither.
//
// Prints one line per figure, tab-separated: name, min, median and max over the runs, unit;
// the runs alternate between the bare window and the program.
// Usage: bench_startup [--runs N] [--idle-ms MS] [--program PATH] [--bare PATH]
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// ---- /proc figures of a running process

long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

// User plus system CPU time, in milliseconds.
double cpuMs(pid_t pid) {
    std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // The command name may hold blanks; the fields after it start past the last ')'.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) {
            utime = std::stoull(field);
        } else if (i == 15) {
            stime = std::stoull(field);
        }
    }
    return double(utime + stime) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// Voluntary and involuntary context switches of every thread: each wake-up of a sleeping
// thread (a timer, a poll that returns) adds one.
long long contextSwitches(pid_t pid) {
    long long total = 0;
    std::error_code error;
    for (const auto& task :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
                line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
                total += std::stoll(line.substr(line.find(':') + 1));
            }
        }
    }
    return total;
}

// ---- X windows

struct XAtoms {
    Atom netWmName, utf8String, windowType, splashType;
    explicit XAtoms(Display* display)
        : netWmName(XInternAtom(display, "_NET_WM_NAME", False)),
          utf8String(XInternAtom(display, "UTF8_STRING", False)),
          windowType(XInternAtom(display, "_NET_WM_WINDOW_TYPE", False)),
          splashType(XInternAtom(display, "_NET_WM_WINDOW_TYPE_SPLASH", False)) {}
};

std::string windowTitle(Display* display, const XAtoms& atoms, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, atoms.netWmName, 0, 1024, False, atoms.utf8String,
                           &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<char*>(data), count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return title;
}

bool isSplash(Display* display, const XAtoms& atoms, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool splash = false;
    if (XGetWindowProperty(display, window, atoms.windowType, 0, 16, False, XA_ATOM, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        const Atom* types = reinterpret_cast<const Atom*>(data);
        splash = std::find(types, types + count, atoms.splashType) != types + count;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return splash;
}

// ---- one run

struct RunFigures {
    std::optional<double> splashShownMs;
    std::optional<double> windowShownMs;  // the window titled `title`
    double residentMiB = 0;
    double idleCpuMs = 0;
    double idleWakeupsPerSecond = 0;
};

std::string seededHome() {
    char pattern[] = "/tmp/bench_startup.XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    const fs::path home(made);
    fs::create_directories(home / ".config/Tessaly");
    fs::create_directories(home / "run");
    fs::permissions(home / "run", fs::perms::owner_all);
    // An ordinary start: the first run's settings are already there, no tips, no wizard.
    std::ofstream(home / ".config/Tessaly/Orvane Editor.conf")
        << "[SOFTWARE]\n"
           "Tessaly\\Orvane%20Editor\\Version=1.0.0\n"
           "Tessaly\\Orvane%20Editor\\Option\\Default%20Link=HTTP\n"
           "Tessaly\\Orvane%20Editor\\Option\\Show%20Tips%20at%20Startup=0\n"
           "Tessaly\\Orvane%20Editor\\Option\\Show%20Editor%20at%20Startup=0\n";
    return home.string();
}

pid_t spawn(const std::string& program, const std::string& home) {
    std::vector<std::string> variables;
    const std::vector<std::string> replaced = {
        "HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
        "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "QT_QPA_PLATFORM"};
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry(*variable);
        const std::string name = entry.substr(0, entry.find('='));
        if (std::find(replaced.begin(), replaced.end(), name) == replaced.end()) {
            variables.push_back(entry);
        }
    }
    variables.push_back("HOME=" + home);
    variables.push_back("XDG_CONFIG_HOME=" + home + "/.config");
    variables.push_back("XDG_DATA_HOME=" + home + "/.local/share");
    variables.push_back("XDG_CACHE_HOME=" + home + "/.cache");
    variables.push_back("XDG_RUNTIME_DIR=" + home + "/run");
    variables.push_back("QT_QPA_PLATFORM=xcb");
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::string argument0 = program;
    char* argv[] = {argument0.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, home.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(error));
        std::exit(1);
    }
    return pid;
}

// Starts `program`, waits until the window titled `title` is mapped (the splash before it
// when there is one), lets it settle and samples the idle process.
std::optional<RunFigures> measure(Display* display, const std::string& program,
                                  const std::string& title, int settleMs, int idleMs) {
    const XAtoms atoms(display);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);  // drop what happened before this run

    const std::string home = seededHome();
    RunFigures figures;
    const Clock::time_point start = Clock::now();
    const pid_t pid = spawn(program, home);

    bool exited = false;
    while (!figures.windowShownMs && !exited && msSince(start) < 30000) {
        if (XPending(display) == 0) {
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 50);
            int status = 0;
            exited = waitpid(pid, &status, WNOHANG) == pid;
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify) {
            continue;
        }
        const double at = msSince(start);
        const Window window = event.xmap.window;
        if (!figures.splashShownMs && isSplash(display, atoms, window)) {
            figures.splashShownMs = at;
        } else if (windowTitle(display, atoms, window) == title) {
            figures.windowShownMs = at;
        }
    }
    XSelectInput(display, root, NoEventMask);

    std::optional<RunFigures> result;
    if (figures.windowShownMs && !exited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        figures.residentMiB = double(residentKiB(pid)) / 1024.0;
        const double cpuBefore = cpuMs(pid);
        const long long switchesBefore = contextSwitches(pid);
        std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
        figures.idleCpuMs = cpuMs(pid) - cpuBefore;
        figures.idleWakeupsPerSecond =
            double(contextSwitches(pid) - switchesBefore) * 1000.0 / double(idleMs);
        result = figures;
    } else {
        std::fprintf(stderr, "%s: no window \"%s\" within 30 s%s\n", program.c_str(), title.c_str(),
                     exited ? " (the program ended)" : "");
    }
    if (!exited) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// name, min, median, max, unit
void printRow(const std::string& name, const std::vector<double>& values, const char* unit) {
    if (!values.empty()) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        std::printf("%s\t%.1f\t%.1f\t%.1f\t%s\n", name.c_str(), *low, median(values), *high, unit);
    }
}

// Each run's figure over the bare window's of the same pair.
void printRatio(const std::string& name, const std::vector<double>& values,
                const std::vector<double>& bare) {
    std::vector<double> ratios;
    for (size_t i = 0; i < std::min(values.size(), bare.size()); ++i) {
        ratios.push_back(values[i] / bare[i]);
    }
    if (!ratios.empty()) {
        const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
        std::printf("%s\t%.2f\t%.2f\t%.2f\tx bare\n", name.c_str(), *low, median(ratios), *high);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    int runs = 5;
    int idleMs = 3000;
    int settleMs = 1000;
    std::string program = ORVANE_PROGRAM;
    std::string bare = BARE_PROGRAM;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (option == "--idle-ms") {
            idleMs = std::max(100, std::atoi(argv[i + 1]));
        } else if (option == "--program") {
            program = argv[i + 1];
        } else if (option == "--bare") {
            bare = argv[i + 1];
        } else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "bench_startup needs an X server: set DISPLAY (xvfb-run)\n");
        return 1;
    }

    std::map<std::string, std::vector<double>> bareFigures;
    std::map<std::string, std::vector<double>> figures;
    for (int run = 0; run < runs; ++run) {
        const auto b = measure(display, bare, "Bare Qt window", settleMs, idleMs);
        if (!b) {
            std::fprintf(stderr, "run %d: no bare window\n", run + 1);
            return 1;
        }
        bareFigures["shown"].push_back(*b->windowShownMs);
        bareFigures["resident"].push_back(b->residentMiB);
        const auto f = measure(display, program, "Orvane Editor", settleMs, idleMs);
        if (!f || !f->splashShownMs) {
            std::fprintf(stderr, "run %d: no splash and editor\n", run + 1);
            return 1;
        }
        figures["splash"].push_back(*f->splashShownMs);
        figures["editor"].push_back(*f->windowShownMs);
        figures["splash period"].push_back(*f->windowShownMs - *f->splashShownMs);
        figures["resident"].push_back(f->residentMiB);
        figures["idle cpu"].push_back(f->idleCpuMs);
        figures["idle wakeups"].push_back(f->idleWakeupsPerSecond);
    }
    XCloseDisplay(display);

    const std::string idle = " over " + std::to_string(idleMs) + " ms idle";
    printRow("startup: bare Qt window, start to shown", bareFigures["shown"], "ms");
    printRow("startup: bare Qt window, resident memory", bareFigures["resident"], "MiB");
    printRow("startup: start to splash shown", figures["splash"], "ms");
    printRow("startup: start to editor shown (splash period included)", figures["editor"], "ms");
    // The splash's timer asks for 3000 ms; a coarse Qt timer may end it up to 5 % early.
    printRow("startup: splash period, splash shown to editor shown", figures["splash period"],
             "ms");
    printRow("startup: resident memory after startup", figures["resident"], "MiB");
    printRatio("startup: start to splash shown, against the bare window", figures["splash"],
               bareFigures["shown"]);
    printRatio("startup: resident memory, against the bare window", figures["resident"],
               bareFigures["resident"]);
    printRow("startup: CPU time" + idle, figures["idle cpu"], "ms");
    printRow("startup: wake-ups (context switches) while idle", figures["idle wakeups"], "per s");
    return 0;
}
