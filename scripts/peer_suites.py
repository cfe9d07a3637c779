"""Runs a peer package's own test suite against vantorq's module of its name.

    python scripts/peer_suites.py [xxhash] [mmh3] [pybase64]   (all three by default)

The suite comes from the peer's source distribution, downloaded once into
~/.cache/vantorq/peers (never committed), at the version requirements-dev.txt
pins. Its test files are copied into a scratch folder with every import of
the peer turned into an import of `vantorq.<peer>`; nothing else in them
changes. tests/peers/<peer>/ holds what the run adds: `excepted.txt`, the
tests left out (one pytest node id or file per line, each with its reason
after '#'; "python<3.14 ID" leaves a test out below that version only, for
the suite's own tests of what older interpreters lack), and any helper
modules the suite imports but the distribution does not ship, copied beside
the tests.

The run fails on any failure, error or skip, and on an excepted test that no
longer exists (a stale list hides nothing then).
"""

import argparse
import pathlib
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile
import xml.etree.ElementTree as ElementTree

ROOT = pathlib.Path(__file__).resolve().parent.parent
CACHE = pathlib.Path.home() / ".cache" / "vantorq" / "peers"
PEERS = ("xxhash", "mmh3", "pybase64")


def pinned_version(peer: str) -> str:
    text = (ROOT / "requirements-dev.txt").read_text()
    match = re.search(rf"^{peer}==(\S+)", text, re.MULTILINE)
    if match is None:
        raise SystemExit(f"requirements-dev.txt does not pin {peer}")
    return match.group(1)


def source_distribution(peer: str, version: str) -> pathlib.Path:
    archive = CACHE / f"{peer}-{version}.tar.gz"
    if not archive.exists():
        CACHE.mkdir(parents=True, exist_ok=True)
        subprocess.run(
            [sys.executable, "-m", "pip", "download", "-q", "--no-binary", ":all:", "--no-deps",
             "-d", str(CACHE), f"{peer}=={version}"],
            check=True,
        )
    return archive


def with_vantorq_imports(text: str, peer: str) -> str:
    """The suite's source with each import of the peer made from vantorq,
    also inside the programs the suites run in subprocesses."""

    def statement(match: re.Match) -> str:
        names = [name.strip() for name in match.group("names").split(",")]
        if match.group("source") or peer not in names:
            return match.group(0)
        others = [name for name in names if name != peer]
        return (f"import {', '.join(others)}; " if others else "") + f"from vantorq import {peer}"

    names = r"[A-Za-z_][\w.]*(?:[ \t]*,[ \t]*[A-Za-z_][\w.]*)*"
    text = re.sub(rf"(?P<source>from[ \t]+[\w.]+[ \t]+)?\bimport[ \t]+(?P<names>{names})", statement, text)
    text = re.sub(rf"\bfrom[ \t]+{peer}(?=[.\s])", f"from vantorq.{peer}", text)
    # A subprocess running the peer as a program: [..., "-m", "peer", ...].
    return re.sub(rf"""(?P<option>(["'])-m\2[ \t]*,[ \t]*)(?P<quote>["']){peer}(?P=quote)""",
                  rf"\g<option>\g<quote>vantorq.{peer}\g<quote>", text)


def excepted(peer: str) -> list[str]:
    listing = ROOT / "tests" / "peers" / peer / "excepted.txt"
    if not listing.exists():
        return []
    left_out = []
    for line in listing.read_text().splitlines():
        entry = line.split("#", 1)[0].strip()
        below = re.match(r"python<(\d+)\.(\d+)\s+", entry)
        if below:
            entry = entry[below.end():]
            if sys.version_info[:2] >= (int(below.group(1)), int(below.group(2))):
                continue
        if entry:
            left_out.append(entry)
    return left_out


def run(peer: str, pytest_arguments: list[str]) -> bool:
    version = pinned_version(peer)
    with tempfile.TemporaryDirectory(prefix=f"{peer}-suite-") as scratch:
        with tarfile.open(source_distribution(peer, version)) as archive:
            members = [m for m in archive.getmembers() if m.name.split("/")[1:2] == ["tests"] and m.isfile()]
            archive.extractall(scratch, members=members, filter="data")
        tests = pathlib.Path(scratch) / f"{peer}-{version}" / "tests"
        for source in tests.rglob("*.py"):
            source.write_text(with_vantorq_imports(source.read_text(), peer))
        additions = ROOT / "tests" / "peers" / peer
        for extra in additions.glob("*.py") if additions.is_dir() else ():
            shutil.copy(extra, tests / extra.name)
        left_out = excepted(peer)
        missing = [entry for entry in left_out if not (tests.parent / entry.split("::")[0]).exists()]
        if missing:
            print(f"{peer}: excepted tests not in the suite: {missing}", file=sys.stderr)
            return False
        options = []
        for entry in left_out:
            options += ["--deselect", entry] if "::" in entry else ["--ignore", entry]
        report = pathlib.Path(scratch) / "report.xml"
        completed = subprocess.run(
            [sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", "--rootdir", str(tests.parent),
             f"--junitxml={report}", *options, *pytest_arguments, "tests"],
            cwd=tests.parent,
        )
        if not report.exists():
            return False
        suite = ElementTree.parse(report).getroot().find("testsuite")
        counts = {key: int(suite.get(key, 0)) for key in ("tests", "failures", "errors", "skipped")}
        passed = counts["tests"] - counts["failures"] - counts["errors"] - counts["skipped"]
        print(f"{peer} {version} on Python {sys.version.split()[0]}: {passed} passed, {counts['failures']} failures, "
              f"{counts['errors']} errors, {counts['skipped']} skipped; {len(left_out)} excepted")
        return completed.returncode == 0 and counts["skipped"] == 0


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("peers", nargs="*", metavar="peer", help=f"any of {', '.join(PEERS)}")
    options, pytest_arguments = parser.parse_known_args()
    unknown = set(options.peers) - set(PEERS)
    if unknown:
        parser.error(f"not a peer: {', '.join(sorted(unknown))}")
    results = [run(peer, pytest_arguments) for peer in options.peers or PEERS]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
