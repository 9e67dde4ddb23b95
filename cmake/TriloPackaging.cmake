# What a release holds (`make dist`): on Windows a zip for players and
# package authors, elsewhere a Debian package of the terminal programs,
# packed by CPack. Both depend only on the commit: dates are the commit's.

# Packing builds only what it installs: `make dist` builds those targets, not
# the tests and benchmarks.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(TRILO_MAINTAINER "The trilo authors <trilo@example.org>" CACHE STRING
    "Name and address of the Debian package's maintainer")

# Dates of the man pages and the changelog: those of the commit.
if(TRILO_SOURCE_EPOCH)
  set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} "${TRILO_SOURCE_EPOCH}")
endif()
string(TIMESTAMP TRILO_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP TRILO_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
if(TRILO_SOURCE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
endif()

set(CPACK_PACKAGE_NAME trilo)
set(CPACK_PACKAGE_VERSION "${TRILO_VERSION}")
set(CPACK_PACKAGE_VENDOR "The trilo authors")
set(CPACK_PACKAGE_CONTACT "${TRILO_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
set(CPACK_STRIP_FILES ON)
set(staging "${CMAKE_BINARY_DIR}/packaging")

if(WIN32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(arch x86)
  else()
    set(arch x64)
  endif()
  # The zip is packed by our own script, not CPack: sorted entries with the
  # commit's date, and the programs signed in between when a certificate is
  # given (packaging/sign.sh). `cmake --build --target trilo-zip` makes
  # package/NAME.zip.
  set(top "trilo-${TRILO_VERSION}-windows-${arch}")
  add_custom_command(OUTPUT "${staging}/README.txt"
    COMMAND Python3::Interpreter "${PROJECT_SOURCE_DIR}/packaging/windows/make_readme.py"
            "${PROJECT_SOURCE_DIR}/docs/players-guide.md" "${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in"
            "${TRILO_VERSION}" "${staging}/README.txt"
    DEPENDS docs/players-guide.md packaging/windows/README.txt.in packaging/windows/make_readme.py VERBATIM)
  add_custom_target(trilo-readme DEPENDS "${staging}/README.txt")

  install(TARGETS trilo-setup trilo-check RUNTIME DESTINATION .)
  install(FILES "${staging}/README.txt" LICENSE DESTINATION .)
  install(FILES docs/players-guide.md docs/package-format.md DESTINATION docs)
  install(DIRECTORY examples/package-template examples/sample-package DESTINATION examples)

  set(stage "${CMAKE_BINARY_DIR}/zip-stage")
  set(zip "${CMAKE_BINARY_DIR}/package/${top}.zip")
  add_custom_target(trilo-zip
    COMMAND ${CMAKE_COMMAND} -E rm -rf "${stage}" "${CMAKE_BINARY_DIR}/package"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/package"
    COMMAND ${CMAKE_COMMAND} --install "${CMAKE_BINARY_DIR}" --prefix "${stage}/${top}"
    COMMAND sh "${PROJECT_SOURCE_DIR}/packaging/sign.sh" "${stage}/${top}/trilo-setup.exe" "${stage}/${top}/trilo-check.exe"
    COMMAND Python3::Interpreter "${PROJECT_SOURCE_DIR}/packaging/windows/pack_zip.py" "${stage}" "${zip}"
            "${TRILO_SOURCE_EPOCH}"
    DEPENDS trilo-setup trilo-check trilo-readme VERBATIM USES_TERMINAL)
  return()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_VERSION "${TRILO_VERSION}")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TRILO_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # libedit and the C++ runtime, as dpkg-shlibdeps finds them; the game
  # itself runs under Wine, which trilo never starts.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS wine)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"installer for content packages of the racing game f1_9902.exe
trilo installs content packages (seasons, circuits, cars, drivers, sounds)
into an installation of the racing game f1_9902.exe, such as one under Wine.
.
trilo-setup is the installer in a terminal, interactive or unattended:
it writes the new game configuration, makes folders and a player file,
copies the files, adds circuits to the game's database and writes a
shortcut, as the package asks.
.
trilo-check tells a package's author what the installer would make of a
package, without installing it.")

  # Man pages and changelog as Debian wants them: compressed, without a
  # time stamp in the gzip header.
  set(docs "")
  foreach(page trilo-setup.1 trilo-check.1)
    configure_file(docs/man/${page}.in "${staging}/${page}" @ONLY)
    list(APPEND docs "${staging}/${page}")
  endforeach()
  configure_file(packaging/debian/changelog.in "${staging}/changelog" @ONLY)
  list(APPEND docs "${staging}/changelog")
  set(compressed "")
  foreach(doc IN LISTS docs)
    add_custom_command(OUTPUT "${doc}.gz" COMMAND gzip -9nc "${doc}" > "${doc}.gz" DEPENDS "${doc}" VERBATIM)
    list(APPEND compressed "${doc}.gz")
  endforeach()
  add_custom_target(trilo-docs ALL DEPENDS ${compressed})

  install(TARGETS trilo-setup trilo-check RUNTIME DESTINATION bin)
  install(FILES "${staging}/trilo-setup.1.gz" "${staging}/trilo-check.1.gz" DESTINATION share/man/man1)
  install(FILES packaging/bash-completion/trilo-setup packaging/bash-completion/trilo-check
          DESTINATION share/bash-completion/completions)
  install(FILES packaging/debian/copyright "${staging}/changelog.gz" docs/players-guide.md docs/package-format.md
          DESTINATION share/doc/trilo)
  install(DIRECTORY examples/package-template examples/sample-package DESTINATION share/doc/trilo/examples)
endif()

# CPack reads the epoch when it packs: file dates in the .deb, its members'
# dates and the order of its entries then follow the commit, not the clock.
if(TRILO_SOURCE_EPOCH)
  file(WRITE "${CMAKE_BINARY_DIR}/CPackEpoch.cmake" "set(ENV{SOURCE_DATE_EPOCH} \"${TRILO_SOURCE_EPOCH}\")\n")
  set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_BINARY_DIR}/CPackEpoch.cmake")
endif()
include(CPack)
