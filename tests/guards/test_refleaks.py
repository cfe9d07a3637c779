"""Every public callable, on its success paths and on each way it can fail,
called over and over: the interpreter's reference total and block count must
stay flat (they exist on the debug interpreter only), and resident memory must
stay flat over repeated large calls (the module's own heap is invisible to the
interpreter's counters)."""

import array
import binascii
import concurrent.interpreters as interpreters
import gc
import inspect
import os
import pickle
import sys
import warnings

import pytest

import _vantorq as v
import vantorq._native as native
from vantorq.pybase64._unspecified import _Unspecified

sys.path.insert(0, os.path.join(os.path.dirname(__file__), os.pardir, "python"))
from arrow_producer import Producer, StreamOnly, WrongCapsules  # noqa: E402  (a ctypes producer: no Arrow library here)

BIG = bytes(range(256)) * 1200  # above every family's threshold for detaching the thread
BIG_TEXT = binascii.b2a_base64(BIG, newline=False)
BIG_ARRAY = bytearray(BIG)


class RefusedExport:
    def __buffer__(self, flags):
        raise TypeError("export refused")


class RaisingTruth:
    def __bool__(self):
        raise ZeroDivisionError("truth")


class Text(str):
    pass


def raises(error, call, *args, **kwargs):
    return (lambda: call(*args, **kwargs)), error


def ok(call, *args, **kwargs):
    return (lambda: call(*args, **kwargs)), None


def parser_failures(function, *required):
    """The four ways the shared argument parser rejects a call."""
    first = next(iter(inspect.signature(function).parameters))
    return {
        "missing argument": raises(TypeError, function),
        "too many positional": raises(TypeError, function, *required, *[None] * 6),
        "unknown keyword": raises(TypeError, function, *required, unknown=1),
        "given twice": raises(TypeError, function, *required, **{first: required[0]}),
    }


def input_failures(function, *rest, text_error=TypeError):
    return {
        "number input": raises(TypeError, function, 3, *rest),
        "refused export": raises(TypeError, function, RefusedExport(), *rest),
        "non-ASCII text": raises(text_error, function, "é", *rest),
    }


def seed_cases(call, seed_limit, wraps):
    """A seed out of range: refused, or (the xxhash package's way) reduced."""
    outcome = (lambda *args: ok(call, *args)) if wraps else (lambda *args: raises(OverflowError, call, *args))
    return {"negative seed": outcome(-1), "seed too large": outcome(seed_limit)}


def hash_cases(function, seed_limit, wraps=False):
    return {
        "small": ok(function, b"hello", 7),
        "large bytes": ok(function, BIG),
        "large bytearray": ok(function, BIG_ARRAY),
        "bytes slice": ok(function, memoryview(BIG)[1:-1]),
        "copied view": ok(function, memoryview(BIG)[::2]),
        "exporter": ok(function, array.array("B", b"abc")),
        "seed not an int": raises(TypeError, function, b"", 1.0),
        **seed_cases(lambda seed: function(b"", seed), seed_limit, wraps),
        **parser_failures(function, b""),
        **input_failures(function),
    }


def encode_cases(function, destination=()):
    into = bool(destination)
    return {
        "small": ok(function, b"hello", *destination),
        "large bytes": ok(function, BIG, *([bytearray(len(BIG_TEXT))] if into else [])),
        "large bytearray": ok(function, BIG_ARRAY, *([bytearray(len(BIG_TEXT))] if into else [])),
        "not contiguous": raises(BufferError, function, memoryview(b"abcd")[::2], *destination),
        **parser_failures(function, b"", *destination),
        **input_failures(function, *destination),
    }


def b64encode_options(function, *destination):
    return {
        "options": ok(function, b"hello", *destination, altchars=b"-_", padded=False, wrapcol=4),
        "altchars of length 3": raises(ValueError, function, b"", *destination, altchars=b"abc"),
        "altchars not bytes": raises(TypeError, function, b"", *destination, altchars=3),
        "padded raising": raises(ZeroDivisionError, function, b"", *destination, padded=RaisingTruth()),
        "wrapcol not an int": raises(TypeError, function, b"", *destination, wrapcol="4"),
        "negative wrapcol": raises(ValueError, function, b"", *destination, wrapcol=-1),
        "wrapcol too large": raises(OverflowError, function, b"", *destination, wrapcol=2**64),
    }


def decode_cases(function, destination=()):
    into = bool(destination)
    large = [bytearray(len(BIG))] if into else []
    return {
        "small": ok(function, b"aGVsbG8=", *destination),
        "text": ok(function, "aGVsbG8=", *destination),
        "text subclass": ok(function, Text("aGVsbG8="), *destination),
        "large bytes": ok(function, BIG_TEXT, *large),
        "large bytearray": ok(function, bytearray(BIG_TEXT), *large),
        "view with gaps": ok(function, memoryview(b"aaGGVVssbbGG88==")[::2], *destination),
        "lenient": ok(function, b"aG!VsbG8=", *destination),
        "incorrect padding": raises(binascii.Error, function, b"aGVsb", *destination),
        "non-ASCII text subclass": raises(ValueError, function, Text("é"), *destination),
        **parser_failures(function, b"", *destination),
        **input_failures(function, *destination, text_error=ValueError),
    }


def b64decode_options(function, *destination):
    return {
        "altchars": ok(function, b"-_8=", *destination, altchars=b"-_"),
        "validate": ok(function, b"aGVsbG8=", *destination, validate=True),
        "unpadded canonical": ok(function, b"aGVsbG8", *destination, padded=False, canonical=True),
        "ignorechars": ok(function, b"aGVs bG8=", *destination, ignorechars=b" "),
        "legacy altchars warning": ok(function, b"+/8=", *destination, altchars=b"-_"),
        "legacy warning as error": raises(FutureWarning, error_on_warning(function), b"+/8=", *destination,
                                          altchars=b"-_"),
        "validate rejects": raises(binascii.Error, function, b"aG!VsbG8=", *destination, validate=True),
        "not canonical": raises(binascii.Error, function, b"aGVsbG9=", *destination, canonical=True),
        "altchars of length 3": raises(ValueError, function, b"", *destination, altchars=b"abc"),
        "non-ASCII altchars": raises(ValueError, function, b"", *destination, altchars="é-"),
        "altchars not bytes": raises(TypeError, function, b"", *destination, altchars=3),
        "ignorechars not bytes": raises(TypeError, function, b"", *destination, ignorechars="x"),
        "refused ignorechars": raises(TypeError, function, b"", *destination, ignorechars=RefusedExport()),
        "validate raising": raises(ZeroDivisionError, function, b"", *destination, validate=RaisingTruth()),
    }


def error_on_warning(function):
    def call(*args, **kwargs):
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            return function(*args, **kwargs)

    return call


def into_cases(function, s):
    destination = bytearray(64)
    return {
        "destination not a bytearray": raises(TypeError, function, s, b"x" * 64),
        "destination too small": raises(ValueError, function, s, bytearray(1)),
        "input in the destination": ok(function, memoryview(destination)[:8], destination),
    }


def url_safe_padding(function, s, *destination):
    return {
        "padded": ok(function, s, *destination, padded=True),
        "padded raising": raises(ZeroDivisionError, function, s, *destination, padded=RaisingTruth()),
    }


def list_cases(function, width=0):
    """A list function's cases; `width` > 0 for the _into forms, whose output
    holds `width` bytes per item."""

    def call(items, *args, **kwargs):
        return function(items, *([bytearray(width * len(items))] if width else []), *args, **kwargs)

    destination = bytearray(64)
    into = {
        "destination not a bytearray": raises(TypeError, function, [b"x"], b"x" * 64),
        "destination too small": raises(ValueError, function, [b"x"], bytearray(1)),
        "item in the destination": ok(function, [destination, memoryview(destination)[8:]], destination),
    }
    return {
        "mixed items": ok(call, [b"hello", BIG_ARRAY, memoryview(BIG)[::2], array.array("B", b"xy")], 7),
        "many items": ok(call, [b"x"] * 20000),
        "large in all": ok(call, [BIG] * 4),
        "large bytearrays": ok(call, [BIG_ARRAY] * 4),
        "no items": ok(call, []),
        "items not a list": raises(TypeError, call, (b"x",)),
        "item not bytes-like": raises(TypeError, call, [b"x", 3]),
        "refused export": raises(TypeError, call, [b"x", RefusedExport()]),
        "seed not an int": raises(TypeError, call, [b""], 1.0),
        "negative seed": raises(OverflowError, call, [b""], -1),
        "seed too large": raises(OverflowError, call, [b""], 2**64),
        **parser_failures(function, [], *([bytearray()] if width else [])),
        **(into if width else {}),
    }


def hasher_cases(cls, seed_limit, wraps=False):
    hasher = cls(b"abc")
    return {
        cls.__name__: {
            "empty": ok(cls),
            "data and seed": ok(cls, b"hello", seed=7),
            "large data": ok(cls, BIG),
            **seed_cases(lambda seed: cls(seed=seed), seed_limit, wraps),
            "seed not an int": raises(TypeError, cls, seed="1"),
            "text data": raises(TypeError, cls, "abc"),
            "refused export": raises(TypeError, cls, RefusedExport()),
            "too many positional": raises(TypeError, cls, b"", 0, 1),
            "unknown keyword": raises(TypeError, cls, sead=1),
            "given twice": raises(TypeError, cls, b"", data=b""),
        },
        f"{cls.__name__}.update": {
            "small": ok(hasher.update, b"hello"),
            "large bytes": ok(hasher.update, BIG),
            "large bytearray": ok(hasher.update, BIG_ARRAY),
            "copied view": ok(hasher.update, memoryview(BIG)[::2]),
            "missing data": raises(TypeError, hasher.update),
            "unknown keyword": raises(TypeError, hasher.update, b"", x=1),
            "none": raises(TypeError, hasher.update, None),
            "text": raises(TypeError, hasher.update, "abc"),
            "refused export": raises(TypeError, hasher.update, RefusedExport()),
        },
        **{f"{cls.__name__}.{name}": {"call": ok(getattr(hasher, name)),
                                      "argument": raises(TypeError, getattr(hasher, name), 1)}
           for name in ("digest", "hexdigest", "copy")},
        **{f"{cls.__name__}.{name}": {"read": ok(getattr, hasher, name)}
           for name in ("name", "digest_size", "block_size")},
    }


def package_hasher_cases(cls, seed_limit, wraps=False):
    """The package's hashers: those of the module's, and the integer digest,
    reset and the serialised state."""
    hasher = cls(b"abc")
    cases = hasher_cases(cls, seed_limit, wraps)
    cases[cls.__name__] |= {
        "pickled and restored": ok(lambda: pickle.loads(pickle.dumps(hasher))),
        "foreign state": raises(ValueError, hasher.copy().__setstate__, b"state"),
        "state not bytes-like": raises(TypeError, hasher.copy().__setstate__, 3),
    }
    for name in ("intdigest", "reset"):
        cases[f"{cls.__name__}.{name}"] = {"call": ok(getattr(hasher, name)),
                                          "argument": raises(TypeError, getattr(hasher, name), 1)}
    for name in ("seed", "digestsize"):
        if hasattr(hasher, name):
            cases[f"{cls.__name__}.{name}"] = {"read": ok(getattr, hasher, name)}
    return {f"vantorq._native.{name}": table for name, table in cases.items()}


def mmh3_key_cases(function, *rest):
    """The mmh3 drop-in's functions of a key: bytes or str, short and long."""
    return {
        "bytes": ok(function, b"hello", *rest),
        "text": ok(function, "héllo", *rest),
        "large bytes": ok(function, BIG, *rest),
        "seed out of range": raises(ValueError, function, b"", -1),
        "number key": raises(TypeError, function, 3),
        "missing key": raises(TypeError, function),
    }


def mmh3_digest_cases(function):
    return {
        "small": ok(function, b"hello", 7),
        "large": ok(function, BIG),
        "text": raises(TypeError, function, "abc"),
        "number": raises(TypeError, function, 3),
    }


def mmh3_hasher_cases(cls, methods):
    """One table per class: vantorq._native does not list these classes, so
    their methods are not counted apart."""
    hasher = cls(b"abc")
    return {f"vantorq._native.{cls.__name__}": {
        "empty": ok(cls), "data and seed": ok(cls, b"hello", 7), "large data": ok(cls, BIG),
        "number data": raises(TypeError, cls, 3),
        "update": ok(hasher.update, b"hello"), "large update": ok(hasher.update, BIG),
        "number update": raises(TypeError, hasher.update, 3),
        "pickled": ok(lambda: pickle.loads(pickle.dumps(hasher))),
        **{name: ok(getattr(hasher, name)) for name in methods},
    }}


def mime_cases(function, sample):
    return {
        "small": ok(function, sample),
        "large": ok(function, BIG_TEXT),
        "text": raises(TypeError, function, "abc"),
        "two dimensions": raises(TypeError, function, memoryview(b"abcd").cast("B", (2, 2))),
        "wide elements": raises(TypeError, function, memoryview(bytes(8)).cast("i")),
        "missing argument": raises(TypeError, function),
        "unknown keyword": raises(TypeError, function, sample, x=1),
    }


def pybase64_cases():
    """vantorq.pybase64's functions (vantorq._native's pybase64_*): the standard
    functions' cases where pybase64 takes the same paths, then its own."""

    def named(name):
        return f"vantorq._native.pybase64_{name}", getattr(native, f"pybase64_{name}")

    table = {}
    for name in ("b64encode", "b64encode_as_string", "standard_b64encode", "urlsafe_b64encode"):
        key, function = named(name)
        table[key] = encode_cases(function)
        if name.startswith("b64"):
            table[key] |= b64encode_options(function) | {"non-ASCII altchars": ok(function, b"\xfb", b"\x80\x81")}
    for name in ("b64decode", "b64decode_as_bytearray", "standard_b64decode", "urlsafe_b64decode"):
        key, function = named(name)
        table[key] = decode_cases(function) | {
            # Where the standard functions copy a view with gaps, pybase64 refuses it.
            "view with gaps": raises(BufferError, function, memoryview(b"aaGGVVssbbGG88==")[::2]),
        }
        if name.startswith("b64"):
            table[key] |= b64decode_options(function) | {
                "strict rules reject": raises(binascii.Error, function, b"aGVsbG8", validate=True),
                "detailed rules reject": raises(binascii.Error, function, b"aGVsbG8=\n=", ignorechars=b"\n"),
                "symbol among ignorechars": ok(function, b"aGVsbG8=A", ignorechars=b"A"),
                "pair the rules decode": ok(function, b"aGVsbG8=", altchars=b"aa"),
                "unspecified marker": ok(function, b"aGVsbG8=", validate=_Unspecified.UNSPECIFIED),
                "Latin-1 text, strict": raises(binascii.Error, function, "aGVsbG\xe9=", validate=True),
                "validate false with ignorechars": raises(ValueError, function, b"", validate=False, ignorechars=b""),
            }
    key, function = named("urlsafe_b64decode")
    table[key] |= url_safe_padding(function, b"-_8=") | {
        "legacy warning as error": raises(FutureWarning, error_on_warning(function), b"+/8="),
    }
    key, function = named("encodebytes")
    table[key] = mime_cases(function, b"hello") | {
        "not contiguous": raises(BufferError, function, memoryview(b"abcd")[::2]),
    }
    return table


def base64_cases(direction, cases, options, sample, url_safe_sample):
    """The cases of the six functions of one direction, `sample` being a valid input."""
    destination = (bytearray(64),)

    def named(prefix, suffix=""):
        name = f"{prefix}b64{direction}{suffix}"
        return name, getattr(v, name)

    table = {}
    for prefix in ("", "standard_", "urlsafe_"):
        name, function = named(prefix)
        into_name, into = named(prefix, "_into")
        table[name] = cases(function)
        table[into_name] = {**cases(into, destination), **into_cases(into, sample)}
        if prefix == "":
            table[name].update(options(function))
            table[into_name].update(options(into, *destination))
        if prefix == "urlsafe_":
            table[name].update(url_safe_padding(function, url_safe_sample))
            table[into_name].update(url_safe_padding(into, url_safe_sample, *destination))
    return table


def room(item):
    """Destination room enough for encoding or decoding `item`."""
    try:
        return 2 * (len(item) if isinstance(item, str) else memoryview(item).nbytes) + 8
    except TypeError:
        return 8


def items_in_outputs(function, block):
    """Each item is, or views, the other output; fresh outputs for every call."""
    outputs = [bytearray(block * 16), bytearray(block * 8)]
    return function([outputs[1], memoryview(outputs[0])[: len(block)]], outputs)


def base64_list_cases(direction, sample, large, block):
    """The cases of the six list functions of one direction, `sample`, `large`
    and any repetition of `block` being valid items."""
    decoding = direction == "decode"
    table = {}
    for prefix in ("", "standard_", "urlsafe_"):
        for into in (False, True):
            name = f"{prefix}b64{direction}_batch{'_into' if into else ''}"
            function = getattr(v, name)

            def call(items, *args, function=function, into=into, **kwargs):
                outputs = [[bytearray(room(item)) for item in items]] if into else []
                return function(items, *outputs, *args, **kwargs)

            cases = table[name] = {
                "mixed items": ok(call, [sample, bytearray(sample), memoryview(sample), array.array("B", sample)]),
                "large items": ok(call, [large, bytearray(large)]),
                "no items": ok(call, []),
                "items not a list": raises(TypeError, call, (sample,)),
                "item not bytes-like": raises(TypeError, call, [sample, 3]),
                "refused export": raises(TypeError, call, [sample, RefusedExport()]),
                **parser_failures(function, [], *([[]] if into else [])),
            }
            if decoding:
                cases.update({
                    "text items": ok(call, [sample.decode(), Text(sample.decode())]),
                    "invalid item": raises(binascii.Error, call, [sample, b"aGVsb"]),
                    "non-ASCII item": raises(ValueError, call, [sample, "é"]),
                    "non-ASCII text subclass item": raises(ValueError, call, [sample, Text("é")]),
                })
            else:
                cases["item not contiguous"] = raises(BufferError, call, [sample, memoryview(b"abcd")[::2]])
            if prefix == "":
                cases.update({
                    "altchars": ok(call, [sample], altchars=b"-_"),
                    "altchars of length 3": raises(ValueError, call, [sample], altchars=b"abc"),
                })
                if decoding:
                    cases.update({
                        "validate": ok(call, [sample], validate=True),
                        "validate rejects": raises(binascii.Error, call, [b"aG!VsbG8="], validate=True),
                        "validate raising": raises(ZeroDivisionError, call, [sample], validate=RaisingTruth()),
                        "legacy warning as error": raises(FutureWarning, error_on_warning(call), [b"+/8="],
                                                          altchars=b"-_"),
                    })
            if into:
                outputs = [bytearray(64)]
                cases.update({
                    "outputs not a list": raises(TypeError, function, [sample], (bytearray(64),)),
                    "lengths differ": raises(ValueError, function, [sample], []),
                    "output not a bytearray": raises(TypeError, function, [sample], [b"x" * 64]),
                    "output repeats": raises(ValueError, function, [sample, sample], [outputs[0]] * 2),
                    "output too small": raises(ValueError, function, [sample], [bytearray(1)]),
                    "items in the outputs": ok(items_in_outputs, function, block),
                })
    return table


COLUMN_ROWS = [b"aGVsbG8=", None, b"", b"aGVs" * 100]
COLUMN = Producer(COLUMN_ROWS)
CHUNKED_COLUMN = StreamOnly(Producer(COLUMN_ROWS, chunk_size=2))
LARGE_COLUMN = Producer([b"aGVsbG8="] * 2100)  # past the rows from which the thread detaches


def column_cases(function):
    """A column function's cases: the column's ways in and its failures, and
    the result's ways out (capsules consumed by no one are released by
    their destructors)."""
    return {
        "array": ok(function, COLUMN),
        "chunks": ok(function, CHUNKED_COLUMN),
        "large": ok(function, LARGE_COLUMN),
        "result exported as an array": ok(lambda: function(COLUMN).__arrow_c_array__()),
        "result exported as a stream": ok(lambda: function(COLUMN).__arrow_c_stream__()),
        "result's schema": ok(lambda: function(COLUMN).__arrow_c_schema__()),
        "not a column": raises(TypeError, function, b"abc"),
        "unsupported type": raises(TypeError, function, Producer([b"a"], format=b"l")),
        "unsupported stream type": raises(TypeError, function, StreamOnly(Producer([b"a"], format=b"+s"))),
        "stream fails": raises(OSError, function, StreamOnly(Producer([b"a"], fail_next=True))),
        "capsules of another name": raises(TypeError, function, WrongCapsules()),
        **parser_failures(function, COLUMN),
    }


def column_hash_cases(function, seed_limit):
    return column_cases(function) | {
        "buffer": ok(lambda: memoryview(function(COLUMN)).tobytes()),
        "seed": ok(function, COLUMN, seed=seed_limit - 1),
        "seed not an int": raises(TypeError, function, COLUMN, seed=1.0),
        "negative seed": raises(OverflowError, function, COLUMN, seed=-1),
        "seed too large": raises(OverflowError, function, COLUMN, seed=seed_limit),
    }


# Callable name -> case name -> (call, the exception it must raise or None).
CASES = {
    **{name: hash_cases(getattr(v, name), 2**64) for name in ("xxh3_64", "xxh3_128")},
    **{name: hash_cases(getattr(v, name), 2**32)
       for name in ("murmur3_32", "murmur3_x86_128_digest", "murmur3_x64_128_digest")},
    **{name: hasher_case for cls in (v.murmur3_x86_32, v.murmur3_x86_128, v.murmur3_x64_128)
       for name, hasher_case in hasher_cases(cls, 2**32).items()},
    "xxh3_64_batch": list_cases(v.xxh3_64_batch),
    "xxh3_128_batch": list_cases(v.xxh3_128_batch),
    "xxh3_64_batch_into": list_cases(v.xxh3_64_batch_into, 8),
    "xxh3_128_batch_into": list_cases(v.xxh3_128_batch_into, 16),
    **base64_cases("encode", encode_cases, b64encode_options, b"hello", b"\xfb"),
    **base64_cases("decode", decode_cases, b64decode_options, b"aGVsbG8=", b"-_8="),
    **base64_list_cases("encode", b"hello", BIG, b"hello"),
    **base64_list_cases("decode", b"aGVsbG8=", BIG_TEXT, b"aGVs"),
    # The package's own extension module.
    **{f"vantorq._native.{name}_{form}": hash_cases(getattr(native, f"{name}_{form}"), 2**64, wraps=True)
       for name in ("xxh32", "xxh64", "xxh3_64", "xxh3_128") for form in ("digest", "hexdigest", "intdigest")},
    "vantorq._native.xxh32_batch": list_cases(native.xxh32_batch),
    "vantorq._native.xxh64_batch": list_cases(native.xxh64_batch),
    "vantorq._native.xxh32_batch_into": list_cases(native.xxh32_batch_into, 4),
    "vantorq._native.xxh64_batch_into": list_cases(native.xxh64_batch_into, 8),
    "vantorq._native.encodebytes": mime_cases(native.encodebytes, b"hello"),
    "vantorq._native.decodebytes": mime_cases(native.decodebytes, b"aGVsbG8=\n") | {
        "not contiguous": raises(TypeError, native.decodebytes, memoryview(b"abcd")[::2]),
    },
    **{f"vantorq._native.column_{name}": column_hash_cases(getattr(native, f"column_{name}"), limit)
       for name, limit in [("xxh3_64", 2**64), ("xxh3_128", 2**64), ("murmur3_32", 2**32),
                           ("murmur3_x86_128", 2**32), ("murmur3_x64_128", 2**32)]},
    "vantorq._native.column_b64encode": column_cases(native.column_b64encode) | {
        "options": ok(native.column_b64encode, COLUMN, altchars=b"-_", padded=False),
        "no single buffer": raises(TypeError, lambda: memoryview(native.column_b64encode(COLUMN))),
        "altchars of length 3": raises(ValueError, native.column_b64encode, COLUMN, altchars=b"abc"),
        "padded raising": raises(ZeroDivisionError, native.column_b64encode, COLUMN, padded=RaisingTruth()),
    },
    "vantorq._native.column_b64decode": column_cases(native.column_b64decode) | {
        "left to binascii": ok(native.column_b64decode, Producer([b"aG!VsbG8=", b"aGVsbG8"]), errors="null"),
        "invalid row": raises(binascii.Error, native.column_b64decode, Producer([b"aGVsbG8=", b"aGVsb"])),
        "rejected row": raises(binascii.Error, native.column_b64decode, Producer([b"aG!VsbG8="]), validate=True),
        "legacy warning as error": raises(FutureWarning, error_on_warning(native.column_b64decode),
                                          Producer([b"+/8="]), altchars=b"-_"),
        "errors not a mode": raises(ValueError, native.column_b64decode, COLUMN, errors="ignore"),
        "validate raising": raises(ZeroDivisionError, native.column_b64decode, COLUMN, validate=RaisingTruth()),
    },
    **pybase64_cases(),
    "vantorq._native.cpu_info": {"called": ok(native.cpu_info), "arguments refused": raises(TypeError, native.cpu_info, 1)},
    "vantorq._native.Column": {"made only by the column functions": raises(TypeError, native.Column)},
    "vantorq._native.Column.null_count": {"read": ok(lambda: native.column_xxh3_64(COLUMN).null_count)},
    **{name: table for cls in (native.xxh32, native.xxh64, native.xxh3_64, native.xxh3_128)
       for name, table in package_hasher_cases(cls, 2**64, wraps=True).items()},
    **{name: table for cls in (native.murmur3_x86_32, native.murmur3_x86_128, native.murmur3_x64_128)
       for name, table in package_hasher_cases(cls, 2**32).items()},
    # The mmh3 drop-in.
    **{f"vantorq._native.mmh3_{name}": mmh3_key_cases(getattr(native, f"mmh3_{name}"))
       for name in ("hash", "hash64", "hash128", "hash_bytes", "hash_from_buffer")},
    "vantorq._native.mmh3_hash128_batch": {"keys": ok(native.mmh3_hash128_batch, [b"a", "b", BIG]),
                                           "not a list": raises(TypeError, native.mmh3_hash128_batch, 3)},
    **{f"vantorq._native.mmh3_{width}_{form}": mmh3_digest_cases(getattr(native, f"mmh3_{width}_{form}"))
       for width, forms in [("32", ("digest", "sintdigest", "uintdigest")),
                            ("x64_128", ("digest", "sintdigest", "uintdigest", "stupledigest", "utupledigest")),
                            ("x86_128", ("digest", "sintdigest", "uintdigest", "stupledigest", "utupledigest"))]
       for form in forms},
    **mmh3_hasher_cases(native.mmh3_32, ("digest", "sintdigest", "uintdigest", "copy")),
    **{name: table for cls in (native.mmh3_x64_128, native.mmh3_x86_128)
       for name, table in mmh3_hasher_cases(cls, ("digest", "sintdigest", "uintdigest", "stupledigest",
                                                   "utupledigest", "copy")).items()},
}
CALLS_PER_ROUND = 40
# A leak on a path grows every round by at least one per call; the measurement
# itself moves a reference or two, and the interpreter's own caches settle
# within a few rounds (the first column calls through the ctypes producers,
# in a fresh process, take up to about ten: one more reference a call that
# falls off round by round).
LIMIT = CALLS_PER_ROUND // 4
MAX_ROUNDS = 12


def public_callables():
    names = set()
    for module, prefix in ((v, ""), (native, "vantorq._native.")):
        names |= {prefix + name for name in dir(module) if not name.startswith("_") and callable(getattr(module, name))}
        names |= {f"{prefix}{cls}.{name}" for cls in module.__all__ for name in dir(getattr(module, cls))
                  if not name.startswith("_")}
    return names


def test_every_public_callable_has_cases():
    assert set(CASES) == public_callables()


def run(call, error):
    if error is None:
        call()
        return
    try:
        call()
    except error:  # without binding the exception: no traceback cycle for the collector to free
        return
    pytest.fail(f"did not raise {error.__name__}")


@pytest.mark.skipif(not hasattr(sys, "gettotalrefcount"), reason="needs the debug interpreter")
@pytest.mark.parametrize(("callable_name", "case"), [(name, case) for name in CASES for case in CASES[name]])
def test_repeated_calls_keep_references_and_blocks_flat(callable_name, case, drift_record):
    call, error = CASES[callable_name][case]
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        for _ in range(CALLS_PER_ROUND):  # fills the interpreter's caches first
            run(call, error)
        drifts = []
        # Garbage in cycles (the ctypes column producers make some) is
        # collected on both sides of a round, so that the collector running
        # or not within one does not show as drift; a leak is never collected.
        gc.collect()
        while len(drifts) < MAX_ROUNDS and not (drifts and max(drifts[-1]) < LIMIT):
            references, blocks = sys.gettotalrefcount(), sys.getallocatedblocks()
            for _ in range(CALLS_PER_ROUND):
                run(call, error)
            gc.collect()
            drifts.append((sys.gettotalrefcount() - references, sys.getallocatedblocks() - blocks))
    drift_record(CALLS_PER_ROUND * (len(drifts) + 1), drifts)
    assert max(drifts[-1]) < LIMIT, drifts


def resident_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


# Both modules imported and used in a fresh interpreter: the package module
# loaded from the file this process uses (a build tree's, under the guards).
INTERPRETER_WORK = f"""
import importlib.util
spec = importlib.util.spec_from_file_location("vantorq._native", {native.__file__!r})
native = importlib.util.module_from_spec(spec)
spec.loader.exec_module(native)
import _vantorq as v
assert v.b64decode(v.b64encode(b"x" * 1000)) == b"x" * 1000
assert v.xxh3_64_batch([b"a"]) == [v.xxh3_64(b"a")]
hasher = native.xxh3_128(b"abc")
hasher.copy().update(b"d")
assert native.murmur3_x86_32(b"abc").intdigest() == v.murmur3_32(b"abc")
try:
    v.b64decode(b"!", validate=True)
except Exception:
    pass
"""


def interpreter_cycle():
    interpreter = interpreters.create()
    try:
        interpreter.exec(INTERPRETER_WORK)
    finally:
        interpreter.close()


def test_interpreter_cycles_keep_references_and_memory_flat():
    for _ in range(20):  # the first cycles fill the process's caches
        interpreter_cycle()
    gc.collect()
    references, resident = getattr(sys, "gettotalrefcount", lambda: 0)(), resident_bytes()
    for _ in range(200):
        interpreter_cycle()
    gc.collect()
    # A class, a module state or an exception type left behind per cycle
    # would be hundreds of references and kilobytes each.
    assert getattr(sys, "gettotalrefcount", lambda: 0)() - references < 200
    assert resident_bytes() - resident < 8 << 20


LARGE = bytes(range(256)) * 16384  # 4 MiB
LARGE_TEXT = binascii.b2a_base64(LARGE, newline=False)
LARGE_DESTINATION = bytearray(len(LARGE_TEXT))
LARGE_ARRAY = bytearray(LARGE)


def decode_in_place():
    LARGE_DESTINATION[:] = LARGE_TEXT
    v.b64decode_into(LARGE_DESTINATION, LARGE_DESTINATION)


LARGE_CALLS = {  # each makes at least one private copy of a 4 MiB input
    "encode an input inside the destination": lambda: v.b64encode_into(
        memoryview(LARGE_DESTINATION)[: len(LARGE)], LARGE_DESTINATION),
    "encode an exporter": lambda: v.b64encode_into(array.array("B", LARGE), LARGE_DESTINATION),
    "encode a bytearray": lambda: v.b64encode(LARGE_ARRAY),
    "decode in place": decode_in_place,
    "decode with altchars": lambda: v.b64decode(LARGE_TEXT.translate(bytes.maketrans(b"+/", b"-_")), altchars=b"-_"),
    "hash a copied view": lambda: v.xxh3_128(memoryview(LARGE)[::2]),
    "update from an exporter": lambda: v.murmur3_x64_128(array.array("B", LARGE)).digest(),
    "hash a list of bytearrays": lambda: v.xxh3_64_batch([LARGE_ARRAY, LARGE_ARRAY]),
    "hash a list into its own item": lambda: v.xxh3_128_batch_into([LARGE_DESTINATION], LARGE_DESTINATION),
}


@pytest.mark.parametrize("name", LARGE_CALLS)
def test_resident_memory_stays_flat_over_large_calls(name):
    call = LARGE_CALLS[name]
    for _ in range(5):
        call()
    before = resident_bytes()
    for _ in range(40):
        call()
    # A lost 4 MiB copy per call would add 160 MiB.
    assert resident_bytes() - before < 16 * 1024 * 1024
