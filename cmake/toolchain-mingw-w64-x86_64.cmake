# Cross-compiles for 64-bit Windows with MinGW-w64. The -posix compilers use
# the POSIX thread model: the win32 one has no std::thread or std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MORVEX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MORVEX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORVEX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MORVEX_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MORVEX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows keeps the stack 16-byte aligned, and GCC does not realign it for
# the wider vectors it spills in the AVX2 and AVX-512 code: unaligned moves
# never fault, and cost nothing on the processors that have those.
set(CMAKE_C_FLAGS_INIT -Wa,-muse-unaligned-vector-move)
set(CMAKE_CXX_FLAGS_INIT -Wa,-muse-unaligned-vector-move)

# One self-contained program: no libstdc++, libgcc or libwinpthread DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Tests and test discovery run the programs under wine, in a prefix of the
# build tree's own so that no other wine set-up is touched.
set(MORVEX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "wine prefix the tests run in")
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${MORVEX_WINEPREFIX} WINEDEBUG=-all
    ${CMAKE_CURRENT_LIST_DIR}/run-under-wine.sh)
