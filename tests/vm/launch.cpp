// quillfence-vm-launch: what pkexec is for the VM tests. Installed set-user-ID
// root in the guest, it starts the helper named on its command line as root,
// so that a program run by an unprivileged user reaches a privileged helper
// without polkit. Only a program called quillfence-helper is started, with
// an environment as empty as pkexec leaves it, but for the sanitizers'
// options of a sanitized build. Never installed outside the guests.
//
// Usage: quillfence-vm-launch /path/to/quillfence-helper MODE

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    const char* name = argc == 3 ? std::strrchr(argv[1], '/') : nullptr;
    if (!name || std::strcmp(name, "/quillfence-helper") != 0) {
        std::fprintf(stderr, "usage: %s /path/to/quillfence-helper MODE\n", argv[0]);
        return 127;
    }
    if (setresgid(0, 0, 0) != 0 || setresuid(0, 0, 0) != 0) {
        std::perror("quillfence-vm-launch");
        return 126;
    }
    std::string sanitizers = "ASAN_OPTIONS=";
    if (const char* options = std::getenv("ASAN_OPTIONS"))
        sanitizers += options;
    char* const clean[] = {sanitizers.data(), nullptr};
    execve(argv[1], argv + 1, clean);
    std::perror(argv[1]);
    return 127;
}
