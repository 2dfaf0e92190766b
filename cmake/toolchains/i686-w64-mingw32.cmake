# 32-bit Windows: the product. Built and inspected here; no 32-bit Windows program runs here.
set(VORN_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
