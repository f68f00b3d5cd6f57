# Compares the entries of every data archive of the demo distribution with
# the checked-in manifest and shows the differences as a unified diff.
#   cmake -DILDS=tool -DMANIFEST=file -DDISTRIBUTION=folder [-DEXTRA=archive...]
#         -DACTUAL=file -P check_manifest.cmake
# EXTRA names archives that travel inside others (demo.dat inside setup.dat).
# The listing that was found is left in ACTUAL; after an intended change of
# the content it is the new manifest (with the manifest's comment lines).
cmake_minimum_required(VERSION 3.25)

function(list_archive path name result)
  execute_process(COMMAND "${ILDS}" list "${path}" RESULT_VARIABLE status
                  OUTPUT_VARIABLE listing ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    string(STRIP "${error}" error)
    set(${result} "[${name}]\n(cannot be listed: ${error})\n" PARENT_SCOPE)
    return()
  endif()
  # One entry a line: the name is the field before the first tab.
  string(REGEX REPLACE "\t[^\n]*" "" names "${listing}")
  set(${result} "[${name}]\n${names}" PARENT_SCOPE)
endfunction()

file(GLOB archives RELATIVE "${DISTRIBUTION}" "${DISTRIBUTION}/*.dat" "${DISTRIBUTION}/*.mcb")
set(paths)
foreach(archive IN LISTS archives)
  list(APPEND paths "${DISTRIBUTION}/${archive}")
endforeach()
list(APPEND paths ${EXTRA})
set(sections)
foreach(path IN LISTS paths)
  get_filename_component(name "${path}" NAME)
  if(EXISTS "${path}")
    list_archive("${path}" "${name}" section)
  else()
    set(section "[${name}]\n(missing)\n")
  endif()
  list(APPEND sections "${section}")
endforeach()
list(SORT sections)
list(JOIN sections "\n" actual)
file(WRITE "${ACTUAL}" "${actual}")

# Comment lines and blank lines do not count.
function(normalize text result)
  string(REGEX REPLACE "(^|\n)#[^\n]*" "\\1" text "${text}")
  string(REGEX REPLACE "\r" "" text "${text}")
  string(REGEX REPLACE "\n\n+" "\n" text "${text}")
  string(STRIP "${text}" text)
  set(${result} "${text}\n" PARENT_SCOPE)
endfunction()

file(READ "${MANIFEST}" manifest)
normalize("${manifest}" expected)
normalize("${actual}" found)
if(expected STREQUAL found)
  message(STATUS "every archive holds the entries of ${MANIFEST}")
  return()
endif()
file(WRITE "${ACTUAL}.expected" "${expected}")
file(WRITE "${ACTUAL}.found" "${found}")
# The difference goes straight to the output, line by line as diff writes it.
message("The archives differ from the manifest (- manifest, + built):")
execute_process(COMMAND diff -u --label manifest.txt --label built "${ACTUAL}.expected"
                        "${ACTUAL}.found")
message(FATAL_ERROR "The built listing is ${ACTUAL}")
