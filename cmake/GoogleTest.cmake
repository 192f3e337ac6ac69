# GoogleTest: the installed package for native builds, Debian's source tree for cross builds
# (the installed libraries are 64-bit Linux only).
if(CMAKE_CROSSCOMPILING OR MENU_GTEST_FROM_SOURCE)
  set(MENU_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
  if(NOT EXISTS "${MENU_GTEST_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest source not found at ${MENU_GTEST_SOURCE}; install Debian's googletest package")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory("${MENU_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# menu_add_test(name SOURCES ... LIBS ...): one test program, its cases discovered at test time
# so that discovery also runs under the emulator of a cross build.
function(menu_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock menu_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES TIMEOUT 120)
endfunction()
