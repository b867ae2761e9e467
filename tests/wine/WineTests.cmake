# The Windows build's tests run under Wine (CMAKE_CROSSCOMPILING_EMULATOR is cmake/windows/wine-run.sh).
#
# - platform: the Windows platform against Wine's own system, with a CD-ROM drive letter that the
#   fixture below adds to the Wine prefix, and a probe program run under Wine's win98 setting.
# - aspi_standin: the ASPI path end to end against the stand-in WNASPI32.dll built here from the
#   emulated drives; Wine loads it instead of its own manager only when told to.
# - windows_cli_equals_linux: the program's output against the Linux build's program.
# - windows_names_beyond_ascii: the builder edition in a folder named beyond ASCII reads files so
#   named and writes its edition.
# Included before the test folders (it sets their properties); kv_add_wine_tests() comes after.

# The toolchain's Wine runner (32-bit or 64-bit prefix).
set(KV_WINE_RUN ${CMAKE_CROSSCOMPILING_EMULATOR})

add_test(NAME wine_cdrom_letter_setup
  COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/wine-cdrom-letter.sh ${KV_WINE_RUN})
set_tests_properties(wine_cdrom_letter_setup PROPERTIES
  FIXTURES_SETUP wine_cdrom_letter RUN_SERIAL ON)

set(KV_TEST_PROPERTIES_platform FIXTURES_REQUIRED wine_cdrom_letter TIMEOUT 120)
set(KV_TEST_ENVIRONMENT_aspi_standin "WINEDLLOVERRIDES=wnaspi32=n")
set(KV_TEST_PROPERTIES_aspi_standin TIMEOUT 120)

# The same bytes as the Linux program: given the Linux build's program, the Windows program is
# compared against it on the emulated sample drives.
set(KV_COMPARE_WITH_PROGRAM "" CACHE FILEPATH "The Linux build's krellvane, to compare outputs with")
if(KV_COMPARE_WITH_PROGRAM)
  add_test(NAME windows_cli_equals_linux
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/compare-cli.sh ${KV_COMPARE_WITH_PROGRAM}
            $<TARGET_FILE:krellvane> ${KV_WINE_RUN})
  set_tests_properties(windows_cli_equals_linux PROPERTIES TIMEOUT 300)
endif()

add_test(NAME windows_names_beyond_ascii
  COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/names-beyond-ascii.sh
          $<TARGET_FILE_DIR:krellvane>/krellvane-builder${CMAKE_EXECUTABLE_SUFFIX}
          ${CMAKE_SOURCE_DIR}/profiles/orvelix-cdrom-reader.json ${KV_WINE_RUN})
set_tests_properties(windows_names_beyond_ascii PROPERTIES TIMEOUT 120)

function(kv_add_wine_tests)
  # A program whose Wine version setting the tests change, to see the 95/98 family.
  add_executable(kv_osinfo_probe ${CMAKE_CURRENT_SOURCE_DIR}/probes/osinfo_probe.cpp)
  target_link_libraries(kv_osinfo_probe PRIVATE kvcore)
  add_dependencies(kv_platform_tests kv_osinfo_probe)

  add_library(kv_wnaspi32_standin SHARED
    ${CMAKE_CURRENT_SOURCE_DIR}/probes/wnaspi32/wnaspi32_standin.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/probes/wnaspi32/wnaspi32.def)
  set_target_properties(kv_wnaspi32_standin PROPERTIES
    OUTPUT_NAME WNASPI32 PREFIX "" SUFFIX ".dll")
  target_link_libraries(kv_wnaspi32_standin PRIVATE kvcore)

  kv_add_test_folder(aspi_standin)
  add_dependencies(kv_aspi_standin_tests kv_wnaspi32_standin)
endfunction()
