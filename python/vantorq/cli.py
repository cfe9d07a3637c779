"""The command line: ``python -m vantorq encode|decode|hash``.

Inputs are read in chunks of CHUNK_SIZE bytes, so encoding, decoding and the
MurmurHash3 hashes run in the same small memory for inputs of any size. The
XXH3 functions hash one buffer at a time, so an XXH3 hash holds the whole
input in memory once (and nothing more).
"""

import argparse
import binascii
import contextlib
import importlib
import os
import re
import stat
import sys
from collections.abc import Callable, Iterator, Sequence
from dataclasses import dataclass
from typing import BinaryIO, Protocol

import _vantorq

CHUNK_SIZE = 1 << 20
# Inputs at least this large show a progress bar when standard error is a
# terminal and tqdm (the `cli` extra) is installed.
PROGRESS_FROM = 64 << 20


class CommandError(Exception):
    """A failure reported as one line on standard error, with exit status 1."""


class Progress(Protocol):
    def update(self, n: int, /) -> object: ...


class NoProgress:
    def update(self, n: int, /) -> None:
        pass


def remaining_size(source: BinaryIO) -> int | None:
    """Bytes left in a regular file; None for pipes and terminals."""
    try:
        status = os.fstat(source.fileno())
        return max(0, status.st_size - source.tell()) if stat.S_ISREG(status.st_mode) else None
    except (OSError, ValueError):
        return None


@contextlib.contextmanager
def progress(source: BinaryIO, label: str) -> Iterator[Progress]:
    total = remaining_size(source)
    if total is None or total < PROGRESS_FROM or not sys.stderr.isatty():
        yield NoProgress()
        return
    try:
        tqdm = importlib.import_module("tqdm").tqdm
    except ImportError:
        yield NoProgress()
        return
    with tqdm(total=total, desc=label, unit="B", unit_scale=True, unit_divisor=1024, leave=False,
              file=sys.stderr) as bar:
        yield bar


@contextlib.contextmanager
def opened(path: str) -> Iterator[BinaryIO]:
    """The file at `path`, or standard input for "-"."""
    if path == "-":
        yield sys.stdin.buffer
        return
    try:
        file = open(path, "rb")
    except OSError as error:
        raise CommandError(f"{path}: {error.strerror or error}") from None
    with file:
        yield file


def chunks(source: BinaryIO, size: int, bar: Progress) -> Iterator[bytes]:
    # A buffered reader returns `size` bytes on every read but the last, so the
    # encoder sees whole 3-byte groups until the end.
    while block := source.read(size):
        bar.update(len(block))
        yield block


# ----------------------------------------------------------------------------
# encode


LINES_PER_WRITE = 4096


def write_lines(out: BinaryIO, text: memoryview, width: int, column: int) -> int:
    """Writes `text` in lines of `width` characters, the first of which already
    holds `column`; returns the column where the text ends."""
    head = min(width - column, len(text))
    out.write(text[:head])
    if column + head < width:
        return column + head
    out.write(b"\n")
    rest = text[head:]
    whole = len(rest) - len(rest) % width
    # A few thousand lines per write: joined fast, in little memory even for
    # the narrowest lines.
    for start in range(0, whole, width * LINES_PER_WRITE):
        lines = rest[start : min(start + width * LINES_PER_WRITE, whole)]
        out.write(b"\n".join(lines[i : i + width] for i in range(0, len(lines), width)))
        out.write(b"\n")
    out.write(rest[whole:])
    return len(rest) - whole


def encode(args: argparse.Namespace) -> None:
    altchars = b"-_" if args.urlsafe else None
    width: int = args.wrap
    out = sys.stdout.buffer
    with opened(args.file) as source, progress(source, "encode") as bar:
        line_bytes = width * 3 // 4
        if width % 4 == 0 and 0 < line_bytes <= CHUNK_SIZE:
            # Whole lines in every chunk: the encoder breaks them itself.
            for block in chunks(source, CHUNK_SIZE - CHUNK_SIZE % line_bytes, bar):
                out.write(_vantorq.b64encode(block, altchars, wrapcol=width))
                out.write(b"\n")
            return
        column = 0
        for block in chunks(source, CHUNK_SIZE - CHUNK_SIZE % 3, bar):
            text = _vantorq.b64encode(block, altchars)
            if width:
                column = write_lines(out, memoryview(text), width, column)
            else:
                out.write(text)
        if column:
            out.write(b"\n")


# ----------------------------------------------------------------------------
# decode

STANDARD_SYMBOLS = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
URLSAFE_SYMBOLS = STANDARD_SYMBOLS[:62] + b"-_"
# URL-safe text is decoded with the standard alphabet: its two symbols become
# the standard ones, and the standard ones a byte that the decoder rejects.
URLSAFE_TO_STANDARD = bytes.maketrans(b"-_+/", b"+/!!")
LINE_BREAKS = b"\r\n"


def all_bytes_but(kept: bytes) -> bytes:
    return bytes(b for b in range(256) if b not in kept)


def decode_groups(text: memoryview) -> bytes:
    try:
        return _vantorq.b64decode(text, validate=True)
    except binascii.Error as error:
        raise CommandError(f"invalid input: {error}") from None


def decode(args: argparse.Namespace) -> None:
    symbols = URLSAFE_SYMBOLS if args.urlsafe else STANDARD_SYMBOLS
    table = URLSAFE_TO_STANDARD if args.urlsafe else None
    dropped = all_bytes_but(symbols + b"=") if args.ignore_garbage else LINE_BREAKS
    out = sys.stdout.buffer
    pending = b""  # the start of a group that the next chunk completes
    padded = False  # a group with padding was decoded: nothing may follow it
    with opened(args.file) as source, progress(source, "decode") as bar:
        for block in chunks(source, CHUNK_SIZE, bar):
            text = pending + block.translate(table, dropped)
            whole = len(text) - len(text) % 4
            pending = text[whole:]
            if whole == 0:
                continue
            if padded:
                raise CommandError("invalid input: Excess data after padding")
            out.write(decode_groups(memoryview(text)[:whole]))
            padded = text[whole - 1] == ord("=")
    if pending:
        raise CommandError("invalid input: " + ("Excess data after padding" if padded else "truncated final group"))


# ----------------------------------------------------------------------------
# hash


def read_whole(source: BinaryIO, bar: Progress) -> bytearray:
    """The rest of `source` in one buffer, allocated once for a regular file."""
    size = remaining_size(source) or 0
    data = bytearray(size)
    filled = 0
    for block in chunks(source, CHUNK_SIZE, bar):
        if filled + len(block) <= size:
            data[filled : filled + len(block)] = block
        else:  # a pipe, or a file that grew since it was measured
            del data[filled:]
            data += block
        filled += len(block)
    del data[filled:]
    return data


class Hasher(Protocol):
    def update(self, data: bytes, /) -> None: ...
    def digest(self) -> bytes: ...


@dataclass(frozen=True)
class Algorithm:
    digits: int  # hexadecimal digits of a hash
    hash_source: Callable[[BinaryIO, Progress], str]


def whole_input(function: Callable[[bytearray], int], digits: int) -> Algorithm:
    def hash_source(source: BinaryIO, bar: Progress) -> str:
        return format(function(read_whole(source, bar)), f"0{digits}x")

    return Algorithm(digits, hash_source)


def streamed(hasher: Callable[[], Hasher], as_text: Callable[[bytes], str], digits: int) -> Algorithm:
    def hash_source(source: BinaryIO, bar: Progress) -> str:
        state = hasher()
        for block in chunks(source, CHUNK_SIZE, bar):
            state.update(block)
        return as_text(state.digest())

    return Algorithm(digits, hash_source)


# Hashes print as the one-shot functions give them: ints in hexadecimal,
# digests as their bytes in hexadecimal.
ALGORITHMS = {
    "xxh3_64": whole_input(_vantorq.xxh3_64, 16),
    "xxh3_128": whole_input(_vantorq.xxh3_128, 32),
    "murmur3_32": streamed(_vantorq.murmur3_x86_32, lambda d: format(int.from_bytes(d, "little"), "08x"), 8),
    "murmur3_x86_128": streamed(_vantorq.murmur3_x86_128, bytes.hex, 32),
    "murmur3_x64_128": streamed(_vantorq.murmur3_x64_128, bytes.hex, 32),
}


def hash_path(path: str, algorithm: Algorithm) -> str:
    with opened(path) as source, progress(source, path) as bar:
        try:
            return algorithm.hash_source(source, bar)
        except OSError as error:
            raise CommandError(f"{path}: {error.strerror or error}") from None
        except MemoryError:
            raise CommandError(f"{path}: too large to hold in memory") from None


LISTED = re.compile(rb"([0-9a-fA-F]+) [ *](.+)")


def check(lists: Sequence[str], algorithm: Algorithm) -> int:
    """Verifies 'HASH  FILE' lines; 1 when any file is unreadable or differs,
    or any line is not such a line."""
    out = sys.stdout.buffer
    failed = unreadable = malformed = 0
    for list_path in lists:
        with opened(list_path) as listing:
            for line in listing:
                entry = LISTED.fullmatch(line.rstrip(b"\r\n"))
                if entry is None or len(entry[1]) != algorithm.digits:
                    malformed += 1
                    continue
                name = entry[2]
                try:
                    matches = hash_path(os.fsdecode(name), algorithm) == entry[1].lower().decode()
                except CommandError as error:
                    report(str(error))
                    out.write(name + b": FAILED open or read\n")
                    unreadable += 1
                    continue
                out.write(name + (b": OK\n" if matches else b": FAILED\n"))
                failed += not matches
    for count, what in ((malformed, "line(s) improperly formatted"), (unreadable, "listed file(s) could not be read"),
                        (failed, "computed hash(es) did NOT match")):
        if count:
            report(f"WARNING: {count} {what}")
    return 1 if failed or unreadable or malformed else 0


def hash_files(args: argparse.Namespace) -> int:
    algorithm = ALGORITHMS[args.algo]
    paths: list[str] = args.files or ["-"]
    if args.check:
        return check(paths, algorithm)
    status = 0
    for path in paths:
        try:
            digest = hash_path(path, algorithm)
        except CommandError as error:
            report(str(error))
            status = 1
            continue
        sys.stdout.buffer.write(digest.encode() + b"  " + os.fsencode(path) + b"\n")
    return status


# ----------------------------------------------------------------------------


def report(message: str) -> None:
    sys.stderr.write(f"vantorq: {message}\n")


def line_width(text: str) -> int:
    value = int(text)
    if value < 0:
        raise argparse.ArgumentTypeError("must be 0 or more")
    return value


def parser() -> argparse.ArgumentParser:
    top = argparse.ArgumentParser(
        prog="vantorq", description="Base64 encoding and decoding, and XXH3 and MurmurHash3 hashes of files."
    )
    commands = top.add_subparsers(required=True, metavar="COMMAND")

    command = commands.add_parser("encode", help="encode FILE (or standard input) as Base64 to standard output")
    command.add_argument("file", nargs="?", default="-", metavar="FILE")
    command.add_argument("-u", "--urlsafe", action="store_true", help="use '-' and '_' for '+' and '/'")
    command.add_argument("-w", "--wrap", type=line_width, default=76, metavar="N",
                         help="break lines after N characters (default 76); 0 for one line with no line feed")
    command.set_defaults(run=encode)

    command = commands.add_parser("decode", help="decode Base64 from FILE (or standard input) to standard output")
    command.add_argument("file", nargs="?", default="-", metavar="FILE")
    command.add_argument("-u", "--urlsafe", action="store_true", help="use '-' and '_' for '+' and '/'")
    command.add_argument("-i", "--ignore-garbage", action="store_true",
                         help="discard bytes outside the alphabet (else only line breaks are allowed)")
    command.set_defaults(run=decode)

    command = commands.add_parser("hash", help="print the hash and name of each FILE (or standard input)")
    command.add_argument("files", nargs="*", metavar="FILE")
    command.add_argument("-a", "--algo", choices=ALGORITHMS, default="xxh3_64", help="the hash (default xxh3_64)")
    command.add_argument("-c", "--check", action="store_true",
                         help="read 'HASH  FILE' lines from the FILEs and verify each listed file")
    command.set_defaults(run=hash_files)
    return top


def main(argv: Sequence[str] | None = None) -> int:
    args = parser().parse_args(argv)
    try:
        status: int | None = args.run(args)
        sys.stdout.flush()
        return status or 0
    except CommandError as error:
        report(str(error))
    except BrokenPipeError:
        # The reader went away (`| head`): stop quietly, as shell tools do,
        # and keep the interpreter's final flush from failing again.
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
    except OSError as error:
        report(error.strerror or str(error))
    except KeyboardInterrupt:
        return 130
    return 1
