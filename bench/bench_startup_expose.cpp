// From the spawn of a process to the first Expose of its top-level window, on
// an Xvfb of its own, for the program and for the smallest Qt Widgets window of
// the same size, alternating in one run; then each one's RSS once painted and
// idle.
//
// This client takes the window manager's part (SubstructureRedirect on the
// root): a top-level window is mapped only when it asks for the window to be
// mapped, after it has selected Expose on the window, so no Expose can come
// before the selection, however fast the program maps after creating.
#include "bench/figure_row.h"
#include "bench/spawn_arguments.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
using orvane::bench::FigureRow;
using orvane::bench::format;
using orvane::bench::median;

[[noreturn]] void fail(const std::string &why)
{
    std::fprintf(stderr, "bench_startup_expose: %s\n", why.c_str());
    std::exit(1);
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Starts Xvfb on a free display and returns its pid and display number.
std::pair<pid_t, std::string> startXvfb()
{
    int fds[2];
    if (pipe(fds) != 0)
        fail("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args{"Xvfb",         "-displayfd", "3",   "-screen", "0",
                                  "1280x1024x24", "-nolisten",  "tcp", "-noreset"};
    std::vector<char *> argv = pointersTo(args);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ) != 0)
        fail("cannot start Xvfb (Debian: xvfb)");
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        fail("Xvfb did not say its display");
    return {pid, ":" + number};
}

// CPU time (user + system, in clock ticks) of a process.
long cpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    // Fields after the command: state is the 3rd field; utime and stime the 14th and 15th.
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

class Display {
public:
    explicit Display(const std::string &name)
    {
        m_connection = xcb_connect(name.c_str(), nullptr);
        if (xcb_connection_has_error(m_connection))
            fail("cannot connect to " + name);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask =
            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_generic_error_t *error = xcb_request_check(
            m_connection,
            xcb_change_window_attributes_checked(m_connection, m_root, XCB_CW_EVENT_MASK, &mask));
        if (error) {
            std::free(error);
            fail("another client manages the display's windows");
        }
    }
    ~Display() { xcb_disconnect(m_connection); }

    // Handles the display's events until `done` says so or `timeoutMs` passes;
    // returns the time of the first Expose of a top-level window mapped since
    // the last call, if one came.
    bool pump(int timeoutMs, const std::function<bool()> &done, Clock::time_point *exposed)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            xcb_flush(m_connection);
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                handle(event, exposed);
                std::free(event);
            }
            if (done())
                break;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                    .count();
            if (left <= 0)
                return false;
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            poll(&fd, 1, int(std::min<long>(left, 20)));
            if (xcb_connection_has_error(m_connection))
                fail("lost the display");
        }
        return true;
    }

    void expectExpose() { m_waiting = true; }
    bool waiting() const { return m_waiting; }

private:
    void handle(xcb_generic_event_t *event, Clock::time_point *exposed)
    {
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
            if (created->parent == m_root)
                selectExpose(created->window);
            break;
        }
        case XCB_MAP_REQUEST: {
            const auto *request = reinterpret_cast<xcb_map_request_event_t *>(event);
            selectExpose(request->window); // before the map, in this client's order
            xcb_map_window(m_connection, request->window);
            break;
        }
        case XCB_CONFIGURE_REQUEST: {
            const auto *request = reinterpret_cast<xcb_configure_request_event_t *>(event);
            std::vector<uint32_t> values;
            const uint16_t mask = request->value_mask;
            if (mask & XCB_CONFIG_WINDOW_X)
                values.push_back(uint32_t(request->x));
            if (mask & XCB_CONFIG_WINDOW_Y)
                values.push_back(uint32_t(request->y));
            if (mask & XCB_CONFIG_WINDOW_WIDTH)
                values.push_back(request->width);
            if (mask & XCB_CONFIG_WINDOW_HEIGHT)
                values.push_back(request->height);
            if (mask & XCB_CONFIG_WINDOW_BORDER_WIDTH)
                values.push_back(request->border_width);
            if (mask & XCB_CONFIG_WINDOW_SIBLING)
                values.push_back(request->sibling);
            if (mask & XCB_CONFIG_WINDOW_STACK_MODE)
                values.push_back(request->stack_mode);
            xcb_configure_window(m_connection, request->window, mask, values.data());
            break;
        }
        case XCB_EXPOSE:
            if (m_waiting) {
                *exposed = Clock::now();
                m_waiting = false;
            }
            break;
        default:
            break; // errors about windows already gone, notifications
        }
    }

    void selectExpose(xcb_window_t window)
    {
        const uint32_t mask = XCB_EVENT_MASK_EXPOSURE;
        xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    bool m_waiting = false;
};

struct Sample {
    double startMs = 0;
    double idleRssMb = 0;
};

Sample startOnce(Display &display, const std::string &program, std::vector<char *> &env,
                 const std::filesystem::path &folder)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string log = (folder.parent_path() / "child.log").string();
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string path = program;
    char *argv[] = {path.data(), nullptr};

    display.expectExpose();
    Clock::time_point exposed;
    pid_t pid = 0;
    const auto start = Clock::now();
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, env.data()) != 0)
        fail("cannot start " + program);
    posix_spawn_file_actions_destroy(&actions);
    if (!display.pump(
            20000, [&] { return !display.waiting(); }, &exposed))
        fail(program + " showed no window; see " + log);
    Sample sample;
    sample.startMs = std::chrono::duration<double, std::milli>(exposed - start).count();

    // Idle: no CPU time spent for a quarter of a second.
    long last = cpuTicks(pid);
    int still = 0;
    const auto idleStart = Clock::now();
    while (still < 5 && msSince(idleStart) < 5000) {
        display.pump(
            50, [] { return false; }, &exposed);
        const long now = cpuTicks(pid);
        still = now == last ? still + 1 : 0;
        last = now;
    }
    sample.idleRssMb = double(orvane::bench::statusKb(std::to_string(pid), "VmRSS")) / 1024.0;

    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    display.pump(
        100, [] { return false; }, &exposed); // the windows' destruction
    return sample;
}

std::string argument(int argc, char **argv, const std::string &name, const std::string &fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] == name)
            return argv[i + 1];
    }
    return fallback;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string program = argument(argc, argv, "--program", ORVANE_PROGRAM_PATH);
    const std::string floorProgram = argument(argc, argv, "--floor", MINIMAL_WINDOW_PATH);
    const int runs = std::stoi(argument(argc, argv, "--runs", "15"));
    const bool verbose = argument(argc, argv, "--verbose", "0") != "0";

    signal(SIGPIPE, SIG_IGN);
    const auto [xvfb, displayName] = startXvfb();
    std::vector<Sample> samples[2];
    {
        Display display(displayName);
        std::string folderTemplate =
            (std::filesystem::temp_directory_path() / "bench_startup_expose.XXXXXX");
        if (!mkdtemp(folderTemplate.data()))
            fail("no temporary folder");
        // An empty working folder: no saved-login file of the machine's is read.
        const std::filesystem::path work = std::filesystem::path(folderTemplate) / "work";
        std::filesystem::create_directory(work);

        std::vector<std::string> envStrings;
        for (char **entry = environ; *entry; ++entry) {
            if (std::strncmp(*entry, "DISPLAY=", 8) != 0 &&
                std::strncmp(*entry, "QT_QPA_PLATFORM=", 16) != 0 &&
                std::strncmp(*entry, "WAYLAND_DISPLAY=", 16) != 0)
                envStrings.emplace_back(*entry);
        }
        envStrings.push_back("DISPLAY=" + displayName);
        envStrings.emplace_back("QT_QPA_PLATFORM=xcb");
        std::vector<char *> env = pointersTo(envStrings);

        const std::string programs[2] = {program, floorProgram};
        startOnce(display, program, env, work); // warms the file cache for both
        startOnce(display, floorProgram, env, work);
        for (int run = 0; run < 2 * runs; ++run) {
            const int which = run % 2;
            const Sample sample = startOnce(display, programs[which], env, work);
            samples[which].push_back(sample);
            if (verbose)
                std::fprintf(stderr, "%s: %.1f ms, %.1f MB\n", which ? "minimal" : "orvane",
                             sample.startMs, sample.idleRssMb);
        }
        std::filesystem::remove_all(folderTemplate);
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);

    auto medianOf = [&](int which, double Sample::*field) {
        std::vector<double> values;
        for (const Sample &s : samples[which])
            values.push_back(s.*field);
        return median(values);
    };
    const double start = medianOf(0, &Sample::startMs);
    const double startFloor = medianOf(1, &Sample::startMs);
    const double rss = medianOf(0, &Sample::idleRssMb);
    const double rssFloor = medianOf(1, &Sample::idleRssMb);
    const std::string of = " (median of " + std::to_string(runs) + ")";
    orvane::bench::printRow({"start-up to first Expose" + of, format("%.1f ms", start),
                             format("minimal window %.1f ms", startFloor), start / startFloor,
                             "<= 1.3x", start / startFloor <= 1.3});
    orvane::bench::printRow({"idle RSS once painted" + of, format("%.1f MB", rss),
                             format("minimal window %.1f MB", rssFloor), rss / rssFloor, "<= 1.3x",
                             rss / rssFloor <= 1.3});
    return 0;
}
