# GoogleTest from Debian's source package, built with the project's own compiler so the
# same tests run natively and, cross-compiled, under Wine.
set(HV_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")

# Once, at the top level: the module keeps the path of its discovery script in a
# variable of the including scope, and every test folder below inherits it.
include(GoogleTest)

# hv_add_gtest(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS x] [TIMEOUT seconds])
# A test executable whose cases ctest lists one by one. Under the Windows build the
# discovery and the runs go through the Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR).
# Each case may take TIMEOUT seconds (120 unless given).
function(hv_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${HV_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${T_TIMEOUT})
  # Labels are set once the cases are known: given among PROPERTIES, a second label
  # would be read as a property name by the module's scripts.
  if(WIN32)
    set(labels wine ${T_LABELS})
  else()
    set(labels native ${T_LABELS})
  endif()
  set(labelsFile ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
  file(WRITE ${labelsFile} "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${labels}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labelsFile})
endfunction()

# hv_test_path(VAR PATH): PATH as a test executable sees it. Wine maps the Unix root to
# drive Z:, so the Windows build prefixes "Z:".
function(hv_test_path var path)
  if(WIN32)
    set(${var} "Z:${path}" PARENT_SCOPE)
  else()
    set(${var} "${path}" PARENT_SCOPE)
  endif()
endfunction()
