/* A fault-injection shim loaded with LD_PRELOAD: it counts the file calls on
 * paths under $FAILSHIM_DIR (and on descriptors opened there); call number
 * $FAILSHIM_AT fails with errno $FAILSHIM_ERRNO without doing anything (a
 * failed close still releases its descriptor). $FAILSHIM_LOG: every counted
 * call is appended to that file as "NUMBER NAME\n". */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#define MAXFD 4096

static char tracked[MAXFD];
static long calls;

static ssize_t (*real_write)(int, const void*, size_t);
static int (*real_open)(const char*, int, ...);

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

static int under(const char* path) {
    const char* dir = getenv("FAILSHIM_DIR");
    return path != NULL && dir != NULL && *dir != '\0' && strncmp(path, dir, strlen(dir)) == 0;
}

static int is_tracked(int fd) { return fd >= 0 && fd < MAXFD && tracked[fd]; }

static void log_call(const char* name) {
    const char* log = getenv("FAILSHIM_LOG");
    if (log == NULL) return;
    if (real_open == NULL) real_open = REAL(open);
    if (real_write == NULL) real_write = REAL(write);
    const int fd = real_open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return;
    char line[128];
    const int n = snprintf(line, sizeof line, "%ld %s\n", calls, name);
    if (n > 0) real_write(fd, line, (size_t)n);
    close(fd);
}

/* Counts a call; true when it is the one to fail (errno is then set). */
static int fails(const char* name) {
    ++calls;
    log_call(name);
    const char* at = getenv("FAILSHIM_AT");
    const char* err = getenv("FAILSHIM_ERRNO");
    if (at == NULL || atol(at) != calls) return 0;
    errno = err != NULL ? atoi(err) : EIO;
    return 1;
}

static void track(int fd, int on) {
    if (fd >= 0 && fd < MAXFD) tracked[fd] = (char)on;
}

static int do_open(int dirfd, const char* path, int flags, mode_t mode, int at) {
    const int counted = under(path) || (at && path[0] != '/' && is_tracked(dirfd));
    if (counted && fails("open")) return -1;
    const int fd = at ? REAL(openat)(dirfd, path, flags, mode) : REAL(open)(path, flags, mode);
    if (counted) track(fd, 1);
    return fd;
}

#define OPEN_CALL(name, params, dirfd, at)                                               \
    int name params {                                                                   \
        va_list ap;                                                                     \
        va_start(ap, flags);                                                            \
        const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(ap, int) : 0; \
        va_end(ap);                                                                     \
        return do_open(dirfd, path, flags, mode, at);                                   \
    }

OPEN_CALL(open, (const char* path, int flags, ...), AT_FDCWD, 0)
OPEN_CALL(open64, (const char* path, int flags, ...), AT_FDCWD, 0)
OPEN_CALL(openat, (int dirfd, const char* path, int flags, ...), dirfd, 1)
OPEN_CALL(openat64, (int dirfd, const char* path, int flags, ...), dirfd, 1)

ssize_t read(int fd, void* buf, size_t n) {
    if (is_tracked(fd) && fails("read")) return -1;
    return REAL(read)(fd, buf, n);
}

ssize_t write(int fd, const void* buf, size_t n) {
    if (is_tracked(fd) && fails("write")) return -1;
    if (real_write == NULL) real_write = REAL(write);
    return real_write(fd, buf, n);
}

int fsync(int fd) {
    if (is_tracked(fd) && fails("fsync")) return -1;
    return REAL(fsync)(fd);
}

int close(int fd) {
    const int counted = is_tracked(fd);
    track(fd, 0);
    const int rc = REAL(close)(fd);
    if (counted && fails("close")) return -1;
    return rc;
}

#define PATH_CALL(ret, name, params, args, failed)   \
    ret name params {                               \
        if (under(path) && fails(#name)) return failed; \
        return REAL(name) args;                      \
    }

PATH_CALL(int, mkdir, (const char* path, mode_t mode), (path, mode), -1)
PATH_CALL(char*, mkdtemp, (char* path), (path), NULL)
PATH_CALL(DIR*, opendir, (const char* path), (path), NULL)
PATH_CALL(int, chmod, (const char* path, mode_t mode), (path, mode), -1)
PATH_CALL(int, unlink, (const char* path), (path), -1)
PATH_CALL(int, rmdir, (const char* path), (path), -1)
PATH_CALL(int, mkfifo, (const char* path, mode_t mode), (path, mode), -1)
PATH_CALL(ssize_t, readlink, (const char* restrict path, char* restrict buf, size_t n),
          (path, buf, n), -1)
PATH_CALL(int, rename, (const char* path, const char* to), (path, to), -1)
PATH_CALL(int, link, (const char* path, const char* to), (path, to), -1)
PATH_CALL(int, symlink, (const char* target, const char* path), (target, path), -1)

int renameat2(int fromfd, const char* path, int tofd, const char* to, unsigned int flags) {
    if (under(path) && fails("renameat2")) return -1;
    return REAL(renameat2)(fromfd, path, tofd, to, flags);
}
