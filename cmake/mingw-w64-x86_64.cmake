# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the posix-thread g++, which has
# std::thread). The libraries built for Windows are found under PONDQUEST_WIN64_PREFIX (given on
# the command line or in the environment), besides MinGW's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PONDQUEST_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${PONDQUEST_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PONDQUEST_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${PONDQUEST_MINGW}-windres)
set(CMAKE_AR ${PONDQUEST_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${PONDQUEST_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT PONDQUEST_WIN64_PREFIX AND DEFINED ENV{PONDQUEST_WIN64_PREFIX})
  set(PONDQUEST_WIN64_PREFIX $ENV{PONDQUEST_WIN64_PREFIX})
endif()
# try_compile projects read this file again; they need the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PONDQUEST_WIN64_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${PONDQUEST_MINGW} ${PONDQUEST_WIN64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config answers about the Windows libraries only, never the host's.
if(PONDQUEST_WIN64_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${PONDQUEST_WIN64_PREFIX}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# Programs built here run on the build machine through Wine (test discovery, checks).
find_program(PONDQUEST_WINE wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(PONDQUEST_WINE wine64 wine)
if(PONDQUEST_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PONDQUEST_WINE})
endif()
