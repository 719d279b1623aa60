// throttlefs: a FUSE file system that stands in for a disk of a set speed. It keeps
// only the sizes of its files (reads give zeros) and serves writes and reads at the
// set rates with the page cache out of the way (direct I/O), one request at a time.
//
// throttlefs MOUNTPOINT -o write_kbs=3000,read_kbs=6000[,size_mb=1024]
// It stays in the foreground; unmount with fusermount3 -u.
#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <errno.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

enum { MAX_FILES = 16, NAME_SIZE = 64 };

static struct options {
    unsigned write_kbs, read_kbs, size_mb;
} opt = {3000, 6000, 1024};

static const struct fuse_opt option_spec[] = {
    {"write_kbs=%u", offsetof(struct options, write_kbs), 0},
    {"read_kbs=%u", offsetof(struct options, read_kbs), 0},
    {"size_mb=%u", offsetof(struct options, size_mb), 0},
    FUSE_OPT_END,
};

static struct file {
    char name[NAME_SIZE];
    off_t size;
} files[MAX_FILES];
static double next_free; // when the "device" is free again, in seconds

// The device moves kbs kB a second: each request waits for its share of time.
static void transfer(size_t bytes, unsigned kbs)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    double now = t.tv_sec + t.tv_nsec / 1e9;
    next_free = (next_free > now ? next_free : now) + bytes / (kbs * 1024.0);
    double wait = next_free - now;
    struct timespec pause = {(time_t)wait, (long)((wait - (time_t)wait) * 1e9)};
    nanosleep(&pause, 0);
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
    (void)fi;
    memset(st, 0, sizeof *st);
    struct file *f = find(path);
    st->st_mode = strcmp(path, "/") ? S_IFREG | 0666 : S_IFDIR | 0777;
    st->st_nlink = 1;
    st->st_size = f ? f->size : 0;
    return f || !strcmp(path, "/") ? 0 : -ENOENT;
}

static int fs_readdir(const char *path, void *buf, fuse_fill_dir_t fill, off_t offset,
                      struct fuse_file_info *fi, enum fuse_readdir_flags flags)
{
    (void)path, (void)offset, (void)fi, (void)flags;
    fill(buf, ".", 0, 0, 0);
    fill(buf, "..", 0, 0, 0);
    for (int i = 0; i < MAX_FILES; i++)
        if (files[i].name[0])
            fill(buf, files[i].name, 0, 0, 0);
    return 0;
}

static int fs_create(const char *path, mode_t mode, struct fuse_file_info *fi)
{
    (void)mode;
    struct file *f = find(path);
    for (int i = 0; !f && i < MAX_FILES && strlen(path) < NAME_SIZE; i++)
        if (!files[i].name[0])
            f = &files[i], snprintf(f->name, NAME_SIZE, "%s", path + 1);
    if (f)
        f->size = 0;
    fi->direct_io = 1;
    return f ? 0 : -ENOSPC;
}

static int fs_open(const char *path, struct fuse_file_info *fi)
{
    struct file *f = find(path);
    if (f && (fi->flags & O_TRUNC))
        f->size = 0;
    fi->direct_io = 1;
    return f ? 0 : -ENOENT;
}

static int fs_truncate(const char *path, off_t size, struct fuse_file_info *fi)
{
    (void)fi;
    struct file *f = find(path);
    if (f)
        f->size = size;
    return f ? 0 : -ENOENT;
}

static int fs_write(const char *path, const char *data, size_t size, off_t at, struct fuse_file_info *fi)
{
    (void)data, (void)fi;
    struct file *f = find(path);
    if (!f)
        return -ENOENT;
    if (at + (off_t)size > f->size)
        f->size = at + size;
    transfer(size, opt.write_kbs);
    return (int)size;
}

static int fs_read(const char *path, char *data, size_t size, off_t at, struct fuse_file_info *fi)
{
    (void)fi;
    struct file *f = find(path);
    if (!f)
        return -ENOENT;
    size = at >= f->size ? 0 : at + (off_t)size > f->size ? (size_t)(f->size - at) : size;
    memset(data, 0, size);
    transfer(size, opt.read_kbs);
    return (int)size;
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
    (void)path;
    memset(st, 0, sizeof *st);
    st->f_bsize = st->f_frsize = 4096;
    st->f_blocks = st->f_bfree = st->f_bavail = (fsblkcnt_t)opt.size_mb * 256;
    for (int i = 0; i < MAX_FILES; i++)
        st->f_bfree = st->f_bavail -= files[i].name[0] ? (fsblkcnt_t)(files[i].size + 4095) / 4096 : 0;
    st->f_namemax = NAME_SIZE - 1;
    return 0;
}

static int fs_touch(const char *path, const struct timespec tv[2], struct fuse_file_info *fi)
{
    (void)tv, (void)fi;
    return !strcmp(path, "/") || find(path) ? 0 : -ENOENT;
}

static const struct fuse_operations ops = {
    .getattr = fs_getattr, .readdir = fs_readdir, .create = fs_create, .open = fs_open,
    .truncate = fs_truncate, .write = fs_write, .read = fs_read, .unlink = fs_unlink,
    .statfs = fs_statfs, .utimens = fs_touch,
};

int main(int argc, char *argv[])
{
    struct fuse_args args = FUSE_ARGS_INIT(argc, argv);
    if (fuse_opt_parse(&args, &opt, option_spec, 0) == -1 || !opt.write_kbs || !opt.read_kbs)
        return 1;
    fuse_opt_add_arg(&args, "-s"); // one request at a time, as one disk serves them
    fuse_opt_add_arg(&args, "-f");
    return fuse_main(args.argc, args.argv, &ops, 0);
}
