// throttlefs: a FUSE file system that stands in for a disk of a set speed and of today's size
// (12 TB free of 16 TB, whatever it holds). It keeps only the sizes of its files (reads give zeros) and serves
// writes and reads at the set rates with the page cache out of the way (direct I/O), one
// request at a time; if asked, the device pauses for PAUSE_MS after every EVERY_MB moved. With
// CACHE_MB, a write-back cache of that size stands before the medium: writes go in at
// INTERFACE_KBS while it has room, it drains to the medium at WRITE_KBS all the time, and
// reads of data not yet drained come at INTERFACE_KBS.
//
// throttlefs MOUNTPOINT WRITE_KBS READ_KBS [PAUSE_MS EVERY_MB [CACHE_MB INTERFACE_KBS]]
// It stays in the foreground; unmount with fusermount3 -u.
#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

// The callbacks take what FUSE hands to every file system; most need only part of it.
#pragma GCC diagnostic ignored "-Wunused-parameter"

enum { MAX_FILES = 16, NAME_SIZE = 64 };

static int write_kbs, read_kbs, pause_ms, every_mb, interface_kbs;
static double moved_mb, cache_bytes;
// Bytes in the cache not yet on the medium as of drained_at: the last ones written, up to
// dirty_end of the file written last.
static double dirty, drained_at;
static off_t dirty_end;
static struct file {
    char name[NAME_SIZE];
    off_t size;
} files[MAX_FILES];
// When the "device" is free again, in seconds.
static double next_free;

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// When the device takes the next request, with the cache drained up to then.
static double begin(void)
{
    double start = next_free > now() ? next_free : now();
    dirty -= (start - drained_at) * write_kbs * 1024.0;
    dirty = dirty > 0 ? dirty : 0;
    drained_at = start;
    return start;
}

// The request takes `took` seconds from start: each waits for its share of time.
static void transfer(size_t bytes, double start, double took)
{
    next_free = start + took;
    if (every_mb && (moved_mb += bytes / 1048576.0) >= every_mb) {
        moved_mb -= every_mb;
        next_free += pause_ms / 1000.0;
    }
    usleep((useconds_t)((next_free - now()) * 1e6));
}

static struct file *find(const char *path)
{
    for (int i = 0; i < MAX_FILES; i++)
        if (files[i].name[0] && !strcmp(files[i].name, path + 1))
            return &files[i];
    return 0;
}

static int fs_getattr(const char *path, struct stat *st, struct fuse_file_info *fi)
{
    struct file *f = find(path);
    int root = !strcmp(path, "/");
    memset(st, 0, sizeof *st);
    st->st_mode = root ? S_IFDIR | 0777 : S_IFREG | 0666;
    st->st_nlink = 1;
    st->st_size = f ? f->size : 0;
    return f || root ? 0 : -ENOENT;
}

static int fs_readdir(const char *path, void *buf, fuse_fill_dir_t fill, off_t offset, struct fuse_file_info *fi,
                      enum fuse_readdir_flags flags)
{
    for (int i = 0; i < MAX_FILES; i++)
        if (files[i].name[0])
            fill(buf, files[i].name, 0, 0, 0);
    return 0;
}

static int fs_open(const char *path, struct fuse_file_info *fi)
{
    struct file *f = find(path);
    if (f && (fi->flags & O_TRUNC))
        f->size = 0;
    fi->direct_io = 1;
    return f ? 0 : -ENOENT;
}

static int fs_create(const char *path, mode_t mode, struct fuse_file_info *fi)
{
    for (int i = 0; !find(path) && i < MAX_FILES && strlen(path) < NAME_SIZE; i++)
        if (!files[i].name[0])
            strcpy(files[i].name, path + 1);
    fi->flags |= O_TRUNC;
    return find(path) ? fs_open(path, fi) : -ENOSPC;
}

static int fs_truncate(const char *path, off_t size, struct fuse_file_info *fi)
{
    struct file *f = find(path);
    if (f)
        f->size = size;
    return f ? 0 : -ENOENT;
}

static int fs_write(const char *path, const char *data, size_t size, off_t at, struct fuse_file_info *fi)
{
    struct file *f = find(path);
    if (f && at + (off_t)size > f->size)
        f->size = at + size;
    double start = begin(), took = size / (write_kbs * 1024.0);
    if (cache_bytes) { // at the interface's rate, or as fast as the medium makes room
        double room = (dirty + size - cache_bytes) / (write_kbs * 1024.0);
        took = size / (interface_kbs * 1024.0);
        took = room > took ? room : took;
        dirty += size, dirty_end = at + size;
    }
    transfer(size, start, took);
    return f ? (int)size : -ENOENT;
}

static int fs_read(const char *path, char *data, size_t size, off_t at, struct fuse_file_info *fi)
{
    struct file *f = find(path);
    size = !f || at >= f->size ? 0 : at + (off_t)size > f->size ? (size_t)(f->size - at) : size;
    memset(data, 0, size);
    double start = begin();
    int cached = cache_bytes && at + (off_t)size > dirty_end - (off_t)dirty;
    transfer(size, start, size / ((cached ? interface_kbs : read_kbs) * 1024.0));
    return f ? (int)size : -ENOENT;
}

static int fs_unlink(const char *path)
{
    struct file *f = find(path);
    if (f)
        f->name[0] = 0;
    return f ? 0 : -ENOENT;
}

static int fs_statfs(const char *path, struct statvfs *st)
{
    memset(st, 0, sizeof *st);
    st->f_bsize = st->f_frsize = 4096;
    st->f_blocks = 16000000000000 / 4096;
    st->f_bfree = st->f_bavail = 12000000000000 / 4096;
    st->f_namemax = NAME_SIZE - 1;
    return 0;
}

static int fs_touch(const char *path, const struct timespec tv[2], struct fuse_file_info *fi)
{
    return !strcmp(path, "/") || find(path) ? 0 : -ENOENT;
}

static const struct fuse_operations ops = {
    .getattr = fs_getattr, .readdir = fs_readdir, .create = fs_create, .open = fs_open,
    .truncate = fs_truncate, .write = fs_write, .read = fs_read, .unlink = fs_unlink,
    .statfs = fs_statfs, .utimens = fs_touch,
};

int main(int argc, char *argv[])
{
    if ((argc != 4 && argc != 6 && argc != 8) || (write_kbs = atoi(argv[2])) <= 0 || (read_kbs = atoi(argv[3])) <= 0)
        return 1;
    if (argc >= 6 && ((pause_ms = atoi(argv[4])) < 0 || (every_mb = atoi(argv[5])) < 0))
        return 1;
    if (argc == 8 && ((cache_bytes = atoi(argv[6]) * 1048576.0) <= 0 || (interface_kbs = atoi(argv[7])) <= 0))
        return 1;
    // One request at a time, as one disk serves them.
    char *args[] = {argv[0], "-s", "-f", argv[1]};
    return fuse_main(4, args, &ops, 0);
}
