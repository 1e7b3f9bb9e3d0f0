"""A folder served by FUSE over a backing folder, as a network share serves
it: nothing is cached by the kernel, so every look asks this server, and
stopping its process stops the share's answers. Every time is cut to a
coarse step, as a server that keeps whole seconds (many network and FUSE
servers), FAT's 2 s or a kernel's clock tick serves it; a step of 1 ns keeps
them as they are. Each listing request reads the backing folder afresh, in
name order, from the offset the kernel asks for: an entry renamed from ahead
of the reader to behind it is missed, as on a real file system. Each request
writes one byte to standard output, which tells a test when the file system
is idle. A folder named "unlistable" answers every listing with an I/O
error.

Usage: python3 share.py BACKING MOUNTPOINT STEP_NS (in the foreground)
"""

import errno
import os
import sys

import fusepy


class Share(fusepy.Operations):
    use_ns = True

    def __init__(self, root, step):
        self.root = root
        self.step = step

    def __call__(self, operation, path, *arguments):
        os.write(sys.stdout.fileno(), b".")
        return super().__call__(operation, path, *arguments)

    def _path(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def getattr(self, path, fh=None):
        st = os.lstat(self._path(path))
        attrs = {key: getattr(st, key) for key in ("st_mode", "st_nlink", "st_uid", "st_gid", "st_size")}
        for key in ("st_atime", "st_mtime", "st_ctime"):
            nanoseconds = getattr(st, key + "_ns")
            attrs[key] = nanoseconds - nanoseconds % self.step
        return attrs

    def listing_from(self, path, offset):
        # A folder named "unlistable" cannot be listed, as on a failing disk.
        if os.path.basename(path) == "unlistable":
            raise OSError(errno.EIO, "cannot list")
        names = [".", ".."] + sorted(os.listdir(self._path(path)))
        for index in range(offset, len(names)):
            yield names[index], index + 1

    def create(self, path, mode, fi=None):
        return os.open(self._path(path), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode)

    def open(self, path, flags):
        return os.open(self._path(path), flags)

    def release(self, path, fh):
        os.close(fh)

    def truncate(self, path, length, fh=None):
        os.truncate(self._path(path), length)

    def utimens(self, path, times=None):
        os.utime(self._path(path), ns=times)

    def rename(self, old, new):
        os.rename(self._path(old), self._path(new))

    def unlink(self, path):
        os.unlink(self._path(path))


class ListingByOffset(fusepy.FUSE):
    """fusepy drops the offset of a listing request; this passes it on."""

    def readdir(self, path, buf, filler, offset, fip):
        for name, following in self.operations.listing_from(self._decode_optional_path(path), offset):
            if filler(buf, name.encode(self.encoding), None, following) != 0:
                break
        return 0


if __name__ == "__main__":
    backing, mountpoint, step = sys.argv[1], sys.argv[2], int(sys.argv[3])
    # One thread: a stopped server holds every request.
    ListingByOffset(Share(backing, step), mountpoint, foreground=True, nothreads=True,
                    attr_timeout=0, entry_timeout=0, negative_timeout=0)
