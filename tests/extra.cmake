if(WIN32)
  set(trilo_arch ${CMAKE_SYSTEM_PROCESSOR})

  # Wine starts its service processes (COM needs them for the shortcut
  # tests) when a program first asks, and they inherit that program's
  # output: ctest would then wait for the suite's output to end until the
  # server quits. Started beforehand, with their output going nowhere, they
  # leave the suite's output its own. "Already started" is fine.
  add_test(NAME wine_services_${trilo_arch}
           COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-env ${TRILO_WINE_PREFIX}
                   sh -c "wine net start rpcss >/dev/null 2>&1 </dev/null; exit 0")
  set_tests_properties(wine_services_${trilo_arch} PROPERTIES FIXTURES_SETUP wine_services_${trilo_arch})
  set_tests_properties(trilo_tests_${trilo_arch} PROPERTIES FIXTURES_REQUIRED wine_services_${trilo_arch})

  # The Windows suite cannot start the Linux lnkinfo reader, so it leaves
  # each shortcut it wrote, with what lnkinfo must show, in shortcuts/; this
  # test reads them back after the suite.
  add_test(NAME shortcuts_lnkinfo_${trilo_arch}
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/check_shortcuts.sh ${CMAKE_CURRENT_BINARY_DIR}/shortcuts)
  set_tests_properties(shortcuts_lnkinfo_${trilo_arch} PROPERTIES
    DEPENDS trilo_tests_${trilo_arch}
    ENVIRONMENT "LC_ALL=C.UTF-8")

  # trilo-check.exe itself, as a person would start it from a console.
  add_test(NAME trilo_check_exe_${trilo_arch}
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/check_wine.sh ${TRILO_WINE_PREFIX} $<TARGET_FILE:trilo-check>
                   ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/check-wine)
  set_tests_properties(trilo_check_exe_${trilo_arch} PROPERTIES TIMEOUT 120)
  add_test(NAME trilo_check_exe_bom_${trilo_arch}
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/check_wine_bom.sh ${TRILO_WINE_PREFIX} $<TARGET_FILE:trilo-check>
                   ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/check-wine-bom)
  set_tests_properties(trilo_check_exe_bom_${trilo_arch} PROPERTIES TIMEOUT 120)
  # The names of a package in another code page, installed by the Windows
  # build under Wine in a locale of that code page: they must come out as
  # the POSIX build makes them (tests/code_page_names.h). The suite's own run
  # has code page 1252.
  set(trilo_locales ${CMAKE_CURRENT_BINARY_DIR}/locales)
  add_test(NAME locales_${trilo_arch}
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/make_locales.sh ${trilo_locales} ru_RU.UTF-8 ja_JP.UTF-8)
  set_tests_properties(locales_${trilo_arch} PROPERTIES FIXTURES_SETUP locales_${trilo_arch})
  set(trilo_code_page_tests)
  foreach(code_page_locale 1251:ru_RU.UTF-8 932:ja_JP.UTF-8)
    string(REPLACE ":" ";" pair ${code_page_locale})
    list(GET pair 0 code_page)
    list(GET pair 1 locale)
    add_test(NAME code_page_${code_page}_${trilo_arch}
             COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-env ${TRILO_WINE_PREFIX}
                     wine $<TARGET_FILE:trilo_tests> --gtest_color=no --gtest_brief=1
                     --gtest_filter=CodePageInstallTest.*)
    set_tests_properties(code_page_${code_page}_${trilo_arch} PROPERTIES
      ENVIRONMENT "LOCPATH=${trilo_locales};LC_ALL=${locale};TRILO_TEST_CODE_PAGE=${code_page}"
      FIXTURES_REQUIRED "locales_${trilo_arch};wine_services_${trilo_arch}"
      PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test"
      FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]"
      TIMEOUT 300)
    list(APPEND trilo_code_page_tests code_page_${code_page}_${trilo_arch})
  endforeach()
  # Their shortcuts are read back with the suite's.
  set_tests_properties(shortcuts_lnkinfo_${trilo_arch} PROPERTIES
    DEPENDS "trilo_tests_${trilo_arch};${trilo_code_page_tests}")
endif()

if(NOT WIN32)
  # The version taken from git, on throwaway repositories, and this build's.
  add_test(NAME version_from_git
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/version_test.sh ${PROJECT_SOURCE_DIR}
                   ${CMAKE_CURRENT_BINARY_DIR}/version-test ${TRILO_VERSION})
  set_tests_properties(version_from_git PROPERTIES TIMEOUT 120)
endif()
