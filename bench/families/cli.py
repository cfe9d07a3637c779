"""The command line against xxhsum, each a process hashing a file in the page
cache: at 16 B the ratios are start-up alone, and `python -c pass` beside
them shows how much of ours is the interpreter's own; at 16 MiB, reading
and hashing join in."""

import atexit
import functools
import os
import shutil
import subprocess
import sys
import tempfile

from bench.harness import Row

SIZES = ("16 B", "16 MiB")
XXHSUM_FLAGS = {"xxh3_64": "-H3", "xxh64": "-H1"}


@functools.cache
def _folder() -> str:
    folder = tempfile.mkdtemp(prefix="vantorq-bench-cli-")
    atexit.register(shutil.rmtree, folder, True)
    return folder


def _file(data: bytes) -> str:
    path = os.path.join(_folder(), str(len(data)))
    with open(path, "wb") as file:
        file.write(data)
    return path


def _process(*command: str):
    # xxhsum draws its progress on standard error.
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    return lambda path: subprocess.run([*command, path], **quiet, check=True)


def rows() -> list[Row]:
    if shutil.which("xxhsum") is None:
        return []
    started = _process(sys.executable, "-c", "pass")
    return [
        Row(f"python -m vantorq hash -a {algo}", _process(sys.executable, "-m", "vantorq", "hash", "-a", algo),
            {f"xxhsum {flag}": _process("xxhsum", flag), "python -c pass": started},
            prepare=_file, sizes=SIZES, one_shot=False)
        for algo, flag in XXHSUM_FLAGS.items()
    ]
