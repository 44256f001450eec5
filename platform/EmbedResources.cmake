# neapwise_embed_resources(<target> TYPE <type> RESOURCES <name> <file> [<name> <file> ...])
#
# Compiles binary files into <target> as resources of the given type and names (for example
# TYPE RAWDATA RESOURCES "#178" tables/angles.bin), found at run time with FindResource or
# AfxFindRawData. The bytes are turned into a C++ source at build time, so editing a file
# rebuilds only that source. May be called several times for one target.
# For a static library the compiled bytes are handed to every program that links it, so the
# registration is not dropped by the linker.
set(NEAPWISE_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/EmbedResourcesScript.cmake" CACHE INTERNAL "")
get_filename_component(NEAPWISE_EMBED_INCLUDE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(NEAPWISE_EMBED_INCLUDE_ROOT "${NEAPWISE_EMBED_INCLUDE_ROOT}" CACHE INTERNAL "")

function(neapwise_embed_resources target)
  cmake_parse_arguments(ARG "" "TYPE" "RESOURCES" ${ARGN})
  if(NOT ARG_TYPE)
    message(FATAL_ERROR "neapwise_embed_resources: TYPE is required")
  endif()
  list(LENGTH ARG_RESOURCES n)
  math(EXPR odd "${n} % 2")
  if(n EQUAL 0 OR odd)
    message(FATAL_ERROR "neapwise_embed_resources: RESOURCES takes name and file pairs")
  endif()

  get_property(count TARGET ${target} PROPERTY NEAPWISE_EMBED_COUNT)
  if(NOT count)
    set(count 0)
  endif()
  math(EXPR next "${count} + 1")
  set_property(TARGET ${target} PROPERTY NEAPWISE_EMBED_COUNT ${next})

  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources_${count}.cpp")
  set(names "")
  set(files "")
  set(i 0)
  while(i LESS n)
    list(GET ARG_RESOURCES ${i} name)
    math(EXPR j "${i} + 1")
    list(GET ARG_RESOURCES ${j} file)
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND names "${name}")
    list(APPEND files "${file}")
    math(EXPR i "${i} + 2")
  endwhile()

  string(REPLACE ";" "|" names_arg "${names}")
  string(REPLACE ";" "|" files_arg "${files}")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND "${CMAKE_COMMAND}" "-DOUT=${out}" "-DTYPE=${ARG_TYPE}" "-DNAMES=${names_arg}"
            "-DFILES=${files_arg}" -P "${NEAPWISE_EMBED_SCRIPT}"
    DEPENDS ${files} "${NEAPWISE_EMBED_SCRIPT}"
    COMMENT "Embedding ${ARG_TYPE} resources into ${target}"
    VERBATIM)

  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "STATIC_LIBRARY" OR kind STREQUAL "INTERFACE_LIBRARY")
    # A static archive would let the linker drop the unreferenced registration, so the
    # objects go straight into every program that links the library.
    set(objlib "${target}_resources_${count}")
    add_library(${objlib} OBJECT "${out}")
    target_include_directories(${objlib} PRIVATE "${NEAPWISE_EMBED_INCLUDE_ROOT}")
    target_sources(${target} INTERFACE "$<TARGET_OBJECTS:${objlib}>")
  else()
    target_sources(${target} PRIVATE "${out}")
    set_source_files_properties("${out}" PROPERTIES INCLUDE_DIRECTORIES "${NEAPWISE_EMBED_INCLUDE_ROOT}")
  endif()
endfunction()
