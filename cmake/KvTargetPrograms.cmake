# KV_CAN_RUN_TARGET_PROGRAMS: whether programs built here can run on this machine at build time.
# Always in a native build; in a cross build only when the emulator runs a program of the target
# (Wine without its 32-bit loader cannot), so that the build itself never depends on it.
set(KV_CAN_RUN_TARGET_PROGRAMS ON)
if(CMAKE_CROSSCOMPILING)
  set(KV_CAN_RUN_TARGET_PROGRAMS OFF)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(kvProbeExit 7)
    execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} cmd /c exit ${kvProbeExit}
      RESULT_VARIABLE kvProbeResult OUTPUT_QUIET ERROR_QUIET TIMEOUT 180)
    if(kvProbeResult EQUAL kvProbeExit)
      set(KV_CAN_RUN_TARGET_PROGRAMS ON)
    endif()
  endif()
  if(NOT KV_CAN_RUN_TARGET_PROGRAMS)
    message(WARNING "The emulator cannot run ${CMAKE_SYSTEM_NAME} programs here: "
      "the builder edition is not written and the tests cannot run")
  endif()
endif()
