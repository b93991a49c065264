# One helper per kind of target. Each sets the project's warnings, hidden
# symbol visibility and, for shared objects, -Wl,--no-undefined.

function(vm_common_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wsuggest-override)
  if(VM_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
    # GCC 12's flow-based warnings misfire at -O2 on standard containers and
    # optionals; they stay visible but do not fail the build.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-error=array-bounds -Wno-error=stringop-overflow
        -Wno-error=maybe-uninitialized -Wno-error=restrict)
    endif()
  endif()
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(VM_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=${VM_SANITIZE} -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=${VM_SANITIZE})
  endif()
endfunction()

# A layer of the system (engine, schema, common, report, components): a static
# library built position-independent so that the program and every module
# library can link it.
function(vm_add_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;PUBLIC_LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  vm_common_options(${name})
  target_link_libraries(${name} PRIVATE ${A_LIBS} PUBLIC ${A_PUBLIC_LIBS})
  if(VM_SANITIZE)
    target_link_options(${name} INTERFACE -fsanitize=${VM_SANITIZE})
  endif()
endfunction()

# A module library: <code>.so in the program directory, exporting only
# ShowDllForm (marked VM_EXPORT in the source).
function(vm_add_module code)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${code} MODULE ${A_SOURCES})
  vm_common_options(${code})
  target_link_libraries(${code} PRIVATE ${A_LIBS})
  target_link_options(${code} PRIVATE -Wl,--no-undefined)
  set_target_properties(${code} PROPERTIES PREFIX "" SUFFIX ".so"
    LIBRARY_OUTPUT_DIRECTORY ${VM_PROGRAM_DIR})
endfunction()

# The two layers every module folder has, each in its own folder:
#   modules/<code>/core: vm_add_module_core(<code> SOURCES ... LIBS ...) builds the
#     static <code>_core, the module's rules without widgets (tests and
#     valmorand-admin link it);
#   modules/<code>/ui: vm_add_module_ui(<code> SOURCES ... LIBS ...) builds the static
#     <code>_ui (data module, forms; moc'd) over <code>_core, and the library the
#     shell loads, <code>.so, from ShowDllForm.cpp beside them. A module whose
#     window lives in another module's ui layer passes that layer as LIBS and no
#     SOURCES.
# modules/<code>/CMakeLists.txt only adds the two folders (vm_module_folders).
# A module whose rules are another module's (payables aging, the supplier
# list) names that core with SHARES instead of giving sources.
function(vm_add_module_core code)
  cmake_parse_arguments(A "" "SHARES" "SOURCES;LIBS" ${ARGN})
  if(A_SHARES)
    add_library(${code}_core INTERFACE)
    target_link_libraries(${code}_core INTERFACE ${A_SHARES}_core)
    return()
  endif()
  vm_add_library(${code}_core SOURCES ${A_SOURCES} PUBLIC_LIBS vm_engine vm_schema ${A_LIBS})
endfunction()

function(vm_add_module_ui code)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  set(ui_lib ${A_LIBS})
  if(A_SOURCES)
    vm_add_library(${code}_ui SOURCES ${A_SOURCES}
      PUBLIC_LIBS ${A_LIBS} vm_forms vm_core Qt6::Widgets)
    if(TARGET ${code}_core)
      target_link_libraries(${code}_ui PUBLIC ${code}_core)
    endif()
    set_target_properties(${code}_ui PROPERTIES AUTOMOC ON)
    set(ui_lib ${code}_ui)
  endif()
  vm_add_module(${code} SOURCES ShowDllForm.cpp LIBS ${ui_lib})
endfunction()

macro(vm_module_folders)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/core/CMakeLists.txt)
    add_subdirectory(core)
  endif()
  if(TARGET vm_forms AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/ui/CMakeLists.txt)
    add_subdirectory(ui)
  endif()
endmacro()

# An outside component (picker, quick link, finish box, progress box): a
# shared library loaded by name at run time, like a module.
function(vm_add_component name)
  vm_add_module(${name} ${ARGN})
endfunction()

# A program of the installed tree (deskmain, valmorand-admin).
function(vm_add_program name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  vm_common_options(${name})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VM_PROGRAM_DIR}
    ENABLE_EXPORTS ON)
endfunction()

# A GoogleTest program registered with CTest. Tests run offscreen and with
# their own settings file, never the machine's.
function(vm_add_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  vm_common_options(${name})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VM_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VM_BINARY_DIR="${CMAKE_BINARY_DIR}"
    VM_PROGRAM_DIR="${VM_PROGRAM_DIR}" VM_LANGUAGES_DIR="${VM_LANGUAGES_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VALMORAND_SETTINGS=${CMAKE_BINARY_DIR}/test-settings.ini")
endfunction()
