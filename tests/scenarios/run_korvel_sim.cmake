# Runs korvel-sim (through the emulator, when cross-built) and checks its exit
# code and, as regular expressions, its stdout and stderr. Lists arrive with
# "|" for ";".
string(REPLACE "|" ";" emulator "${EMULATOR}")
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${emulator} ${PROGRAM} ${args}
  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r\n" "\n" out "${out}")
string(REPLACE "\r\n" "\n" err "${err}")
set(report "exit code ${code}\n--- stdout\n${out}--- stderr\n${err}---")
if(NOT "${code}" STREQUAL "${EXPECT_CODE}")
  message(FATAL_ERROR "expected exit code ${EXPECT_CODE}, got ${report}")
endif()
if(NOT "${EXPECT_STDOUT}" STREQUAL "" AND NOT "${out}" MATCHES "${EXPECT_STDOUT}")
  message(FATAL_ERROR "stdout does not match '${EXPECT_STDOUT}': ${report}")
endif()
if(NOT "${EXPECT_STDERR}" STREQUAL "" AND NOT "${err}" MATCHES "${EXPECT_STDERR}")
  message(FATAL_ERROR "stderr does not match '${EXPECT_STDERR}': ${report}")
endif()
