# Cross-compiling for 64-bit Arm Linux with Debian's g++-aarch64-linux-gnu
# (scripts/aarch64.sh). VANTORQ_AARCH64_PREFIXES (a list) names the unpacked
# aarch64 libraries to search beside the cross compiler's own: the
# interpreter's root, mimalloc, GoogleTest.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# Tests and test discovery run their programs through the emulator.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTORQ_AARCH64_PREFIXES)
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu ${VANTORQ_AARCH64_PREFIXES})
# Libraries, headers and packages only from the aarch64 roots; programs
# (the build's own tools) from the machine.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
