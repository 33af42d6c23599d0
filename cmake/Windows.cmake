# The Windows build: every program links statically, so that it runs on a bare Windows, and
# GoogleTest is built from Debian's source package with the same compiler.
add_link_options(-static -static-libgcc -static-libstdc++)
# Windows 10 and later: the wide-character and known-folder calls the backends use.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00)

set(OSTREVAN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${OSTREVAN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
