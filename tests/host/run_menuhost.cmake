# Runs menuhost on a scratch copy of the sample game and checks its exit status and output.
#   -DPROGRAM= -DEMULATOR= -DSCRIPT= -DSTATUS= -DOUTPUT=<regex> -DPLUGIN=<name=file or empty>
#   -DPLUGINS=<plug-in search dir> -DSAMPLE=<game folder> -DSCRATCH=<scratch parent>
set(command ${EMULATOR} ${PROGRAM} --quiet --copy-of ${SAMPLE} --scratch ${SCRATCH}
    --plugins ${PLUGINS})
if(PLUGIN)
  list(APPEND command --plugin ${PLUGIN})
endif()
list(APPEND command ${SCRIPT})
file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(REMOVE_RECURSE ${SCRATCH})
set(all "${out}${err}")
if(NOT "${status}" STREQUAL "${STATUS}")
  message(FATAL_ERROR "menuhost exited with ${status}, expected ${STATUS}\n${all}")
endif()
if(NOT all MATCHES "${OUTPUT}")
  message(FATAL_ERROR "menuhost's output does not match \"${OUTPUT}\"\n${all}")
endif()
