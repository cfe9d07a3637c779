"""pybase64's command line, through vantorq: ``python -m vantorq.pybase64``.

    encode [-u | -a ALTCHARS] [-o OUTPUT] input
    decode [-u | -a ALTCHARS] [-o OUTPUT] [--no-validation] input
    benchmark [-d D] input

An input or output of ``-`` is standard input or output. Beyond pybase64's:
an input that cannot be read, or a decode error, gives a one-line message on
standard error and exit status 1 (pybase64 shows the traceback); the
benchmark compares vantorq.pybase64 with the interpreter's base64 module.
"""

from __future__ import annotations

import argparse
import base64
import sys
import time
from collections.abc import Callable, Sequence
from typing import BinaryIO

from vantorq import pybase64

PROG = "pybase64"


def read_input(name: str) -> bytes:
    if name == "-":
        return sys.stdin.buffer.read()
    with open(name, "rb") as file:
        return file.read()


def write_output(name: str, data: bytes) -> None:
    if name == "-":
        out: BinaryIO = sys.stdout.buffer
        out.write(data)
        out.flush()
        return
    with open(name, "wb") as file:
        file.write(data)


def altchars_of(options: argparse.Namespace) -> bytes | None:
    if options.url:
        return b"-_"
    return None if options.altchars is None else options.altchars.encode()


def encode(options: argparse.Namespace) -> None:
    write_output(options.output, pybase64.b64encode(read_input(options.input), altchars_of(options)))


def decode(options: argparse.Namespace) -> None:
    data = read_input(options.input)
    write_output(options.output, pybase64.b64decode(data, altchars_of(options), not options.no_validation))


def rate(function: Callable[[], object], size: int, duration: float) -> float:
    """MB/s of `size` bytes per call, over calls for about `duration` seconds."""
    calls, start = 0, time.perf_counter()
    while True:
        function()
        calls += 1
        elapsed = time.perf_counter() - start
        if elapsed >= duration:
            return size * calls / elapsed / 1e6


def benchmark(options: argparse.Namespace) -> None:
    data = read_input(options.input)
    encoded = pybase64.b64encode(data)
    print(f"{PROG} {pybase64.get_version()}")
    rivals: list[tuple[str, Callable[[], bytes], bytes, bytes]] = [
        ("vantorq.pybase64.b64encode", lambda: pybase64.b64encode(data), data, encoded),
        ("base64.b64encode", lambda: base64.b64encode(data), data, encoded),
        ("vantorq.pybase64.b64decode", lambda: pybase64.b64decode(encoded, validate=True), encoded, data),
        ("base64.b64decode", lambda: base64.b64decode(encoded, validate=True), encoded, data),
        ("vantorq.pybase64.encodebytes", lambda: pybase64.encodebytes(data), data, base64.encodebytes(data)),
        ("base64.encodebytes", lambda: base64.encodebytes(data), data, base64.encodebytes(data)),
    ]
    print("bench: altchars=None, validate=True, padded=True")
    for name, function, source, result in rivals:
        speed = rate(function, len(source), options.duration)
        print(f"{name + ':':<30}{speed:>9.0f} MB/s ({len(source):,} bytes -> {len(result):,} bytes)")


def parser() -> argparse.ArgumentParser:
    top = argparse.ArgumentParser(prog=PROG, description=f"{PROG} command-line tool.")
    top.add_argument("-V", "--version", action="version", version=f"{PROG} {pybase64.get_version()}")
    top.add_argument("--license", action="store_true", help="show license information and exit")
    commands = top.add_subparsers(dest="command", help="tool help")

    bench = commands.add_parser("benchmark", help="-h for usage")
    bench.add_argument("-d", "--duration", metavar="D", type=float, default=1.0,
                       help="expected duration for a single encode or decode test")
    bench.add_argument("input", help="input file used for the benchmark")
    bench.set_defaults(run=benchmark)

    for name, verb, run in (("encode", "encod", encode), ("decode", "decod", decode)):
        command = commands.add_parser(name, help="-h for usage")
        alphabet = command.add_mutually_exclusive_group()
        alphabet.add_argument("-u", "--url", action="store_true", help=f"use URL {verb}ing")
        alphabet.add_argument("-a", "--altchars", help=f"use alternative characters for {verb}ing")
        command.add_argument("-o", "--output", default="-", help=f"{verb}ed output file (default to stdout)")
        if name == "decode":
            command.add_argument("--no-validation", action="store_true",
                                 help="disable validation of the input data")
        command.add_argument("input", help=f"input file to be {verb}ed")
        command.set_defaults(run=run)
    return top


def main(argv: Sequence[str] | None = None) -> None:
    top = parser()
    options = top.parse_args(argv)
    if options.license:
        print(pybase64.get_license_text())
        raise SystemExit(0)
    if options.command is None:
        top.print_help()
        raise SystemExit(0)
    try:
        options.run(options)
    except (OSError, ValueError) as error:  # binascii.Error is a ValueError
        print(f"{PROG} {options.command}: {error}", file=sys.stderr)
        raise SystemExit(1) from None


if __name__ == "__main__":
    main()
