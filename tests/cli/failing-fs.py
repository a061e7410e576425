#!/usr/bin/python3
"""A read-only FUSE file system whose files fail to read where they are told
to, as a failing disk or a network share whose server has gone would: each
file is the content of a local file, and a read that touches one of its
failing ranges fails whole with the error given. Runs in the foreground
until unmounted.

Usage: failing-fs.py MOUNTPOINT NAME=LOCAL_FILE[:ERROR@FROM-TO[,FROM-TO...]]...
  ERROR is an errno name (EIO, ENOTCONN); TO may be left out for the end.
Example: failing-fs.py mnt good.txt=src.txt bad.txt=src.txt:EIO@2097152-
"""
import errno
import os
import stat
import sys
import time

try:
    from fusepy import FUSE, FuseOSError, Operations  # Debian's python3-fusepy
except ImportError:
    from fuse import FUSE, FuseOSError, Operations


class ServedFile:
    def __init__(self, served_as):
        local, _, failure = served_as.partition(":")
        self.descriptor = os.open(local, os.O_RDONLY)
        self.size = os.fstat(self.descriptor).st_size
        self.error = 0
        self.ranges = []
        if failure:
            name, _, ranges = failure.partition("@")
            self.error = getattr(errno, name)
            for part in ranges.split(","):
                start, _, end = part.partition("-")
                self.ranges.append((int(start), int(end) if end else self.size))

    def read(self, size, offset):
        # A short answer would read as the file's end, so a failing device
        # fails the whole request.
        for start, end in self.ranges:
            if offset < end and offset + size > start:
                raise FuseOSError(self.error)
        return os.pread(self.descriptor, size, offset)


class FailingFs(Operations):
    def __init__(self, files):
        self.files = files
        self.now = time.time()

    def getattr(self, path, fh=None):
        times = {"st_atime": self.now, "st_mtime": self.now, "st_ctime": self.now}
        if path == "/":
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, **times)
        served = self.files.get(path[1:])
        if served is None:
            raise FuseOSError(errno.ENOENT)
        return dict(st_mode=stat.S_IFREG | 0o444, st_nlink=1, st_size=served.size, **times)

    def readdir(self, path, fh):
        return [".", ".."] + list(self.files)

    def read(self, path, size, offset, fh):
        return self.files[path[1:]].read(size, offset)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    files = {}
    for argument in sys.argv[2:]:
        name, _, rest = argument.partition("=")
        files[name] = ServedFile(rest)
    FUSE(FailingFs(files), sys.argv[1], foreground=True, nothreads=True, ro=True)


if __name__ == "__main__":
    main()
