# cmake --install copies the portable program folder to <prefix>/lib/quellon/ and links
# <prefix>/bin/quellon; a desktop entry and the icon make it appear in the desktop's menus.
# The default prefix is per-user (~/.local) so that dat/ stays writable.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix" FORCE)
endif()
set(QUELLON_INSTALL_DIR "lib/quellon")
install(TARGETS quellon RUNTIME DESTINATION "${QUELLON_INSTALL_DIR}")
install(TARGETS quellon_webkit quellon_sound LIBRARY DESTINATION "${QUELLON_INSTALL_DIR}/lib")
# From the sources: the build's res/ folder is also CMake's binary folder of res/CMakeLists.txt.
install(DIRECTORY "${CMAKE_SOURCE_DIR}/res/" DESTINATION "${QUELLON_INSTALL_DIR}/res"
    PATTERN "CMakeLists.txt" EXCLUDE)
install(FILES "${CMAKE_SOURCE_DIR}/res/quellon.png" DESTINATION "share/icons/hicolor/256x256/apps")
install(FILES "${CMAKE_SOURCE_DIR}/res/quellon.svg" DESTINATION "share/icons/hicolor/scalable/apps")
# The data file is copied only where none exists, so installing again never replaces user data.
# The desktop entry starts the installed program by its full path (~/.local/bin is often not on the
# PATH of a desktop session); the path is the prefix without DESTDIR, where the program will live.
install(CODE "
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    set(target \"\${root}/${QUELLON_INSTALL_DIR}/dat/data.dat\")
    if(NOT EXISTS \"\${target}\")
        file(COPY \"${QUELLON_DATA_TEMPLATE}\" DESTINATION \"\${root}/${QUELLON_INSTALL_DIR}/dat\")
        message(STATUS \"Installing: \${target}\")
    endif()
    file(MAKE_DIRECTORY \"\${root}/${QUELLON_INSTALL_DIR}/cache\")
    file(MAKE_DIRECTORY \"\${root}/bin\")
    execute_process(COMMAND \"${CMAKE_COMMAND}\" -E create_symlink
        \"../${QUELLON_INSTALL_DIR}/quellon\" \"\${root}/bin/quellon\")
    message(STATUS \"Linking: \${root}/bin/quellon\")
    file(READ \"${CMAKE_SOURCE_DIR}/res/quellon.desktop\" entry)
    string(REPLACE \"Exec=quellon \" \"Exec=\\\"\${CMAKE_INSTALL_PREFIX}/bin/quellon\\\" \" entry \"\${entry}\")
    file(WRITE \"\${root}/share/applications/quellon.desktop\" \"\${entry}\")
    message(STATUS \"Writing: \${root}/share/applications/quellon.desktop\")
")
