import mmh3

import _vantorq as v
from bench.harness import Row


def rows() -> list[Row]:
    # mmh3's digest functions and hasher classes take the same (data, seed=0)
    # call as ours, so both sides are called directly with no wrapper in
    # between; mmh3.hash and mmh3.hash128 are its most used entry points.
    return [
        Row("murmur3_32", v.murmur3_32, {"mmh3_32_uintdigest": mmh3.mmh3_32_uintdigest, "hash": mmh3.hash}),
        Row("murmur3_x86_128_digest", v.murmur3_x86_128_digest, {"mmh3": mmh3.mmh3_x86_128_digest}),
        Row(
            "murmur3_x64_128_digest",
            v.murmur3_x64_128_digest,
            {"mmh3_x64_128_digest": mmh3.mmh3_x64_128_digest, "hash128": mmh3.hash128},
        ),
        # Hashers: construct with the data, then read the digest.
        Row("murmur3_x86_32 hasher", lambda d: v.murmur3_x86_32(d).digest(), {"mmh3": lambda d: mmh3.mmh3_32(d).digest()}),
        Row(
            "murmur3_x86_128 hasher",
            lambda d: v.murmur3_x86_128(d).digest(),
            {"mmh3": lambda d: mmh3.mmh3_x86_128(d).digest()},
        ),
        Row(
            "murmur3_x64_128 hasher",
            lambda d: v.murmur3_x64_128(d).digest(),
            {"mmh3": lambda d: mmh3.mmh3_x64_128(d).digest()},
        ),
        # Hashers fed in 1 KiB pieces: the per-update cost and the pending-block path.
        Row("murmur3_x64_128 hasher, 1 KiB updates", _pieces(v.murmur3_x64_128), {"mmh3": _pieces(mmh3.mmh3_x64_128)},
            prepare=_split_kib, sizes=("64 KiB", "16 MiB"), one_shot=False),
    ]


def _split_kib(data: bytes) -> list[bytes]:
    return [data[i : i + 1024] for i in range(0, len(data), 1024)]


def _pieces(cls):
    def feed(pieces):
        hasher = cls()
        for piece in pieces:
            hasher.update(piece)
        return hasher.digest()

    return feed
