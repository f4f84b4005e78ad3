# The floor plan of src/: which room may include which. Every include line of src/ that names
# another room must follow an arrow listed here, so that no room comes to depend on one above
# it. Run at configure time by the top-level list, and at every build (target floor_plan), as
# `cmake -DNELO_SOURCE_ROOT=<project> -P cmake/floorplan.cmake`. docs/architecture.md draws it.

# A room is a folder of src/; pupil/ and network/ are rooms of their own inside classroom/.
# Folders below a room (document/exchange, marking/reading...) belong to it.
cmake_policy(VERSION 3.21)

set(nelo_rooms platform document pictures accessories classroom results runner
  classroom/pupil classroom/network printing marking editor app)

# What each room may use besides itself: only rooms below it.
set(nelo_uses_platform)
set(nelo_uses_document platform)
set(nelo_uses_pictures platform)
set(nelo_uses_accessories platform)
set(nelo_uses_classroom document platform)
set(nelo_uses_results classroom document platform)
# The front-ends of a class.
set(nelo_uses_runner results classroom document pictures platform)
set(nelo_uses_classroom/pupil results classroom document pictures platform)
set(nelo_uses_classroom/network results classroom document pictures platform)
# The paper test prints the questions as the runner's run session reads them.
set(nelo_uses_printing runner results classroom document pictures platform)
# Paper copies are read back with the geometry they were printed with.
set(nelo_uses_marking printing results classroom document pictures platform)
set(nelo_uses_editor runner document pictures platform)
set(nelo_uses_app ${nelo_rooms})

if(NOT NELO_SOURCE_ROOT)
  get_filename_component(NELO_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
endif()

# The room of a path relative to src/ ("classroom/network/server/x.h" is in classroom/network).
function(nelo_room_of path out)
  string(REGEX MATCH "^classroom/(pupil|network)/" nested "${path}")
  if(nested)
    string(REGEX REPLACE "/$" "" room "${nested}")
  else()
    string(REGEX REPLACE "/.*" "" room "${path}")
  endif()
  set(${out} ${room} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE nelo_sources RELATIVE ${NELO_SOURCE_ROOT}/src
  ${NELO_SOURCE_ROOT}/src/*.h ${NELO_SOURCE_ROOT}/src/*.cpp)
set(nelo_upward)
foreach(source ${nelo_sources})
  nelo_room_of(${source} from)
  if(NOT from IN_LIST nelo_rooms)
    list(APPEND nelo_upward "src/${source}: the folder ${from} is in no room of cmake/floorplan.cmake")
    continue()
  endif()
  file(STRINGS ${NELO_SOURCE_ROOT}/src/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/[^\"]+\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*" "\\1" included "${line}")
    if(NOT EXISTS ${NELO_SOURCE_ROOT}/src/${included})
      continue()  # a generated header (app/version.h) or one of a library's own
    endif()
    nelo_room_of(${included} to)
    if(NOT to STREQUAL from AND NOT to IN_LIST nelo_uses_${from})
      list(APPEND nelo_upward "src/${source} includes ${included}: ${from} may not use ${to}")
    endif()
  endforeach()
endforeach()
if(nelo_upward)
  list(JOIN nelo_upward "\n  " nelo_upward)
  message(FATAL_ERROR "Includes against the floor plan (cmake/floorplan.cmake):\n  ${nelo_upward}")
endif()
