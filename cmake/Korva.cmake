# korva_library(<folder> USES <targets...>)
# One static library per source folder. The sources are globbed so that
# adding a unit does not mean editing the build of the folder.
function(korva_library folder)
  cmake_parse_arguments(ARG "" "" "USES" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(_name korva_${folder})
  add_library(${_name} STATIC ${_src})
  target_include_directories(${_name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${_name} PUBLIC ${ARG_USES})
endfunction()

# korva_tests(<folder> USES <targets...>)
# Every tst_*.cpp in the calling folder becomes one QtTest executable and one
# CTest test labelled with the folder name.
function(korva_tests folder)
  cmake_parse_arguments(ARG "NEEDS_EXE" "" "USES" ${ARGN})
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  foreach(_t ${_tests})
    get_filename_component(_n ${_t} NAME_WE)
    set(_exe ${folder}_${_n})
    add_executable(${_exe} ${_t})
    set_target_properties(${_exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${_exe} PRIVATE korva_testsupport ${ARG_USES} Qt6::Test)
    target_compile_definitions(${_exe} PRIVATE
      KORVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      KORVA_BINARY_DIR="${CMAKE_BINARY_DIR}"
      KORVA_EXE="$<TARGET_FILE:korva>"
      KORVA_HOOKED_EXE="$<TARGET_FILE:korva_hooked>")
    if(ARG_NEEDS_EXE)
      add_dependencies(${_exe} korva korva_hooked)
    endif()
    add_test(NAME ${folder}.${_n} COMMAND ${_exe})
    # The program runs once per user and runtime directory: tests that start
    # it in parallel each get a runtime directory of their own.
    set(_rt ${CMAKE_BINARY_DIR}/tests/runtime/${folder}.${_n})
    file(MAKE_DIRECTORY ${_rt})
    file(CHMOD ${_rt} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    set_tests_properties(${folder}.${_n} PROPERTIES LABELS ${folder}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KORVA_ALIAS_FILE=${CMAKE_BINARY_DIR}/tests/no-such-alias-file.ini;XDG_RUNTIME_DIR=${_rt}")
  endforeach()
endfunction()

# korva_benchmarks(<folder> USES <targets...>): every bm_*.cpp is a Google Benchmark.
function(korva_benchmarks folder)
  cmake_parse_arguments(ARG "" "" "USES" ${ARGN})
  file(GLOB _bms CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/bm_*.cpp)
  foreach(_b ${_bms})
    get_filename_component(_n ${_b} NAME_WE)
    set(_exe bench_${folder}_${_n})
    add_executable(${_exe} ${_b})
    set_target_properties(${_exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    target_link_libraries(${_exe} PRIVATE korva_testsupport ${ARG_USES} benchmark::benchmark)
    target_compile_definitions(${_exe} PRIVATE
      KORVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KORVA_BINARY_DIR="${CMAKE_BINARY_DIR}"
      KORVA_EXE="$<TARGET_FILE:korva>")
  endforeach()
endfunction()
