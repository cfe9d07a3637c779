"""Checked by mypy --strict --warn-unused-ignores in test_package.py, never
run: every line must type-check, and every ignored line must be an error
that the stubs catch."""

from typing_extensions import assert_type

from vantorq import base64, mmh3, murmur3, xxh3

assert_type(base64.b64encode(memoryview(b"x"), b"-_", padded=False, wrapcol=76), bytes)
assert_type(base64.b64decode("eA==", validate=True, ignorechars=b"\n"), bytes)
assert_type(base64.urlsafe_b64decode_into(b"eA", bytearray(1), padded=False), int)
assert_type(base64.b32encode(b"x"), bytes)
texts: list[str] = ["eA=="]
assert_type(base64.b64decode_batch(texts, validate=True), list[bytes])
assert_type(base64.urlsafe_b64encode_batch_into([b"x", bytearray()], [bytearray(4)] * 2), list[int])
assert_type(xxh3.xxh3_128(bytearray(), seed=2**64 - 1), int)
items: list[bytes] = [b"a"]
assert_type(xxh3.xxh3_64_batch(items), list[int])
assert_type(xxh3.xxh3_128_batch_into([bytearray(), memoryview(b"")], bytearray(32), seed=1), int)
hasher = murmur3.murmur3_x64_128(b"a", seed=3)
hasher.update(data=b"b")
assert_type(hasher.copy(), murmur3.murmur3_x64_128)
assert_type(hasher.hexdigest(), str)
assert_type(hasher.digest_size, int)
assert_type(murmur3.murmur3_x86_128_digest(b""), bytes)
assert_type(mmh3.hash("key", 7, signed=False), int)
assert_type(mmh3.hash64(b"key", x64arch=False), tuple[int, int])
assert_type(mmh3.mmh3_x86_128(b"a", 3).stupledigest(), tuple[int, int])
assert_type(mmh3.hash128_batch(["a", b"b"]), list[int])

xxh3.xxh3_64("text")  # type: ignore[arg-type]
xxh3.xxh3_64_batch((b"a",))  # type: ignore[call-overload]
murmur3.murmur3_32(b"", seed="1")  # type: ignore[arg-type]
base64.b64encode("text")  # type: ignore[arg-type]
mmh3.mmh3_32_digest("text")  # type: ignore[arg-type]
mmh3.mmh3_32().stupledigest()  # type: ignore[attr-defined]
base64.b64encode_into(b"x", bytes(4))  # type: ignore[arg-type]
base64.b64encode_batch(["text"])  # type: ignore[list-item]
base64.urlsafe_b64encode(b"", True)  # type: ignore[call-arg]
hasher.digest_size = 4  # type: ignore[misc]
