"""Fails when a build read a header from outside what the scripts provide.

    python scripts/header_origins.py [--allow DIR]... BUILD_DIR...

Every header that the compilers read for the given Ninja build folders
(`ninja -t deps`) must lie in the project (its build folders and venvs
included), in one of the --allow folders (the interpreters' include folders),
or in a Debian package named below. A header from anywhere else is what a
hand-installed package left on this machine: a fresh machine would not find
it, so the run fails with each such path and the package that owns it.
"""

import argparse
import collections
import pathlib
import subprocess
import sys

# The packages of a bare Debian 12 with a C++ compiler (the C library's, the
# kernel's and GCC's development headers), and those that scripts/ installs
# itself: GoogleTest and the reference xxHash of the C++ tests; for the fuzz targets, clang-14's own headers (which come
# with clang-14) and its sanitizer runtime's (libFuzzer's data provider); for the aarch64 build, the cross
# compiler's C library, kernel and GCC headers (g++-aarch64-linux-gnu brings them).
ALLOWED_PACKAGES = {
    "libc6-dev",
    "linux-libc-dev",
    "libgcc-12-dev",
    "libstdc++-12-dev",
    "libgtest-dev",
    "libxxhash-dev",
    "libclang-common-14-dev",
    "libclang-rt-14-dev",
    "libc6-dev-arm64-cross",
    "linux-libc-dev-arm64-cross",
    "libgcc-12-dev-arm64-cross",
    "libstdc++-12-dev-arm64-cross",
}

PROJECT = pathlib.Path(__file__).resolve().parent.parent


def headers_read(build_dir: pathlib.Path) -> set[pathlib.Path]:
    """Every file that the dependency log of the build folder lists."""
    log = subprocess.run(["ninja", "-C", str(build_dir), "-t", "deps"],
                         check=True, capture_output=True, text=True).stdout
    # Dependencies are the indented lines under each output's line; relative
    # paths are relative to the build folder.
    return {build_dir / line.strip() for line in log.splitlines() if line.startswith("    ")}


def owners(paths: list[pathlib.Path]) -> dict[pathlib.Path, frozenset[str]]:
    """The Debian packages that own each path that one owns, by `dpkg -S`."""
    if not paths:
        return {}
    found = {}
    # dpkg -S exits with 1 when some path has no package: those are read as absent.
    out = subprocess.run(["dpkg", "-S", *map(str, paths)], capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith("diversion "):
            continue
        packages, _, path = line.partition(": ")
        # "pkg:amd64, other:amd64" where several own a path.
        found[pathlib.Path(path)] = frozenset(p.split(":")[0] for p in packages.split(", "))
    return found


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--allow", action="append", default=[], type=pathlib.Path)
    parser.add_argument("build_dirs", nargs="+", type=pathlib.Path)
    args = parser.parse_args()
    allowed_roots = [PROJECT, *(d.resolve() for d in args.allow)]

    readers = collections.defaultdict(set)  # header outside the roots -> build folders
    for build_dir in args.build_dirs:
        for header in headers_read(build_dir):
            resolved = header.resolve()
            if not any(resolved.is_relative_to(root) for root in allowed_roots):
                readers[header.absolute()].add(str(build_dir))

    # dpkg knows each file under one spelling: GCC names some headers through
    # "..", and merged /usr gives others two. Ask for the path as the
    # compiler saw it, then as resolved.
    package_of = owners(sorted(readers))
    unowned = [h for h in readers if h not in package_of]
    by_resolved = owners([h.resolve() for h in unowned])
    package_of.update({h: by_resolved[h.resolve()] for h in unowned if h.resolve() in by_resolved})

    faults = []
    for header, builds in sorted(readers.items()):
        package = package_of.get(header)
        if package is None:
            faults.append(f"{header}: no Debian package owns it (read by {', '.join(sorted(builds))})")
        elif not package & ALLOWED_PACKAGES:
            faults.append(f"{header}: from {', '.join(sorted(package))}, which nothing in scripts/ installs "
                          f"(read by {', '.join(sorted(builds))})")
    if faults:
        print("headers from outside what a fresh machine has:", *faults, sep="\n  ", file=sys.stderr)
        return 1
    print(f"{len(readers)} system headers, all from {', '.join(sorted(set().union(*package_of.values())))}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
