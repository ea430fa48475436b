# Qt Test executables: one per file in tests/<subsystem>/ui/, offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Test)
file(GLOB KORVANE_UI_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*/ui/*Test.cpp)
foreach(src ${KORVANE_UI_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE korvane_ui Qt6::Test)
  target_compile_definitions(${name} PRIVATE
    KORVANE_SHARED_DIR="${KORVANE_SHARED_DIR}"
    KORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KORVANE_BIN_DIR="${KORVANE_BIN_DIR}")
  add_dependencies(${name} korvane_resources)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
endforeach()
# The window test of a huge skin picture writes it with the image tests' encoder.
if(TARGET SkinsTest)
  target_sources(SkinsTest PRIVATE ${CMAKE_SOURCE_DIR}/tests/image/TestEncoders.cpp)
  target_include_directories(SkinsTest PRIVATE ${CMAKE_SOURCE_DIR}/tests/image)
endif()
# The window test of a JPEG above the picture limit writes it with the same encoder.
if(TARGET ReducedSlotsTest)
  target_sources(ReducedSlotsTest PRIVATE ${CMAKE_SOURCE_DIR}/tests/image/TestEncoders.cpp)
  target_include_directories(ReducedSlotsTest PRIVATE ${CMAKE_SOURCE_DIR}/tests/image)
endif()
# The intake test runs the program itself for --help and --version.
if(TARGET IntakeTest AND TARGET korvane)
  add_dependencies(IntakeTest korvane)
endif()
