# Hardened code generation for GCC and Clang: a stack protector, fortified
# library calls and a position-independent executable; on ELF systems also
# read-only relocations bound at start-up (Mach-O has no such linker flag). The
# Windows linker's defaults (DYNAMIC_BASE, NX_COMPAT, HIGH_ENTROPY_VA) already
# cover that platform.
add_library(hollowbrook_hardening INTERFACE)

if(NOT HOLLOWBROOK_HARDEN OR WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  return()
endif()

include(CheckCXXSourceCompiles)
include(CheckPIESupported)

check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# Level 3 needs the compiler's dynamic object sizes; level 2 otherwise.
check_cxx_source_compiles("int main() { char b[4]; return (int)__builtin_dynamic_object_size(b, 0); }"
                          HOLLOWBROOK_HAS_DYNAMIC_OBJECT_SIZE)
if(HOLLOWBROOK_HAS_DYNAMIC_OBJECT_SIZE)
  set(fortify_level 3)
else()
  set(fortify_level 2)
endif()

# Fortified calls need the optimiser; a Debug build would only warn.
target_compile_options(hollowbrook_hardening INTERFACE
                       -fstack-protector-strong
                       "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=${fortify_level}>")
if(CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
  target_link_options(hollowbrook_hardening INTERFACE -Wl,-z,relro,-z,now)
endif()
