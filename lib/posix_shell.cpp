#include "lib/posix_shell.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

#include "lib/commands.h"
#include "lib/text.h"

// Not declared by <unistd.h> without _GNU_SOURCE.
extern char** environ;

namespace vesk {

namespace {

bool isWordBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

ShellResult failure(int error) {
    return {false, std::generic_category().message(error)};
}

// Writes the errno of the failing step to the parent and ends the child. Async-signal-safe.
[[noreturn]] void reportAndExit(int fd, int error) {
    const char* p = reinterpret_cast<const char*>(&error);
    std::size_t left = sizeof error;
    while (left > 0) {
        const ssize_t w = ::write(fd, p, left);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    ::_exit(127);
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Looks `name` up as execvp would; on failure `error` is EACCES when a candidate exists but
// cannot be run, else ENOENT.
std::string lookUp(std::string_view name, std::string_view pathVariable, int& error) {
    error = ENOENT;
    if (name.find('/') != std::string_view::npos) return std::string(name);
    if (name.empty()) return {};
    std::size_t start = 0;
    while (start <= pathVariable.size()) {
        auto end = pathVariable.find(':', start);
        if (end == std::string_view::npos) end = pathVariable.size();
        std::string folder(pathVariable.substr(start, end - start));
        if (folder.empty()) folder = ".";
        if (folder.back() != '/') folder += '/';
        std::string candidate = folder + std::string(name);
        if (isRegularFile(candidate)) {
            if (::access(candidate.c_str(), X_OK) == 0) return candidate;
            error = EACCES;
        }
        start = end + 1;
    }
    return {};
}

std::string pathVariable() {
    const char* p = std::getenv("PATH");
    return p ? std::string(p) : std::string("/usr/local/bin:/usr/bin:/bin");
}

} // namespace

std::vector<std::string> splitShellWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false; // a word has started (it may still be empty: "")
    bool quoted = false;
    for (const char c : text) {
        if (quoted) {
            if (c == '"')
                quoted = false;
            else
                word += c;
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (isWordBlank(c)) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

std::string findOnPath(std::string_view name, std::string_view pathVar) {
    int error = 0;
    return lookUp(name, pathVar, error);
}

std::string findOnPath(std::string_view name) {
    return findOnPath(name, pathVariable());
}

ShellResult PosixShell::spawnDetached(const std::string& path, const std::vector<std::string>& args,
                                      std::string_view workFolder) {
    // Everything the children need is prepared here: after fork only async-signal-safe calls.
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string folder(workFolder);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return failure(errno);
    const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

    // No handler of this process may run in the children before exec.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);

    const pid_t pid = ::fork();
    if (pid == 0) {
        // The intermediate child: a session of its own, then the program's process, then gone,
        // so the program is adopted by init (or a subreaper) and never becomes our zombie.
        ::close(pipeFds[0]);
        if (::setsid() < 0) reportAndExit(pipeFds[1], errno);
        const pid_t grandchild = ::fork();
        if (grandchild < 0) reportAndExit(pipeFds[1], errno);
        if (grandchild > 0) ::_exit(0);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) reportAndExit(pipeFds[1], errno);
        if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        for (int s = 1; s < NSIG; ++s)
            ::sigaction(s, &dfl, nullptr); // SIGKILL, SIGSTOP: EINVAL
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(path.c_str(), argv.data(), environ);
        reportAndExit(pipeFds[1], errno);
    }
    const int forkError = errno;
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ::close(pipeFds[1]);
    if (devNull >= 0) ::close(devNull);
    if (pid < 0) {
        ::close(pipeFds[0]);
        return failure(forkError);
    }

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // End of file without a word: the program was started (exec closed the pipe).
    int childError = 0;
    std::size_t got = 0;
    while (got < sizeof childError) {
        const ssize_t r =
            ::read(pipeFds[0], reinterpret_cast<char*>(&childError) + got, sizeof childError - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    ::close(pipeFds[0]);
    if (got == sizeof childError) return failure(childError);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return failure(ECHILD);
    return {true, {}};
}

ShellResult PosixShell::start(std::string_view program, std::string_view parameters,
                              std::string_view workFolder) {
    // "Notepad.exe" means the default editor wherever it comes from (docs/architecture.md).
    const std::string name = isNotepad(program) ? defaultEditor() : trim(program);
    int error = 0;
    const std::string path = lookUp(name, pathVariable(), error);
    if (path.empty()) return failure(error);
    std::vector<std::string> argv{name};
    for (std::string& w : splitShellWords(parameters))
        argv.push_back(std::move(w));
    return spawnDetached(path, argv, workFolder);
}

ShellResult PosixShell::openDocument(std::string_view document) {
    int error = 0;
    const std::string path = lookUp("xdg-open", pathVariable(), error);
    if (path.empty()) return failure(error);
    return spawnDetached(path, {"xdg-open", std::string(document)}, {});
}

} // namespace vesk
