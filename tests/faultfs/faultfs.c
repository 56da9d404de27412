/* An LD_PRELOAD shim that makes file calls fail for paths below a prefix,
 * so that tests can watch the program on a failing disk without root tricks
 * or a real full file system.
 *
 *   FAULTFS_PATH_PREFIX  paths (and descriptors whose path) start with it
 *   FAULTFS_MODE         enospc          every write fails with ENOSPC
 *                        fail_nth_write  the FAULTFS_NTH-th write (from 1)
 *                                        puts half its bytes on disk, then
 *                                        fails with ENOSPC: a torn write;
 *                                        stderr names the inode it tore
 *                        eacces_open     every open fails with EACCES
 *                        eacces_write    opening for writing, creating,
 *                                        renaming, linking and removing fail
 *                                        with EACCES; reading works
 *   no FAULTFS_MODE: every call goes straight through.
 *   FAULTFS_SNAPSHOT_DIR (any mode) after each rename or link that puts a
 *                        file below the prefix, a copy of that file goes
 *                        there as NNNNNN-<name>: every version the disk held
 *
 * The settings are read at every call, so a process may change them as it
 * runs. stdio streams below the prefix are rebuilt on fopencookie(), since
 * glibc's own stdio writes do not pass through write().
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

enum mode { MODE_NONE, MODE_ENOSPC, MODE_FAIL_NTH, MODE_EACCES_OPEN, MODE_EACCES_WRITE };

static enum mode current_mode(void)
{
    const char *m = getenv("FAULTFS_MODE");
    if (!m || !*m)
        return MODE_NONE;
    if (strcmp(m, "enospc") == 0)
        return MODE_ENOSPC;
    if (strcmp(m, "fail_nth_write") == 0)
        return MODE_FAIL_NTH;
    if (strcmp(m, "eacces_open") == 0)
        return MODE_EACCES_OPEN;
    if (strcmp(m, "eacces_write") == 0)
        return MODE_EACCES_WRITE;
    return MODE_NONE;
}

static int below_prefix(const char *path)
{
    const char *prefix = getenv("FAULTFS_PATH_PREFIX");
    if (!prefix || !*prefix || !path)
        return 0;
    char absolute[PATH_MAX];
    if (path[0] != '/') {
        if (!getcwd(absolute, sizeof absolute))
            return 0;
        size_t used = strlen(absolute);
        if (snprintf(absolute + used, sizeof absolute - used, "/%s", path) >= (int)(sizeof absolute - used))
            return 0;
        path = absolute;
    }
    return strncmp(path, prefix, strlen(prefix)) == 0;
}

static int fd_below_prefix(int fd)
{
    char link[64];
    char target[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return 0;
    target[n] = '\0';
    return below_prefix(target);
}

/* Writes below the prefix, counted from 1 over the process's life. */
static unsigned long write_count;
static pthread_mutex_t count_lock = PTHREAD_MUTEX_INITIALIZER;

__attribute__((visibility("default"))) unsigned long faultfs_write_count(void)
{
    pthread_mutex_lock(&count_lock);
    unsigned long n = write_count;
    pthread_mutex_unlock(&count_lock);
    return n;
}

#define REAL(name) real_##name
#define DECLARE_REAL(ret, name, ...)                                                      \
    static ret (*real_##name)(__VA_ARGS__);                                               \
    static void load_##name(void)                                                         \
    {                                                                                     \
        if (!real_##name)                                                                 \
            real_##name = (ret(*)(__VA_ARGS__))dlsym(RTLD_NEXT, #name);                   \
    }

DECLARE_REAL(int, open, const char *, int, ...)
DECLARE_REAL(int, open64, const char *, int, ...)
DECLARE_REAL(int, openat, int, const char *, int, ...)
DECLARE_REAL(int, openat64, int, const char *, int, ...)
DECLARE_REAL(FILE *, fopen, const char *, const char *)
DECLARE_REAL(FILE *, fopen64, const char *, const char *)
DECLARE_REAL(int, fileno, FILE *)
DECLARE_REAL(ssize_t, write, int, const void *, size_t)
DECLARE_REAL(ssize_t, pwrite, int, const void *, size_t, off_t)
DECLARE_REAL(ssize_t, pwrite64, int, const void *, size_t, off64_t)
DECLARE_REAL(ssize_t, writev, int, const struct iovec *, int)
DECLARE_REAL(int, rename, const char *, const char *)
DECLARE_REAL(int, renameat, int, const char *, int, const char *)
DECLARE_REAL(int, renameat2, int, const char *, int, const char *, unsigned int)
DECLARE_REAL(int, linkat, int, const char *, int, const char *, int)
DECLARE_REAL(int, unlink, const char *)
DECLARE_REAL(int, mkdir, const char *, mode_t)

/* The decision for one write of n bytes to fd: -1 to pass it through,
 * else how many bytes to put on disk before failing with ENOSPC. */
static ssize_t write_fault(int fd, size_t n)
{
    enum mode mode = current_mode();
    if ((mode != MODE_ENOSPC && mode != MODE_FAIL_NTH) || !fd_below_prefix(fd))
        return -1;
    pthread_mutex_lock(&count_lock);
    unsigned long number = ++write_count;
    pthread_mutex_unlock(&count_lock);
    if (mode == MODE_ENOSPC)
        return 0;
    const char *nth = getenv("FAULTFS_NTH");
    if (!nth || strtoul(nth, NULL, 10) != number)
        return -1;
    /* Told on stderr, with the file it tore, so that a test can look for
     * that file among those it finds; a duplicate of the descriptor keeps
     * the inode number from being reused until the process ends. */
    struct stat torn;
    if (fstat(fd, &torn) == 0 && dup(fd) >= 0)
        fprintf(stderr, "faultfs: write %lu failed, tearing inode %lu\n", number, (unsigned long)torn.st_ino);
    else
        fprintf(stderr, "faultfs: write %lu failed\n", number);
    return (ssize_t)(n / 2);
}

static ssize_t do_write(int fd, const void *buffer, size_t n)
{
    load_write();
    ssize_t keep = write_fault(fd, n);
    if (keep < 0)
        return REAL(write)(fd, buffer, n);
    if (keep > 0)
        REAL(write)(fd, buffer, (size_t)keep);
    errno = ENOSPC;
    return -1;
}

ssize_t write(int fd, const void *buffer, size_t n)
{
    return do_write(fd, buffer, n);
}

ssize_t pwrite(int fd, const void *buffer, size_t n, off_t offset)
{
    load_pwrite();
    ssize_t keep = write_fault(fd, n);
    if (keep < 0)
        return REAL(pwrite)(fd, buffer, n, offset);
    if (keep > 0)
        REAL(pwrite)(fd, buffer, (size_t)keep, offset);
    errno = ENOSPC;
    return -1;
}

ssize_t pwrite64(int fd, const void *buffer, size_t n, off64_t offset)
{
    load_pwrite64();
    ssize_t keep = write_fault(fd, n);
    if (keep < 0)
        return REAL(pwrite64)(fd, buffer, n, offset);
    if (keep > 0)
        REAL(pwrite64)(fd, buffer, (size_t)keep, offset);
    errno = ENOSPC;
    return -1;
}

ssize_t writev(int fd, const struct iovec *vector, int count)
{
    load_writev();
    size_t total = 0;
    for (int i = 0; i < count; ++i)
        total += vector[i].iov_len;
    ssize_t keep = write_fault(fd, total);
    if (keep < 0)
        return REAL(writev)(fd, vector, count);
    load_write();
    for (int i = 0; i < count && keep > 0; ++i) {
        size_t part = vector[i].iov_len < (size_t)keep ? vector[i].iov_len : (size_t)keep;
        REAL(write)(fd, vector[i].iov_base, part);
        keep -= (ssize_t)part;
    }
    errno = ENOSPC;
    return -1;
}

static int wants_write(int flags)
{
#ifdef O_TMPFILE
    if ((flags & O_TMPFILE) == O_TMPFILE)
        return 1;
#endif
    return (flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC | O_APPEND));
}

/* Nonzero when an open of path with flags must fail; errno is set. */
static int open_fault(const char *path, int flags)
{
    enum mode mode = current_mode();
    if ((mode != MODE_EACCES_OPEN && mode != MODE_EACCES_WRITE) || !below_prefix(path))
        return 0;
    if (mode == MODE_EACCES_WRITE && !wants_write(flags))
        return 0;
    errno = EACCES;
    return 1;
}

static int path_fault(const char *path)
{
    if (current_mode() != MODE_EACCES_WRITE || !below_prefix(path))
        return 0;
    errno = EACCES;
    return 1;
}

/* The path a *at() call names, made absolute when it is relative to dirfd;
 * NULL when that cannot be told. */
static const char *at_path(int dirfd, const char *path, char (*full)[PATH_MAX])
{
    if (path[0] == '/' || dirfd == AT_FDCWD)
        return path;
    char link[64];
    char dir[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
    ssize_t n = readlink(link, dir, sizeof dir - 1);
    if (n <= 0)
        return NULL;
    dir[n] = '\0';
    if (snprintf(*full, sizeof *full, "%s/%s", dir, path) >= (int)sizeof *full)
        return NULL;
    return *full;
}

static int at_path_fault(int dirfd, const char *path)
{
    char full[PATH_MAX];
    const char *resolved = at_path(dirfd, path, &full);
    return resolved && path_fault(resolved);
}

static int at_open_fault(int dirfd, const char *path, int flags)
{
    char full[PATH_MAX];
    const char *resolved = at_path(dirfd, path, &full);
    return resolved && open_fault(resolved, flags);
}

static mode_t mode_argument(int flags, va_list args)
{
#ifdef O_TMPFILE
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE)
#else
    if (flags & O_CREAT)
#endif
        return (mode_t)va_arg(args, int);
    return 0;
}

int open(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    mode_t mode = mode_argument(flags, args);
    va_end(args);
    if (open_fault(path, flags))
        return -1;
    load_open();
    return REAL(open)(path, flags, mode);
}

int open64(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    mode_t mode = mode_argument(flags, args);
    va_end(args);
    if (open_fault(path, flags))
        return -1;
    load_open64();
    return REAL(open64)(path, flags, mode);
}

int __open_2(const char *path, int flags)
{
    return open(path, flags);
}

int __open64_2(const char *path, int flags)
{
    return open64(path, flags);
}

int openat(int dirfd, const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    mode_t mode = mode_argument(flags, args);
    va_end(args);
    if (at_open_fault(dirfd, path, flags))
        return -1;
    load_openat();
    return REAL(openat)(dirfd, path, flags, mode);
}

int openat64(int dirfd, const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    mode_t mode = mode_argument(flags, args);
    va_end(args);
    if (at_open_fault(dirfd, path, flags))
        return -1;
    load_openat64();
    return REAL(openat64)(dirfd, path, flags, mode);
}

int creat(const char *path, mode_t mode)
{
    return open(path, O_CREAT | O_WRONLY | O_TRUNC, mode);
}

int creat64(const char *path, mode_t mode)
{
    return open64(path, O_CREAT | O_WRONLY | O_TRUNC, mode);
}

static unsigned long snapshot_count;

/* Copies the file a rename or link just put in place; a failed copy is
 * reported, since a missing version would make a test pass for no reason. */
static void snapshot(int dirfd, const char *path)
{
    const char *dir = getenv("FAULTFS_SNAPSHOT_DIR");
    char full[PATH_MAX];
    const char *resolved = at_path(dirfd, path, &full);
    if (!dir || !*dir || !resolved || !below_prefix(resolved))
        return;
    pthread_mutex_lock(&count_lock);
    unsigned long number = ++snapshot_count;
    pthread_mutex_unlock(&count_lock);
    const char *name = strrchr(resolved, '/');
    name = name ? name + 1 : resolved;
    char copy[PATH_MAX];
    snprintf(copy, sizeof copy, "%s/%06lu-%s", dir, number, name);
    load_open();
    load_write();
    int in = REAL(open)(resolved, O_RDONLY | O_CLOEXEC, 0);
    int out = REAL(open)(copy, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    char buffer[65536];
    ssize_t n = 0;
    int ok = in >= 0 && out >= 0;
    while (ok && (n = read(in, buffer, sizeof buffer)) > 0)
        ok = REAL(write)(out, buffer, (size_t)n) == n;
    if (!ok || n < 0)
        fprintf(stderr, "faultfs: no snapshot of %s\n", resolved);
    if (in >= 0)
        close(in);
    if (out >= 0)
        close(out);
}

int rename(const char *from, const char *to)
{
    if (path_fault(from) || path_fault(to))
        return -1;
    load_rename();
    int result = REAL(rename)(from, to);
    if (result == 0)
        snapshot(AT_FDCWD, to);
    return result;
}

int renameat(int fromdir, const char *from, int todir, const char *to)
{
    if (at_path_fault(fromdir, from) || at_path_fault(todir, to))
        return -1;
    load_renameat();
    int result = REAL(renameat)(fromdir, from, todir, to);
    if (result == 0)
        snapshot(todir, to);
    return result;
}

int renameat2(int fromdir, const char *from, int todir, const char *to, unsigned int flags)
{
    if (at_path_fault(fromdir, from) || at_path_fault(todir, to))
        return -1;
    load_renameat2();
    int result = REAL(renameat2)(fromdir, from, todir, to, flags);
    if (result == 0)
        snapshot(todir, to);
    return result;
}

int linkat(int fromdir, const char *from, int todir, const char *to, int flags)
{
    if (at_path_fault(todir, to))
        return -1;
    load_linkat();
    int result = REAL(linkat)(fromdir, from, todir, to, flags);
    if (result == 0)
        snapshot(todir, to);
    return result;
}

int unlink(const char *path)
{
    if (path_fault(path))
        return -1;
    load_unlink();
    return REAL(unlink)(path);
}

int mkdir(const char *path, mode_t mode)
{
    if (path_fault(path))
        return -1;
    load_mkdir();
    return REAL(mkdir)(path, mode);
}

/* stdio streams below the prefix: the stream's descriptor, for fileno(). */
#define MAX_STREAMS 64
static struct {
    FILE *stream;
    int fd;
} streams[MAX_STREAMS];
static pthread_mutex_t streams_lock = PTHREAD_MUTEX_INITIALIZER;

static ssize_t cookie_read(void *cookie, char *buffer, size_t n)
{
    return read((int)(long)cookie, buffer, n);
}

static ssize_t cookie_write(void *cookie, const char *buffer, size_t n)
{
    return do_write((int)(long)cookie, buffer, n);
}

static int cookie_seek(void *cookie, off64_t *offset, int whence)
{
    off64_t at = lseek64((int)(long)cookie, *offset, whence);
    if (at < 0)
        return -1;
    *offset = at;
    return 0;
}

static int cookie_close(void *cookie)
{
    int fd = (int)(long)cookie;
    pthread_mutex_lock(&streams_lock);
    for (int i = 0; i < MAX_STREAMS; ++i)
        if (streams[i].stream && streams[i].fd == fd)
            streams[i].stream = NULL;
    pthread_mutex_unlock(&streams_lock);
    return close(fd);
}

static int open_flags(const char *mode)
{
    int flags;
    switch (mode[0]) {
    case 'r': flags = 0; break;
    case 'w': flags = O_CREAT | O_TRUNC; break;
    case 'a': flags = O_CREAT | O_APPEND; break;
    default: return -1;
    }
    int plus = strchr(mode, '+') != NULL;
    flags |= plus ? O_RDWR : (mode[0] == 'r' ? O_RDONLY : O_WRONLY);
    if (strchr(mode, 'x'))
        flags |= O_EXCL;
    if (strchr(mode, 'e'))
        flags |= O_CLOEXEC;
    return flags;
}

static FILE *faulty_fopen(const char *path, const char *mode, FILE *(*real)(const char *, const char *))
{
    int flags = mode ? open_flags(mode) : -1;
    if (current_mode() == MODE_NONE || flags < 0 || !below_prefix(path))
        return real(path, mode);
    int fd = open(path, flags, 0666);
    if (fd < 0)
        return NULL;
    char cookie_mode[4] = {mode[0], strchr(mode, '+') ? '+' : '\0', '\0', '\0'};
    cookie_io_functions_t io = {cookie_read, cookie_write, cookie_seek, cookie_close};
    FILE *stream = fopencookie((void *)(long)fd, cookie_mode, io);
    if (!stream) {
        close(fd);
        return NULL;
    }
    pthread_mutex_lock(&streams_lock);
    for (int i = 0; i < MAX_STREAMS; ++i) {
        if (!streams[i].stream) {
            streams[i].stream = stream;
            streams[i].fd = fd;
            break;
        }
    }
    pthread_mutex_unlock(&streams_lock);
    return stream;
}

FILE *fopen(const char *path, const char *mode)
{
    load_fopen();
    return faulty_fopen(path, mode, REAL(fopen));
}

FILE *fopen64(const char *path, const char *mode)
{
    load_fopen64();
    return faulty_fopen(path, mode, REAL(fopen64));
}

int fileno(FILE *stream)
{
    pthread_mutex_lock(&streams_lock);
    for (int i = 0; i < MAX_STREAMS; ++i) {
        if (stream && streams[i].stream == stream) {
            int fd = streams[i].fd;
            pthread_mutex_unlock(&streams_lock);
            return fd;
        }
    }
    pthread_mutex_unlock(&streams_lock);
    load_fileno();
    return REAL(fileno)(stream);
}
