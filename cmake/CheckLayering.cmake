# Fails when a subsystem folder includes a header of a subsystem its library does not
# link (directly or through the libraries it links), or when a library links one that
# comes after it in the dependency order.
#   cmake -DSOURCE_DIR=<tree> "-DSUBSYSTEMS=<folders in order>" -DLINKS_<folder>=<a,b,...> ... -P CheckLayering.cmake
# LINKS_<folder> names the subsystems the folder's library links itself; a folder
# without it is not built and not checked.
cmake_minimum_required(VERSION 3.25)

foreach(dir IN LISTS SUBSYSTEMS)
  if(NOT DEFINED LINKS_${dir})
    continue()
  endif()
  string(REPLACE "," ";" direct "${LINKS_${dir}}")
  list(FIND SUBSYSTEMS ${dir} own)
  foreach(lib IN LISTS direct)
    list(FIND SUBSYSTEMS ${lib} pos)
    if(pos GREATER_EQUAL own)
      message(SEND_ERROR "as_${dir} links as_${lib}, which comes after it in AS_SUBSYSTEMS")
    endif()
  endforeach()

  set(reach ${dir})
  set(todo ${direct})
  while(todo)
    list(POP_FRONT todo lib)
    if(NOT lib IN_LIST reach)
      list(APPEND reach ${lib})
      string(REPLACE "," ";" more "${LINKS_${lib}}")
      list(APPEND todo ${more})
    endif()
  endwhile()

  file(GLOB_RECURSE sources ${SOURCE_DIR}/${dir}/*.h ${SOURCE_DIR}/${dir}/*.cpp)
  foreach(file IN LISTS sources)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*" "\\1" folder "${line}")
      if(folder IN_LIST SUBSYSTEMS AND NOT folder IN_LIST reach)
        file(RELATIVE_PATH rel ${SOURCE_DIR} ${file})
        message(SEND_ERROR "${rel} includes ${folder}/, but as_${dir} does not link as_${folder}")
      endif()
    endforeach()
  endforeach()
endforeach()
