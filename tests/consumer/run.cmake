# Builds a small program against the library the two ways a user would, then
# runs it on the sample database and checks what it prints.
#   MODE=installed     builds and installs corvane into a temporary prefix, then
#                      the program with find_package(corvane)
#   MODE=subdirectory  builds the program in a parent project that adds the
#                      corvane source tree with add_subdirectory()
# Also given: SOURCE (corvane's source tree), WORK (a scratch directory, made
# afresh), KRXBUILD and HITMAKE (the built tools), CXX, GENERATOR, WERROR.
# Only the library and the program are built; the nested builds make neither
# tests nor tools.
cmake_minimum_required(VERSION 3.21)

foreach(var MODE SOURCE WORK KRXBUILD HITMAKE CXX GENERATOR WERROR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run.cmake: ${var} not given")
  endif()
endforeach()

# Runs a command; stops the test with its output when it fails.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " line "${ARGN}")
    message(FATAL_ERROR "failed (${status}): ${line}\n${out}")
  endif()
endfunction()

# Stops the test unless README.md holds the text of the variable named.
function(readme_shows var)
  string(FIND "${readme}" "${${var}}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "README.md does not show, as it stands in tests/consumer/app:\n${${var}}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(common -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX} -DCORVANE_WERROR=${WERROR})

if(MODE STREQUAL "installed")
  # The README shows this very program and these CMake lines.
  file(READ ${SOURCE}/README.md readme)
  file(READ ${CMAKE_CURRENT_LIST_DIR}/app/count_hits.cpp program)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/app/CMakeLists.txt cmake_lines REGEX "corvane")
  foreach(line IN LISTS cmake_lines)
    readme_shows(line)
  endforeach()
  readme_shows(program)

  # <corvane/corvane.h> includes every public header.
  file(READ ${SOURCE}/include/corvane/corvane.h umbrella)
  file(GLOB_RECURSE headers RELATIVE ${SOURCE}/include ${SOURCE}/include/corvane/*/*.h)
  foreach(header IN LISTS headers)
    string(FIND "${umbrella}" "#include <${header}>" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "<corvane/corvane.h> does not include <${header}>")
    endif()
  endforeach()

  run(${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/corvane ${common} -DCMAKE_BUILD_TYPE=Debug
      -DCORVANE_TESTS=OFF -DCORVANE_TOOLS=OFF)
  run(${CMAKE_COMMAND} --build ${WORK}/corvane -j 2)
  run(${CMAKE_COMMAND} --install ${WORK}/corvane --prefix ${WORK}/prefix)
  run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/app -B ${WORK}/app -G ${GENERATOR}
      -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${WORK}/prefix)
  run(${CMAKE_COMMAND} --build ${WORK}/app -j 2)
  set(program ${WORK}/app/count_hits)
elseif(MODE STREQUAL "subdirectory")
  # No build type and no corvane options: the parent's choices hold, and the
  # library brings no tests of its own.
  run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/parent -B ${WORK}/parent ${common}
      -DCORVANE_SOURCE_DIR=${SOURCE})
  file(STRINGS ${WORK}/parent/CMakeCache.txt build_type REGEX "^CMAKE_BUILD_TYPE:")
  if(NOT build_type MATCHES "=$")
    message(FATAL_ERROR "corvane changed the parent's build type: ${build_type}")
  endif()
  if(EXISTS ${WORK}/parent/corvane/tests)
    message(FATAL_ERROR "corvane added its tests to the parent project")
  endif()
  run(${CMAKE_COMMAND} --build ${WORK}/parent --target count_hits -j 2)
  set(program ${WORK}/parent/count_hits)
else()
  message(FATAL_ERROR "run.cmake: unknown MODE ${MODE}")
endif()

# The sample database, and a subfile of entries 2 to 4 and 7 of its nine.
run(${KRXBUILD} ${SOURCE}/sample/phases.crd ${WORK}/db)
set(ENV{LOGIC_LOC} ${WORK}/db/tarnloc.txt)
run(${HITMAKE} ${WORK}/picked.sub 2-4 7)
execute_process(COMMAND ${program} ${WORK}/picked.sub RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(want "${WORK}/picked.sub: 4 of 9 entries\n")
if(NOT status EQUAL 0 OR NOT out STREQUAL want OR NOT err STREQUAL "")
  message(FATAL_ERROR "count_hits: status ${status}, output\n${out}\nerrors\n${err}\nwanted\n${want}")
endif()
file(REMOVE_RECURSE ${WORK})
