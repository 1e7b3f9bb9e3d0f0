/* A file system that stands in for a network share: it shows the regular
 * files of a backing folder, empty, and answers every lookup anew (nothing is
 * cached in the kernel), so stopping this process stops the share's answers.
 * Each request writes one byte to standard output, which tells a test when the
 * file system is idle.
 * Usage: share BACKING_FOLDER MOUNT_POINT */
#define FUSE_USE_VERSION 31

#include <dirent.h>
#include <errno.h>
#include <fuse.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char *backing;

static void note_request(void) {
    (void)!write(STDOUT_FILENO, ".", 1);
}

static void *share_init(struct fuse_conn_info *conn, struct fuse_config *config) {
    (void)conn;
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    return NULL;
}

static int share_getattr(const char *path, struct stat *attributes, struct fuse_file_info *info) {
    (void)info;
    note_request();
    memset(attributes, 0, sizeof *attributes);
    if (strcmp(path, "/") == 0) {
        attributes->st_mode = S_IFDIR | 0755;
        attributes->st_nlink = 2;
        return 0;
    }
    char real[PATH_MAX];
    struct stat backing_attributes;
    if (snprintf(real, sizeof real, "%s%s", backing, path) >= (int)sizeof real ||
        stat(real, &backing_attributes) != 0 || !S_ISREG(backing_attributes.st_mode)) {
        return -ENOENT;
    }
    attributes->st_mode = S_IFREG | 0644;
    attributes->st_nlink = 1;
    return 0;
}

static int share_readdir(const char *path, void *buffer, fuse_fill_dir_t fill, off_t offset,
                         struct fuse_file_info *info, enum fuse_readdir_flags flags) {
    (void)offset;
    (void)info;
    (void)flags;
    note_request();
    if (strcmp(path, "/") != 0) {
        return -ENOENT;
    }
    fill(buffer, ".", NULL, 0, 0);
    fill(buffer, "..", NULL, 0, 0);
    DIR *folder = opendir(backing);
    if (folder == NULL) {
        return 0;
    }
    for (struct dirent *entry = readdir(folder); entry != NULL; entry = readdir(folder)) {
        if (entry->d_type == DT_REG) {
            fill(buffer, entry->d_name, NULL, 0, 0);
        }
    }
    closedir(folder);
    return 0;
}

static const struct fuse_operations share_operations = {
    .getattr = share_getattr,
    .readdir = share_readdir,
    .init = share_init,
};

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: share BACKING_FOLDER MOUNT_POINT\n");
        return 2;
    }
    backing = argv[1];
    /* In the foreground and single-threaded: a stop holds every request. */
    char *fuse_argv[] = {argv[0], "-f", "-s", argv[2], NULL};
    return fuse_main(4, fuse_argv, &share_operations, NULL);
}
