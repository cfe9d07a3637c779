# VANTORQ_SANITIZE: every target built with AddressSanitizer and
# UndefinedBehaviorSanitizer, every finding fatal. The module's heap then comes
# from the system allocator, which the sanitizer replaces, so that its
# allocations are checked like everything else.
option(VANTORQ_SANITIZE "Build with -fsanitize=address,undefined" OFF)
if(VANTORQ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(VANTORQ_SYSTEM_ALLOCATOR)
endif()
