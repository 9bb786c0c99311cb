# Pravelo.exe: the logic wired to the Windows platform, one file with no DLL of its own.
add_library(pravelo_app STATIC win32_app.cpp)
target_link_libraries(pravelo_app PUBLIC
    pravelo_main_window pravelo_about pravelo_platform_win32 pravelo_platform_word)

add_executable(pravelo WIN32 win32_main.cpp)
set_target_properties(pravelo PROPERTIES OUTPUT_NAME Pravelo)
target_link_options(pravelo PRIVATE -municode)
target_link_libraries(pravelo PRIVATE pravelo_app)

# pravelo-cli.exe: the same program from a script, a console program.
add_executable(pravelo_cli win32_cli_main.cpp)
set_target_properties(pravelo_cli PROPERTIES OUTPUT_NAME pravelo-cli)
target_link_options(pravelo_cli PRIVATE -municode)
target_link_libraries(pravelo_cli PRIVATE pravelo_command_line pravelo_platform_win32
                                          pravelo_platform_win32_version pravelo_platform_word)
