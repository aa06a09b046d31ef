# Compiles for Windows, as a syntax check, every source that a Windows build
# compiles differently from this one: the *Windows.cpp files, every file with
# a Windows branch (_WIN32, Q_OS_WIN) and the files in ALSO.
#
# In: COMPILER, SOURCE_DIR, ALSO, OPTIONS, DEFINES, INCLUDES, QT_INCLUDES.

cmake_minimum_required(VERSION 3.25)

file(GLOB sources LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/app/*.cpp
     ${SOURCE_DIR}/engine/*.cpp ${SOURCE_DIR}/platform/*.cpp ${SOURCE_DIR}/ui/*.cpp)
set(checked ${ALSO})
foreach(source IN LISTS sources)
  file(STRINGS ${SOURCE_DIR}/${source} branches REGEX "_WIN32|Q_OS_WIN")
  if(source MATCHES "Windows\\.cpp$" OR branches)
    list(APPEND checked ${source})
  endif()
endforeach()
list(REMOVE_DUPLICATES checked)
list(SORT checked)
if(NOT "platform/PlatformWindows.cpp" IN_LIST checked)
  message(FATAL_ERROR "platform/PlatformWindows.cpp not found under ${SOURCE_DIR}")
endif()

# Qt's headers come as system headers, as CMake passes them to every build:
# they are not ours to keep free of warnings.
set(arguments -std=c++17 -fsyntax-only ${OPTIONS})
foreach(define IN LISTS DEFINES)
  list(APPEND arguments -D${define})
endforeach()
foreach(dir IN LISTS INCLUDES)
  list(APPEND arguments -I${dir})
endforeach()
foreach(dir IN LISTS QT_INCLUDES)
  list(APPEND arguments -isystem ${dir})
endforeach()

set(failed)
foreach(source IN LISTS checked)
  execute_process(COMMAND ${COMPILER} ${arguments} ${SOURCE_DIR}/${source}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    message(STATUS "compiles for Windows: ${source}")
  else()
    message("does not compile for Windows: ${source}\n${output}")
    list(APPEND failed ${source})
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "${COMPILER} refused: ${failed}")
endif()
