# cmake --install copies the portable program folder to <prefix>/lib/quellon/ and links
# <prefix>/bin/quellon; a desktop entry, the icons and the AppStream metainfo make it appear in the
# desktop's menus and software centres. The default prefix is per-user (~/.local): that copy stays
# portable, its data file beside the program. Under any prefix outside the installing user's home
# (/usr for the Debian package, /opt/...) the program folder is marked as installed for every user:
# each user's data file and cache then live in their own folders, the shipped data file being only
# the template their first start copies (see src/common/AppPaths.h).
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix" FORCE)
endif()
set(QUELLON_INSTALL_DIR "lib/quellon")
set(QUELLON_METAINFO "org.quellon.quellon.metainfo.xml")
install(TARGETS quellon RUNTIME DESTINATION "${QUELLON_INSTALL_DIR}")
install(TARGETS quellon_webkit quellon_sound LIBRARY DESTINATION "${QUELLON_INSTALL_DIR}/lib")
# From the sources: the build's res/ folder is also CMake's binary folder of res/CMakeLists.txt.
# The desktop entry and the metainfo belong to the desktop, not to the program folder.
install(DIRECTORY "${CMAKE_SOURCE_DIR}/res/" DESTINATION "${QUELLON_INSTALL_DIR}/res"
    PATTERN "CMakeLists.txt" EXCLUDE
    PATTERN "quellon.desktop" EXCLUDE
    PATTERN "${QUELLON_METAINFO}" EXCLUDE)
install(FILES "${CMAKE_SOURCE_DIR}/res/quellon.png" DESTINATION "share/icons/hicolor/256x256/apps")
install(FILES "${CMAKE_SOURCE_DIR}/res/quellon.svg" DESTINATION "share/icons/hicolor/scalable/apps")
install(FILES "${CMAKE_SOURCE_DIR}/res/${QUELLON_METAINFO}" DESTINATION "share/metainfo")
# The data file is copied only where none exists, so installing again never replaces user data.
# The desktop entry starts the installed program by its full path (~/.local/bin is often not on the
# PATH of a desktop session); the path is the prefix without DESTDIR, where the program will live.
install(CODE "
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    set(folder \"\${root}/${QUELLON_INSTALL_DIR}\")
    set(target \"\${folder}/dat/data.dat\")
    if(NOT EXISTS \"\${target}\")
        file(COPY \"${QUELLON_DATA_TEMPLATE}\" DESTINATION \"\${folder}/dat\")
        message(STATUS \"Installing: \${target}\")
    endif()
    file(REAL_PATH \"\$ENV{HOME}\" home)
    file(REAL_PATH \"\${CMAKE_INSTALL_PREFIX}\" prefix)
    string(FIND \"\${prefix}/\" \"\${home}/\" inHome)
    if(\"\$ENV{HOME}\" STREQUAL \"\" OR NOT inHome EQUAL 0)
        file(WRITE \"\${folder}/per-user-data\"
            \"This program folder is shared by every user of the machine: each user's data file and\\n\"
            \"cache live in \$XDG_DATA_HOME/quellon/ and \$XDG_CACHE_HOME/quellon/ (by default\\n\"
            \"~/.local/share/quellon/ and ~/.cache/quellon/); dat/data.dat here is the empty data file\\n\"
            \"a user's first start copies.\\n\")
        message(STATUS \"Installing: \${folder}/per-user-data\")
    else()
        file(MAKE_DIRECTORY \"\${folder}/cache\")
    endif()
    file(MAKE_DIRECTORY \"\${root}/bin\")
    execute_process(COMMAND \"${CMAKE_COMMAND}\" -E create_symlink
        \"../${QUELLON_INSTALL_DIR}/quellon\" \"\${root}/bin/quellon\")
    message(STATUS \"Linking: \${root}/bin/quellon\")
    file(READ \"${CMAKE_SOURCE_DIR}/res/quellon.desktop\" entry)
    # Quoted only when it must be: xdg-settings reads the program from Exec without undoing quotes.
    set(program \"\${CMAKE_INSTALL_PREFIX}/bin/quellon\")
    if(NOT program MATCHES \"^[A-Za-z0-9/._+-]+\$\")
        set(program \"\\\"\${program}\\\"\")
    endif()
    string(REPLACE \"Exec=quellon \" \"Exec=\${program} \" entry \"\${entry}\")
    file(WRITE \"\${root}/share/applications/quellon.desktop\" \"\${entry}\")
    message(STATUS \"Writing: \${root}/share/applications/quellon.desktop\")
")
