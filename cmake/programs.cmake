# Shared build rules for the three Windows programs and the native test trees.

if(WIN32 AND NOT MSVC)
  # Static: no runtime DLL beyond the system's.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 NOMINMAX WIN32_LEAN_AND_MEAN)
elseif(MSVC)
  add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 NOMINMAX WIN32_LEAN_AND_MEAN _CRT_SECURE_NO_WARNINGS)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

# Makes TARGET a GUI program: Windows subsystem, the manifest embedded from the .rc, stripped when released.
function(kbd_win32_program target)
  if(MSVC)
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON LINK_FLAGS "/MANIFEST:NO")
  else()
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
    target_link_options(${target} PRIVATE -mwindows -s -Wl,--gc-sections)
    target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/common/res)
  # windres's inputs are not scanned: without this, a changed icon or manifest would not rebuild
  # the resources.
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.rc$")
      get_filename_component(folder ${source} DIRECTORY)
      file(GLOB inputs ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/* ${PROJECT_SOURCE_DIR}/common/res/*)
      list(FILTER inputs EXCLUDE REGEX "\\.rc$")
      set_source_files_properties(${source} PROPERTIES OBJECT_DEPENDS "${inputs}")
    endif()
  endforeach()
  # Linked as an object, not from an archive, so that it replaces the runtime's own handler.
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/forms/win32/runtime.cpp)
endfunction()

# A native unit-test executable registered with ctest.
function(kbd_unit_test target)
  find_package(GTest REQUIRED)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  include(GoogleTest)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
endfunction()
