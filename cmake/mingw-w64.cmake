# Cross-build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix; its POSIX
# thread model gives std::mutex and std::thread). The same compilers and search rules as the
# toolchain of the Qt 6 for mingw. Executables are linked -static, so Windows and Wine need no
# mingw DLLs beside them.
#
# ORBISTO_MINGW_PREFIX: the folder where scripts/build-mingw-deps installed zlib, libpng,
# libjpeg-turbo and pugixml for mingw.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORBISTO_MINGW_PREFIX)
if(ORBISTO_MINGW_PREFIX)
    list(APPEND CMAKE_FIND_ROOT_PATH ${ORBISTO_MINGW_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
