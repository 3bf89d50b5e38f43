# Draws the pictures into WORK and fails unless each equals its committed copy in IMAGES.
# GENERATOR is a built make-art; without it, HOST_CXX builds one from SOURCES first.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/images)

if(NOT GENERATOR)
  set(GENERATOR ${WORK}/make-art)
  execute_process(COMMAND ${HOST_CXX} -std=c++17 -O1 -o ${GENERATOR} ${SOURCES}
                  RESULT_VARIABLE built)
  if(NOT built EQUAL 0)
    message(FATAL_ERROR "cannot build the picture generator")
  endif()
endif()

execute_process(COMMAND ${GENERATOR} ${WORK}/images RESULT_VARIABLE drawn)
if(NOT drawn EQUAL 0)
  message(FATAL_ERROR "the picture generator failed")
endif()

file(GLOB pictures RELATIVE ${WORK}/images ${WORK}/images/*)
file(GLOB committed RELATIVE ${IMAGES} ${IMAGES}/*)
if(NOT pictures STREQUAL committed)
  message(FATAL_ERROR "generated ${pictures}, committed ${committed}")
endif()
foreach(picture ${pictures})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/images/${picture} ${IMAGES}/${picture}
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${picture} differs from what the generator draws; run res/art/make-art.sh")
  endif()
endforeach()
message(STATUS "${pictures} match the generator")
