# System libraries that Windows does not protect by its list of known libraries (winmm,
# version) would be resolved from the program's own folder when the program starts,
# before it can restrict the library search; oleaut32 (the picture loader), comctl32
# (tooltips and dialog controls), comdlg32 (the file and colour choosers, which bring in the
# printing libraries) and imm32 (the input method of the time boxes) only slow the start
# of a program whose first paint needs none of them. The MinGW build imports them late instead:
# delay-import libraries made with dlltool from the toolchain's import libraries, under
# the plain names, so every `target_link_libraries(... winmm)` gets them. The first call
# into one loads it from the system folder, comctl32 through the manifest's side-by-side
# version (hvplus/safe_load_win.cpp, which each binary that ships links in).
set(HV_DELAY_IMPORTS winmm version oleaut32 comctl32 comdlg32 imm32)
if(MSVC)
  # The Microsoft linker imports late per binary: /DELAYLOAD for each of these and its
  # helper library, given to whatever links hv_safe_load (hvplus/CMakeLists.txt); a binary
  # that imports none of them from one library is no reason to warn (LNK4199).
  # No build here uses this compiler: see README.
  set(HV_DELAY_LINK_OPTIONS /IGNORE:4199)
  foreach(lib ${HV_DELAY_IMPORTS})
    list(APPEND HV_DELAY_LINK_OPTIONS /DELAYLOAD:${lib}.dll)
  endforeach()
endif()
if(NOT MINGW)
  return()
endif()

get_filename_component(hv_mingw_bin ${CMAKE_CXX_COMPILER} DIRECTORY)
find_program(HV_DLLTOOL NAMES ${HV_MINGW_PREFIX}-dlltool dlltool HINTS ${hv_mingw_bin} REQUIRED)
find_program(HV_NM NAMES ${HV_MINGW_PREFIX}-nm nm HINTS ${hv_mingw_bin} REQUIRED)
find_program(HV_OBJDUMP NAMES ${HV_MINGW_PREFIX}-objdump objdump HINTS ${hv_mingw_bin} REQUIRED)
set(hv_delay_dir ${CMAKE_BINARY_DIR}/delayimp)
file(MAKE_DIRECTORY ${hv_delay_dir})

foreach(lib ${HV_DELAY_IMPORTS})
  find_library(HV_IMPORT_LIB_${lib} NAMES lib${lib}.a REQUIRED)
  set(out ${hv_delay_dir}/lib${lib}_delay.a)
  if(NOT EXISTS ${out} OR ${HV_IMPORT_LIB_${lib}} IS_NEWER_THAN ${out} OR ${CMAKE_CURRENT_LIST_FILE} IS_NEWER_THAN ${out})
    # The exports of the import library (its __imp_ symbols) make the .def file.
    execute_process(COMMAND ${HV_NM} ${HV_IMPORT_LIB_${lib}} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE " I __imp_" "    ")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    file(WRITE ${hv_delay_dir}/${lib}.def "LIBRARY ${lib}.dll\nEXPORTS\n${exports}\n")
    execute_process(COMMAND ${HV_DLLTOOL} -d ${hv_delay_dir}/${lib}.def -y ${out} -D ${lib}.dll
      WORKING_DIRECTORY ${hv_delay_dir} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  add_library(${lib} STATIC IMPORTED GLOBAL)
  set_target_properties(${lib} PROPERTIES IMPORTED_LOCATION ${out})
endforeach()
