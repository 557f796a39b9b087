# Form resources: a form's text (.dfm) becomes its binary stream, an RT_RCDATA
# resource of the module that links it, where InitInheritedComponent finds it.
#
#   tvx_form_resources(<target> <NAME> <file.dfm> [<NAME> <file.dfm> ...])
#
# makes the OBJECT library <target>. Link its objects into the module itself,
# with $<TARGET_OBJECTS:<target>> among the module's sources or by linking
# <target> directly: a static library in between would drop them, since
# nothing refers to them. Each resource's binary stream is also written to
# <build dir>/<target>/<NAME>.bin, the file a Windows .rc names.
if(WIN32)
  enable_language(RC)
endif()
# A cross build brings its own tool for the build machine (cmake/Windows.cmake).
if(NOT TVX_FORM_RESOURCE_TOOL)
  set(TVX_FORM_RESOURCE_TOOL tvx-form-resources)
  set(TVX_FORM_RESOURCE_TOOL_TARGET tvx-form-resources)
endif()

function(tvx_form_resources target)
  set(pairs ${ARGN})
  list(LENGTH pairs count)
  math(EXPR odd "${count} % 2")
  if(count EQUAL 0 OR odd)
    message(FATAL_ERROR "tvx_form_resources(${target}): expected pairs of resource name and .dfm file")
  endif()
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${target})
  set(names "")
  set(sources "")
  set(rc_lines "")
  while(pairs)
    list(POP_FRONT pairs name file)
    string(TOUPPER "${name}" upper)
    if(NOT name MATCHES "^[A-Za-z0-9_]+$" OR upper IN_LIST names)
      message(FATAL_ERROR "tvx_form_resources(${target}): '${name}' is no resource name or is given twice")
    endif()
    list(APPEND names ${upper})
    get_filename_component(file ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    add_custom_command(
      OUTPUT ${out_dir}/${name}.bin ${out_dir}/${name}.cpp
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
      COMMAND ${TVX_FORM_RESOURCE_TOOL} ${name} ${file} ${out_dir}/${name}.bin ${out_dir}/${name}.cpp
      DEPENDS ${file} ${TVX_FORM_RESOURCE_TOOL_TARGET}
      COMMENT "Form resource ${name} from ${file}"
      VERBATIM)
    list(APPEND sources ${out_dir}/${name}.cpp)
    string(APPEND rc_lines "${name} RCDATA \"${out_dir}/${name}.bin\"\n")
  endwhile()
  if(WIN32)
    # Windows puts the streams into the image itself, from an .rc file.
    file(CONFIGURE OUTPUT ${out_dir}/${target}.rc CONTENT "${rc_lines}")
    set_source_files_properties(${out_dir}/${target}.rc PROPERTIES OBJECT_DEPENDS "${sources}")
    add_library(${target} OBJECT ${out_dir}/${target}.rc)
  else()
    add_library(${target} OBJECT ${sources})
    target_link_libraries(${target} PRIVATE win32)
  endif()
endfunction()
