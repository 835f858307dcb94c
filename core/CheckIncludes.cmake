# Fails when a source of core/${FOLDER} includes a header of a folder it may not use.
#   cmake -DFOLDER=<folder> -DALLOWED=<folder,folder,...> -P CheckIncludes.cmake
# Run from core/. An include without a folder names a file of the same folder; a system
# header (<...>) is not checked.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" allowed "${ALLOWED}")
file(GLOB sources RELATIVE ${CMAKE_CURRENT_LIST_DIR} ${FOLDER}/*.h ${FOLDER}/*.cpp)
set(failures "")
foreach(source IN LISTS sources)
  file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    if(header MATCHES "^([A-Za-z0-9_]+)/[^/]+$")
      set(target ${CMAKE_MATCH_1})
    elseif(header MATCHES "^[^/]+$")
      set(target ${FOLDER})
    else()
      set(target "")
    endif()
    if(NOT target IN_LIST allowed)
      string(APPEND failures "\n  core/${source}: #include \"${header}\"")
    endif()
  endforeach()
endforeach()
if(failures)
  string(REPLACE ";" ", " allowedText "${allowed}")
  message(FATAL_ERROR "A header of a higher layer is included in core/${FOLDER}, which may "
                      "include only ${allowedText}:${failures}")
endif()
