# On Windows one program has two faces built from the same code:
#  morvex.exe  GUI subsystem: started from Explorer or the Start menu it opens
#              no console window;
#  morvex.com  console subsystem: cmd.exe and PowerShell find it first (PATHEXT
#              lists .COM before .EXE), wait for it, pass its standard streams
#              and get its exit code.
# The dialogs are linked in (no run-time loading on Windows).
set(MORVEX_WINDOWS_PROGRAMS morvex morvex_console)
# A library of its own so that its tests can link it.
add_library(morvex_windows_startup STATIC WindowsStartUp.cpp)
target_include_directories(morvex_windows_startup PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(morvex_windows_startup PRIVATE morvex_fileio)
add_executable(morvex WIN32 main.cpp)
add_executable(morvex_console main.cpp)
set_target_properties(morvex_console PROPERTIES OUTPUT_NAME morvex SUFFIX .com)
foreach(program IN LISTS MORVEX_WINDOWS_PROGRAMS)
    # wmain: the arguments arrive as UTF-16 whatever the code page.
    target_compile_options(${program} PRIVATE -municode)
    target_link_options(${program} PRIVATE -municode)
    target_link_libraries(${program} PRIVATE morvex_cli morvex_windows_startup)
    if(MORVEX_GUI)
        target_sources(${program} PRIVATE DialogModeWin32.cpp)
        target_link_libraries(${program} PRIVATE morvex_ui_win32)
    else()
        target_sources(${program} PRIVATE DialogModeUnavailable.cpp)
    endif()
endforeach()
