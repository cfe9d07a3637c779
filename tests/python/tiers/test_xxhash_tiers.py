"""XXH3 through the real engine selection: run on every emulated processor, so
each tier's kernel, seeded-secret derivation and (with AVX2) the fused
128-bit routine meet the reference; XXH32 and XXH64 through their block
loops' selection, one-shot and streamed. Kept small: emulation is slow."""

import random

import pytest
import xxhash

import _vantorq as v
import vantorq.xxhash as package

BLOB = random.Random(53).randbytes(1 << 17)
# Every length class, the first long length, the end of the fused 128-bit
# range (1024), the first full block, and a few blocks more.
LENGTHS = [0, 1, 4, 9, 17, 129, 240, 241, 256, 1023, 1024, 1025, 1088, 2049, 5000, 70_000, len(BLOB) - 1]


@pytest.mark.parametrize(
    ("ours", "reference"),
    [(v.xxh3_64, xxhash.xxh3_64_intdigest), (v.xxh3_128, xxhash.xxh3_128_intdigest)],
    ids=["64", "128"],
)
@pytest.mark.parametrize("seed", [0, 0x5EED5EED5EED5EED])
@pytest.mark.parametrize("offset", [0, 1])
def test_every_length_class_matches_the_reference(ours, reference, seed, offset):
    for length in LENGTHS:
        data = memoryview(BLOB)[offset : offset + length]
        assert ours(data, seed) == reference(bytes(data), seed), length


@pytest.mark.parametrize("seed", [0, 0x5EED5EED5EED5EED])
def test_lists_match_the_reference(seed):
    # Runs of 4, 3 and 2 equally striped long items, broken runs and short items.
    lengths = [300, 310, 320, 330, 17, 1025, 1030, 1040, 241, 256, 400, 5000, 5001, 240, 0]
    items = [BLOB[i : i + n] for i, n in enumerate(lengths)]
    for listed, reference in [
        (v.xxh3_64_batch, xxhash.xxh3_64_intdigest),
        (v.xxh3_128_batch, xxhash.xxh3_128_intdigest),
    ]:
        assert listed(items, seed) == [reference(x, seed) for x in items]


@pytest.mark.parametrize(
    ("ours", "hasher", "reference"),
    [(package.xxh32_intdigest, package.xxh32, xxhash.xxh32), (package.xxh64_intdigest, package.xxh64, xxhash.xxh64)],
    ids=["xxh32", "xxh64"],
)
def test_classic_hashes_match_the_reference(ours, hasher, reference):
    # One block, the shortest run of blocks the vector loops take, and more;
    # the hasher takes the message in uneven pieces.
    seed = 0x5EED5EED
    for length in [0, 15, 16, 31, 32, 63, 64, 65, 100, 1000, 5000, 70_000]:
        data = memoryview(BLOB)[1 : 1 + length]
        expected = reference(bytes(data), seed).intdigest()
        streamed = hasher(seed=seed)
        for start in range(0, length, 97):
            streamed.update(data[start : start + 97])
        assert (ours(data, seed), streamed.intdigest()) == (expected, expected), length
