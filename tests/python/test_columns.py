"""vantorq.columns: every function equals the one-value function row by row,
on columns of each accepted type from pyarrow and polars (nulls, slices,
chunks, empty and all-null columns, views inline and out of line); results
are Arrow columns that outlive their input; every structure taken from a
producer is released exactly once, on every path."""

import base64
import binascii
import doctest
import gc
import random

import pytest

import _vantorq as v
import vantorq._native as native
from arrow_producer import Producer, StreamOnly
from base64_modules import warns_of_legacy_characters
from vantorq import columns

pa = pytest.importorskip("pyarrow")

# name -> (column function, the one-value function giving the row's result as Arrow holds it)
FUNCTIONS = {
    "xxh3_64": (columns.xxh3_64, lambda b: v.xxh3_64(b, 7)),
    "xxh3_128": (columns.xxh3_128, lambda b: v.xxh3_128(b, 7).to_bytes(16, "little")),
    "murmur3_32": (columns.murmur3_32, lambda b: v.murmur3_32(b, 7)),
    "murmur3_x86_128": (columns.murmur3_x86_128, lambda b: v.murmur3_x86_128_digest(b, 7)),
    "murmur3_x64_128": (columns.murmur3_x64_128, lambda b: v.murmur3_x64_128_digest(b, 7)),
    "b64encode": (columns.b64encode, lambda b: v.b64encode(b).decode()),
    "b64decode": (columns.b64decode, v.b64decode),
}
SEEDED = {"xxh3_64", "xxh3_128", "murmur3_32", "murmur3_x86_128", "murmur3_x64_128"}

TYPES = {
    "binary": pa.binary(),
    "large_binary": pa.large_binary(),
    "string": pa.string(),
    "large_string": pa.large_string(),
    "binary_view": pa.binary_view(),
    "string_view": pa.string_view(),
    "fixed_size_binary": pa.binary(16),
}


def random_values(name, arrow_type, count, rng):
    """Values of every length class: empty, inline in a view (<= 12 bytes),
    out of line, and past XXH3's 240-byte short path; Base64 text to decode."""
    fixed = pa.types.is_fixed_size_binary(arrow_type)
    values = []
    for _ in range(count):
        size = 12 if fixed and name == "b64decode" else 16 if fixed else rng.choice([0, 3, 12, 13, 40, 241, 700])
        raw = bytes(rng.getrandbits(8) for _ in range(size))
        if name == "b64decode":
            raw = base64.b64encode(raw)
        elif pa.types.is_string(arrow_type) or pa.types.is_large_string(arrow_type) or pa.types.is_string_view(
            arrow_type
        ):
            raw = raw.decode("latin-1").encode()  # valid UTF-8, as a string column holds
        values.append(raw)
    return values


def as_arrow_values(values, arrow_type):
    text = pa.types.is_string(arrow_type) or pa.types.is_large_string(arrow_type) or pa.types.is_string_view(arrow_type)
    return [None if value is None else value.decode() if text else value for value in values]


def expected(name, values):
    one_value = FUNCTIONS[name][1]
    return [None if value is None else one_value(value) for value in values]


def call(name, column):
    function = FUNCTIONS[name][0]
    return function(column, seed=7) if name in SEEDED else function(column)


# shape -> (values -> the column, the rows it holds)
SHAPES = {
    "plain": lambda values, t: (pa.array(values, t), values),
    "nulls": lambda values, t: (pa.array(with_nulls(values), t), with_nulls(values)),
    "slice": lambda values, t: (pa.array(with_nulls(values), t).slice(3, 25), with_nulls(values)[3:28]),
    "chunks": lambda values, t: (
        pa.chunked_array([values[:9], [], with_nulls(values)[9:]], t),
        values[:9] + with_nulls(values)[9:],
    ),
    "empty": lambda values, t: (pa.array([], t), []),
    "all null": lambda values, t: (pa.array([None] * 11, t), [None] * 11),
}


def with_nulls(values):
    return [None if i % 3 == 1 else value for i, value in enumerate(values)]


@pytest.mark.parametrize("shape", SHAPES)
@pytest.mark.parametrize("type_name", TYPES)
@pytest.mark.parametrize("name", FUNCTIONS)
def test_pyarrow_rows_equal_the_one_value_functions(name, type_name, shape):
    arrow_type = TYPES[type_name]
    values = random_values(name, arrow_type, 40, random.Random(f"{name}{type_name}{shape}"))
    column, rows = SHAPES[shape](as_arrow_values(values, arrow_type), arrow_type)
    rows = [None if row is None else row.encode() if isinstance(row, str) else row for row in rows]
    assert pa.array(call(name, column)).to_pylist() == expected(name, rows)


@pytest.mark.parametrize("chunked", [False, True])
@pytest.mark.parametrize("dtype", ["String", "Binary"])
@pytest.mark.parametrize("name", FUNCTIONS)
def test_polars_rows_equal_the_one_value_functions(name, dtype, chunked):
    pl = pytest.importorskip("polars")
    values = with_nulls(random_values(name, pa.binary(), 30, random.Random(f"{name}{dtype}")))
    if dtype == "String":
        values = [None if value is None else value.decode("latin-1").encode() for value in values]
        series_values = [None if value is None else value.decode() for value in values]
    else:
        series_values = values
    series = pl.Series(series_values, dtype=getattr(pl, dtype))
    if chunked:
        series = pl.concat([series[:10], series[10:]], rechunk=False)
        assert series.n_chunks() == 2
    result = call(name, series)
    assert pa.array(result).to_pylist() == expected(name, values)
    assert pl.Series(result).to_list() == expected(name, values)


@pytest.mark.parametrize(
    ("name", "numpy_type", "shape"),
    [("xxh3_64", "uint64", (4,)), ("murmur3_32", "uint32", (4,)), ("xxh3_128", "uint8", (4, 16))],
)
def test_fixed_width_results_read_through_the_buffer_protocol(name, numpy_type, shape):
    np = pytest.importorskip("numpy")
    rows = [b"a", None, b"bc" * 100, b""]
    values = np.asarray(call(name, pa.array(rows)))
    assert (values.dtype, values.shape) == (np.dtype(numpy_type), shape)
    as_rows = values.tolist() if len(shape) == 1 else [bytes(row) for row in values]
    null_value = 0 if len(shape) == 1 else bytes(16)
    assert as_rows == [null_value if row is None else row for row in expected(name, rows)]
    view = memoryview(call(name, pa.array(rows)))
    assert view.readonly and view.tolist() == values.tolist()


@pytest.mark.parametrize(("name", "bits"), [("xxh3_64", 64), ("murmur3_32", 32)])
def test_signed_results_hold_the_same_bits(name, bits):
    np = pytest.importorskip("numpy")
    # Enough rows that some hashes have the top bit set; a slice, chunks and nulls.
    rows = [None if i % 5 == 2 else b"k%d" % i for i in range(64)]
    column = pa.chunked_array([rows[:20], rows[20:]], pa.binary()).slice(3)
    unsigned = expected(name, rows[3:])
    as_signed = [None if value is None else value - (value >> (bits - 1) << bits) for value in unsigned]
    assert any(value < 0 for value in as_signed if value is not None)
    result = getattr(columns, name)(column, seed=7, signed=True)
    held = pa.array(result)
    assert held.type == {64: pa.int64(), 32: pa.int32()}[bits]
    assert held.to_pylist() == as_signed
    assert np.asarray(result).tolist() == [0 if value is None else value for value in as_signed]
    assert pa.array(getattr(columns, name)(column, seed=7, signed=False)).to_pylist() == unsigned


def test_string_results_have_no_single_buffer():
    with pytest.raises(TypeError, match="no single buffer"):
        memoryview(columns.b64encode(pa.array([b"a"])))


def test_results_outlive_the_column_and_the_result_object():
    column = pa.array([b"one", None, b"three"])
    result = columns.b64encode(column)
    assert (len(result), result.null_count) == (3, 1)
    del column
    gc.collect()
    held, chunked = pa.array(result), pa.chunked_array(result)  # __arrow_c_array__, __arrow_c_stream__
    del result
    gc.collect()
    assert held.to_pylist() == chunked.to_pylist() == ["b25l", None, "dGhyZWU="]
    assert held.type == pa.string()


def test_input_structures_are_released_once_on_success():
    rows = [b"a", None, b"b" * 300]
    single, chunked = Producer(rows), Producer(rows, chunk_size=2)
    assert pa.array(call("xxh3_64", single)).to_pylist() == expected("xxh3_64", rows)
    assert pa.array(call("xxh3_64", StreamOnly(chunked))).to_pylist() == expected("xxh3_64", rows)
    assert (single.releases, single.exported) == (2, 2)  # a schema and an array
    assert (chunked.releases, chunked.exported) == (4, 4)  # a stream, its schema and two arrays


def test_pyarrow_memory_is_returned_after_every_path():
    column = pa.array([b"x" * 50] * 1000)
    before = pa.total_allocated_bytes()
    for _ in range(3):
        columns.xxh3_64(column)
        columns.b64decode(column, errors="null")
        with pytest.raises(binascii.Error):
            columns.b64decode(column, validate=True)
    gc.collect()
    assert pa.total_allocated_bytes() == before


@pytest.mark.parametrize("validate", [False, True])
def test_b64decode_row_errors(validate):
    rows = ["aGVsbG8=", None, "aGV sbG8=", "aGVsbG8"]
    chunked = pa.chunked_array([rows[:2], rows[2:]])
    failing = {2, 3} if validate else {3}  # the space is an error only when validating
    with pytest.raises(binascii.Error) as single:
        v.b64decode(rows[min(failing)], validate=validate)
    with pytest.raises(binascii.Error) as raised:
        columns.b64decode(chunked, validate=validate)
    assert str(raised.value) == f"{single.value} (row {min(failing)})"
    nulled = pa.array(columns.b64decode(chunked, validate=validate, errors="null")).to_pylist()
    assert nulled == [None if i in failing or row is None else v.b64decode(row) for i, row in enumerate(rows)]


def test_b64_options_follow_the_one_value_functions():
    raw = [b"\xfb\xff\xfe", b"\xfb"]
    encoded = pa.array(columns.b64encode(pa.array(raw), altchars=b"-_", padded=False)).to_pylist()
    assert encoded == [v.b64encode(b, altchars=b"-_", padded=False).decode() for b in raw]
    texts = encoded + [text + "=" * (-len(text) % 4) for text in encoded]
    decoded = pa.array(columns.b64decode(pa.array(texts), altchars="-_", errors="null")).to_pylist()

    def one_value(text):
        try:
            return v.b64decode(text, altchars=b"-_")
        except binascii.Error:
            return None

    assert decoded == [one_value(text) for text in texts]
    assert decoded.count(None) == 1  # the unpadded "-w"


@warns_of_legacy_characters
def test_b64decode_warns_once_of_legacy_characters():
    with pytest.warns(FutureWarning) as caught:
        expected_value = v.b64decode(b"+/8=", altchars=b"-_")
    with pytest.warns(FutureWarning) as column_caught:
        result = columns.b64decode(pa.array([b"+/8=", b"+/8="]), altchars=b"-_")
    assert pa.array(result).to_pylist() == [expected_value] * 2
    assert [str(w.message) for w in column_caught] == [str(w.message) for w in caught]


class WrongCapsules:
    def __init__(self, column, method):
        self.column, self.method = column, method

    def __getattr__(self, name):
        if name != self.method:
            raise AttributeError(name)
        if name == "__arrow_c_array__":
            return lambda: tuple(reversed(self.column.__arrow_c_array__()))
        return lambda: self.column.__arrow_c_array__()[0]


@pytest.mark.parametrize(
    ("column", "message"),
    [
        (b"abc", "column must be an Arrow array or chunked array .* not bytes"),
        (pa.array([1, 2]), r"unsupported column type 'l' \(int64\); accepted: binary, "),
        (pa.array(["a"]).dictionary_encode(), "dictionary-encoded"),
        (WrongCapsules(pa.array([b"a"]), "__arrow_c_array__"), "named 'arrow_array' where one named 'arrow_schema'"),
        (WrongCapsules(pa.array([b"a"]), "__arrow_c_stream__"), "named 'arrow_schema' where one named 'arrow_array_s"),
    ],
)
@pytest.mark.parametrize("name", FUNCTIONS)
def test_unaccepted_columns_raise_type_error(name, column, message):
    with pytest.raises(TypeError, match=message):
        FUNCTIONS[name][0](column)


@pytest.mark.parametrize(
    ("producer", "error"),
    [
        (Producer([b"a", None], format=b"l"), TypeError),
        (StreamOnly(Producer([b"a", None], format=b"+s")), TypeError),
        (StreamOnly(Producer([b"a"], fail_next=True)), OSError),
        (Producer([b"!!!"]), binascii.Error),
    ],
)
def test_input_structures_are_released_once_on_failure(producer, error):
    with pytest.raises(error):
        columns.b64decode(producer, validate=True)
    counted = producer.producer if isinstance(producer, StreamOnly) else producer
    assert counted.releases == counted.exported > 0


def test_option_errors():
    column = pa.array([b"a"])
    with pytest.raises(ValueError, match="errors must be 'strict' or 'null', not 'ignore'"):
        columns.b64decode(column, errors="ignore")
    with pytest.raises(OverflowError):
        columns.murmur3_32(column, seed=2**32)
    with pytest.raises(TypeError):
        columns.xxh3_64(column, 7)  # the seed is keyword-only


@pytest.mark.parametrize("name", [*FUNCTIONS, "Column"])
def test_docstring_examples_hold(name):
    pytest.importorskip("numpy")
    runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
    for test in doctest.DocTestFinder(recurse=False).find(getattr(columns, name), name, globs=dict(vars(native))):
        runner.run(test)
    assert runner.tries > 0 and runner.failures == 0
