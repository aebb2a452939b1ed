# The Windows program (i686 ships, x86_64 runs the tests) built with MinGW-w64.

set(UPDATER_BASE_URL "http://127.0.0.1:8765" CACHE STRING
    "Update server base URL: scheme and host, optional port, no trailing slash")
if(UPDATER_BASE_URL MATCHES "/$" OR NOT UPDATER_BASE_URL MATCHES "^https?://[^/]+$")
    message(FATAL_ERROR "UPDATER_BASE_URL must be scheme://host[:port] without a trailing slash")
endif()

# Base URL and network time bound of the exes that tests start as processes.
set(UPDATER_TEST_PORT 18765 CACHE STRING "Loopback port of the test server (fixed per build tree)")
set(UPDATER_TEST_BASE_URL "http://127.0.0.1:${UPDATER_TEST_PORT}")
set(UPDATER_TEST_TIMEOUT_MS 3000)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(MANIFEST_ARCH "X86")
else()
    set(MANIFEST_ARCH "amd64")
endif()

add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX STRICT)
set(UPDATER_CXX_FLAGS ${UPDATER_WARNING_FLAGS} ${UPDATER_CHARSET_FLAGS})

# --- resources -----------------------------------------------------------
find_program(PYTHON3 NAMES python3 python HINTS /usr/bin REQUIRED)
set(RES_OUT ${CMAKE_BINARY_DIR}/res)
file(MAKE_DIRECTORY ${RES_OUT})
add_custom_command(
    OUTPUT ${RES_OUT}/Updater.ico
    COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/res/make_icon.py ${RES_OUT}/Updater.ico
    DEPENDS ${CMAKE_SOURCE_DIR}/res/make_icon.py
    COMMENT "Drawing the application icon")
add_custom_target(updater_icon DEPENDS ${RES_OUT}/Updater.ico)
configure_file(${CMAKE_SOURCE_DIR}/res/Updater.manifest.in ${RES_OUT}/Updater.manifest @ONLY)
set(UPDATER_RC ${CMAKE_SOURCE_DIR}/res/Updater.rc)
set_source_files_properties(${UPDATER_RC} PROPERTIES
    OBJECT_DEPENDS "${RES_OUT}/Updater.ico;${RES_OUT}/Updater.manifest")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${RES_OUT} -I${CMAKE_SOURCE_DIR} -c 65001")

# --- the program's code, without its entry and its build settings ---------
file(GLOB CORE_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/framework/*.cpp
    ${CMAKE_SOURCE_DIR}/app/*.cpp
    ${CMAKE_SOURCE_DIR}/config/*.cpp
    ${CMAKE_SOURCE_DIR}/download/*.cpp
    ${CMAKE_SOURCE_DIR}/actions/*.cpp)
# The entry and the application object it runs. Nothing refers to theApp by
# name, so from a static library the linker would drop it: each exe compiles
# both itself.
set(ENTRY_SOURCE ${CMAKE_SOURCE_DIR}/framework/AppEntry.cpp ${CMAKE_SOURCE_DIR}/app/UpdaterApp.cpp)
set(SETTINGS_SOURCE ${CMAKE_SOURCE_DIR}/config/BuildSettings.cpp)
list(REMOVE_ITEM CORE_SOURCES ${ENTRY_SOURCE} ${SETTINGS_SOURCE})

add_library(updater_core STATIC ${CORE_SOURCES})
target_include_directories(updater_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(updater_core PRIVATE ${UPDATER_CXX_FLAGS})
target_link_libraries(updater_core PUBLIC wininet winmm comctl32 shell32 user32 gdi32 kernel32 bcrypt)

# The publisher's public key built into the shipped exe: with it every update
# must be signed. Made with tools/sign-update keygen.
include(${CMAKE_SOURCE_DIR}/cmake/UpdateKey.cmake)
set(UPDATER_PUBLIC_KEY "" CACHE FILEPATH "ECDSA P-256 public key (PEM) that updates must be signed with; empty: none")
set(UPDATER_RELEASE_KEY "")
if(UPDATER_PUBLIC_KEY)
    updater_key_initializer(${UPDATER_PUBLIC_KEY} UPDATER_RELEASE_KEY)
endif()

# Build settings fixed per exe: the server base URL, the network time bound
# and, as an optional fourth argument, the key from updater_key_initializer.
function(updater_settings name base_url timeout_ms)
    set(key "${ARGV3}")
    updater_key_source(${name} "${key}" key_source)
    add_library(${name} STATIC ${SETTINGS_SOURCE} ${key_source})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${UPDATER_CXX_FLAGS})
    target_compile_definitions(${name} PRIVATE
        UPDATER_BASE_URL="${base_url}" UPDATER_TIMEOUT_MS=${timeout_ms})
endfunction()
updater_settings(updater_settings_release "${UPDATER_BASE_URL}" 30000 "${UPDATER_RELEASE_KEY}")

function(updater_exe name settings)
    add_executable(${name} WIN32 ${ENTRY_SOURCE} ${UPDATER_RC})
    add_dependencies(${name} updater_icon)
    target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${UPDATER_CXX_FLAGS}>)
    target_link_libraries(${name} PRIVATE updater_core ${settings})
endfunction()
updater_exe(Updater updater_settings_release)

option(UPDATER_BUILD_TESTS "Build the test suite (needs Wine to run)" ON)
if(UPDATER_BUILD_TESTS)
    enable_testing()
    updater_settings(updater_settings_test "${UPDATER_TEST_BASE_URL}" ${UPDATER_TEST_TIMEOUT_MS})
    add_subdirectory(tests)
endif()

# The smoke suite run against this tree's own Updater.exe (the i686 one
# ships): a driver and stand-ins, no GoogleTest.
option(UPDATER_BUILD_SMOKE "Build the smoke suite's driver and stand-ins" ON)
if(UPDATER_BUILD_SMOKE)
    add_subdirectory(tests/smoke32)
endif()

add_subdirectory(demo)
