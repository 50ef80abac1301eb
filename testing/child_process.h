// A check run in a child of the test under a limit of its own (POSIX), so that the test's own output and
// memory are not touched: a file-size limit, or an address space just above what the child uses.
#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>

#include <csignal>
#include <cstddef>
#include <fstream>
#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dravik::testkit {

enum class Limit {
    FileSize,      // files may grow to `bytes`; SIGXFSZ ignored, so a write fails with "File too large"
    AddressSpace,  // the child may take `bytes` more than it uses when the check starts
};

// Whether `check` held in a child under the limit; otherwise whether it failed or ended by a signal.
inline ::testing::AssertionResult HoldsInLimitedChild(Limit limit, std::size_t bytes,
                                                      const std::function<bool()>& check) {
    const pid_t child = fork();
    if (child == -1) {
        return ::testing::AssertionFailure() << "no child could be started";
    }
    if (child == 0) {
        rlim_t cap = bytes;
        if (limit == Limit::FileSize) {
            std::signal(SIGXFSZ, SIG_IGN);
        } else {
            long pages = 0;
            std::ifstream("/proc/self/statm") >> pages;
            cap += static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE));
        }
        const rlimit capped{cap, cap};
        setrlimit(limit == Limit::FileSize ? RLIMIT_FSIZE : RLIMIT_AS, &capped);
        alarm(30);  // a child stuck for want of memory (Qt's may wait for ever) fails, not hangs, the test
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        return ::testing::AssertionFailure() << "the child was lost";
    }
    if (!WIFEXITED(status)) {
        return ::testing::AssertionFailure() << "the child ended by signal " << WTERMSIG(status);
    }
    if (WEXITSTATUS(status) != 0) {
        return ::testing::AssertionFailure() << "the check failed in the child";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace dravik::testkit

#endif
