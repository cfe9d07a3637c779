"""The marker of an option not given: b64decode's validate and ignorechars
default to it, and a caller may pass it on for validate."""

import enum
import sys

# A str member, so that the functions' signatures can show it as their default.
if sys.version_info >= (3, 11):
    _TextEnum = enum.StrEnum
else:

    class _TextEnum(str, enum.Enum):
        pass


class _Unspecified(_TextEnum):
    UNSPECIFIED = "UNSPECIFIED"
