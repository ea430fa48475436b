# A core library: every .cpp directly in the folder (not ui/), never Qt.
function(korvane_core_library name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
  else()
    add_library(${name} STATIC ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# Korvane.dat, the language files and the shipped skin folders sit beside the
# program.
function(korvane_copy_resources)
  file(GLOB lngs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/languages/*.lng)
  file(GLOB_RECURSE skins RELATIVE ${CMAKE_SOURCE_DIR}/resources/skins CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/resources/skins/*)
  set(outputs ${KORVANE_BIN_DIR}/Korvane.dat)
  add_custom_command(OUTPUT ${KORVANE_BIN_DIR}/Korvane.dat
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_BIN_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/Korvane.dat ${KORVANE_BIN_DIR}/Korvane.dat
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/Korvane.dat)
  foreach(f ${lngs})
    get_filename_component(n ${f} NAME)
    add_custom_command(OUTPUT ${KORVANE_BIN_DIR}/languages/${n}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_BIN_DIR}/languages
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${KORVANE_BIN_DIR}/languages/${n}
      DEPENDS ${f})
    list(APPEND outputs ${KORVANE_BIN_DIR}/languages/${n})
  endforeach()
  foreach(rel ${skins})
    get_filename_component(d ${rel} DIRECTORY)
    add_custom_command(OUTPUT ${KORVANE_BIN_DIR}/skins/${rel}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_BIN_DIR}/skins/${d}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/skins/${rel} ${KORVANE_BIN_DIR}/skins/${rel}
      DEPENDS ${CMAKE_SOURCE_DIR}/resources/skins/${rel})
    list(APPEND outputs ${KORVANE_BIN_DIR}/skins/${rel})
  endforeach()
  add_custom_target(korvane_resources ALL DEPENDS ${outputs})
endfunction()

# One GoogleTest executable per test folder, registered with CTest; it links
# only the core libraries named after the folder, so each subsystem's tests
# build on their own.
function(korvane_gtest name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    KORVANE_SHARED_DIR="${KORVANE_SHARED_DIR}"
    KORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KORVANE_BIN_DIR="${KORVANE_BIN_DIR}")
  add_dependencies(${name} korvane_resources)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "KORVANE_SHARED_DIR=${KORVANE_SHARED_DIR}")
endfunction()
