"""The shared argument parser, flag and seed conversions, and PanicException."""

import pytest

import _vantorq as v

NOT_GIVEN = ...


@pytest.mark.parametrize(
    ("call", "message"),
    [
        (lambda: v.murmur3_32(), "murmur3_32() missing required argument 's'"),
        (lambda: v.murmur3_32(seed=1), "murmur3_32() missing required argument 's'"),
        (lambda: v.murmur3_32(b"", 0, 1), "murmur3_32() takes at most 2 positional arguments (3 given)"),
        (lambda: v.murmur3_32(b"", s=b""), "murmur3_32() got multiple values for argument 's'"),
        (lambda: v.murmur3_32(b"", 1, seed=2), "murmur3_32() got multiple values for argument 'seed'"),
        (lambda: v.murmur3_32(b"", sead=1), "murmur3_32() got an unexpected keyword argument 'sead'"),
        (lambda: v.murmur3_32(b"", seeds=1), "murmur3_32() got an unexpected keyword argument 'seeds'"),
        (lambda: v.murmur3_x64_128_digest(b"", x=1, y=2),
         "murmur3_x64_128_digest() got an unexpected keyword argument 'x'"),
    ],
)
def test_parser_messages(call, message):
    with pytest.raises(TypeError) as info:
        call()
    assert str(info.value) == message


def test_keywords_in_any_order():
    assert v.murmur3_32(seed=7, s=b"hello") == v.murmur3_32(b"hello", 7) == 0xD6203B6B
    assert v.murmur3_32(s=b"hello") == v.murmur3_32(b"hello")


@pytest.mark.parametrize(
    ("args", "kwargs", "slots"),
    [
        ((1, 2), {}, (1, 2, NOT_GIVEN, NOT_GIVEN)),
        ((1, 2, 3), {}, (1, 2, 3, NOT_GIVEN)),
        ((1,), {"output": 2, "padded": 4}, (1, 2, NOT_GIVEN, 4)),
        ((), {"padded": 4, "altchars": 3, "output": 2, "s": 1}, (1, 2, 3, 4)),
        ((1, 2), {"altchars": None}, (1, 2, None, NOT_GIVEN)),
    ],
)
def test_parser_fills_slots_in_parameter_order(testing, args, kwargs, slots):
    assert testing.probe(*args, **kwargs) == slots


@pytest.mark.parametrize(
    ("args", "kwargs", "message"),
    [
        ((1, 2, 3, 4), {}, "probe() takes at most 3 positional arguments (4 given)"),
        ((1,), {}, "probe() missing required argument 'output'"),
        ((), {"output": 2}, "probe() missing required argument 's'"),
        ((1, 2), {"s": 1}, "probe() got multiple values for argument 's'"),
        # The first bad keyword stops parsing, even when a later one is also wrong.
        ((1, 2), {"bogus": 1, "s": 1}, "probe() got an unexpected keyword argument 'bogus'"),
        ((1, 2), {"s": 1, "bogus": 1}, "probe() got multiple values for argument 's'"),
        # Too many positionals is reported before any keyword is looked at.
        ((1, 2, 3, 4), {"bogus": 1}, "probe() takes at most 3 positional arguments (4 given)"),
    ],
)
def test_parser_error_order(testing, args, kwargs, message):
    with pytest.raises(TypeError) as info:
        testing.probe(*args, **kwargs)
    assert str(info.value) == message


class Truthy:
    def __init__(self, value):
        self.value = value

    def __bool__(self):
        return self.value


class BrokenBool:
    def __bool__(self):
        raise ZeroDivisionError("no truth here")


@pytest.mark.parametrize(
    ("value", "default", "expected"),
    [
        (True, False, True),
        (False, True, False),
        (None, True, False),
        ([], True, False),
        ([0], False, True),
        (0, True, False),
        (2, False, True),
        (Truthy(True), False, True),
        (Truthy(False), True, False),
    ],
)
def test_read_flag(testing, value, default, expected):
    assert testing.read_flag(value, default) is expected


def test_read_flag_passes_bool_errors_unchanged(testing):
    with pytest.raises(ZeroDivisionError, match="no truth here"):
        testing.read_flag(BrokenBool(), True)


@pytest.mark.parametrize("seed", [0, 1, 7, 2**31, 2**32 - 1, True])
def test_u32_seeds_accepted(seed):
    assert v.murmur3_32(b"abc", seed) == v.murmur3_32(b"abc", seed=int(seed))


@pytest.mark.parametrize(
    ("seed", "error", "message"),
    [
        (2**32, OverflowError, "seed does not fit in uint32"),
        (2**64 - 1, OverflowError, "seed does not fit in uint32"),
        (2**64, OverflowError, "int too big to convert"),
        (-1, OverflowError, "can't convert negative int to unsigned"),
        (1.0, TypeError, None),
        ("1", TypeError, None),
        (None, TypeError, None),
    ],
)
def test_u32_seed_errors(seed, error, message):
    with pytest.raises(error) as info:
        v.murmur3_32(b"", seed=seed)
    if message is not None:
        assert str(info.value) == message


def test_seed_is_converted_before_the_input_is_looked_at():
    with pytest.raises(OverflowError, match="seed does not fit in uint32"):
        v.murmur3_32("not bytes", seed=2**32)
    with pytest.raises(TypeError, match="s must be a bytes-like object"):
        v.murmur3_32("not bytes", seed=1)


def test_panic_exception_is_a_base_exception(testing):
    with pytest.raises(BaseException) as info:
        testing.raise_panic()
    assert not isinstance(info.value, Exception)
    assert type(info.value).__name__ == "PanicException"
    assert str(info.value) == "hash count is exact"
