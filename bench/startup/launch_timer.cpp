// Starts a program N times on the current X display and prints, for each run,
// the milliseconds from fork to the first top-level window being mapped, then
// the median, and the resident memory of the last run after it has idled.
//
//   bench_startup RUNS IDLE_MS PROGRAM [ARGS...]
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Waits for a MapNotify of a child of the root; false after 10 s.
bool waitForMap(xcb_connection_t *connection)
{
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (event == nullptr) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        std::free(event);
        if (mapped)
            return true;
    }
    return false;
}
}  // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_startup RUNS IDLE_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const int idleMs = std::atoi(argv[2]);
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "bench_startup: no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    std::vector<double> times;
    long rss = -1;
    for (int i = 0; i < runs; ++i) {
        const auto started = Clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            execvp(argv[3], argv + 3);
            _exit(127);
        }
        const bool mapped = waitForMap(connection);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        if (!mapped) {
            std::fprintf(stderr, "run %d: no window within 10 s\n", i + 1);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return 1;
        }
        times.push_back(ms);
        std::printf("run %2d: %.1f ms\n", i + 1, ms);
        if (i == runs - 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
            rss = residentKiB(pid);
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        // Drop the unmap and destroy notifications of this run.
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection))
            std::free(event);
    }
    std::sort(times.begin(), times.end());
    const double median = times.size() % 2 == 1
                              ? times[times.size() / 2]
                              : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2.0;
    std::printf("median launch to mapped window: %.1f ms over %d runs\n", median, runs);
    std::printf("resident memory once idle: %.1f MiB\n", static_cast<double>(rss) / 1024.0);
    xcb_disconnect(connection);
    return 0;
}
