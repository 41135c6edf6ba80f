// Starts each program N times on the current X display, taking them in turn
// so that every program meets the same machine load, and prints for each run
// the milliseconds from fork to the first top-level window being mapped; then
// per program the median, its ratio to the first program's median, and the
// resident memory of its last run after it has idled.
//
//   bench_startup RUNS IDLE_MS PROGRAM [PROGRAM...]
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
        std::fprintf(stderr, "usage: bench_startup RUNS IDLE_MS PROGRAM [PROGRAM...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const int idleMs = std::atoi(argv[2]);
    const std::vector<char *> programs(argv + 3, argv + argc);
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "bench_startup: no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    std::vector<std::vector<double>> times(programs.size());
    std::vector<long> rss(programs.size(), -1);
    for (int i = 0; i < runs; ++i) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const auto started = Clock::now();
            const pid_t pid = fork();
            if (pid == 0) {
                char *const args[] = {programs[p], nullptr};
                execvp(programs[p], args);
                _exit(127);
            }
            const bool mapped = waitForMap(connection);
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - started).count();
            if (!mapped) {
                std::fprintf(stderr, "%s run %d: no window within 10 s\n", programs[p], i + 1);
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
                return 1;
            }
            times[p].push_back(ms);
            std::printf("run %2d %s: %.1f ms\n", i + 1, programs[p], ms);
            if (i == runs - 1) {
                std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
                rss[p] = residentKiB(pid);
            }
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            // Drop the unmap and destroy notifications of this run.
            while (xcb_generic_event_t *event = xcb_poll_for_event(connection))
                std::free(event);
        }
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2.0;
    };
    const double first = median(times[0]);
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const double m = median(times[p]);
        std::printf("%s: median launch to mapped window %.1f ms over %d runs, %.2f x the first, "
                    "%.1f MiB resident once idle\n",
                    programs[p], m, runs, m / first, static_cast<double>(rss[p]) / 1024.0);
    }
    xcb_disconnect(connection);
    return 0;
}
