# Rebuilds the Apple II font from its dot drawings and compares it byte for
# byte with the committed file, so that the two can never drift apart. Then
# feeds the build script broken drawings: each must be refused with a message
# naming the line, and must leave an existing output file untouched.
#
# cmake -DPYTHON=<python with fontTools> -DSOURCE_DIR=<repository>
#       -DWORK_DIR=<scratch directory> -P font_rebuild.cmake

foreach(var PYTHON SOURCE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "font_rebuild.cmake needs -D${var}=...")
  endif()
endforeach()

set(script "${SOURCE_DIR}/tools/build_font.py")
set(glyphs "${SOURCE_DIR}/tools/font/glyphs.txt")
set(committed "${SOURCE_DIR}/source/resources/Apple_II.ttf")

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

execute_process(COMMAND "${PYTHON}" "${script}" "${glyphs}" "${WORK_DIR}/Apple_II.ttf"
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "build_font.py failed (${result}): ${errors}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK_DIR}/Apple_II.ttf" "${committed}"
                RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "source/resources/Apple_II.ttf is not what tools/font/glyphs.txt builds; "
                      "run: ${PYTHON} tools/build_font.py tools/font/glyphs.txt source/resources/Apple_II.ttf")
endif()

# Broken drawings: name, file text, the line the message must name.
set(good_a "U+0041 A\n...#...\n..#.#..\n.#...#.\n.#...#.\n.#####.\n.#...#.\n.#...#.\n.......\n")
set(cases
    "short row|${good_a}\nU+0042 B\n.####..\n.#...#.\n.#..#.\n.####..\n.#...#.\n.#...#.\n.####..\n.......\n|14"
    "stray character|U+0041 A\n...#...\n..#.#..\n.#...#.\n.#.x.#.\n.#####.\n.#...#.\n.#...#.\n.......\n|5"
    "missing rows|U+0041 A\n...#...\n..#.#..\n.#...#.\n|5"
    "extra row|U+0041 A\n...#...\n..#.#..\n.#...#.\n.#...#.\n.#####.\n.#...#.\n.#...#.\n.......\n.......\n|10"
    "drawn twice|${good_a}\n${good_a}|11"
    "lower-case header|u+0041 A\n...#...\n..#.#..\n.#...#.\n.#...#.\n.#####.\n.#...#.\n.#...#.\n.......\n|1"
    "surrogate|U+D800 X\n...#...\n..#.#..\n.#...#.\n.#...#.\n.#####.\n.#...#.\n.#...#.\n.......\n|1")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 text)
  list(GET parts 2 line)
  set(source "${WORK_DIR}/broken.txt")
  set(output "${WORK_DIR}/kept.ttf")
  file(WRITE "${source}" "${text}")
  file(WRITE "${output}" "an earlier font")
  execute_process(COMMAND "${PYTHON}" "${script}" "${source}" "${output}"
                  RESULT_VARIABLE result ERROR_VARIABLE errors)
  file(READ "${output}" kept)
  if(result EQUAL 0)
    message(FATAL_ERROR "${name}: build_font.py accepted a broken drawing")
  endif()
  if(NOT errors MATCHES "broken\\.txt:${line}: ")
    message(FATAL_ERROR "${name}: the message does not name line ${line}: ${errors}")
  endif()
  if(NOT kept STREQUAL "an earlier font")
    message(FATAL_ERROR "${name}: build_font.py touched the existing output")
  endif()
  file(GLOB leftovers "${WORK_DIR}/.build_font-*")
  if(leftovers)
    message(FATAL_ERROR "${name}: build_font.py left ${leftovers}")
  endif()
endforeach()
