# Memory-safety builds.
#
#   -DNEAPWISE_SANITIZE=ON   builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
#                            (gcc or clang); the first report ends the process, so a test that
#                            triggers one fails.
#
# With clang and its libFuzzer runtime (Debian: libclang-rt-14-dev) the same build also gets the
# fuzz targets of tests/fuzz: every library is compiled with coverage instrumentation
# (-fsanitize=fuzzer-no-link) and NEAPWISE_FUZZ_AVAILABLE is set. gcc builds skip the fuzzers.
option(NEAPWISE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
set(NEAPWISE_FUZZ_AVAILABLE OFF)

if(NEAPWISE_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "NEAPWISE_SANITIZE needs gcc or clang")
  endif()
  set(_neapwise_sanitizers -fsanitize=address,undefined)
  add_compile_options(${_neapwise_sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  # Reports need line tables only, and -O1 keeps the stacks whole; full debug information and
  # -O2 would make this build take twice as long for nothing it reports.
  add_compile_options(-O1 -g1)
  add_link_options(${_neapwise_sanitizers})

  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # As in the framework, each window class has its own Create that hides CWnd's on purpose;
    # gcc's -Wall does not warn about it, clang's does on every file.
    add_compile_options(-Wno-overloaded-virtual)
    # clang links the sanitizer runtime into executables only; a shared library (the engine)
    # finds it in the executable at load time. Its --no-undefined check cannot pass here, so it
    # is switched off at the end of the shared libraries' link lines (the normal build keeps
    # it). Executables keep the linker's check: a missing symbol must fail the link, not the run.
    set(CMAKE_C_CREATE_SHARED_LIBRARY "${CMAKE_C_CREATE_SHARED_LIBRARY} -Wl,-z,undefs")
    set(CMAKE_CXX_CREATE_SHARED_LIBRARY "${CMAKE_CXX_CREATE_SHARED_LIBRARY} -Wl,-z,undefs")

    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer,address,undefined")
    set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=fuzzer,address,undefined")
    check_cxx_source_compiles([[
      #include <cstddef>
      #include <cstdint>
      extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
    ]] NEAPWISE_HAVE_LIBFUZZER)
    unset(CMAKE_REQUIRED_FLAGS)
    unset(CMAKE_REQUIRED_LINK_OPTIONS)
    if(NEAPWISE_HAVE_LIBFUZZER)
      add_compile_options(-fsanitize=fuzzer-no-link)
      set(NEAPWISE_FUZZ_AVAILABLE ON)
    else()
      message(STATUS "libFuzzer not found (Debian: libclang-rt-14-dev): no fuzz targets")
    endif()
  endif()
endif()
