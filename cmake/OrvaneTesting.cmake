# Roughly how many seconds the long tests take in the sanitizer build. CTest starts the
# costly tests first, so the end of a run is not one long test alone on one core; after a
# run it keeps its own figures (Testing/Temporary/CTestCostData.txt).
set(ORVANE_TEST_COSTS tst_links=30 tst_curltransfer=20)

# orvane_add_test(NAME name SOURCES a.cpp ... LIBS lib ...)
# One Qt Test executable, run by CTest on the offscreen platform with an isolated HOME.
function(orvane_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(home ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}.home)
  # Qt warns about a runtime folder that is missing or readable by others.
  file(MAKE_DIRECTORY ${home}/run)
  file(CHMOD ${home}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set(cost 0)
  if(";${ORVANE_TEST_COSTS};" MATCHES ";${T_NAME}=([0-9]+);")
    set(cost ${CMAKE_MATCH_1})
  endif()
  set_tests_properties(${T_NAME} PROPERTIES
    COST ${cost}
    TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;XDG_CACHE_HOME=${home}/.cache;XDG_RUNTIME_DIR=${home}/run;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp;QT_LOGGING_RULES=qt.qpa.*=false")
endfunction()

# Each folder's library: a static library named orvane_<folder>.
function(orvane_add_library name)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC_LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS})
endfunction()
