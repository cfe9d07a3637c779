import mmh3

from bench.harness import Row
from vantorq import mmh3 as ours

SIZES = ("16 B", "1 KiB", "1 MiB")


def rows() -> list[Row]:
    # The drop-in against the package it replaces, each called as code
    # written for mmh3 calls it: the same function, the same arguments.
    return [
        Row("mmh3 drop-in hash", ours.hash, {"mmh3": mmh3.hash}, sizes=SIZES),
        Row("mmh3 drop-in hash128", ours.hash128, {"mmh3": mmh3.hash128}, sizes=SIZES),
        Row("mmh3 drop-in mmh3_32 update+digest", _update_digest(ours.mmh3_32), {"mmh3": _update_digest(mmh3.mmh3_32)},
            sizes=SIZES),
        Row("mmh3 drop-in mmh3_x64_128 update+digest", _update_digest(ours.mmh3_x64_128),
            {"mmh3": _update_digest(mmh3.mmh3_x64_128)}, sizes=SIZES),
        # Ours alone: a list in one call, against mmh3 called once a key.
        Row("mmh3 drop-in hash128_batch, 64 keys", ours.hash128_batch,
            {"mmh3 in a loop": lambda keys: [mmh3.hash128(key) for key in keys]},
            prepare=lambda data: [data] * 64, sizes=("16 B", "1 KiB"), items=64, one_shot=False),
    ]


def _update_digest(cls):
    def hash_once(data):
        hasher = cls()
        hasher.update(data)
        return hasher.digest()

    return hash_once
