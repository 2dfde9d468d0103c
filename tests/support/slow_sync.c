/* Slow storage for the program under test: every fsync and fdatasync of a
 * file or folder under SLOW_SYNC_PATH (anywhere, without it) takes
 * SLOW_SYNC_MS milliseconds longer, as on a USB stick or a network share.
 * Loaded with LD_PRELOAD. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static void wait_as_slow_storage(int fd)
{
    const char *ms = getenv("SLOW_SYNC_MS"), *under = getenv("SLOW_SYNC_PATH");
    const long n = ms ? atol(ms) : 0;
    if (n <= 0)
        return;
    if (under) {
        char link[64], path[4096];
        snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        const ssize_t size = readlink(link, path, sizeof path - 1);
        if (size < 0 || strncmp(path, under, strlen(under)) != 0)
            return;
    }
    struct timespec pause = {n / 1000, (n % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0) {
    }
}

int fsync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    wait_as_slow_storage(fd);
    return real(fd);
}

int fdatasync(int fd)
{
    static int (*real)(int);
    if (!real)
        real = (int (*)(int))dlsym(RTLD_NEXT, "fdatasync");
    wait_as_slow_storage(fd);
    return real(fd);
}
