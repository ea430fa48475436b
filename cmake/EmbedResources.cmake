# Built-in pictures (resources/pictures/<TYPE>/<NAME>.<ext>) become a table
# compiled into korvane_image, read by CRasterImage::LoadFromResource.
file(GLOB_RECURSE KORVANE_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/pictures/*/*)
set(KORVANE_EMBED_CPP ${CMAKE_BINARY_DIR}/generated/BuiltinPictures.cpp)
add_custom_command(OUTPUT ${KORVANE_EMBED_CPP}
  COMMAND ${CMAKE_COMMAND} -DOUT=${KORVANE_EMBED_CPP} -DROOT=${CMAKE_SOURCE_DIR}/resources/pictures
          -P ${CMAKE_SOURCE_DIR}/cmake/GenerateBuiltinPictures.cmake
  DEPENDS ${KORVANE_PICTURES} ${CMAKE_SOURCE_DIR}/cmake/GenerateBuiltinPictures.cmake)
target_sources(korvane_image PRIVATE ${KORVANE_EMBED_CPP})
