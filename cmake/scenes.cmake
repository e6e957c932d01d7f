# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep_add_scene(NAME SOURCES ... [DATA ...] [TESTS ...] [BENCH ...]), called
# from scenes/NAME/CMakeLists.txt: the folder's sources, gathered here and
# built by scenes/CMakeLists.txt into every CPU copy of the scenes (SOURCES),
# by the top CMakeLists.txt into zep-data (DATA, which defines
# zep::datagen::Write<Name>Data, Name the folder's name in CamelCase) and
# zep-bench (BENCH, compiled per CPU copy too), and by tests/CMakeLists.txt
# into the test program (TESTS).
function(zep_add_scene name)
  cmake_parse_arguments(PARSE_ARGV 1 scene "" "" "SOURCES;DATA;TESTS;BENCH")
  if(scene_UNPARSED_ARGUMENTS OR NOT scene_SOURCES)
    message(FATAL_ERROR "zep_add_scene(${name}): give SOURCES and, if any, DATA, TESTS and BENCH "
                        "(unexpected: ${scene_UNPARSED_ARGUMENTS})")
  endif()
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  if(NOT folder STREQUAL name)
    message(FATAL_ERROR "zep_add_scene(${name}) is called from the folder scenes/${folder}")
  endif()
  foreach(kind SOURCES DATA TESTS BENCH)
    list(TRANSFORM scene_${kind} PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    set_property(GLOBAL APPEND PROPERTY ZEP_SCENE_${kind} ${scene_${kind}})
  endforeach()
  if(scene_DATA)
    set_property(GLOBAL APPEND PROPERTY ZEP_SCENE_GENERATORS ${name})
  endif()
endfunction()

# The scenes' sources of one kind (SOURCES, DATA, TESTS or BENCH) in `var`.
function(zep_scene_sources var kind)
  get_property(sources GLOBAL PROPERTY ZEP_SCENE_${kind})
  set(${var} ${sources} PARENT_SCOPE)
endfunction()

# Writes the list of the scenes' data generators that zep-data runs
# (datagen/datagen.h, SceneDataWriters) to `file`.
function(zep_write_generator_list file)
  get_property(names GLOBAL PROPERTY ZEP_SCENE_GENERATORS)
  set(declarations "")
  set(entries "")
  foreach(name ${names})
    string(REPLACE "_" ";" words ${name})
    set(camel "")
    foreach(word ${words})
      string(SUBSTRING ${word} 0 1 first)
      string(SUBSTRING ${word} 1 -1 rest)
      string(TOUPPER ${first} first)
      string(APPEND camel ${first}${rest})
    endforeach()
    string(APPEND declarations "void Write${camel}Data(const std::filesystem::path& dir);\n")
    string(APPEND entries "    Write${camel}Data,\n")
  endforeach()
  file(GENERATE OUTPUT ${file} CONTENT
"// Made by CMake from the zep_add_scene calls of the scene folders.
#include \"datagen/datagen.h\"

namespace zep::datagen {

${declarations}
namespace {
constexpr SceneDataWriter kWriters[] = {
${entries}};
}  // namespace

std::span<const SceneDataWriter> SceneDataWriters() { return kWriters; }

}  // namespace zep::datagen
")
endfunction()
