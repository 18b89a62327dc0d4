# Both runs must write the same 32 files, byte for byte.
set(expected
  tlo3.jpg vrl.jpg bakba.jpg codework.tga glimber.tga gfx.tga yast.tga msx.tga brund.tga ende.jpg
  logo.tga kreski.jpg tunel.jpg tlo_ach.jpg maska.tga particles.tga hdr.jpg kwadraty.jpg
  cr_tavrel.tga cr_quimbrel.tga cr_dunvo.tga cr_fenwisp.tga cr_plo.tga cr_kirrage.tga
  czarna.jpg draty.jpg babka.jpg obrotnik.tga mk.jpg rozgwiazda.txt roza.txt muza_demo.ogg)
list(SORT expected)
foreach(folder ${FIRST} ${SECOND})
  file(GLOB found RELATIVE ${folder} ${folder}/*)
  list(SORT found)
  if(NOT found STREQUAL expected)
    message(FATAL_ERROR "${folder} holds\n  ${found}\ninstead of\n  ${expected}")
  endif()
endforeach()
foreach(name ${expected})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${FIRST}/${name} ${SECOND}/${name}
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${name} differs between two runs")
  endif()
endforeach()
message(STATUS "32 files, identical in both runs")
