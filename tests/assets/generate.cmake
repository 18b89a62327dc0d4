# Runs moravel-assetgen into a fresh folder, so no file from an earlier run can stand in for a missing one.
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "moravel-assetgen failed (${result})")
endif()
