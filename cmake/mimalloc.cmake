# vantorq_mimalloc: mimalloc linked into each module, with nothing of it seen
# from outside and nothing of the process's allocator replaced.
#
# mimalloc comes from the cmeel-mimalloc package (a build requirement), which
# installs it under <site-packages>/cmeel.prefix of the interpreter that
# builds: a wheel then needs no allocator on the machine that installs it.
# A cross build finds the target's copy among its toolchain's roots instead.
# Its archive is built to replace the process allocator: besides mi_* it
# defines malloc, free, operator new and delete. Linked as it is, the
# module's own new, delete and malloc would bind to those while memory from
# the C++ runtime and the C library comes from the system allocator, and a
# block would be freed by an allocator that did not make it. The module
# links a copy in which only mimalloc's own names stay global, and hides
# those from its dynamic symbol table, so that it calls mimalloc only through
# mi_* and exports no allocator. The same copy binds the few glibc functions
# that glibc 2.34 moved to their older versions (glibc_baseline.cmake).

set(cmeel_prefixes)
if(NOT CMAKE_CROSSCOMPILING)
  find_package(Python COMPONENTS Interpreter REQUIRED)
  execute_process(
    COMMAND "${Python_EXECUTABLE}" -c
      "import pathlib, sys; print(';'.join(str(p) for p in (pathlib.Path(d) / 'cmeel.prefix' for d in sys.path) if p.is_dir()))"
    OUTPUT_VARIABLE cmeel_prefixes OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()
find_package(mimalloc 3 CONFIG REQUIRED HINTS ${cmeel_prefixes})
find_package(Threads REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/glibc_baseline.cmake)

get_target_property(mimalloc_configurations mimalloc-static IMPORTED_CONFIGURATIONS)
list(GET mimalloc_configurations 0 mimalloc_configuration)
get_target_property(mimalloc_archive mimalloc-static IMPORTED_LOCATION_${mimalloc_configuration})
set(private_archive ${PROJECT_BINARY_DIR}/mimalloc/libvantorq_mimalloc.a)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${mimalloc_archive})
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/mimalloc)
set(pinned_symbol_options)
foreach(versioned IN LISTS VANTORQ_GLIBC_PINNED_SYMBOLS)
  string(REGEX REPLACE "@.*" "" name ${versioned})
  # An undefined name of the form name@VERSION is how the assembler's .symver
  # asks the linker for that version of a shared library's symbol.
  list(APPEND pinned_symbol_options --redefine-sym=${name}=${versioned})
endforeach()
execute_process(
  COMMAND ${CMAKE_OBJCOPY} --wildcard --keep-global-symbol=mi_* --keep-global-symbol=_mi_*
    --keep-global-symbol=__mi_* ${pinned_symbol_options} ${mimalloc_archive} ${private_archive}
  COMMAND_ERROR_IS_FATAL ANY)

add_library(vantorq_mimalloc STATIC IMPORTED)
set_target_properties(vantorq_mimalloc PROPERTIES IMPORTED_LOCATION ${private_archive})
get_target_property(mimalloc_include mimalloc-static INTERFACE_INCLUDE_DIRECTORIES)
target_include_directories(vantorq_mimalloc INTERFACE ${mimalloc_include})
target_link_libraries(vantorq_mimalloc INTERFACE Threads::Threads rt atomic vantorq_glibc_baseline)
target_link_options(vantorq_mimalloc INTERFACE LINKER:--exclude-libs,libvantorq_mimalloc.a)
