# Fails when a source file includes from a folder above its own. The folders stand in one
# order, by level; a file may include from its own folder and from folders before it, so the
# folders' include graph can hold no cycle. The engine includes no Qt header, and the desktop
# program's global objects (app/modMain.h) are reached from app/ alone.
#   cmake -DSOURCE_DIR=<tree> -P FolderLayers.cmake
set(order engine platform model settings files search errortrap sheets app cli)

set(faults "")
foreach(folder IN LISTS order)
  list(FIND order ${folder} rank)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
    foreach(line IN LISTS includes)
      if(line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/")
        list(FIND order ${CMAKE_MATCH_1} included)
        if(included GREATER rank)
          string(APPEND faults "  ${name} includes from ${CMAKE_MATCH_1}/, a folder above ${folder}/\n")
        elseif(line MATCHES "\"app/modMain\\.h\"" AND NOT folder STREQUAL "app")
          string(APPEND faults "  ${name} includes app/modMain.h, the desktop program's global objects\n")
        endif()
      elseif(folder STREQUAL "engine" AND line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)")
        string(APPEND faults "  ${name} includes <${CMAKE_MATCH_1}>: the engine stays free of Qt\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes against the folders' order (${order}):\n${faults}")
endif()
