// Part of what keeps the modules loadable on glibc 2.28 (manylinux_2_28):
// see cmake/glibc_baseline.cmake.
//
// libstdc++'s headers from GCC 11 on read glibc's __libc_single_threaded
// (glibc 2.32) to skip atomic reference counting in single-threaded
// processes. This hidden definition, zero, keeps that reference inside the
// module: libstdc++ then always takes the atomic path, as it must anyway once
// a free-threaded interpreter runs a second thread.
extern "C" __attribute__((visibility("hidden"))) char __libc_single_threaded = 0;
