# vantorq_glibc_baseline: what every module links so that it asks no more of
# glibc than 2.28 offers, the baseline of manylinux_2_28 (the wheels' tag).
#
# Built on a newer glibc, two kinds of references would raise that floor:
#   - __libc_single_threaded (2.32), read by libstdc++'s inline code: defined
#     in the module instead (glibc_baseline.cpp);
#   - the pthread_key_* and pthread_setspecific functions, which glibc 2.34
#     moved into libc under a new version: mimalloc's archive, which we do not
#     compile, refers to them, and mimalloc.cmake binds those references to
#     the first versions the architecture had (GLIBC_2.2.5 on x86-64, 2.17 on
#     aarch64), which every glibc since has kept (the names are listed here,
#     with the versions they bind to).
# scripts/wheel.sh fails if auditwheel finds a tag newer than manylinux_2_28.

if(VANTORQ_AARCH64)
  set(glibc_first_version GLIBC_2.17)
else()
  set(glibc_first_version GLIBC_2.2.5)
endif()
set(VANTORQ_GLIBC_PINNED_SYMBOLS pthread_key_create@${glibc_first_version} pthread_key_delete@${glibc_first_version}
  pthread_setspecific@${glibc_first_version})
add_library(vantorq_glibc_baseline STATIC ${CMAKE_CURRENT_LIST_DIR}/glibc_baseline.cpp)
