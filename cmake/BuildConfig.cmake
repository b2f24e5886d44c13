# Build-time configuration: every address the program needs that is not fixed by its own code.
# Tests point these at servers on 127.0.0.1 at run time where they need to; the defaults keep the
# program fully usable offline (the vendor site is the bundled start site under res/site/).
set(QUELLON_SITE_ROOT "" CACHE STRING
    "Vendor site root ending in '/'; empty means the bundled offline site res/site/ as a file URL")
set(QUELLON_GAMES_URL "https://www.4399.com/" CACHE STRING "Games portal opened by the games button")
set(QUELLON_UPDATE_HOST "" CACHE STRING "Update host; empty means no update check is made")
set(QUELLON_SEARCH_360 "https://www.so.com" CACHE STRING "360 web search endpoint")
set(QUELLON_SEARCH_GOOGLE "https://www.google.com" CACHE STRING "Google web search endpoint")
set(QUELLON_SEARCH_BING "https://cn.bing.com" CACHE STRING "Bing (Chinese edition) web search endpoint")
set(QUELLON_SEARCH_BAIDU "https://www.baidu.com" CACHE STRING "Baidu web search endpoint")
# The translator sends the user's text to this address only; without one it sends nothing.
set(QUELLON_TRANSLATE_URL "" CACHE STRING
    "Translation service endpoint (Youdao open API form, e.g. http://fanyi.youdao.com/openapi.do); empty: not configured")
set(QUELLON_API_ROOT "" CACHE STRING "Vendor web API root; empty disables the calls")
# The Internet Options stand-in: "command line|window title[|title...]"; empty: the first known
# desktop network settings program found on PATH (nm-connection-editor, gnome-control-center, kcmshell5).
set(QUELLON_NETWORK_SETTINGS "" CACHE STRING
    "Network settings program and its window title(s), 'command|title'; empty: a known desktop program")
set(QUELLON_OFFICE_HOST "oa.example.com.cn/" CACHE STRING
    "Host that always opens with the compatibility engine (built-in engine domain list)")

configure_file("${CMAKE_SOURCE_DIR}/src/common/BuildConfig.h.in"
               "${CMAKE_BINARY_DIR}/generated/BuildConfig.h" @ONLY)
