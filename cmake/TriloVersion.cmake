# The version a build calls itself: the project's version, plus "+g" and the
# short commit when the sources are a git checkout whose HEAD is not the
# release tag vBASE. Sources without git metadata of their own (a tarball,
# even one unpacked inside another repository) get the plain version.
#
# trilo_version(SOURCE_DIR BASE OUT_VERSION OUT_DEPENDS OUT_EPOCH): OUT_DEPENDS
# lists the git files that change when HEAD moves or a tag comes or goes, for
# the build to configure again; OUT_EPOCH is the time of HEAD's commit (else
# $SOURCE_DATE_EPOCH, else empty), for dates that a rebuild of the same
# sources repeats.
#
# Script mode, for the tests:
#   cmake -DSOURCE_DIR=DIR -DBASE=0.2.0 -P TriloVersion.cmake
# prints "version VERSION", "epoch SECONDS" and a "depends PATH" line for
# each file.

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.21)
endif()

function(trilo_version source_dir base out_version out_depends out_epoch)
  set(${out_version} "${base}" PARENT_SCOPE)
  set(${out_depends} "" PARENT_SCOPE)
  set(${out_epoch} "$ENV{SOURCE_DATE_EPOCH}" PARENT_SCOPE)
  find_program(TRILO_GIT git)
  if(NOT TRILO_GIT)
    return()
  endif()
  macro(trilo_git out)
    execute_process(COMMAND "${TRILO_GIT}" -C "${source_dir}" ${ARGN}
                    OUTPUT_VARIABLE ${out} RESULT_VARIABLE trilo_git_status
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endmacro()

  trilo_git(top rev-parse --show-toplevel)
  if(NOT trilo_git_status EQUAL 0)
    return()
  endif()
  file(REAL_PATH "${top}" top)
  file(REAL_PATH "${source_dir}" source_real)
  if(NOT top STREQUAL source_real)
    return()  # someone else's repository around our sources
  endif()

  trilo_git(short rev-parse --short=7 HEAD)
  if(NOT trilo_git_status EQUAL 0)
    return()  # a repository without a commit yet
  endif()
  trilo_git(epoch log -1 --format=%ct HEAD)
  trilo_git(tags tag --points-at HEAD)
  string(REPLACE "\n" ";" tags "${tags}")
  if("v${base}" IN_LIST tags)
    set(version "${base}")
  else()
    set(version "${base}+g${short}")
  endif()

  # HEAD itself (a detached HEAD moves there), the branch's folder (a commit
  # renames the branch's file into it, even when the branch was packed),
  # the packed refs and the tags' folder. In a worktree these lie in two
  # places, which --git-path knows.
  set(paths HEAD packed-refs refs/tags)
  trilo_git(branch symbolic-ref -q HEAD)
  if(trilo_git_status EQUAL 0)
    get_filename_component(branch_dir "${branch}" DIRECTORY)
    list(APPEND paths "${branch}" "${branch_dir}")
  endif()
  set(depends "")
  foreach(path IN LISTS paths)
    trilo_git(where rev-parse --git-path "${path}")
    get_filename_component(where "${where}" ABSOLUTE BASE_DIR "${source_dir}")
    if(EXISTS "${where}")
      list(APPEND depends "${where}")
    endif()
  endforeach()
  set(${out_version} "${version}" PARENT_SCOPE)
  set(${out_depends} "${depends}" PARENT_SCOPE)
  set(${out_epoch} "${epoch}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  trilo_version("${SOURCE_DIR}" "${BASE}" version depends epoch)
  message("version ${version}")
  message("epoch ${epoch}")
  foreach(path IN LISTS depends)
    message("depends ${path}")
  endforeach()
endif()
