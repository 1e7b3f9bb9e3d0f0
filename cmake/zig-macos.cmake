# Cross build for macOS 11 or later with Zig's compiler, which carries the
# macOS headers and a Mach-O linker. Nothing runs the result here: this build
# checks that the tool compiles and links for macOS, warnings as errors.
# HOLLOWBROOK_MACOS_ARCH is x86_64 or aarch64.
set(CMAKE_SYSTEM_NAME Darwin)
# try_compile reads this file again, and must get the same target.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HOLLOWBROOK_MACOS_ARCH)
set(CMAKE_SYSTEM_PROCESSOR ${HOLLOWBROOK_MACOS_ARCH})
set(CMAKE_CXX_COMPILER ${CMAKE_CURRENT_LIST_DIR}/zig-c++)
set(CMAKE_CXX_COMPILER_TARGET ${HOLLOWBROOK_MACOS_ARCH}-macos.11.0)
set(CMAKE_OSX_SYSROOT "")
set(CMAKE_OSX_DEPLOYMENT_TARGET "")
# The tool needs no C++ run-time library, and is linked without one: no
# libc++ to compile for the target, and a link that fails should the tool
# ever come to need it.
# Zig's compiler checks undefined behaviour unless it optimises, with a
# check that needs that library: CMake's test programs are optimised too.
set(CMAKE_EXE_LINKER_FLAGS_INIT -nostdlib++)
set(CMAKE_TRY_COMPILE_CONFIGURATION Release)
