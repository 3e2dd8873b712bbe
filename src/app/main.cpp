#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>

#include <dlfcn.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "OrvaneE_Class.h"

namespace {

QByteArray env(const char* name) {
    return qgetenv(name);
}

// Whether an X server answers at $DISPLAY. libxcb is what Qt's X11 plugin uses; it is
// loaded only for this question, so the program itself does not link against it.
bool xDisplayOpens() {
    if (env("DISPLAY").isEmpty()) {
        return false;
    }
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb == nullptr) {
        return true;  // cannot tell: let Qt try
    }
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool opens = true;
    if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
        void* connection = connect(nullptr, nullptr);
        opens = hasError(connection) == 0;
        disconnect(connection);
    }
    dlclose(xcb);
    return opens;
}

// Whether a Wayland compositor listens at $WAYLAND_DISPLAY (a socket name under
// $XDG_RUNTIME_DIR, or a full path).
bool waylandDisplayAnswers() {
    QByteArray name = env("WAYLAND_DISPLAY");
    if (name.isEmpty()) {
        name = "wayland-0";
    }
    if (!name.startsWith('/')) {
        const QByteArray runtime = env("XDG_RUNTIME_DIR");
        if (runtime.isEmpty()) {
            return false;
        }
        name = runtime + '/' + name;
    }
    sockaddr_un address{};
    if (name.size() >= qsizetype(sizeof(address.sun_path))) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answers =
        fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return answers;
}

bool waylandPluginInstalled() {
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                             QStringLiteral("/platforms/libqwayland-generic.so"));
}

// Qt ends the program with an abort when no window system can be reached; say instead, in
// one line, what is wrong. Empty when a window can open (or another platform was asked for).
QByteArray displayProblem() {
    const QByteArray platform = env("QT_QPA_PLATFORM");
    const bool anyPlatform = platform.isEmpty();
    if (!anyPlatform && !platform.startsWith("xcb") && !platform.startsWith("wayland")) {
        return {};
    }
    const bool waylandSession =
        !env("WAYLAND_DISPLAY").isEmpty() || env("XDG_SESSION_TYPE") == "wayland";
    const bool wantWayland = platform.startsWith("wayland") || (anyPlatform && waylandSession);
    if (wantWayland && waylandDisplayAnswers()) {
        if (waylandPluginInstalled()) {
            return {};
        }
        if (!platform.isEmpty() || env("DISPLAY").isEmpty()) {
            return "no Wayland support for Qt is installed (Debian package qt6-wayland); "
                   "or set DISPLAY to an X server (XWayland)";
        }
    }
    if (platform.startsWith("wayland")) {
        return "cannot reach the Wayland compositor \"" + env("WAYLAND_DISPLAY") +
               "\" (WAYLAND_DISPLAY)";
    }
    if (xDisplayOpens()) {
        return {};
    }
    if (!env("DISPLAY").isEmpty()) {
        return "cannot open the X display \"" + env("DISPLAY") +
               "\" (DISPLAY): no X server answers there, or it refuses this user";
    }
    if (waylandSession) {
        return "cannot reach the Wayland compositor \"" + env("WAYLAND_DISPLAY") +
               "\" (WAYLAND_DISPLAY), and DISPLAY is not set";
    }
    return "no display: set DISPLAY or WAYLAND_DISPLAY, or start it under xvfb-run "
           "(Debian package xvfb)";
}

// Outside a login session XDG_RUNTIME_DIR is unset and Qt warns on every start; give it
// the folder it would pick itself, made private as it wants.
void provideRuntimeDir() {
    if (!env("XDG_RUNTIME_DIR").isEmpty()) {
        return;
    }
    const passwd* user = getpwuid(getuid());
    const QString dir =
        QDir::tempPath() + QStringLiteral("/runtime-") +
        (user != nullptr ? QString::fromLocal8Bit(user->pw_name) : QString::number(getuid()));
    const QByteArray path = QFile::encodeName(dir);
    struct stat info {};
    const bool made = mkdir(path.constData(), 0700) == 0 ||
                      (lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
                       info.st_uid == getuid() && (info.st_mode & 0077) == 0);
    if (made) {
        qputenv("XDG_RUNTIME_DIR", path);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    const QByteArray problem = displayProblem();
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "orvane-editor: %s\n", problem.constData());
        return 1;
    }
    provideRuntimeDir();
    QApplication app(argc, argv);
    return OrvaneE_Class::run(app);
}
