# Cross toolchain: 64-bit Windows binaries from Debian's MinGW-w64 (posix thread model,
# which GoogleTest needs for std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${HV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${HV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The two deliverables must need nothing but Windows itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables run under Wine through this wrapper (ctest and gtest discovery).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine/wine-exec)
