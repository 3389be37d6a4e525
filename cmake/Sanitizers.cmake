# QUILLFENCE_SANITIZE: every target built with AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer, stopping at the first report.
# The test command builds its tree so, and the whole suite runs sanitized.
#
# The sanitizers' options and the suppressions of leaks outside the project
# (tests/sanitize/lsan.supp) are compiled into every program, so that a
# program behaves the same run by ctest, by hand or in a virtual machine.
if(NOT QUILLFENCE_SANITIZE)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  message(FATAL_ERROR "QUILLFENCE_SANITIZE needs GCC or Clang")
endif()

set(sanitizers -fsanitize=address,undefined)
add_compile_options(${sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_link_options(${sanitizers})

# The options and suppressions, one object linked into every executable.
file(READ ${PROJECT_SOURCE_DIR}/tests/sanitize/lsan.supp suppressions)
string(REGEX REPLACE "#[^\n]*" "" suppressions "${suppressions}")
string(REGEX REPLACE "\n+" "\\\\n" suppressions "${suppressions}")
set(QUILLFENCE_LSAN_SUPPRESSIONS "${suppressions}")
set(source ${PROJECT_BINARY_DIR}/generated/SanitizerDefaults.cpp)
configure_file(${PROJECT_SOURCE_DIR}/tests/sanitize/SanitizerDefaults.cpp.in ${source} @ONLY)
set(object ${PROJECT_BINARY_DIR}/generated/SanitizerDefaults.o)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -c ${source} -o ${object}
                RESULT_VARIABLE failed ERROR_VARIABLE error)
if(failed)
  message(FATAL_ERROR "The sanitizers' defaults do not compile: ${error}")
endif()
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${object}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/tests/sanitize/lsan.supp ${PROJECT_SOURCE_DIR}/tests/sanitize/SanitizerDefaults.cpp.in)
