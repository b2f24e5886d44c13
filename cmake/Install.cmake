# cmake --install copies the portable program folder to <prefix>/lib/quellon/ and links
# <prefix>/bin/quellon. The default prefix is per-user (~/.local) so that dat/ stays writable.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix" FORCE)
endif()
set(QUELLON_INSTALL_DIR "lib/quellon")
install(TARGETS quellon RUNTIME DESTINATION "${QUELLON_INSTALL_DIR}")
install(DIRECTORY "${QUELLON_APP_DIR}/res/" DESTINATION "${QUELLON_INSTALL_DIR}/res")
# The data file is copied only where none exists, so installing again never replaces user data.
install(CODE "
    set(target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUELLON_INSTALL_DIR}/dat/data.dat\")
    if(NOT EXISTS \"\${target}\")
        file(INSTALL \"${QUELLON_DATA_TEMPLATE}\" DESTINATION \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUELLON_INSTALL_DIR}/dat\")
    endif()
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUELLON_INSTALL_DIR}/cache\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    execute_process(COMMAND \"${CMAKE_COMMAND}\" -E create_symlink
        \"../${QUELLON_INSTALL_DIR}/quellon\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/quellon\")
")
