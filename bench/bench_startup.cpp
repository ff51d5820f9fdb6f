// From process start to the first painted window. Each iteration starts this
// executable again in its child mode, which runs the program's own body on the
// offscreen platform and says "shown" over a pipe once the window has painted.
#include "app/run_program.h"
#include "bench/spawn_arguments.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr char kChildMode[] = "--startup-child";
constexpr int kShownFd = 3;
constexpr std::string_view kShown = "shown\n";

int runChild(int argc, char *argv[])
{
    return orvane::runProgram(argc, argv, [] {
        const bool told = write(kShownFd, kShown.data(), kShown.size()) == ssize_t(kShown.size());
        close(kShownFd);
        QCoreApplication::exit(told ? 0 : 1);
    });
}

// The caller's environment on the offscreen platform.
std::vector<std::string> childEnvironment()
{
    std::vector<std::string> env;
    for (char **entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*entry);
    }
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    return env;
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One start of the program: the time from the spawn to its "shown", or why
// there is none.
struct Start {
    double seconds = 0;
    std::string error;
};

Start startOnce(const std::string &program, const std::filesystem::path &folder,
                std::vector<char *> &env)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return {0, "no pipe"};
    // An empty working folder: no saved-login file of the machine's is read.
    const std::string log = (folder / "child.log").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], kShownFd);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string mode = kChildMode;
    std::string path = program;
    char *argv[] = {path.data(), mode.data(), nullptr};

    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, env.data());
    close(pipeFds[1]);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        close(pipeFds[0]);
        return {0, "cannot start " + program + ": " + std::strerror(spawned)};
    }

    std::string said;
    char buffer[64];
    ssize_t got = 0;
    while (said.find(kShown) == std::string::npos &&
           (got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        said.append(buffer, size_t(got));
    const auto shown = std::chrono::steady_clock::now();
    close(pipeFds[0]);

    int status = 0;
    waitpid(pid, &status, 0);
    if (said.find(kShown) == std::string::npos || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {0, "the program did not show its window: " + readFile(log)};
    return {std::chrono::duration<double>(shown - start).count(), {}};
}

void BM_StartToFirstShownWindow(benchmark::State &state)
{
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string folderTemplate = (std::filesystem::temp_directory_path() / "bench_startup.XXXXXX");
    if (!mkdtemp(folderTemplate.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path folder = folderTemplate;
    std::vector<std::string> envStrings = childEnvironment();
    std::vector<char *> env = pointersTo(envStrings);

    for (auto _ : state) {
        const Start start = startOnce(program, folder, env);
        if (!start.error.empty()) {
            state.SkipWithError(start.error.c_str());
            break;
        }
        state.SetIterationTime(start.seconds);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace

BENCHMARK(BM_StartToFirstShownWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (argc >= 2 && std::strcmp(argv[1], kChildMode) == 0)
        return runChild(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
