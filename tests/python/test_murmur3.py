"""MurmurHash3 one-shot functions against the mmh3 package and the reference
verification values."""

import random
import struct

import mmh3
import pytest

import _vantorq as v
from hash_inputs import INPUT_KINDS, assert_consistent_while_resized, results_from_threads

RNG = random.Random(6_1)
BLOB = RNG.randbytes(1 << 20)
SEEDS = [0, 1, 0x9747B28C, 2**32 - 1]

VARIANTS = {
    "x86_32": (v.murmur3_32, lambda data, seed: mmh3.hash(data, seed, signed=False)),
    "x86_128": (v.murmur3_x86_128_digest, lambda data, seed: mmh3.hash_bytes(data, seed, x64arch=False)),
    "x64_128": (v.murmur3_x64_128_digest, lambda data, seed: mmh3.hash_bytes(data, seed, x64arch=True)),
}


@pytest.mark.parametrize("variant", VARIANTS)
@pytest.mark.parametrize("seed", SEEDS)
def test_every_short_length_matches_mmh3(variant, seed):
    ours, reference = VARIANTS[variant]
    for length in range(1025):
        data = BLOB[:length]
        assert ours(data, seed) == reference(data, seed), length


@pytest.mark.parametrize("variant", VARIANTS)
def test_random_lengths_and_offsets_match_mmh3(variant):
    ours, reference = VARIANTS[variant]
    rng = random.Random(variant)
    for _ in range(40):
        start = rng.randrange(64)
        length = rng.randrange(len(BLOB) - start)
        seed = rng.randrange(2**32)
        data = BLOB[start : start + length]
        assert ours(data, seed) == reference(data, seed), (start, length, seed)


def smhasher_verification(hash_into_bytes, digest_size):
    key = bytes(range(256))
    digests = b"".join(hash_into_bytes(key[:i], 256 - i) for i in range(256))
    return struct.unpack("<I", hash_into_bytes(digests, 0)[:4])[0]


@pytest.mark.parametrize(
    ("hash_into_bytes", "expected"),
    [
        (lambda data, seed: v.murmur3_32(data, seed).to_bytes(4, "little"), 0xB0F57EE3),
        (v.murmur3_x86_128_digest, 0xB3ECE62A),
        (v.murmur3_x64_128_digest, 0x6384BA69),
    ],
)
def test_smhasher_verification_values(hash_into_bytes, expected):
    assert smhasher_verification(hash_into_bytes, 16) == expected


def test_documented_values():
    assert hex(v.murmur3_32(b"hello")) == "0x248bfa47"
    assert v.murmur3_32(b"hello", seed=7) == 0xD6203B6B
    assert v.murmur3_32(b"") == 0
    assert v.murmur3_32(b"", seed=1) == 0x514E28B7
    assert v.murmur3_x86_128_digest(b"hello").hex() == "a044242bf7de91dbb631db9ab631db9a"
    assert v.murmur3_x64_128_digest(b"hello").hex() == "029bbd41b3a7d8cb191dae486a901e5b"
    assert v.murmur3_x86_128_digest(b"") == bytes(16) == v.murmur3_x64_128_digest(b"")




@pytest.mark.parametrize("kind", INPUT_KINDS)
@pytest.mark.parametrize("variant", VARIANTS)
@pytest.mark.parametrize("length", [0, 1, 15, 16, 17, 100, 70_000])
def test_every_input_kind_hashes_its_bytes(kind, variant, length):
    ours, reference = VARIANTS[variant]
    data = BLOB[:length]
    assert ours(INPUT_KINDS[kind](data), 11) == reference(data, 11)


def test_nd_array_view_is_hashed_in_c_order():
    data = BLOB[:24]
    view = memoryview(data).cast("B", (4, 6))
    assert v.murmur3_32(view) == mmh3.hash(data, signed=False)


@pytest.mark.parametrize("variant", VARIANTS)
def test_large_bytes_hash_while_other_threads_run(variant):
    # Large immutable inputs are hashed with the thread detached; results must not depend on that.
    ours, reference = VARIANTS[variant]
    data = BLOB[: 1 << 18]
    assert results_from_threads(lambda: ours(data, 3)) == [reference(data, 3)] * 80


def test_bytearray_resized_by_another_thread_hashes_a_consistent_state():
    assert_consistent_while_resized(v.murmur3_32, BLOB[:4096])
