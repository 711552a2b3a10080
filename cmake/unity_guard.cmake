# glowrig_unity_batches(TARGET): compiles TARGET's sources in unity batches of
# at most GLOWRIG_UNITY_BATCH files, one translation unit per batch, so that
# the headers' templates are instantiated and optimised once per batch rather
# than once per file.
#
# Two sources that each define a file-local helper, constant or class of the
# same name (in an anonymous namespace, static, or a test fixture) cannot
# share a batch. This reads the names each source defines at the start of a
# line (the layout clang-format gives every file here) and puts each source,
# in the order of the target's list, into the first batch that has room and
# none of its names. Qualified definitions (Class::member) are left out: they
# cannot clash. A source marked SKIP_UNITY_BUILD_INCLUSION is compiled alone.
function(glowrig_unity_batches target)
  if(NOT GLOWRIG_UNITY)
    return()
  endif()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  get_target_property(sources ${target} SOURCES)
  get_target_property(directory ${target} SOURCE_DIR)
  set(ident "[A-Za-z_][A-Za-z0-9_]*")
  # Type definitions, macros, and unqualified functions and variables.
  set(type_line "^(struct|class|union|enum|enum class) (${ident})[^;]*$")
  set(macro_line "^#define (${ident})")
  set(entity_line "^[A-Za-z_][A-Za-z0-9_:<>,*& ]*[ *&](${ident}) *(\\(|=|\\{|\\[|;)")
  set(not_entity "^(namespace|using|template|typedef|return|extern|TEST|TEST_F|TEST_P|TYPED_TEST|INSTANTIATE_TEST_SUITE_P|struct|class|union|enum)[ (]")
  set(batches 0)
  foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.(cpp|cc|cxx)$")
      continue()
    endif()
    if(NOT IS_ABSOLUTE "${source}")
      set(source "${directory}/${source}")
    endif()
    get_source_file_property(alone "${source}" TARGET_DIRECTORY ${target} SKIP_UNITY_BUILD_INCLUSION)
    if(alone)
      continue()
    endif()
    # A made source that includes another one names it (fuzz/CMakeLists.txt).
    get_source_file_property(names_from "${source}" TARGET_DIRECTORY ${target}
      GLOWRIG_UNITY_NAMES_FROM)
    if(NOT names_from)
      set(names_from "${source}")
    endif()
    file(STRINGS "${names_from}" lines REGEX "^[A-Za-z_#]")
    set(names "")
    foreach(line IN LISTS lines)
      if(line MATCHES "${type_line}")
        list(APPEND names "${CMAKE_MATCH_2}")
      elseif(line MATCHES "${macro_line}")
        list(APPEND names "${CMAKE_MATCH_1}")
      elseif(NOT line MATCHES "${not_entity}" AND line MATCHES "${entity_line}")
        list(APPEND names "${CMAKE_MATCH_1}")
      endif()
    endforeach()
    list(REMOVE_DUPLICATES names)
    # The first batch with room and no name of this source, else a new one.
    set(chosen "")
    set(batch 0)
    while(batch LESS batches AND chosen STREQUAL "")
      if(count_${batch} LESS GLOWRIG_UNITY_BATCH)
        set(shared FALSE)
        foreach(name IN LISTS names)
          if(name IN_LIST names_${batch})
            set(shared TRUE)
            break()
          endif()
        endforeach()
        if(NOT shared)
          set(chosen ${batch})
        endif()
      endif()
      math(EXPR batch "${batch} + 1")
    endwhile()
    if(chosen STREQUAL "")
      set(chosen ${batches})
      math(EXPR batches "${batches} + 1")
      set(count_${chosen} 0)
      set(names_${chosen} "")
    endif()
    math(EXPR count_${chosen} "${count_${chosen}} + 1")
    list(APPEND names_${chosen} ${names})
    set_source_files_properties("${source}" TARGET_DIRECTORY ${target}
      PROPERTIES UNITY_GROUP "${target}_${chosen}")
  endforeach()
endfunction()
