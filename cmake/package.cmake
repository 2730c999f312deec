# Installation and the Debian package.
#
# The programs are installed under names of their own, so that nothing
# collides with what a distribution already has: torvelin (the window),
# torvelin-fullscreen and torvelin-capture, in games/ under the prefix, with
# the desktop entries, the icon (tools/icon) and the manual page in section 6.
# `cpack -G DEB` in the build folder makes torvelin_<version>_amd64.deb.
include(GNUInstallDirs)

set(TORVELIN_VERSION ${PROJECT_VERSION})
set(TORVELIN_INSTALL_GAMESDIR games CACHE STRING "Folder under the prefix for the programs")
set(TORVELIN_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/torvelin)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)

# Installs a program target under another name, stripped when the install
# asks for it (cpack does).
function(torvelin_install_program target name)
  install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION ${TORVELIN_INSTALL_GAMESDIR} RENAME ${name})
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded --remove-section=.comment
        --remove-section=.note \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TORVELIN_INSTALL_GAMESDIR}/${name}\")
    endif()")
endfunction()

if(TARGET intro)
  torvelin_install_program(intro torvelin)
  torvelin_install_program(intro-fullscreen torvelin-fullscreen)
endif()
if(TARGET intro-capture)
  torvelin_install_program(intro-capture torvelin-capture)
endif()

install(FILES ${packaging}/torvelin.desktop ${packaging}/torvelin-fullscreen.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The manual page and the package's documents, compressed as Debian wants
# them (gzip -9, no name or time stamp inside). The other two programs'
# pages point at the one page.
find_program(GZIP gzip REQUIRED)
set(compressed ${CMAKE_BINARY_DIR}/generated/packaging)
set(page_sources ${packaging}/torvelin.6 ${packaging}/changelog)
foreach(name torvelin-fullscreen torvelin-capture)
  file(WRITE ${compressed}/${name}.6 ".so man6/torvelin.6\n")
  list(APPEND page_sources ${compressed}/${name}.6)
endforeach()
set(compressed_files)
set(compress_commands)
foreach(source ${page_sources})
  get_filename_component(name ${source} NAME)
  list(APPEND compressed_files ${compressed}/${name}.gz)
  list(APPEND compress_commands COMMAND sh -c "${GZIP} -9n -c '${source}' > '${compressed}/${name}.gz'")
endforeach()
add_custom_command(
  OUTPUT ${compressed_files}
  ${compress_commands}
  DEPENDS ${page_sources}
  COMMENT "Compressing the manual pages and the changelog"
  VERBATIM)
add_custom_target(tv_packaging ALL DEPENDS ${compressed_files})
install(FILES ${compressed}/torvelin.6.gz ${compressed}/torvelin-fullscreen.6.gz
        ${compressed}/torvelin-capture.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The machine-readable copyright file, with the licence text of LICENSE:
# the permission notice after its copyright line, each line indented, an
# empty line as " .".
file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE licence_lines)
set(EXPAT_TEXT)
set(in_notice FALSE)
foreach(line IN LISTS licence_lines)
  if(in_notice)
    if(line STREQUAL "")
      string(APPEND EXPAT_TEXT " .\n")
    else()
      string(APPEND EXPAT_TEXT " ${line}\n")
    endif()
  elseif(line MATCHES "^Copyright ")
    set(in_notice TRUE)
  endif()
endforeach()
string(REGEX REPLACE "^ \\.\n" "" EXPAT_TEXT "${EXPAT_TEXT}")
string(REGEX REPLACE "\n$" "" EXPAT_TEXT "${EXPAT_TEXT}")
configure_file(${packaging}/copyright ${compressed}/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
install(FILES ${compressed}/copyright ${compressed}/changelog.gz DESTINATION ${TORVELIN_DOCDIR})

set(CPACK_PACKAGE_NAME torvelin)
set(CPACK_PACKAGE_VERSION ${TORVELIN_VERSION})
set(CPACK_PACKAGE_VENDOR "TORVELIN developers")
set(CPACK_PACKAGE_CONTACT "TORVELIN developers <torvelin@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
# The same modes whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# torvelin-capture --video runs ffmpeg.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ffmpeg)
# CPack indents the lines after the summary and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "real-time audiovisual intro
TORVELIN plays five software-rendered scenes in an endless loop at 50
frames per second, over music that it builds while it runs from its own
instrument bank: laser beams with words, a sine-wave text scroller over
raster bars, swinging zoomed logos, a scrolling wall of tiles with sprites,
and noise under a wandering tint.

The package holds the windowed program (torvelin), the full-screen one
(torvelin-fullscreen), which enlarges the picture sharply to fill the
screen, and torvelin-capture, which writes the frames and the sound to
files.")
include(CPack)
