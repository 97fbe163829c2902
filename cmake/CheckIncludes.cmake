# The include rules the compiler cannot see, checked over the source text.
#
#   cmake -DSOURCE_DIR=<source folder> -P cmake/CheckIncludes.cmake
#
# CMakeLists.txt runs it when it configures, before every build and as the
# test "include_rules". Every broken rule is listed with its file and line,
# and the run fails.
#
# 1. No include path goes through "..", and none is absolute, anywhere in the
#    game, its programs, tests, benchmarks and fuzz targets. A quoted include
#    is looked up first in the including file's own folder, so
#    "../interface/MainMenu.h" from core/ would find the real file whatever
#    the layer's include view holds.
# 2. A header of a game layer includes only its own layer and those below,
#    like its .cpp files. The layer views stop an upward include in a .cpp
#    file, but a header is compiled only where it is included, so an upward
#    include in a header used by higher layers alone would build.
# 3. The programs (tools/, play/) include nothing from tests/.
# 4. A test in tests/<layer>/ includes only that layer and those below, also
#    through the test helpers it includes: its program links only them.
# 5. The key, control and mouse-button flags are written only by their
#    owners in core/ (a source text rule like the others).
#
# Where an include leads is found as the compiler finds it: the including
# file's folder, then the source folder, then tests/. The layer of a file in
# a game folder is that folder; of any other file (a test helper, a tool
# header), the highest layer it includes, directly or through others.

# Bottom up. platform/ is one layer for the tests (one test program).
set(INCLUDE_RULE_LAYERS
  platform/os platform/math platform/image platform/d3d platform/audio
  common core render audio scene world racers interface app play)

# Test folders held to rule 4. tests/app and tests/tools test the whole game
# (with play/), and tests/support is checked through the tests that use it.
# tests/racers is not held: its vehicle fixtures start and free a race with
# the game's own CGame::InitRaceTable and CGame::FreeRace, so its program
# links app (see CMakeLists.txt).
set(INCLUDE_RULE_TEST_LAYERS platform common core render audio scene world interface)
# Rule 3 on or off.
set(INCLUDE_RULE_PROGRAMS ON)

# The folders checked.
set(INCLUDE_RULE_FOLDERS ${INCLUDE_RULE_LAYERS} tools tests bench fuzz)

# Layer number of a path relative to the source folder, -1 outside the game folders.
function(_include_rule_folder_layer rel out)
  set(index 0)
  foreach(layer ${INCLUDE_RULE_LAYERS})
    string(LENGTH "${layer}/" length)
    string(SUBSTRING "${rel}" 0 ${length} head)
    if(head STREQUAL "${layer}/")
      set(${out} ${index} PARENT_SCOPE)
      return()
    endif()
    math(EXPR index "${index} + 1")
  endforeach()
  set(${out} -1 PARENT_SCOPE)
endfunction()

# The quoted include paths of a file and their lines, as two lists.
function(_include_rule_read file out_paths out_lines)
  get_property(done GLOBAL PROPERTY "include_rule_read:${file}" SET)
  if(NOT done)
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    set(paths "")
    set(texts "")
    foreach(line IN LISTS lines)
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">]")
        list(APPEND paths "${CMAKE_MATCH_1}")
        string(STRIP "${line}" text)
        list(APPEND texts "${text}")
      endif()
    endforeach()
    set_property(GLOBAL PROPERTY "include_rule_read:${file}" "${paths}")
    set_property(GLOBAL PROPERTY "include_rule_text:${file}" "${texts}")
  endif()
  get_property(paths GLOBAL PROPERTY "include_rule_read:${file}")
  get_property(texts GLOBAL PROPERTY "include_rule_text:${file}")
  set(${out_paths} "${paths}" PARENT_SCOPE)
  set(${out_lines} "${texts}" PARENT_SCOPE)
endfunction()

# The file an include names, relative to the source folder, or "" when it is
# not in the source tree (a system header).
function(_include_rule_resolve source_dir file path out)
  get_filename_component(folder "${file}" DIRECTORY)
  foreach(base "${folder}" "${source_dir}" "${source_dir}/tests")
    if(EXISTS "${base}/${path}" AND NOT IS_DIRECTORY "${base}/${path}")
      file(RELATIVE_PATH rel "${source_dir}" "${base}/${path}")
      set(${out} "${rel}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "" PARENT_SCOPE)
endfunction()

# Layer number of a file (relative path): its folder's for the game, else the
# highest layer it reaches through its includes.
function(_include_rule_layer source_dir rel out)
  _include_rule_folder_layer("${rel}" layer)
  if(layer GREATER -1)
    set(${out} ${layer} PARENT_SCOPE)
    return()
  endif()
  get_property(known GLOBAL PROPERTY "include_rule_layer:${rel}" SET)
  if(NOT known)
    # Marked first, so that a cycle of includes ends.
    set_property(GLOBAL PROPERTY "include_rule_layer:${rel}" -1)
    set(highest -1)
    _include_rule_read("${source_dir}/${rel}" paths texts)
    foreach(path IN LISTS paths)
      _include_rule_resolve("${source_dir}" "${source_dir}/${rel}" "${path}" target)
      if(target)
        _include_rule_layer("${source_dir}" "${target}" reached)
        if(reached GREATER highest)
          set(highest ${reached})
        endif()
      endif()
    endforeach()
    set_property(GLOBAL PROPERTY "include_rule_layer:${rel}" ${highest})
  endif()
  get_property(layer GLOBAL PROPERTY "include_rule_layer:${rel}")
  set(${out} ${layer} PARENT_SCOPE)
endfunction()

# "file:line: text" for the first line of a file that holds the text.
function(_include_rule_where source_dir rel text out)
  file(STRINGS "${source_dir}/${rel}" lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(STRIP "${line}" stripped)
    if(stripped STREQUAL text)
      set(${out} "${rel}:${number}: ${text}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "${rel}: ${text}" PARENT_SCOPE)
endfunction()

function(check_include_rules source_dir)
  set(files "")
  foreach(folder ${INCLUDE_RULE_FOLDERS})
    file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${source_dir}"
         "${source_dir}/${folder}/*.h" "${source_dir}/${folder}/*.c" "${source_dir}/${folder}/*.cpp")
    list(APPEND files ${found})
  endforeach()
  list(REMOVE_DUPLICATES files)

  set(broken "")
  foreach(rel IN LISTS files)
    _include_rule_folder_layer("${rel}" own_layer)
    set(test_layer -1)
    if(rel MATCHES "^tests/([^/]+)/")
      list(FIND INCLUDE_RULE_TEST_LAYERS "${CMAKE_MATCH_1}" held)
      if(held GREATER -1)
        if(CMAKE_MATCH_1 STREQUAL "platform")
          list(FIND INCLUDE_RULE_LAYERS platform/audio test_layer)
        else()
          list(FIND INCLUDE_RULE_LAYERS "${CMAKE_MATCH_1}" test_layer)
        endif()
      endif()
    endif()
    set(program FALSE)
    if(INCLUDE_RULE_PROGRAMS AND rel MATCHES "^(tools|play)/")
      set(program TRUE)
    endif()

    _include_rule_read("${source_dir}/${rel}" paths texts)
    set(index 0)
    foreach(path IN LISTS paths)
      list(GET texts ${index} text)
      math(EXPR index "${index} + 1")
      set(why "")
      if(path MATCHES "(^|[/\\\\])\\.\\.([/\\\\]|$)")
        set(why "an include path through \"..\"")
      elseif(path MATCHES "^[/\\\\]")
        set(why "an absolute include path")
      else()
        _include_rule_resolve("${source_dir}" "${source_dir}/${rel}" "${path}" target)
        if(target)
          _include_rule_layer("${source_dir}" "${target}" reached)
          if(own_layer GREATER -1 AND reached GREATER own_layer)
            list(GET INCLUDE_RULE_LAYERS ${reached} name)
            set(why "reaches the higher layer ${name}/")
          elseif(test_layer GREATER -1 AND reached GREATER test_layer)
            list(GET INCLUDE_RULE_LAYERS ${reached} name)
            set(why "a test of a lower layer reaches ${name}/")
          elseif(program AND target MATCHES "^tests/")
            set(why "a program includes a test helper")
          endif()
        endif()
      endif()
      if(why)
        _include_rule_where("${source_dir}" "${rel}" "${text}" where)
        list(APPEND broken "${where}    (${why})")
      endif()
    endforeach()
  endforeach()

  # 5. The key, control and mouse-button flags are written only by their
  #    owners in core/ (the key handlers and ConsumeKey, ConsumeControl,
  #    PressControl, SetMouseButton, ConsumeClick), so which code takes a key
  #    press is decided in one place.
  foreach(rel IN LISTS files)
    _include_rule_folder_layer("${rel}" own_layer)
    if((own_layer GREATER -1 OR rel MATCHES "^(tools|play)/")
       AND NOT rel MATCHES "^core/(Controls|InputState)\\.cpp$")
      file(STRINGS "${source_dir}/${rel}" writes
           REGEX "(g_KeyFlags|g_ControlFlags|g_MouseButtons)[ \t]*\\[[^]]*\\][ \t]*=[^=]")
      foreach(text IN LISTS writes)
        # A line's ";" splits it into list items: keep the items that write.
        if(NOT text MATCHES "(g_KeyFlags|g_ControlFlags|g_MouseButtons)[ \t]*\\[[^]]*\\][ \t]*=[^=]")
          continue()
        endif()
        string(STRIP "${text}" text)
        _include_rule_where("${source_dir}" "${rel}" "${text}" where)
        string(REPLACE ";" "" where "${where}")
        list(APPEND broken "${where}    (an input flag written outside its owner in core/)")
      endforeach()
    endif()
  endforeach()

  if(broken)
    list(LENGTH broken count)
    string(REPLACE ";" "\n  " listing "${broken}")
    message(FATAL_ERROR "Include rules broken (${count}; see cmake/CheckIncludes.cmake):\n  ${listing}\n")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<source folder> -P CheckIncludes.cmake")
  endif()
  check_include_rules("${SOURCE_DIR}")
endif()
