# Cross build for 64-bit Windows with Debian's mingw-w64 tool chain.
#
# The posix-threads compilers are used because the win32-threads flavour ships
# a libstdc++ without std::mutex, which GoogleTest needs. Programs run through
# Wine; WINEDEBUG=-all keeps Wine's own chatter out of test output.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVEL_MINGW_PREFIX}-windres)
set(CMAKE_DLLTOOL ${KORVEL_MINGW_PREFIX}-dlltool)
set(CMAKE_OBJDUMP ${KORVEL_MINGW_PREFIX}-objdump)
set(CMAKE_STRIP ${KORVEL_MINGW_PREFIX}-strip)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each build folder gets a Wine prefix of its own, so a run never depends on
# whatever $HOME/.wine holds.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
