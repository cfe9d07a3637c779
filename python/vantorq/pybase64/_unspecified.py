"""The marker of an option not given: b64decode's validate and ignorechars
default to it, and a caller may pass it on for validate."""

import enum
import sys

# A str member, so that the functions' signatures can show it as their default.
if sys.version_info >= (3, 11):
    _TextEnum = enum.StrEnum
else:

    class _TextEnum(str, enum.Enum):
        # Members made as 3.11's StrEnum makes them, whose signature the
        # typed view of this class then has on every version.
        def __new__(cls, value: str) -> "_TextEnum":
            member = str.__new__(cls, value)
            member._value_ = value
            return member


class _Unspecified(_TextEnum):
    UNSPECIFIED = "UNSPECIFIED"
