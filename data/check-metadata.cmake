# Cross-checks the desktop entry, the metainfo file and the icon: the names that tie them together
# must agree, and the newest release in the metainfo must be the project's version.
# Run as: cmake -DSOURCE_DIR=... -DVERSION=... -P check-metadata.cmake
set(id org.zt330.TalvoScan)
file(READ ${SOURCE_DIR}/${id}.desktop desktop)
file(READ ${SOURCE_DIR}/${id}.metainfo.xml metainfo)
file(READ ${SOURCE_DIR}/${id}.svg icon)

set(problems "")
# expect(TEXT REGEX GROUP WANTED WHAT): group GROUP of the first match of REGEX in TEXT must be WANTED.
function(expect text regex wanted what)
  string(REGEX MATCH "${regex}" found "${text}")
  if(NOT found OR NOT CMAKE_MATCH_1 STREQUAL wanted)
    set(problems "${problems}  ${what} is '${CMAKE_MATCH_1}', expected '${wanted}'\n" PARENT_SCOPE)
  endif()
endfunction()

expect("${desktop}" "\nIcon=([^\n]*)" "${id}" "desktop entry: Icon")
expect("${desktop}" "\nExec=([^ \n]*)" "TalvoScan" "desktop entry: the program of Exec")
expect("${metainfo}" "<id>([^<]*)</id>" "${id}" "metainfo: id")
expect("${metainfo}" "<launchable type=\"desktop-id\">([^<]*)</launchable>" "${id}.desktop" "metainfo: launchable")
# Releases are listed newest first; the first one is the version being built.
expect("${metainfo}" "<release version=\"([^\"]*)\"" "${VERSION}"
       "metainfo: the newest release (add a <release> entry for a new version)")
string(REGEX MATCH "<svg[^>]*viewBox=\"0 0 ([0-9.]+) ([0-9.]+)\"" _ "${icon}")
if(NOT CMAKE_MATCH_1 OR NOT CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
  string(APPEND problems "  icon: the SVG has no square viewBox\n")
endif()

if(problems)
  message(FATAL_ERROR "The desktop metadata disagree:\n${problems}")
endif()
message(STATUS "desktop entry, metainfo and icon agree (release ${VERSION})")
