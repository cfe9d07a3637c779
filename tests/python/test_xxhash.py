"""XXH3 one-shot functions against the xxhash package."""

import array
import random

import pytest
import xxhash

import _vantorq as v
from hash_inputs import (
    INPUT_KINDS,
    assert_consistent_while_resized,
    needs_the_lock,
    other_thread_ran_during,
    results_from_threads,
)

RNG = random.Random(5_1)
BLOB = RNG.randbytes(4 << 20)
SEEDS = [0, 1, 2**64 - 1, RNG.randrange(2**64)]

WIDTHS = {
    "64": (v.xxh3_64, xxhash.xxh3_64_intdigest),
    "128": (v.xxh3_128, xxhash.xxh3_128_intdigest),
}

# Every length class boundary (0-16 by its four paths, 17-128, 129-240, the
# long path), block and stripe edges, and the detach threshold.
NAMED_LENGTHS = [0, 1, 3, 4, 8, 9, 16, 17, 32, 64, 96, 97, 128, 129, 143, 144, 160, 240, 241, 1024, 1025, 1088,
                 2048, 2049, 262_143, 262_144, 1_000_000, 1 << 20]


@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize("seed", SEEDS)
def test_every_length_to_2048_matches_xxhash(width, seed):
    ours, reference = WIDTHS[width]
    for length in range(2049):
        data = BLOB[:length]
        assert ours(data, seed) == reference(data, seed), length


@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize("seed", SEEDS)
@pytest.mark.parametrize("length", NAMED_LENGTHS)
def test_named_lengths_match_xxhash(width, seed, length):
    ours, reference = WIDTHS[width]
    data = BLOB[:length]
    assert ours(data, seed) == reference(data, seed)


@pytest.mark.parametrize("width", WIDTHS)
def test_random_lengths_offsets_and_seeds_match_xxhash(width):
    ours, reference = WIDTHS[width]
    rng = random.Random(width)
    for _ in range(24):
        start = rng.randrange(64)
        length = rng.randrange(len(BLOB) - start)
        seed = rng.randrange(2**64)
        data = BLOB[start : start + length]
        assert ours(data, seed) == reference(data, seed), (start, length, seed)


def test_empty_input_values():
    assert v.xxh3_64(b"") == 0x2D06800538D394C2
    assert v.xxh3_128(b"") == 0x99AA06D3014798D86001C324468D497F
    assert v.xxh3_128(b"") & (2**64 - 1) == 0x6001C324468D497F




@pytest.mark.parametrize("kind", INPUT_KINDS)
@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize("length", [0, 5, 16, 17, 200, 241, 1025, 300_000])
def test_every_input_kind_hashes_its_bytes(kind, width, length):
    ours, reference = WIDTHS[width]
    data = BLOB[:length]
    assert ours(INPUT_KINDS[kind](data), 2**64 - 1) == reference(data, 2**64 - 1)


@pytest.mark.parametrize("width", WIDTHS)
def test_wide_items_and_2d_views_hash_their_memory(width):
    ours, reference = WIDTHS[width]
    words = array.array("I", range(300))
    assert ours(words) == reference(words.tobytes())
    grid = memoryview(BLOB[:600]).cast("B", (20, 30))
    assert ours(grid) == reference(BLOB[:600])


@pytest.mark.parametrize("width", WIDTHS)
def test_keywords_and_seed_true(width):
    ours, reference = WIDTHS[width]
    assert ours(s=b"hello", seed=7) == ours(b"hello", 7) == reference(b"hello", 7)
    assert ours(b"hello", True) == reference(b"hello", 1)
    assert ours(b"hello") == ours(b"hello", 0)


@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize(
    ("seed", "error", "message"),
    [
        (-1, OverflowError, "can't convert negative int to unsigned"),
        (2**64, OverflowError, "int too big to convert"),
        (1.0, TypeError, None),
        ("1", TypeError, None),
        (None, TypeError, None),
    ],
)
def test_bad_seeds(width, seed, error, message):
    ours, _ = WIDTHS[width]
    with pytest.raises(error) as info:
        ours(b"", seed)
    if message is not None:
        assert str(info.value) == message
    # The seed is converted before the input is looked at, so its error wins.
    with pytest.raises(error):
        ours("not bytes", seed=seed)


@pytest.mark.parametrize("width", WIDTHS)
@pytest.mark.parametrize("s", ["text", 5, None, [1, 2], object()])
def test_non_bytes_like_input(width, s):
    ours, _ = WIDTHS[width]
    with pytest.raises(TypeError) as info:
        ours(s)
    assert str(info.value) == "s must be a bytes-like object"


@pytest.mark.parametrize(
    ("call", "message"),
    [
        (lambda: v.xxh3_64(), "xxh3_64() missing required argument 's'"),
        (lambda: v.xxh3_128(seed=1), "xxh3_128() missing required argument 's'"),
        (lambda: v.xxh3_64(b"", 1, 2), "xxh3_64() takes at most 2 positional arguments (3 given)"),
        (lambda: v.xxh3_128(b"", 1, seed=2), "xxh3_128() got multiple values for argument 'seed'"),
        (lambda: v.xxh3_64(b"", seeds=1), "xxh3_64() got an unexpected keyword argument 'seeds'"),
        (lambda: v.xxh3_64_batch(), "xxh3_64_batch() missing required argument 'items'"),
        (lambda: v.xxh3_128_batch_into([]), "xxh3_128_batch_into() missing required argument 'output'"),
        (lambda: v.xxh3_64_batch([], 0, 1), "xxh3_64_batch() takes at most 2 positional arguments (3 given)"),
        (lambda: v.xxh3_64_batch_into([], bytearray(), 0, 1),
         "xxh3_64_batch_into() takes at most 3 positional arguments (4 given)"),
        (lambda: v.xxh3_128_batch([], items=[]), "xxh3_128_batch() got multiple values for argument 'items'"),
        (lambda: v.xxh3_128_batch_into([], bytearray(), seeds=1),
         "xxh3_128_batch_into() got an unexpected keyword argument 'seeds'"),
    ],
)
def test_argument_errors(call, message):
    with pytest.raises(TypeError) as info:
        call()
    assert str(info.value) == message


@pytest.mark.parametrize("width", WIDTHS)
def test_large_bytes_hash_while_other_threads_run(width):
    ours, reference = WIDTHS[width]
    data = BLOB[: 1 << 20]
    assert results_from_threads(lambda: ours(data, 3)) == [reference(data, 3)] * 80


@pytest.mark.parametrize("width", WIDTHS)
def test_bytearray_resized_by_another_thread_hashes_a_consistent_state(width):
    assert_consistent_while_resized(WIDTHS[width][0], BLOB[:4096])


LONG = BLOB * 16  # 64 MiB: milliseconds of hashing


@needs_the_lock
@pytest.mark.parametrize("width", WIDTHS)
def test_long_immutable_inputs_detach(width):
    ours, _ = WIDTHS[width]
    assert other_thread_ran_during(lambda: ours(LONG), attempts=5)
    assert other_thread_ran_during(lambda: ours(memoryview(LONG)[1:]), attempts=5)


@needs_the_lock
@pytest.mark.parametrize("width", WIDTHS)
def test_inputs_below_262144_bytes_and_bytearrays_never_detach(width):
    ours, _ = WIDTHS[width]
    assert not other_thread_ran_during(lambda: ours(BLOB[:262_143]), attempts=200)
    assert not other_thread_ran_during(lambda: ours(memoryview(BLOB)[1:262_144]), attempts=200)
    shared = bytearray(BLOB)
    assert not other_thread_ran_during(lambda: ours(shared), attempts=10)
    assert not other_thread_ran_during(lambda: ours(memoryview(shared)), attempts=10)
