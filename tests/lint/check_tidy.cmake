# Runs clang-tidy with the project's checks on the C++ files of one folder,
# not of the folders within it, which are tests of their own.
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DFOLDER=engine -DCLANG_TIDY=... -P check_tidy.cmake
file(GLOB files "${SOURCE_DIR}/${FOLDER}/*.cpp")
set(failed "")
foreach(file IN LISTS files)
  execute_process(COMMAND "${CLANG_TIDY}" -p "${BUILD_DIR}" --quiet "${file}"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message("${output}")
    list(APPEND failed "${file}")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "clang-tidy found problems in: ${failed}")
endif()
