"""MurmurHash3 through the real kernel dispatch: run on every emulated
processor, so each tier's selection and kernels meet the reference. Kept
small: emulation is slow."""

import random

import mmh3
import pytest

import _vantorq as v

BLOB = random.Random(63).randbytes(1 << 17)
# Around every kernel boundary: small bodies, the 16/32-byte x86_32 steps, the
# 128-byte x86_128 entry, the 512-byte x64_128 entry, and the detach threshold.
LENGTHS = sorted({*range(0, 70), 127, 128, 129, 143, 144, 255, 256, 496, 511, 512, 513, 527, 528, 4099,
                  65_535, 65_536, 65_537, len(BLOB)})


@pytest.mark.parametrize(
    ("ours", "reference"),
    [
        (v.murmur3_32, lambda d, s: mmh3.hash(d, s, signed=False)),
        (v.murmur3_x86_128_digest, lambda d, s: mmh3.hash_bytes(d, s, x64arch=False)),
        (v.murmur3_x64_128_digest, lambda d, s: mmh3.hash_bytes(d, s, x64arch=True)),
    ],
    ids=["x86_32", "x86_128", "x64_128"],
)
@pytest.mark.parametrize("offset", [0, 1, 7])
def test_kernels_match_the_reference(ours, reference, offset):
    for length in LENGTHS:
        data = memoryview(BLOB)[offset : offset + length]
        assert ours(data, 0x5EED) == reference(bytes(data), 0x5EED), length


@pytest.mark.parametrize(
    ("hasher", "reference"),
    [
        (v.murmur3_x86_32, lambda d: mmh3.hash(d, signed=False).to_bytes(4, "little")),
        (v.murmur3_x86_128, lambda d: mmh3.hash_bytes(d, x64arch=False)),
        (v.murmur3_x64_128, lambda d: mmh3.hash_bytes(d, x64arch=True)),
    ],
    ids=["x86_32", "x86_128", "x64_128"],
)
def test_hashers_fed_across_kernel_boundaries_match_the_reference(hasher, reference):
    # Pieces that leave a pending block, then bodies just below and above each entry length.
    sizes = [3, 13, 16, 28, 32, 127, 128, 511, 512, 1, 65_536, 4099]
    h = hasher()
    offset = 0
    for size in sizes:
        h.update(memoryview(BLOB)[offset : offset + size])
        offset += size
    assert h.digest() == reference(BLOB[:offset])
