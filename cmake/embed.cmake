# tarvelo_embed(TARGET NAME FILES ...): a static library holding the files as byte
# arrays, found at run time by file name through tarvelo::FindResource().
function(tarvelo_embed target)
  cmake_parse_arguments(ARG "" "" "FILES" ${ARGN})
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_data.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} "-DFILES=${ARG_FILES}" -P "${PROJECT_SOURCE_DIR}/cmake/embed-run.cmake"
    DEPENDS ${ARG_FILES} "${PROJECT_SOURCE_DIR}/cmake/embed-run.cmake"
    COMMENT "Embedding resources into ${target}"
    VERBATIM)
  add_library(${target} STATIC "${out}" "${PROJECT_SOURCE_DIR}/resources/embedded.cpp")
  target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/resources")
endfunction()
