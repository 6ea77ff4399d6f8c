# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(usbio2MingwPrefix x86_64-w64-mingw32)
# The -posix variants: their C++ runtime has std::thread and friends.
set(CMAKE_C_COMPILER ${usbio2MingwPrefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${usbio2MingwPrefix}-g++-posix)
set(CMAKE_RC_COMPILER ${usbio2MingwPrefix}-windres)

# Libraries and headers come from the MinGW tree only, never from the host;
# programs (the build tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${usbio2MingwPrefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
