# `cmake --build build --target doc` writes the API reference of the
# installed headers to build/doc/html/index.html. With KOVRA_WERROR a
# doxygen warning (an undocumented or wrongly documented name) fails it.
find_package(Doxygen)
if(DOXYGEN_FOUND)
  if(KOVRA_WERROR)
    set(KOVRA_DOXYGEN_WERROR FAIL_ON_WARNINGS)
  else()
    set(KOVRA_DOXYGEN_WERROR NO)
  endif()
  get_target_property(KOVRA_HEADERS engine HEADER_SET)
  list(JOIN KOVRA_HEADERS " " KOVRA_DOXYGEN_INPUT)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/Doxyfile.in ${CMAKE_CURRENT_BINARY_DIR}/Doxyfile @ONLY)
  add_custom_target(doc
    COMMAND ${DOXYGEN_EXECUTABLE} ${CMAKE_CURRENT_BINARY_DIR}/Doxyfile
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Writing the API reference into doc/html"
    VERBATIM)
endif()
