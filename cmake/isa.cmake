# Each vector tier is compiled for its own instruction set and called only after
# the capability check. Code in such files must stay in anonymous namespaces or
# be always_inline: an inline function emitted here could otherwise be the copy
# the linker keeps for every caller, and crash an older processor.
set(VANTORQ_ISA_ssse3     -mssse3)
set(VANTORQ_ISA_sse41     -mssse3 -msse4.1)
set(VANTORQ_ISA_avx2      -mssse3 -msse4.1 -mavx -mavx2)
set(VANTORQ_ISA_avx2_bmi2 -mssse3 -msse4.1 -mavx -mavx2 -mbmi2)
set(VANTORQ_ISA_avx512f   -mssse3 -msse4.1 -mavx -mavx2 -mavx512f)
set(VANTORQ_ISA_avx512dq  ${VANTORQ_ISA_avx512f} -mavx512dq -mavx512vl)
set(VANTORQ_ISA_avx512vbmi -mssse3 -msse4.1 -mavx -mavx2 -mavx512f -mavx512bw -mavx512vbmi)
set(VANTORQ_ISA_avx512vbmi2 ${VANTORQ_ISA_avx512vbmi} -mavx512vbmi2 -mpopcnt)

# vantorq_isa_sources(<target> <tier> files...): adds the files to the target,
# compiled with the tier's instruction-set flags.
function(vantorq_isa_sources target tier)
  if(NOT DEFINED VANTORQ_ISA_${tier})
    message(FATAL_ERROR "unknown instruction-set tier '${tier}'")
  endif()
  target_sources(${target} PRIVATE ${ARGN})
  set_source_files_properties(${ARGN} TARGET_DIRECTORY ${target}
    PROPERTIES COMPILE_OPTIONS "${VANTORQ_ISA_${tier}}")
endfunction()
