# cmake -DPACKAGE=zip -DSTAGE=folder -DPROGRAM=exe -DCARD=dll -DGUIDE=md -DLICENSE=file
#       [-DSTRIP=tool] -P MakePackage.cmake
# Copies the four files into an emptied staging folder and zips exactly those, by name, so
# nothing else lying about (another library, a settings file, a card's state) can get in. The
# program and the software card go without their debugging information when a strip tool is
# given.
foreach(input PACKAGE STAGE PROGRAM CARD GUIDE LICENSE)
  if(NOT DEFINED ${input})
    message(FATAL_ERROR "MakePackage: ${input} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
configure_file(${PROGRAM} ${STAGE}/tonewell.exe COPYONLY)
configure_file(${CARD} ${STAGE}/TWSYNTH.DLL COPYONLY)
configure_file(${GUIDE} ${STAGE}/README.md COPYONLY)
configure_file(${LICENSE} ${STAGE}/LICENSE COPYONLY)
if(STRIP)
  foreach(binary tonewell.exe TWSYNTH.DLL)
    execute_process(COMMAND ${STRIP} --strip-debug ${STAGE}/${binary} RESULT_VARIABLE stripped)
    if(NOT stripped EQUAL 0)
      message(FATAL_ERROR "MakePackage: ${STRIP} failed on ${binary}")
    endif()
  endforeach()
endif()

file(REMOVE ${PACKAGE})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${PACKAGE} --format=zip tonewell.exe TWSYNTH.DLL README.md LICENSE
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
  message(FATAL_ERROR "MakePackage: ${PACKAGE} could not be written")
endif()
message(STATUS "Package: ${PACKAGE}")
