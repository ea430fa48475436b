# The web addresses the program opens and asks, as build settings; packagers
# give their own with -D (for example -DKORVANE_HOME_URL=https://...). While the
# home page is empty or under the reserved ".example" domain the program never
# checks for updates. The README lists the defaults.
set(KORVANE_HOME_URL "https://korvane.example/" CACHE STRING
  "Home page: Help > Korvane website, the About box, the update offer")
set(KORVANE_VERSION_URL "https://korvane.example/version.html" CACHE STRING
  "Page with the version tag, used when the home page names none in a frame tag")
set(KORVANE_HELP_URL "https://korvane.example/help/" CACHE STRING "Help > Online Help...")
set(KORVANE_COVERS_URL_1 "https://coverartarchive.org/" CACHE STRING "Help > Download Covers, first site")
set(KORVANE_COVERS_URL_2 "https://images.google.com/" CACHE STRING "Help > Download Covers, second site")
set(KORVANE_CONTACT_MAIL "contact@korvane.example" CACHE STRING
  "Contact mail address: the About box and the Language menu's mail item")

# As C string literals in a generated header that only WebLinks.cpp includes.
foreach(name HOME_URL VERSION_URL HELP_URL COVERS_URL_1 COVERS_URL_2 CONTACT_MAIL)
  string(REPLACE "\\" "\\\\" value "${KORVANE_${name}}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(KORVANE_${name}_LITERAL "\"${value}\"")
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/cmake/WebAddresses.h.in
  ${CMAKE_BINARY_DIR}/generated/WebAddresses.h @ONLY)
if(TARGET korvane_ui)
  target_include_directories(korvane_ui PRIVATE ${CMAKE_BINARY_DIR}/generated)
endif()
