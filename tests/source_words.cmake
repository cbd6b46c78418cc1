# Comments describe Ventaro on its own terms: what it does and why, not how
# some earlier tool did it. Fails on any source line that alludes to one.
# Run as: cmake -DROOT=<source dir> -P source_words.cmake
set(pattern "([Oo]riginal|[Ee]arlier) (tool|program|application|version)")
file(GLOB_RECURSE files
  ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/src/*.cmake ${ROOT}/src/*.txt
  ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp ${ROOT}/tests/*.txt
  ${ROOT}/bench/*.h ${ROOT}/bench/*.cpp ${ROOT}/fuzz/*.cpp ${ROOT}/scripts/*.sh)
set(found "")
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "${pattern}")
  foreach(line IN LISTS lines)
    # The window's own words for the program of the last Compute are no
    # allusion: "Save the earlier program", "Check the earlier program".
    if(line MATCHES "(Save|Check) the earlier program")
      continue()
    endif()
    string(APPEND found "${file}: ${line}\n")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "Say what the code does, not what an earlier tool did:\n${found}")
endif()
