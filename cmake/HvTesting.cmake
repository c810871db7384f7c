# GoogleTest from Debian's source package, built with the project's own compiler so the
# same tests run natively and, cross-compiled, under Wine.
set(HV_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
# At file scope: the module records the path of its discovery script in a variable, which
# an include inside the function below would keep for the first test folder only.
include(GoogleTest)

macro(hv_enable_gtest)
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${HV_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  endif()
endmacro()

# hv_add_gtest(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS x])
# A test executable whose cases ctest lists one by one. Under the Windows build the
# discovery and the runs go through the Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR).
function(hv_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  hv_enable_gtest()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(WIN32)
    set(labels wine ${T_LABELS})
  else()
    set(labels native ${T_LABELS})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${labels}" TIMEOUT 120)
endfunction()
