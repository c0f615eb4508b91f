# Fails when a source file includes from a folder above its own. The folders stand in one
# order, by level; a file may include from its own folder and from folders before it, so the
# folders' include graph can hold no cycle. The engine and the library include no Qt header;
# the engine's headers are included by the library alone (the programs see its public headers,
# <vantrel/...>), and the desktop program's global objects (app/modMain.h) from app/ alone.
#   cmake -DSOURCE_DIR=<tree> -P FolderLayers.cmake
set(order engine libvantrel platform model settings files search errortrap sheets app cli python)

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
        elseif(CMAKE_MATCH_1 STREQUAL "engine" AND NOT folder MATCHES "^(engine|libvantrel)$")
          string(APPEND faults "  ${name} includes an engine header: only the library does\n")
        elseif(line MATCHES "\"app/modMain\\.h\"" AND NOT folder STREQUAL "app")
          string(APPEND faults "  ${name} includes app/modMain.h, the desktop program's global objects\n")
        endif()
      elseif(folder MATCHES "^(engine|libvantrel)$" AND line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)")
        string(APPEND faults "  ${name} includes <${CMAKE_MATCH_1}>: the library stays free of Qt\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes against the folders' order (${order}):\n${faults}")
endif()
