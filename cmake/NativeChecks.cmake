# Native Linux build of the window-less code and its tests, under ASan and UBSan.
enable_testing()
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB PORTABLE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/portable/*.cpp)
add_executable(portable_tests ${PORTABLE_SOURCES} ${PORTABLE_TESTS})
target_include_directories(portable_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(portable_tests PRIVATE ${UPDATER_WARNING_FLAGS} ${UPDATER_CHARSET_FLAGS} ${SANITIZE})
target_link_options(portable_tests PRIVATE ${SANITIZE})
target_link_libraries(portable_tests PRIVATE gtest_main)

include(GoogleTest)
gtest_discover_tests(portable_tests TEST_PREFIX "native.")
