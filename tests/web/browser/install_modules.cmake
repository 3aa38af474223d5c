# Installs the browser checks' one npm package, as the lock file pins it, into
# the build's own folder, unless it is there already.
#   cmake -DNPM=... -DSOURCE=tests/web/browser -DPREFIX=build-web/browser -P install_modules.cmake
foreach(file package.json package-lock.json)
  configure_file(${SOURCE}/${file} ${PREFIX}/${file} COPYONLY)
endforeach()
if(EXISTS ${PREFIX}/node_modules/playwright-core/package.json)
  return()
endif()
execute_process(COMMAND ${NPM} ci --no-audit --no-fund --prefix ${PREFIX} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "npm ci failed with ${status}: the browser checks need playwright-core from the npm registry")
endif()
