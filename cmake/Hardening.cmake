# Hardened code generation for GCC and Clang on ELF systems: a stack
# protector, fortified library calls, read-only relocations bound at start-up
# and a position-independent executable. The Windows linker's defaults
# (DYNAMIC_BASE, NX_COMPAT, HIGH_ENTROPY_VA) already cover that platform.
add_library(hollowbrook_hardening INTERFACE)
set(HOLLOWBROOK_STATIC_LINK -static)

if(NOT HOLLOWBROOK_HARDEN OR WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  return()
endif()

include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)
include(CheckPIESupported)

check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
check_linker_flag(CXX -static-pie HOLLOWBROOK_HAS_STATIC_PIE)
if(HOLLOWBROOK_HAS_STATIC_PIE)
  set(HOLLOWBROOK_STATIC_LINK -static-pie)
endif()

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
target_link_options(hollowbrook_hardening INTERFACE -Wl,-z,relro,-z,now)
