# Which folder's code may include which: a folder includes only from the folders listed for
# it (and from itself). The check fails, naming the file and what it includes, on
#   - an include that points upwards (or sideways to a folder not listed),
#   - a quoted include of a path in no folder of the table (a typo, or a folder not placed yet),
#   - a source file in a folder that is not in the table.
#   cmake -DSOURCE_DIR=<tree> -P CheckIncludes.cmake
cmake_minimum_required(VERSION 3.20)

# One line per folder that holds code: the folder, a colon, and the folders it may include
# from. A new folder gets a line here, in the order of the layers (lowest first).
set(layer_table
  "base:"
  "audio:     base"
  "sf2:"
  "synth:     sf2"
  "song:      sf2"
  "render:    base sf2 synth song"
  "shell:     base"
  "engine:    base"
  "cardmodel: engine"
  "card:      sf2 engine"
  "midi:      base"
  "settings:  base engine midi shell"
  "dialogs:   base engine midi settings"
  "browser:   base sf2 shell engine card midi settings dialogs"
  "app:       base sf2 shell engine card midi settings dialogs browser"
  "res:       base"
  # The simulated card is an engine of its own: it sees the engine's interface and the card
  # model, never the window.
  "sim:       base engine cardmodel"
  # The software card: the card model with a synthesizer and an audio output per device, and
  # the MIDI output table it serves.
  "softcard:  base audio sf2 synth engine cardmodel midi"
  # The checks see everything below them.
  "tests:     ALL"
  "bench:     ALL"
  "fuzz:      ALL"
)
set(code_extensions h hpp c cc cpp rc inl)

set(layers "")
foreach(row IN LISTS layer_table)
  string(REGEX MATCH "^([^:]+):(.*)$" matched "${row}")
  set(layer "${CMAKE_MATCH_1}")
  string(STRIP "${CMAKE_MATCH_2}" below)
  string(REGEX REPLACE "[ \t]+" ";" below "${below}")
  list(APPEND layers ${layer})
  set(may_include_${layer} ${below})
endforeach()

# The top-level folder of a path inside the tree ("base/Dialog.h" -> base), or "" for a path
# with no folder.
function(folder_of path out)
  set(result "")
  if(path MATCHES "^([^/]+)/")
    set(result "${CMAKE_MATCH_1}")
  endif()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Build folders inside the tree (any folder holding a CMake cache) and hidden ones hold no
# sources of ours.
function(is_build_or_hidden folder out)
  set(result FALSE)
  if(folder MATCHES "^\\." OR EXISTS "${SOURCE_DIR}/${folder}/CMakeCache.txt"
     OR folder STREQUAL "build")
    set(result TRUE)
  endif()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

set(globs "")
foreach(extension IN LISTS code_extensions)
  list(APPEND globs "${SOURCE_DIR}/*.${extension}")
endforeach()

set(violations "")
file(GLOB top_entries RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
foreach(entry IN LISTS top_entries)
  is_build_or_hidden("${entry}" skipped)
  if(skipped)
    continue()
  endif()
  set(entry_globs "")
  foreach(extension IN LISTS code_extensions)
    list(APPEND entry_globs "${SOURCE_DIR}/${entry}/*.${extension}")
  endforeach()
  if(IS_DIRECTORY "${SOURCE_DIR}/${entry}")
    file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" ${entry_globs})
  else()
    file(GLOB sources RELATIVE "${SOURCE_DIR}" ${globs})
    list(FILTER sources INCLUDE REGEX "^${entry}$")
  endif()
  foreach(source IN LISTS sources)
    folder_of("${source}" own)
    if(NOT own IN_LIST layers)
      list(APPEND violations "${source}: a source file in a folder the table does not place")
      continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*" "\\1" included "${line}")
      folder_of("${included}" target)
      if(NOT target IN_LIST layers)
        list(APPEND violations "${source}: #include \"${included}\" (a path in no folder of the table)")
      elseif(NOT target STREQUAL own AND NOT "ALL" IN_LIST may_include_${own}
             AND NOT target IN_LIST may_include_${own})
        list(APPEND violations "${source}: #include \"${included}\" (${own} may not include ${target})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes against the layers:\n  ${text}")
endif()
message(STATUS "Every include points down the layers")
