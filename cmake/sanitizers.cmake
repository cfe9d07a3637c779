# VANTORQ_SANITIZE: every target built with AddressSanitizer and
# UndefinedBehaviorSanitizer, every finding fatal. The module's heap then comes
# from the system allocator, which the sanitizer replaces, so that its
# allocations are checked like everything else. -O1 (after the build type's
# own level, so it wins) halves the build time of the instrumented code.
option(VANTORQ_SANITIZE "Build with -fsanitize=address,undefined" OFF)
if(VANTORQ_SANITIZE)
  add_compile_options(-O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(VANTORQ_SYSTEM_ALLOCATOR)
endif()
