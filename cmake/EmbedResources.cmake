# Built-in pictures (resources/pictures/<TYPE>/<NAME>.<ext>) become a table
# compiled into korvane_image, read by CRasterImage::LoadFromResource.
# A small tool of ours writes the table: converting bytes to text in CMake
# script is too slow for pictures of tens of kilobytes.
add_executable(korvane_embed_pictures ${CMAKE_SOURCE_DIR}/cmake/EmbedPictures.cpp)
set(KORVANE_PICTURES_ROOT ${CMAKE_SOURCE_DIR}/resources/pictures)
file(GLOB_RECURSE KORVANE_PICTURES RELATIVE ${KORVANE_PICTURES_ROOT} CONFIGURE_DEPENDS
     ${KORVANE_PICTURES_ROOT}/*/*)
list(SORT KORVANE_PICTURES)
set(KORVANE_PICTURE_FILES "")
foreach(rel ${KORVANE_PICTURES})
  list(APPEND KORVANE_PICTURE_FILES ${KORVANE_PICTURES_ROOT}/${rel})
endforeach()
set(KORVANE_EMBED_CPP ${CMAKE_BINARY_DIR}/generated/BuiltinPictures.cpp)
add_custom_command(OUTPUT ${KORVANE_EMBED_CPP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND korvane_embed_pictures ${KORVANE_EMBED_CPP} ${KORVANE_PICTURES_ROOT} ${KORVANE_PICTURES}
  DEPENDS korvane_embed_pictures ${KORVANE_PICTURE_FILES}
  COMMENT "Embedding built-in pictures"
  VERBATIM)
target_sources(korvane_image PRIVATE ${KORVANE_EMBED_CPP})
