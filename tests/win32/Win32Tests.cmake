# The Windows platform's own tests, run under Wine.
#
# kv_win32_tests: the platform against Wine's own ASPI manager, drive letters and registry, with a
# CD-ROM drive letter that the fixture below adds to the Wine prefix.
# kv_win32_aspi_tests: the ASPI path end to end against the stand-in manager built here
# (WNASPI32.dll beside the tests), which Wine loads instead of its own only when told to.

set(KV_WINE_RUN ${PROJECT_SOURCE_DIR}/cmake/windows/wine-run.sh)

# A program whose Wine version setting the tests change, to see the 95/98 family.
add_executable(kv_win32_osinfo_probe win32_probe/osinfo_probe.cpp)
target_link_libraries(kv_win32_osinfo_probe PRIVATE kvcore)

add_library(kv_wnaspi32_standin SHARED win32_standin/wnaspi32_standin.cpp
  win32_standin/wnaspi32.def)
set_target_properties(kv_wnaspi32_standin PROPERTIES OUTPUT_NAME WNASPI32 PREFIX "" SUFFIX ".dll")
target_link_libraries(kv_wnaspi32_standin PRIVATE kvcore)

add_library(kvwin32testsupport STATIC win32_support/win32_test_support.cpp)
target_link_libraries(kvwin32testsupport PUBLIC kvtestsupport)

add_test(NAME wine_cdrom_letter_setup
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/win32/wine-cdrom-letter.sh ${KV_WINE_RUN})
set_tests_properties(wine_cdrom_letter_setup PROPERTIES
  FIXTURES_SETUP wine_cdrom_letter RUN_SERIAL ON)

set(KV_TEST_PROPERTIES_win32 FIXTURES_REQUIRED wine_cdrom_letter TIMEOUT 120)
kv_add_test_folder(win32 kvwin32testsupport)
add_dependencies(kv_win32_tests kv_win32_osinfo_probe)

set(KV_TEST_ENVIRONMENT_win32_aspi "WINEDLLOVERRIDES=wnaspi32=n")
set(KV_TEST_PROPERTIES_win32_aspi TIMEOUT 120)
kv_add_test_folder(win32_aspi kvwin32testsupport)
add_dependencies(kv_win32_aspi_tests kv_wnaspi32_standin)

# The same bytes as the Linux program: given the Linux build's program, the Windows program is
# compared against it on the emulated sample drives.
set(KV_COMPARE_WITH_PROGRAM "" CACHE FILEPATH "The Linux build's krellvane, to compare outputs with")
if(KV_COMPARE_WITH_PROGRAM)
  add_test(NAME windows_cli_equals_linux
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/win32/compare-cli.sh ${KV_COMPARE_WITH_PROGRAM}
            $<TARGET_FILE:krellvane> ${KV_WINE_RUN})
  set_tests_properties(windows_cli_equals_linux PROPERTIES TIMEOUT 300)
endif()
