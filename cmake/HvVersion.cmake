# The one version of the program, its library and its packages: project(VERSION).
# Resource scripts include the generated hv_version.h; scripts/package reads version.txt.
foreach(part MAJOR MINOR PATCH TWEAK)
  set(HV_VERSION_${part} ${PROJECT_VERSION_${part}})
  if("${HV_VERSION_${part}}" STREQUAL "")
    set(HV_VERSION_${part} 0)
  endif()
endforeach()
set(HV_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/hv_version.h.in ${HV_GENERATED_DIR}/hv_version.h @ONLY)
file(WRITE ${CMAKE_BINARY_DIR}/version.txt "${PROJECT_VERSION}\n")
