// SPDX-License-Identifier: GPL-3.0-or-later
#include "src/EmulatorSandbox.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TARVO_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVO_ADDRESS_SANITIZER 1
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
        SYS_tgkill,
        SYS_gettid,
        SYS_getpid,
        SYS_clock_gettime,
        SYS_clock_nanosleep,
        SYS_nanosleep,
        SYS_sched_yield,
        SYS_getrandom,
        SYS_restart_syscall,
        // An anonymous pipe reaches no file; the sanitizers' memory checks use one.
        SYS_pipe2,
#ifdef SYS_pipe
        SYS_pipe,
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

bool InstallFilter(std::string& error) {
    if (kAuditArch == 0) return true;
    std::vector<sock_filter> program = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    };
    for (long call : AllowedCalls()) {
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(call), 0, 1));
        program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    }
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (EPERM & SECCOMP_RET_DATA)));
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
#ifndef TARVO_ADDRESS_SANITIZER
    // The address sanitizer reserves terabytes of address space for itself.
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

} // namespace tarvocore
