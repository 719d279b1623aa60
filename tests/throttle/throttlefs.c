/* throttlefs: a small FUSE file system that stands in for a slow disk. It keeps
   only the sizes of its files (reads return zeros), serves writes and reads at set
   rates with the page cache out of the way (direct I/O), can stall once at a
   chosen block, and can run out of space at a chosen size.

   throttlefs MOUNTPOINT -o write_kbs=4800,read_kbs=9600[,stall_block=101,
       stall_ms=2000,block_kb=96,full_at_kb=N,size_mb=1024]
   It stays in the foreground; unmount with fusermount3 -u or by ending it. */
#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <errno.h>
#include <pthread.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

enum { MAX_FILES = 64, NAME_SIZE = 256 };

struct options {
    unsigned write_kbs, read_kbs, stall_block, stall_ms, block_kb, full_at_kb, size_mb;
};
static struct options opt = {4800, 9600, 0, 0, 96, 0, 1024};

static const struct fuse_opt option_spec[] = {
    {"write_kbs=%u", offsetof(struct options, write_kbs), 0},
    {"read_kbs=%u", offsetof(struct options, read_kbs), 0},
    {"stall_block=%u", offsetof(struct options, stall_block), 0},
    {"stall_ms=%u", offsetof(struct options, stall_ms), 0},
    {"block_kb=%u", offsetof(struct options, block_kb), 0},
    {"full_at_kb=%u", offsetof(struct options, full_at_kb), 0},
    {"size_mb=%u", offsetof(struct options, size_mb), 0},
    FUSE_OPT_END,
};

struct file {
    char name[NAME_SIZE];
    off_t size;
    int used;
    int stalled;
};
static struct file files[MAX_FILES];
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static double next_free;  /* when the "device" is free again, seconds */

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static void sleep_until(double when)
{
    double wait = when - now();
    if (wait <= 0)
        return;
    struct timespec t = {(time_t)wait, (long)((wait - (time_t)wait) * 1e9)};
    nanosleep(&t, 0);
}

/* The device transfers at rate kB/s: each request waits for its share of time. */
static void transfer(size_t bytes, unsigned kbs, double extra)
{
    double start = now();
    if (next_free < start)
        next_free = start;
    next_free += (double)bytes / (kbs * 1024.0) + extra;
    sleep_until(next_free);
}

static struct file *find(const char *path)
{
    if (path[0] != '/')
        return 0;
    for (int i = 0; i < MAX_FILES; i++)
        if (files[i].used && !strcmp(files[i].name, path + 1))
            return &files[i];
    return 0;
}

static off_t used_bytes(void)
{
    off_t total = 0;
    for (int i = 0; i < MAX_FILES; i++)
        if (files[i].used)
            total += files[i].size;
    return total;
}

static int fs_getattr(const char *path, struct stat *st, struct fuse_file_info *fi)
{
    (void)fi;
    memset(st, 0, sizeof *st);
    if (!strcmp(path, "/")) {
        st->st_mode = S_IFDIR | 0777;
        st->st_nlink = 2;
        return 0;
    }
    pthread_mutex_lock(&lock);
    struct file *f = find(path);
    if (f) {
        st->st_mode = S_IFREG | 0666;
        st->st_nlink = 1;
        st->st_size = f->size;
    }
    pthread_mutex_unlock(&lock);
    return f ? 0 : -ENOENT;
}

static int fs_readdir(const char *path, void *buf, fuse_fill_dir_t fill, off_t offset,
                      struct fuse_file_info *fi, enum fuse_readdir_flags flags)
{
    (void)offset; (void)fi; (void)flags;
    if (strcmp(path, "/"))
        return -ENOENT;
    fill(buf, ".", 0, 0, 0);
    fill(buf, "..", 0, 0, 0);
    pthread_mutex_lock(&lock);
    for (int i = 0; i < MAX_FILES; i++)
        if (files[i].used)
            fill(buf, files[i].name, 0, 0, 0);
    pthread_mutex_unlock(&lock);
    return 0;
}

static int fs_create(const char *path, mode_t mode, struct fuse_file_info *fi)
{
    (void)mode;
    if (path[0] != '/' || strchr(path + 1, '/') || strlen(path + 1) >= NAME_SIZE)
        return -EACCES;
    pthread_mutex_lock(&lock);
    struct file *f = find(path);
    for (int i = 0; !f && i < MAX_FILES; i++)
        if (!files[i].used) {
            f = &files[i];
            memset(f, 0, sizeof *f);
            snprintf(f->name, sizeof f->name, "%s", path + 1);
            f->used = 1;
        }
    if (f) {
        f->size = 0;
        f->stalled = 0;
    }
    pthread_mutex_unlock(&lock);
    fi->direct_io = 1;
    return f ? 0 : -ENOSPC;
}

static int fs_open(const char *path, struct fuse_file_info *fi)
{
    pthread_mutex_lock(&lock);
    struct file *f = find(path);
    if (f && (fi->flags & O_TRUNC)) {
        f->size = 0;
        f->stalled = 0;
    }
    pthread_mutex_unlock(&lock);
    fi->direct_io = 1;
    return f ? 0 : -ENOENT;
}

static int fs_truncate(const char *path, off_t size, struct fuse_file_info *fi)
{
    (void)fi;
    pthread_mutex_lock(&lock);
    struct file *f = find(path);
    if (f) {
        f->size = size;
        if (!size)
            f->stalled = 0;
    }
    pthread_mutex_unlock(&lock);
    return f ? 0 : -ENOENT;
}

static int fs_write(const char *path, const char *data, size_t size, off_t offset,
                    struct fuse_file_info *fi)
{
    (void)data; (void)fi;
    pthread_mutex_lock(&lock);
    struct file *f = find(path);
    if (!f) {
        pthread_mutex_unlock(&lock);
        return -ENOENT;
    }
    if (opt.full_at_kb && offset + (off_t)size > (off_t)opt.full_at_kb * 1024) {
        pthread_mutex_unlock(&lock);
        return -ENOSPC;
    }
    double extra = 0;
    off_t stall_at = (off_t)(opt.stall_block ? opt.stall_block - 1 : 0) * opt.block_kb * 1024;
    if (opt.stall_block && !f->stalled && offset <= stall_at && stall_at < offset + (off_t)size) {
        f->stalled = 1;
        extra = opt.stall_ms / 1000.0;
    }
    if (offset + (off_t)size > f->size)
        f->size = offset + size;
    pthread_mutex_unlock(&lock);
    transfer(size, opt.write_kbs, extra);
    return (int)size;
}

static int fs_read(const char *path, char *data, size_t size, off_t offset,
                   struct fuse_file_info *fi)
{
    (void)fi;
    pthread_mutex_lock(&lock);
    struct file *f = find(path);
    off_t fsize = f ? f->size : 0;
    pthread_mutex_unlock(&lock);
    if (!f)
        return -ENOENT;
    if (offset >= fsize)
        return 0;
    if (offset + (off_t)size > fsize)
        size = (size_t)(fsize - offset);
    memset(data, 0, size);
    transfer(size, opt.read_kbs, 0);
    return (int)size;
}

static int fs_unlink(const char *path)
{
    pthread_mutex_lock(&lock);
    struct file *f = find(path);
    if (f)
        f->used = 0;
    pthread_mutex_unlock(&lock);
    return f ? 0 : -ENOENT;
}

static int fs_statfs(const char *path, struct statvfs *st)
{
    (void)path;
    memset(st, 0, sizeof *st);
    st->f_bsize = st->f_frsize = 4096;
    st->f_blocks = (fsblkcnt_t)opt.size_mb * 256;
    pthread_mutex_lock(&lock);
    fsblkcnt_t used = (fsblkcnt_t)((used_bytes() + 4095) / 4096);
    pthread_mutex_unlock(&lock);
    st->f_bfree = st->f_bavail = used < st->f_blocks ? st->f_blocks - used : 0;
    st->f_namemax = NAME_SIZE - 1;
    return 0;
}

static int fs_utimens(const char *path, const struct timespec tv[2], struct fuse_file_info *fi)
{
    (void)tv; (void)fi;
    return !strcmp(path, "/") || find(path) ? 0 : -ENOENT;
}

static int fs_chmod(const char *path, mode_t mode, struct fuse_file_info *fi)
{
    (void)mode; (void)fi;
    return !strcmp(path, "/") || find(path) ? 0 : -ENOENT;
}

static const struct fuse_operations ops = {
    .getattr = fs_getattr, .readdir = fs_readdir, .create = fs_create, .open = fs_open,
    .truncate = fs_truncate, .write = fs_write, .read = fs_read, .unlink = fs_unlink,
    .statfs = fs_statfs, .utimens = fs_utimens, .chmod = fs_chmod,
};

int main(int argc, char *argv[])
{
    struct fuse_args args = FUSE_ARGS_INIT(argc, argv);
    if (fuse_opt_parse(&args, &opt, option_spec, 0) == -1)
        return 1;
    if (!opt.write_kbs || !opt.read_kbs || !opt.block_kb) {
        fprintf(stderr, "throttlefs: rates and block size must be above 0\n");
        return 1;
    }
    /* One request at a time, as one disk serves them. */
    fuse_opt_add_arg(&args, "-s");
    fuse_opt_add_arg(&args, "-f");
    int result = fuse_main(args.argc, args.argv, &ops, 0);
    fuse_opt_free_args(&args);
    return result;
}
