# Shared build rules for the three Windows programs and the native test trees.

# The processorArchitecture that the programs' manifests name.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KBD_MANIFEST_ARCH amd64)
else()
  set(KBD_MANIFEST_ARCH x86)
endif()

if(WIN32 AND NOT MSVC)
  # Static: no runtime DLL beyond the system's.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Reproducible: no link time in the PE header (its stamp is 0), and no build folder in any
  # string the compiler writes (__FILE__, assertions); the build folder's own map comes last, as
  # the last map that matches wins and it lies inside the source folder.
  add_link_options(-Wl,--no-insert-timestamp)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
  add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 NOMINMAX WIN32_LEAN_AND_MEAN)
elseif(MSVC)
  add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 NOMINMAX WIN32_LEAN_AND_MEAN _CRT_SECURE_NO_WARNINGS)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

# The Windows programs' code, from here to the end of the directory scope: every failure reports
# and ends the program where it happens (forms/error.h), so nothing unwinds and no exception
# support is linked; no RTTI; one thread, so no guarded statics; libstdc++'s templates are
# instantiated in our own code (cmake/include/kbd_local_templates.h); and link-time optimisation.
# The objects carry machine code beside their intermediate code, as the programs' links optimise
# without the linker plugin (kbd_win32_program).
macro(kbd_lean_programs)
  if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(
      "$<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions;-fno-rtti;-fno-threadsafe-statics;-fno-asynchronous-unwind-tables>"
      "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${PROJECT_SOURCE_DIR}/cmake/include/kbd_local_templates.h>")
    cmake_policy(SET CMP0069 NEW)
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
    set(CMAKE_CXX_COMPILE_OPTIONS_IPO -flto=auto -ffat-lto-objects)
    # The objects on the command line itself: CMake's usual MinGW rule hands them over in an
    # archive, and an archive's members take no part in a link-time optimisation without the plugin.
    set(CMAKE_CXX_LINK_EXECUTABLE
        "<CMAKE_CXX_COMPILER> <FLAGS> <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")
  endif()
endmacro()

# Makes TARGET a GUI program: Windows subsystem, the manifest embedded from the .rc, stripped when
# released. The rest of the arguments name every library of ours that the program is built from.
function(kbd_win32_program target)
  if(MSVC)
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON LINK_FLAGS "/MANIFEST:NO")
  else()
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
    target_link_options(${target} PRIVATE -mwindows -s -Wl,--gc-sections)
    target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # The program starts in forms/win32/runtime.cpp, not in the C runtime's start-up code. The
    # linker plugin crashes binutils' ld once the start-up files are gone, so the link optimises
    # without it: the libraries come in as objects, and the whole program is one unit.
    target_link_options(${target} PRIVATE -nostartfiles -fno-use-linker-plugin -fwhole-program)
    foreach(library IN LISTS ARGN)
      target_sources(${target} PRIVATE $<TARGET_OBJECTS:${library}>)
    endforeach()
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
      # The manifest names the program's own architecture, and so does its Common-Controls
      # dependency: a 64-bit program that asks for the x86 assembly binds to the 32-bit one, and
      # its dialogs lose their buttons. One source per program; each tree gets its own copy,
      # which the resource compiler finds on the include path.
      file(GLOB manifests ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.manifest.in)
      foreach(manifest IN LISTS manifests)
        get_filename_component(name ${manifest} NAME_WLE)
        set(generated ${CMAKE_CURRENT_BINARY_DIR}/${folder}/${name})
        configure_file(${manifest} ${generated} @ONLY)
        list(APPEND inputs ${generated})
        target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${folder})
      endforeach()
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
