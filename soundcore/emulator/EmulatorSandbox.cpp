// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/EmulatorSandbox.h"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

// The address and thread sanitizers reserve terabytes of address space for
// their shadow memory, which a limit on the address space would refuse.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TARVO_SHADOW_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TARVO_SHADOW_SANITIZER 1
#endif
#endif

namespace tarvocore {

namespace {

// An emulator needs a few hundred KiB; a file that makes it want more than
// this is hostile or broken.
constexpr rlim_t kMemoryLimit = 1024ull << 20;

#if defined(__x86_64__)
constexpr uint32_t kAuditArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr uint32_t kAuditArch = AUDIT_ARCH_AARCH64;
#else
constexpr uint32_t kAuditArch = 0; // no filter on other machines
#endif

// What glibc's allocator, stdio, the socket, abort() and the emulators use.
const std::vector<long>& AllowedCalls() {
    static const std::vector<long> calls = {
        SYS_read,
        SYS_write,
        SYS_readv,
        SYS_writev,
        SYS_recvfrom,
        SYS_sendto,
        SYS_recvmsg,
        SYS_sendmsg,
        SYS_close,
        SYS_fstat,
        SYS_newfstatat,
        SYS_lseek,
        SYS_mmap,
        SYS_munmap,
        SYS_mremap,
        SYS_mprotect,
        SYS_madvise,
        SYS_brk,
        SYS_futex,
        SYS_exit,
        SYS_exit_group,
        SYS_rt_sigreturn,
        SYS_rt_sigprocmask,
        SYS_rt_sigaction,
        SYS_sigaltstack,
        SYS_gettid,
        SYS_getpid,
        SYS_clock_gettime,
        SYS_clock_nanosleep,
        SYS_nanosleep,
        SYS_sched_yield,
        SYS_getrandom,
        SYS_restart_syscall,
#ifdef TARVO_SANITIZER_BUILD
        // The sanitizers' memory checks use an anonymous pipe.
        SYS_pipe2,
#ifdef SYS_pipe
        SYS_pipe,
#endif
#endif
#ifdef SYS_poll
        SYS_poll,
#endif
#ifdef SYS_ppoll
        SYS_ppoll,
#endif
    };
    return calls;
}

bool SetLimit(int resource, rlim_t value) {
    const rlimit limit{value, value};
    return ::setrlimit(resource, &limit) == 0;
}

constexpr uint32_t kRefuse = SECCOMP_RET_ERRNO | (EPERM & SECCOMP_RET_DATA);

// abort() signals its own process with tgkill; a signal to any other process
// is refused, so a hijacked emulator cannot end Tarvo or anything else.
void AllowSignalsToItselfOnly(std::vector<sock_filter>& program) {
    const auto own = static_cast<uint32_t>(::getpid());
    program.insert(program.end(),
                   {BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(SYS_tgkill), 0, 4),
                    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
                    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, own, 0, 1),
                    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
                    BPF_STMT(BPF_RET | BPF_K, kRefuse)});
}

bool InstallFilter(std::string& error) {
    if (kAuditArch == 0) return true;
    std::vector<sock_filter> program = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    };
    AllowSignalsToItselfOnly(program);
    for (long call : AllowedCalls()) {
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(call), 0, 1));
        program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    }
    program.push_back(BPF_STMT(BPF_RET | BPF_K, kRefuse));
    const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    if (::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0) {
        error = std::string("the system call filter was refused: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

bool EnterEmulatorSandbox(std::string& error) {
    bool limited = SetLimit(RLIMIT_CORE, 0) && SetLimit(RLIMIT_FSIZE, 0);
#ifndef TARVO_SHADOW_SANITIZER
    limited = limited && SetLimit(RLIMIT_AS, kMemoryLimit);
#endif
    if (!limited) {
        error = std::string("the process limits were refused: ") + std::strerror(errno);
        return false;
    }
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        error = std::string("no-new-privileges was refused: ") + std::strerror(errno);
        return false;
    }
    return InstallFilter(error);
}

namespace {

struct Forbidden {
    const char* what;
    bool (*refused)();
};

bool OpenRefused() {
    return ::open("/proc/self/status", O_RDONLY | O_CLOEXEC) < 0;
}
bool SocketRefused() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0) < 0;
}
bool ForkRefused() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    return child < 0;
}
bool SignalRefused() {
    const pid_t parent = ::getppid(); // signal 0 only asks whether it could be sent
    return ::syscall(SYS_tgkill, parent, parent, 0) != 0 && ::kill(parent, 0) != 0;
}
bool AllocationRefused() {
#ifdef TARVO_SHADOW_SANITIZER
    return true; // the sanitizer needs the address space the limit would take
#else
    void* block = std::malloc(kMemoryLimit + (256u << 20));
    std::free(block);
    return block == nullptr;
#endif
}
bool PipeRefusedOutsideSanitizers() {
    int ends[2];
    const bool made = ::pipe2(ends, O_CLOEXEC) == 0;
#ifdef TARVO_SANITIZER_BUILD
    return made;
#else
    return !made;
#endif
}

} // namespace

int CheckEmulatorSandbox() {
    // No file may grow in the sandbox: a report sent to a file is lost, not fatal.
    std::signal(SIGXFSZ, SIG_IGN);
    std::string error;
    if (!EnterEmulatorSandbox(error)) {
        std::fprintf(stderr, "tarvo-emulator: %s\n", error.c_str());
        return 1;
    }
    const Forbidden checks[] = {
        {"open a file", OpenRefused},
        {"open a socket", SocketRefused},
        {"start a process", ForkRefused},
        {"signal another process", SignalRefused},
        {"allocate beyond the memory limit", AllocationRefused},
        {"open a pipe (allowed only for the sanitizers)", PipeRefusedOutsideSanitizers}};
    int failures = 0;
    for (const Forbidden& check : checks) {
        const bool refused = check.refused();
        std::printf("%s: %s\n", check.what, refused ? "refused" : "ALLOWED");
        failures += refused ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

} // namespace tarvocore
