// tvx-random-ops: runs random operation sequences of any seed and length,
// and shrinks a failing one to the shortest sequence it can find, printed
// as C++ to paste into a regression test.
//
// Every attempt runs in a child process: the services root is process-wide,
// so a run cannot start from scratch in the same process.
#include "tests/randomops/engine/RandomOps.h"

#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

using namespace tvx::randomops;

struct Attempt {
    bool Failed = false;
    // The check that failed, or "crash" for a child that died.
    std::string Signature;
    std::string Detail;
    std::size_t FailedStep = 0;
};

Attempt RunInChild(const std::vector<Op>& ops, bool quiet)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        throw std::runtime_error("pipe failed");
    std::cout.flush();
    std::cerr.flush();
    pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        ::close(pipeFds[0]);
        if (quiet) {
            int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        RunResult result = Run(ops);
        std::string report =
            result.Ok ? "ok" : std::to_string(result.FailedStep) + "\t" + result.Check + "\t" + result.Message;
        [[maybe_unused]] auto written = ::write(pipeFds[1], report.data(), report.size());
        ::close(pipeFds[1]);
        // No exit handlers: a failed run leaves its world behind on purpose.
        ::_exit(result.Ok ? 0 : 3);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, std::size_t(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    Attempt attempt;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && report == "ok")
        return attempt;
    attempt.Failed = true;
    std::istringstream fields(report);
    std::string step;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3 && std::getline(fields, step, '\t') &&
        std::getline(fields, attempt.Signature, '\t')) {
        std::getline(fields, attempt.Detail);
        attempt.FailedStep = std::stoul(step);
    } else {
        attempt.Signature = "crash";
        attempt.Detail = WIFSIGNALED(status) ? "killed by signal " + std::to_string(WTERMSIG(status))
                                             : "exit status " + std::to_string(WEXITSTATUS(status));
        attempt.FailedStep = ops.empty() ? 0 : ops.size() - 1;
    }
    return attempt;
}

// Delta debugging: drop chunks while the same check still fails.
std::vector<Op> Shrink(std::vector<Op> ops, const std::string& signature, std::size_t& attempts)
{
    std::size_t parts = 2;
    while (ops.size() >= 2) {
        std::size_t chunk = (ops.size() + parts - 1) / parts;
        bool reduced = false;
        for (std::size_t start = 0; start < ops.size(); start += chunk) {
            std::vector<Op> candidate(ops.begin(), ops.begin() + std::ptrdiff_t(start));
            candidate.insert(candidate.end(), ops.begin() + std::ptrdiff_t(std::min(start + chunk, ops.size())),
                             ops.end());
            ++attempts;
            Attempt attempt = RunInChild(candidate, true);
            if (attempt.Failed && attempt.Signature == signature) {
                // Steps after the failing one never matter.
                if (attempt.Signature != "crash")
                    candidate.resize(std::min(candidate.size(), attempt.FailedStep + 1));
                ops = std::move(candidate);
                parts = std::max<std::size_t>(parts - 1, 2);
                reduced = true;
                break;
            }
        }
        if (!reduced) {
            if (parts >= ops.size())
                break;
            parts = std::min(ops.size(), parts * 2);
        }
    }
    return ops;
}

void PrintSequence(const std::vector<Op>& ops)
{
    std::cout << "    ExpectClean({\n";
    for (const Op& op : ops)
        std::cout << "        " << OpSource(op) << ",\n";
    std::cout << "    });\n";
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"tvx-random-ops: random operation sequences against the simulated IDE, with shrinking of "
                 "failures."};
    std::uint64_t seed = 1;
    std::size_t count = 10000;
    std::size_t seeds = 1;
    bool noShrink = false;
    bool print = false;
    std::string replay;
    app.add_option("--seed", seed, "The first seed (default 1).");
    app.add_option("--ops", count, "Steps per seed (default 10000).");
    app.add_option("--seeds", seeds, "How many seeds from --seed on (default 1).");
    app.add_flag("--no-shrink", noShrink, "Report a failure without shrinking it.");
    app.add_flag("--print", print, "Print the steps of each seed instead of running them.");
    app.add_option("--replay", replay,
                   "Runs the steps of a file (one per line, as printed) in this process, so a sanitizer's "
                   "report shows in full.")
        ->check(CLI::ExistingFile);
    CLI11_PARSE(app, argc, argv);

    if (!replay.empty()) {
        std::ifstream file(replay);
        std::stringstream text;
        text << file.rdbuf();
        std::vector<Op> ops;
        std::string error;
        if (!ParseOps(text.str(), ops, error)) {
            std::cerr << replay << ": " << error << "\n";
            return 2;
        }
        RunResult result = Run(ops);
        if (result.Ok) {
            std::cout << ops.size() << " steps ran clean\n";
            return 0;
        }
        std::cout << "step " << result.FailedStep << ": " << result.Check << ": " << result.Message << "\n";
        std::cout.flush();
        ::_exit(1);
    }

    int status = 0;
    for (std::uint64_t s = seed; s < seed + seeds; ++s) {
        auto started = std::chrono::steady_clock::now();
        std::vector<Op> ops = Generate(s, count);
        if (print) {
            for (const Op& op : ops)
                std::cout << OpSource(op) << ",\n";
            continue;
        }
        Attempt attempt = RunInChild(ops, false);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!attempt.Failed) {
            std::cout << "seed " << s << ": " << count << " steps ran clean in " << seconds << " s\n";
            continue;
        }
        status = 1;
        std::cout << "seed " << s << ": step " << attempt.FailedStep << " failed: " << attempt.Signature << ": "
                  << attempt.Detail << "\n";
        if (noShrink)
            continue;
        if (attempt.Signature != "crash")
            ops.resize(std::min(ops.size(), attempt.FailedStep + 1));
        std::size_t attempts = 0;
        std::vector<Op> shortest = Shrink(ops, attempt.Signature, attempts);
        Attempt last = RunInChild(shortest, true);
        std::cout << "shortest failing sequence found (" << shortest.size() << " steps, " << attempts
                  << " attempts): " << last.Signature << ": " << last.Detail << "\n";
        PrintSequence(shortest);
    }
    return status;
}
