# sova_add_test(<source> [GUI] [LIBS ...])
# One test source becomes one executable and one CTest test named after the file.
# GUI tests link the window library; every test runs headless on the offscreen platform.
function(sova_add_test source)
  cmake_parse_arguments(T "GUI" "" "LIBS" ${ARGN})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE sova_ui sova_core Qt6::Test ${T_LIBS})
  else()
    target_link_libraries(${name} PRIVATE sova_core Qt6::Test ${T_LIBS})
  endif()
  target_compile_definitions(${name} PRIVATE
    SOVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SOVA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;SOVA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 300)
endfunction()
