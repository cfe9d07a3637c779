"""A minimal Arrow producer written with ctypes: binary-like values exported
through the Arrow PyCapsule interface, counting every release callback, so
that tests can check that a consumer releases each structure exactly once
(and run where no Arrow library installs, such as the debug interpreter)."""

import ctypes
from ctypes import POINTER, c_char_p, c_int, c_int64, c_void_p

# The Arrow C data interface structures, field for field.


class ArrowSchema(ctypes.Structure):
    pass


class ArrowArray(ctypes.Structure):
    pass


class ArrowArrayStream(ctypes.Structure):
    pass


SCHEMA_RELEASE = ctypes.CFUNCTYPE(None, POINTER(ArrowSchema))
ARRAY_RELEASE = ctypes.CFUNCTYPE(None, POINTER(ArrowArray))
GET_SCHEMA = ctypes.CFUNCTYPE(c_int, POINTER(ArrowArrayStream), POINTER(ArrowSchema))
GET_NEXT = ctypes.CFUNCTYPE(c_int, POINTER(ArrowArrayStream), POINTER(ArrowArray))
GET_LAST_ERROR = ctypes.CFUNCTYPE(c_void_p, POINTER(ArrowArrayStream))
STREAM_RELEASE = ctypes.CFUNCTYPE(None, POINTER(ArrowArrayStream))

ArrowSchema._fields_ = [
    ("format", c_char_p), ("name", c_char_p), ("metadata", c_char_p), ("flags", c_int64),
    ("n_children", c_int64), ("children", c_void_p), ("dictionary", c_void_p),
    ("release", SCHEMA_RELEASE), ("private_data", c_void_p),
]
ArrowArray._fields_ = [
    ("length", c_int64), ("null_count", c_int64), ("offset", c_int64), ("n_buffers", c_int64),
    ("n_children", c_int64), ("buffers", POINTER(c_void_p)), ("children", c_void_p), ("dictionary", c_void_p),
    ("release", ARRAY_RELEASE), ("private_data", c_void_p),
]
ArrowArrayStream._fields_ = [
    ("get_schema", GET_SCHEMA), ("get_next", GET_NEXT), ("get_last_error", GET_LAST_ERROR),
    ("release", STREAM_RELEASE), ("private_data", c_void_p),
]

_capsule_new = ctypes.pythonapi.PyCapsule_New
_capsule_new.restype = ctypes.py_object
_capsule_new.argtypes = [c_void_p, c_char_p, c_void_p]


class Producer:
    """`values` (bytes or None) as chunks of a binary column ("z", 32-bit
    offsets), or as the type `format` names (its buffers are the same, so a
    consumer that reads the format rejects it). `releases` counts the calls of
    every release callback, `exported` the structures handed out. What an
    exported structure points to is held until its release, so a producer
    used over and over holds nothing more once each use is released."""

    def __init__(self, values, *, chunk_size=None, format=b"z", fail_next=False):
        chunk_size = chunk_size or max(len(values), 1)
        self.chunks = [values[i : i + chunk_size] for i in range(0, len(values), chunk_size)] or [[]]
        self.format = format  # the schemas point into these bytes
        self.fail_next = fail_next
        self.releases = 0
        self.exported = 0
        self._held = {}  # private_data key -> what that structure points to
        self._next_key = 1
        self._built = {}
        self._schema_release = SCHEMA_RELEASE(self._release)
        self._array_release = ARRAY_RELEASE(self._release)
        self._stream_release = STREAM_RELEASE(self._release)

    def _hold(self, structure, *objects):
        key, self._next_key = self._next_key, self._next_key + 1
        self._held[key] = objects
        structure.private_data = key
        self.exported += 1

    def _release(self, structure):
        self.releases += 1
        self._held.pop(structure.contents.private_data, None)
        structure.contents.release = type(structure.contents.release)()

    def _fill_schema(self, schema):
        schema.format, schema.name, schema.flags = self.format, None, 2
        schema.release = self._schema_release
        self._hold(schema)

    def _buffers(self, chunk_index):
        """The chunk's validity, offsets and data, built once: exported arrays share them."""
        if chunk_index not in self._built:
            self._built[chunk_index] = self._build(chunk_index)
        return self._built[chunk_index]

    def _build(self, chunk_index):
        values = self.chunks[chunk_index]
        offsets = (ctypes.c_int32 * (len(values) + 1))()
        validity = (ctypes.c_uint8 * (len(values) // 8 + 1))()
        data = b"".join(value or b"" for value in values)
        for i, value in enumerate(values):
            offsets[i + 1] = offsets[i] + len(value or b"")
            validity[i // 8] |= (value is not None) << (i % 8)
        data_buffer = ctypes.create_string_buffer(data, len(data) + 1)
        table = (c_void_p * 3)(ctypes.addressof(validity), ctypes.addressof(offsets), ctypes.addressof(data_buffer))
        return table, offsets, validity, data_buffer

    def _fill_array(self, array, chunk_index):
        values = self.chunks[chunk_index]
        buffers = self._buffers(chunk_index)
        array.length, array.null_count, array.offset, array.n_buffers = len(values), values.count(None), 0, 3
        array.buffers = ctypes.cast(buffers[0], POINTER(c_void_p))
        array.release = self._array_release
        self._hold(array, *buffers)

    def __arrow_c_array__(self, requested_schema=None):
        schema, array = ArrowSchema(), ArrowArray()
        self._fill_schema(schema)
        self._fill_array(array, 0)
        # The capsules point at structures this producer holds until they are released.
        self._held[schema.private_data] += (schema,)
        self._held[array.private_data] += (array,)
        return _capsule_new(ctypes.addressof(schema), b"arrow_schema", None), _capsule_new(
            ctypes.addressof(array), b"arrow_array", None
        )

    def __arrow_c_stream__(self, requested_schema=None):
        pending = list(range(len(self.chunks)))

        def get_schema(stream, out):
            self._fill_schema(out.contents)
            return 0

        def get_next(stream, out):
            if self.fail_next:
                return 5  # EIO
            if pending:
                self._fill_array(out.contents, pending.pop(0))
            else:
                out.contents.release = ARRAY_RELEASE()
            return 0

        error = ctypes.create_string_buffer(b"chunk refused")
        callbacks = [GET_SCHEMA(get_schema), GET_NEXT(get_next),
                     GET_LAST_ERROR(lambda stream: ctypes.addressof(error))]
        stream = ArrowArrayStream(*callbacks, self._stream_release)
        self._hold(stream, stream, error, *callbacks)
        return _capsule_new(ctypes.addressof(stream), b"arrow_array_stream", None)


class StreamOnly:
    """A producer's chunks through __arrow_c_stream__ alone, as a chunked array exports them."""

    def __init__(self, producer):
        self.producer = producer

    def __arrow_c_stream__(self, requested_schema=None):
        return self.producer.__arrow_c_stream__(requested_schema)


class WrongCapsules:
    """Capsules of another name where __arrow_c_array__'s belong; nothing in them to take."""

    _name = b"not_arrow"
    _target = ctypes.c_int64()

    def __arrow_c_array__(self, requested_schema=None):
        capsule = _capsule_new(ctypes.addressof(self._target), self._name, None)
        return capsule, capsule
